// Trading systems: the position rules on hand-made series, the money of each fill, the open
// position at the end, and the systems a formula defines.
#include <gtest/gtest.h>

#include <map>
#include <ostream>

#include "AnalysisTestSupport.h"
#include "analysis/TradingSystem.h"

namespace qelt {

void PrintTo(const SystemTrade& t, std::ostream* os) {
    *os << (t.side == TradeSide::Long ? "long " : "short ") << t.entryBar << "@" << t.entryPrice << " -> "
        << t.exitBar << "@" << t.exitPrice << " profit " << t.profit;
}

namespace {

using test::MustCompile;

/// Eight bars dated 20060101 .. 20060108: bar i opens at 10 + i and closes at 10.5 + i, so
/// a fill at an open is never a close.
BarSeries RuleBars() {
    std::vector<std::pair<double, double>> prices;
    for (int i = 0; i < 8; ++i) prices.push_back({10.0 + i, 10.5 + i});
    return test::Consecutive(20060101, prices);
}

/// A system whose signals are true at the given bars of RuleBars (by their dates).
std::string Signals(const std::map<std::string, std::vector<int>>& signals) {
    std::string text;
    for (const auto& [name, bars] : signals) {
        text += name + ":0";
        for (int bar : bars) text += " OR DATE=" + FormatInt(20060101 + bar);
        text += ";\n";
    }
    return text;
}

SystemResult Trade(const std::map<std::string, std::vector<int>>& signals, const SystemCosts& costs = {}) {
    const std::optional<TradingSystem> system = TradingSystem::Of(MustCompile(Signals(signals)));
    EXPECT_TRUE(system);
    if (!system) return {};
    SystemTest test = TestSystem(*system, RuleBars(), {}, costs);
    EXPECT_FALSE(test.fault);
    return test.result;
}

SystemTrade Long(int entry, int exit, double profit) {
    return {TradeSide::Long,
            entry,
            20060101 + entry,
            10.0 + entry,
            exit,
            exit < 0 ? 0 : 20060101 + exit,
            exit < 0 ? 0.0 : 10.0 + exit,
            profit};
}
SystemTrade Short(int entry, int exit, double profit) {
    SystemTrade trade = Long(entry, exit, profit);
    trade.side = TradeSide::Short;
    return trade;
}

TEST(TradingSystemRules, EntriesAndExitsFillAtTheNextOpen) {
    // Entry signal at 1, exit at 4: in at bar 2's open (12), out at bar 5's open (15).
    SystemResult result = Trade({{"ENTERLONG", {1}}, {"EXITLONG", {4}}});
    EXPECT_EQ(result.trades, (std::vector{Long(2, 5, 3.0)}));
    EXPECT_EQ(result.report.openPosition, OpenPosition::None);

    result = Trade({{"ENTERSHORT", {0}}, {"EXITSHORT", {2}}});
    EXPECT_EQ(result.trades, (std::vector{Short(1, 3, -2.0)}));

    // An exit without a position, and an entry while in one, do nothing.
    result = Trade({{"ENTERLONG", {1, 2, 3}}, {"EXITLONG", {0, 4, 5}}, {"EXITSHORT", {1}}});
    EXPECT_EQ(result.trades, (std::vector{Long(2, 5, 3.0)}));
    // A system of entries alone holds its position to the end.
    result = Trade({{"ENTERLONG", {2}}});
    EXPECT_EQ(result.trades, (std::vector{Long(3, -1, 17.5 - 13.0)}));
}

TEST(TradingSystemRules, AReversalClosesAndOpensAtTheSameOpen) {
    SystemResult result = Trade({{"ENTERLONG", {1}}, {"ENTERSHORT", {3}}});
    EXPECT_EQ(result.trades, (std::vector{Long(2, 4, 2.0), Short(4, -1, 14.0 - 17.5)}));
    EXPECT_EQ(result.report.openPosition, OpenPosition::Short);

    result = Trade({{"ENTERSHORT", {0}}, {"ENTERLONG", {2}}, {"EXITLONG", {5}}});
    EXPECT_EQ(result.trades, (std::vector{Short(1, 3, -2.0), Long(3, 6, 3.0)}));
    // A reversal that its own exit signal vetoes only closes.
    result = Trade({{"ENTERLONG", {1}}, {"ENTERSHORT", {3}}, {"EXITSHORT", {3}}});
    EXPECT_EQ(result.trades, (std::vector{Long(2, 4, 2.0)}));
}

TEST(TradingSystemRules, AnEntryAndItsExitOnOneBarOpenNothing) {
    // Flat: ENTERLONG with EXITLONG (or ENTERSHORT with EXITSHORT) opens nothing.
    EXPECT_TRUE(Trade({{"ENTERLONG", {1}}, {"EXITLONG", {1}}}).trades.empty());
    EXPECT_TRUE(Trade({{"ENTERSHORT", {2}}, {"EXITSHORT", {2}}}).trades.empty());
    // Long: both close the long and nothing opens again.
    SystemResult result = Trade({{"ENTERLONG", {1, 3}}, {"EXITLONG", {3}}});
    EXPECT_EQ(result.trades, (std::vector{Long(2, 4, 2.0)}));
    EXPECT_EQ(result.report.openPosition, OpenPosition::None);
}

TEST(TradingSystemRules, BothEntriesAtOnceOpenNothingAndCloseWhatIsOpen) {
    EXPECT_TRUE(Trade({{"ENTERLONG", {1}}, {"ENTERSHORT", {1}}}).trades.empty());
    SystemResult result = Trade({{"ENTERLONG", {1, 4}}, {"ENTERSHORT", {4}}});
    EXPECT_EQ(result.trades, (std::vector{Long(2, 5, 3.0)}));
    result = Trade({{"ENTERSHORT", {1, 4}}, {"ENTERLONG", {4}}});
    EXPECT_EQ(result.trades, (std::vector{Short(2, 5, -3.0)}));
}

TEST(TradingSystemRules, ASignalOnTheLastBarIsNotActedOn) {
    EXPECT_TRUE(Trade({{"ENTERLONG", {7}}}).trades.empty());
    // The exit on the last bar leaves the long open, marked to the last close.
    SystemResult result = Trade({{"ENTERLONG", {1}}, {"EXITLONG", {7}}});
    EXPECT_EQ(result.trades, (std::vector{Long(2, -1, 17.5 - 12.0)}));
    EXPECT_EQ(result.report.openPosition, OpenPosition::Long);
    EXPECT_EQ(result.report.trades, 0) << "an open position is not a closed trade";
}

TEST(TradingSystemMoney, CommissionAndSlippageCostOnBothSidesOfLongsAndShorts) {
    const SystemCosts costs{100000.0, 2.0, 10.0, 0.001, 0.5};  // 20 units per trade
    // Long: buys at 12 + 0.5, sells at 15 − 0.5; each fill pays 0.001 × price × 20.
    SystemResult result = Trade({{"ENTERLONG", {1}}, {"EXITLONG", {4}}}, costs);
    ASSERT_EQ(result.trades.size(), 1u);
    EXPECT_EQ(result.trades[0].entryPrice, 12.5);
    EXPECT_EQ(result.trades[0].exitPrice, 14.5);
    EXPECT_NEAR(result.trades[0].profit, 2.0 * 20 - 0.001 * 12.5 * 20 - 0.001 * 14.5 * 20, 1e-9);
    // Short: sells at 12 − 0.5, buys back at 15 + 0.5.
    result = Trade({{"ENTERSHORT", {1}}, {"EXITSHORT", {4}}}, costs);
    ASSERT_EQ(result.trades.size(), 1u);
    EXPECT_EQ(result.trades[0].entryPrice, 11.5);
    EXPECT_EQ(result.trades[0].exitPrice, 15.5);
    EXPECT_NEAR(result.trades[0].profit, -4.0 * 20 - 0.001 * 11.5 * 20 - 0.001 * 15.5 * 20, 1e-9);
    EXPECT_NEAR(result.report.netProfit, result.trades[0].profit, 1e-9);
}

TEST(TradingSystemMoney, AnOpenPositionIsMarkedToTheLastCloseLessItsEntryCommission) {
    const SystemCosts costs{100000.0, 2.0, 10.0, 0.001, 0.5};
    SystemResult result = Trade({{"ENTERLONG", {1}}}, costs);
    ASSERT_EQ(result.trades.size(), 1u);
    const double entryCommission = 0.001 * 12.5 * 20;
    EXPECT_TRUE(result.trades[0].IsOpen());
    EXPECT_NEAR(result.trades[0].profit, (17.5 - 12.5) * 20 - entryCommission, 1e-9);
    EXPECT_NEAR(result.report.netProfit, result.trades[0].profit, 1e-9);
    EXPECT_EQ(result.report.trades, 0);
    EXPECT_FALSE(result.report.winRate);
    EXPECT_EQ(result.report.openPosition, OpenPosition::Long);
    // Equity at each close: the capital until the entry, then the position marked to the close.
    ASSERT_EQ(result.equity.size(), 8u);
    EXPECT_EQ(result.equity[1], 100000.0);
    for (int bar = 2; bar < 8; ++bar)
        EXPECT_NEAR(result.equity[static_cast<std::size_t>(bar)],
                    100000.0 + (10.5 + bar - 12.5) * 20 - entryCommission, 1e-9)
            << bar;
    EXPECT_DOUBLE_EQ(*result.report.exposurePct, 6.0 / 8.0 * 100.0);
    // The closed trades' profits stay in the equity after they close.
    result = Trade({{"ENTERLONG", {1}}, {"EXITLONG", {3}}}, costs);
    EXPECT_NEAR(result.equity[7] - 100000.0, result.trades[0].profit, 1e-9);
}

TEST(TradingSystemDefinition, ASystemIsAFormulaWithASignalOutputNamedWithoutCase) {
    EXPECT_FALSE(TradingSystem::Of(MustCompile("A:C>O; B:C<O;")));
    EXPECT_FALSE(TradingSystem::Of(MustCompile("ENTERLONG:=C>O; X:ENTERLONG;"))) << "a variable is no output";
    const std::optional<TradingSystem> system =
        TradingSystem::Of(MustCompile("X:C; ExitShort:C<O; enterLong:C>O;"));
    ASSERT_TRUE(system);
    EXPECT_EQ(system->SignalOutput(SystemSignal::EnterLong), 2);
    EXPECT_EQ(system->SignalOutput(SystemSignal::ExitShort), 1);
    EXPECT_EQ(system->SignalOutput(SystemSignal::EnterShort), -1);
    EXPECT_TRUE(IsSystemSignalName("exitlong"));
    EXPECT_FALSE(IsSystemSignalName("EXITLONG2"));
    // A signal without a value at a bar is false there, as a condition is.
    const std::optional<TradingSystem> gappy =
        TradingSystem::Of(MustCompile("ENTERLONG:IF(DATE=20060102,1/0,1);"));
    ASSERT_TRUE(gappy);
    const SystemResult result = TestSystem(*gappy, RuleBars(), {}, {}).result;
    ASSERT_FALSE(result.trades.empty());
    EXPECT_EQ(result.trades[0].entryBar, 1) << "bar 1's signal has no value: the entry is bar 0's";
}

TEST(TradingSystemDefinition, ValuesThatPutAConstantOutOfRangeAreAFaultWithoutTrades) {
    const std::optional<TradingSystem> system =
        TradingSystem::Of(MustCompile("ENTERLONG:C>MA(C,N-5);", {{"N", 10, 1, 100}}));
    ASSERT_TRUE(system);
    SystemTest test = TestSystem(*system, RuleBars(), {5}, {});
    ASSERT_TRUE(test.fault);
    EXPECT_TRUE(test.result.trades.empty());
    EXPECT_FALSE(TestSystem(*system, RuleBars(), {7}, {}).fault);
}

}  // namespace
}  // namespace qelt
