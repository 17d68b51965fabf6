// A trading system's report: the drawdown from the capital as the first high, the figures
// that have no value, and the keys in their order.
#include <gtest/gtest.h>

#include "AnalysisTestSupport.h"
#include "analysis/SystemReport.h"
#include "analysis/TradingSystem.h"

namespace qelt {
namespace {

TEST(SystemReportFigures, DrawdownIsTheLargestFallFromTheHighestEarlierCloseTheCapitalFirst) {
    // Gains per bar: a fall of 30 straight from the capital, a new high of +50, then a fall
    // of 80 to −30: the largest fall is 80, from the high of capital + 50.
    SystemReport report = MakeSystemReport(1000.0, {}, {0, -30, -10, 50, 20, -30, 10}, 0, OpenPosition::None);
    EXPECT_EQ(report.maxDrawdown, 80.0);
    EXPECT_DOUBLE_EQ(*report.maxDrawdownPct, 80.0 / 1050.0 * 100.0);
    // Falling from the first bar on: measured from the capital, not from the first close.
    report = MakeSystemReport(1000.0, {}, {-10, -40, -20}, 0, OpenPosition::None);
    EXPECT_EQ(report.maxDrawdown, 40.0);
    EXPECT_DOUBLE_EQ(*report.maxDrawdownPct, 4.0);
    EXPECT_EQ(report.netProfit, -20.0);
    EXPECT_DOUBLE_EQ(*report.returnPct, -2.0);
    // The per-bar drawdown a chart draws: the fall from the highest earlier equity.
    const std::optional<TradingSystem> system =
        TradingSystem::Of(test::MustCompile("ENTERSHORT:DATE=20060101;"));
    ASSERT_TRUE(system);
    const BarSeries bars = test::Consecutive(20060101, {{10, 10}, {10, 12}, {12, 9}, {9, 11}});
    const SystemResult result = TestSystem(*system, bars, {}, {1000.0}).result;
    EXPECT_EQ(result.equity, (std::vector<double>{1000, 998, 1001, 999}));
    EXPECT_EQ(result.drawdown, (std::vector<double>{0, 2, 0, 2}));
    EXPECT_EQ(result.report.maxDrawdown, 2.0);
    EXPECT_DOUBLE_EQ(*result.report.maxDrawdownPct, 0.2) << "the first fall, from the capital";
}

TEST(SystemReportFigures, FiguresWhoseDivisorIsZeroHaveNoValue) {
    // No trades, no bars in a position.
    SystemReport report = MakeSystemReport(1000.0, {}, {0, 0, 0}, 0, OpenPosition::None);
    EXPECT_EQ(report.trades, 0);
    EXPECT_FALSE(report.winRate);
    EXPECT_FALSE(report.profitFactor);
    EXPECT_FALSE(report.averageTrade);
    EXPECT_FALSE(report.largestWin);
    EXPECT_FALSE(report.largestLoss);
    EXPECT_EQ(*report.exposurePct, 0.0);
    EXPECT_EQ(*report.maxDrawdownPct, 0.0);
    EXPECT_EQ(*report.returnPct, 0.0);
    // No losing trade: no profit factor, but a largest "loss" (the smallest profit).
    report = MakeSystemReport(1000.0, {5, 15}, {0, 5, 20}, 2, OpenPosition::None);
    EXPECT_FALSE(report.profitFactor);
    EXPECT_EQ(report.wins, 2);
    EXPECT_EQ(*report.winRate, 100.0);
    EXPECT_EQ(*report.averageTrade, 10.0);
    EXPECT_EQ(*report.largestWin, 15.0);
    EXPECT_EQ(*report.largestLoss, 5.0);
    // A losing one and a zero one: the zero is neither a win nor in either sum.
    report = MakeSystemReport(1000.0, {5, 0, -20}, {0, 5, 5, -15}, 3, OpenPosition::Short);
    EXPECT_EQ(report.wins, 1);
    EXPECT_DOUBLE_EQ(*report.winRate, 100.0 / 3.0);
    EXPECT_EQ(report.grossProfit, 5.0);
    EXPECT_EQ(report.grossLoss, -20.0);
    EXPECT_EQ(*report.profitFactor, 0.25);
    EXPECT_EQ(*report.largestLoss, -20.0);
    // No capital: no return and, with no high above 0, no drawdown percentage.
    report = MakeSystemReport(0.0, {-5}, {0, -5}, 1, OpenPosition::None);
    EXPECT_FALSE(report.returnPct);
    EXPECT_FALSE(report.maxDrawdownPct);
    EXPECT_EQ(report.maxDrawdown, 5.0);
    // No bars: no exposure.
    report = MakeSystemReport(1000.0, {}, {}, 0, OpenPosition::None);
    EXPECT_FALSE(report.exposurePct);
    EXPECT_EQ(report.netProfit, 0.0);
}

TEST(SystemReportFigures, LinesComeInTheReportsOrderWithThePositionAsText) {
    const SystemReport report = MakeSystemReport(1000.0, {5, -20}, {0, 5, -15}, 1, OpenPosition::Long);
    const std::vector<SystemReportLine> lines = SystemReportLines(report);
    std::vector<std::string_view> keys;
    for (const SystemReportLine& line : lines) keys.push_back(line.key);
    EXPECT_EQ(keys, (std::vector<std::string_view>{
                        "trades", "wins", "win_rate", "net_profit", "gross_profit", "gross_loss",
                        "profit_factor", "average_trade", "largest_win", "largest_loss", "max_drawdown",
                        "max_drawdown_pct", "return_pct", "exposure_pct", "open_position"}));
    EXPECT_EQ(lines[0].value, 2.0);
    EXPECT_EQ(lines[3].value, -15.0);
    EXPECT_EQ(lines[10].value, 20.0);
    EXPECT_FALSE(lines[14].value);
    EXPECT_EQ(lines[14].text, "long");
}

}  // namespace
}  // namespace qelt
