// The demo exchange's past days: continuous trades for goods traded continuously, true to the
// day's bar, within the sessions and the same for the same seed; the client's minute bars of
// them give the day back.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "chart/MinuteBars.h"
#include "common/Split.h"
#include "server/Calendar.h"
#include "server/PastTrades.h"

namespace qelt::server {
namespace {

Bar DayBar(int date, double open, double close, double high, double low, long num) {
    Bar bar;
    bar.date = date;
    bar.open = open;
    bar.close = close;
    bar.high = high;
    bar.low = low;
    bar.num = num;
    bar.pure = 12000;
    bar.null = num * 2 + 17;
    return bar;
}

/// The trades as the client receives them: the 20 wire fields of each.
std::vector<TradeRow> OnTheWire(const std::vector<Trade>& trades) {
    std::vector<TradeRow> rows;
    for (const Trade& t : trades) rows.push_back(Split(FormatTrade(t), kFieldSeparator));
    return rows;
}

TEST(PastTrades, ContinuousTradesFollowTheDaysBarWithinTheSessions) {
    const Bar bars[] = {
        DayBar(20261204, 16.20, 16.45, 16.60, 16.05, 2740), DayBar(20261207, 16.45, 16.31, 16.52, 16.20, 90),
        DayBar(20261208, 16.30, 16.30, 16.30, 16.30, 1), DayBar(20261209, 16.3, 16.1, 16.4, 16.0, 9000)};
    for (const Bar& bar : bars) {
        const auto trades = ContinuousTradesOfPastDay(7, "013120261224", bar, 16.18, 11800, 0.01);
        ASSERT_GE(trades.size(), 2u) << bar.date;
        EXPECT_LE(trades.size(), 1500u);
        EXPECT_EQ(trades.front().newest, bar.open);
        EXPECT_EQ(trades.back().newest, bar.close);
        double high = -1, low = 1e9;
        std::set<std::int64_t> ids;
        int lastSecond = -1;
        for (const Trade& t : trades) {
            high = std::max(high, t.newest);
            low = std::min(low, t.newest);
            EXPECT_FALSE(t.isSection);
            EXPECT_EQ(t.date, bar.date);
            EXPECT_TRUE(ids.insert(t.id).second);
            const int second =
                ClockToSessionSecond(t.time / 10000 * 3600 + t.time / 100 % 100 * 60 + t.time % 100);
            EXPECT_TRUE((t.time >= 90000 && t.time < 110000) || (t.time >= 133000 && t.time < 153000))
                << t.time;
            EXPECT_GE(second, lastSecond);
            EXPECT_EQ(t.section, second / kSectionSeconds);
            lastSecond = second;
        }
        EXPECT_EQ(high, bar.high) << bar.date;
        EXPECT_EQ(low, bar.low) << bar.date;
        EXPECT_EQ(trades.back().cumContinuous, bar.num);
        EXPECT_EQ(trades.back().pure, bar.pure);
        EXPECT_LT(trades.front().time, 90030);
        EXPECT_GT(trades.back().time, 152930);
    }
    // A busy day fills most minutes of both sessions.
    EXPECT_GT(qelt::MinuteBarsFromTrades(
                  OnTheWire(ContinuousTradesOfPastDay(7, "k", bars[0], 16.18, 11800, 0.01)), 1, "")
                  .size(),
              180u);
    EXPECT_TRUE(ContinuousTradesOfPastDay(7, "k", DayBar(20261210, 16, 16, 16, 16, 0), 16, 1, 0.01).empty());
}

TEST(PastTrades, TheSameSeedGivesTheSameDayAndAnotherSeedAnother) {
    const Bar bar = DayBar(20261204, 16.20, 16.45, 16.60, 16.05, 2740);
    const auto once = OnTheWire(ContinuousTradesOfPastDay(7, "013120261224", bar, 16.18, 11800, 0.01));
    EXPECT_EQ(once, OnTheWire(ContinuousTradesOfPastDay(7, "013120261224", bar, 16.18, 11800, 0.01)));
    EXPECT_NE(once, OnTheWire(ContinuousTradesOfPastDay(8, "013120261224", bar, 16.18, 11800, 0.01)));
    EXPECT_NE(once, OnTheWire(ContinuousTradesOfPastDay(7, "013120270124", bar, 16.18, 11800, 0.01)));
}

TEST(PastTrades, TheClientsMinuteBarsOfThePastDayGiveTheDayBarBack) {
    const Bar bar = DayBar(20261204, 16.20, 16.45, 16.60, 16.05, 2740);
    const auto rows = OnTheWire(ContinuousTradesOfPastDay(7, "013120261224", bar, 16.18, 11800, 0.01));
    for (int minutes : qelt::kMinutePeriods) {
        const BarSeries minuteBars = qelt::MinuteBarsFromTrades(rows, minutes, "");
        ASSERT_FALSE(minuteBars.empty());
        double high = -1, low = 1e9;
        std::int64_t volume = 0;
        for (const CBarRow& m : minuteBars) {
            high = std::max(high, m.High());
            low = std::min(low, m.Low());
            volume += m.Num();
        }
        EXPECT_EQ(minuteBars.front().Open(), bar.open) << minutes;
        EXPECT_EQ(minuteBars.back().Close(), bar.close) << minutes;
        EXPECT_EQ(high, bar.high) << minutes;
        EXPECT_EQ(low, bar.low) << minutes;
        EXPECT_EQ(volume, bar.num) << minutes;
        EXPECT_EQ(minuteBars.back().Pure(), bar.pure) << minutes;
    }
    EXPECT_EQ(qelt::MinuteBarsFromTrades(rows, 60, "").size(), 4u);
}

}  // namespace
}  // namespace qelt::server
