// Minute bars from trades: which records count, their volumes and minutes, the sessions'
// edges and closing minutes, the N-minute grouping, and today's bars kept current.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "chart/MinuteBars.h"
#include "support/TradeRows.h"

namespace qelt {
namespace {

constexpr int kDay = 20260303;

/// A continuous-trading record: price (fields 1 and 12) and the day's cumulative volume
/// (fields 3 and 13).
test::Trade Tick(int id, int date, int time, double price, long cumulative) {
    test::Trade trade(id, date, time);
    trade.Section(0, price).Newest(price).Volume(cumulative).DynVolume(cumulative).Reference(100).Dynamic();
    return trade;
}

/// "HHMM open close high low num avg pure" of a bar, for compact comparisons.
std::string Describe(const CBarRow& bar) {
    return FormatInt(bar.Time()) + " " + std::string(bar[kBarOpen]) + " " + std::string(bar[kBarClose]) +
           " " + std::string(bar[kBarHigh]) + " " + std::string(bar[kBarLow]) + " " +
           std::string(bar[kBarNum]) + " " + std::string(bar[kBarAvg]) + " " + std::string(bar[kBarPure]);
}

std::vector<std::string> Describe(const BarSeries& bars) {
    std::vector<std::string> out;
    for (const CBarRow& bar : bars) out.push_back(Describe(bar));
    return out;
}

TEST(MinuteBars, SessionEdgesMoveEachTradeIntoItsMinute) {
    // Hand-worked: the minute is HHMMSS / 100 moved into 09:00-11:00 and 13:30-15:30; the
    // closing minutes 1100 and 1530 join the sessions' last bars (1059, 1529).
    struct Case {
        int time;
        int barTime;
    } cases[] = {
        {85959, 900},                    // before the open: the first minute
        {90000, 900},                    // the open itself
        {105959, 1059},                  // the morning's last minute
        {110000, 1059},                  // the closing minute counts as the one before it
        {110030, 1059},                  // still the closing minute
        {120000, 1059},                  // lunch: the morning's close
        {132959, 1059},                  // 13:29 is still lunch
        {133000, 1330},                  // the afternoon's open
        {152959, 1529}, {153000, 1529},  // the closing minute
        {160000, 1529},                  // after the close
    };
    for (const Case& c : cases) {
        const BarSeries bars = MinuteBarsFromTrades({Tick(1, kDay, c.time, 10.0, 5)}, 1, "");
        ASSERT_EQ(bars.size(), 1u) << c.time;
        EXPECT_EQ(bars[0].Time(), c.barTime) << c.time;
        EXPECT_EQ(bars[0].Date(), kDay);
    }
    EXPECT_EQ(TradeMinute(110059), 1100);
    EXPECT_EQ(TradeMinute(110100), 1100);
    EXPECT_EQ(TradeMinute(132900), 1100);
    EXPECT_EQ(DayMinuteNumber(1100), 119);
    EXPECT_EQ(DayMinuteNumber(1330), 120);
    EXPECT_EQ(DayMinuteNumber(1530), 239);
}

TEST(MinuteBars, VolumesAreDifferencesOfTheCumulativeVolumeAndNeverNegative) {
    const std::vector<TradeRow> trades = {
        Tick(1, kDay, 90005, 10.00, 4),   // first of the day: its cumulative volume itself
        Tick(2, kDay, 90010, 10.50, 10),  // 6
        Tick(3, kDay, 90020, 10.20, 7),   // went down: 0, and 7 is the new reference
        Tick(4, kDay, 90030, 10.10, 9),   // 2
    };
    const BarSeries bars = MinuteBarsFromTrades(trades, 1, "");
    ASSERT_EQ(bars.size(), 1u);
    // avg = (10.00*4 + 10.50*6 + 10.20*0 + 10.10*2) / 12 = 123.2 / 12 = 10.2666...
    EXPECT_EQ(Describe(bars[0]), "900 10.00 10.10 10.50 10.00 12 10.27 0");
}

TEST(MinuteBars, RecordsWithoutAContinuousPriceDoNotCountNorSetTheVolumeReference) {
    std::vector<TradeRow> trades = {
        Tick(1, kDay, 90005, 10.00, 3),
        test::Trade(2, kDay, 90010).Section(1, 9.0).Volume(50).DynVolume(50),  // price 0: a section trade
        Tick(3, kDay, 90020, 11.10, 8),
    };
    BarSeries bars = MinuteBarsFromTrades(trades, 1, "");
    ASSERT_EQ(bars.size(), 1u);
    // 3 then 8 - 3 = 5: the skipped record's 50 is no reference. (30 + 55.5) / 8 = 10.6875.
    EXPECT_EQ(Describe(bars[0]), "900 10.00 11.10 11.10 10.00 8 10.69 0");

    // A minute with records of price 0 only has no bar; without volume the average is the
    // plain mean of the prices.
    trades = {test::Trade(1, kDay, 93000).Newest(0).DynVolume(5), Tick(2, kDay, 93100, 12.00, 0),
              Tick(3, kDay, 93110, 12.50, 0)};
    bars = MinuteBarsFromTrades(trades, 1, "");
    ASSERT_EQ(bars.size(), 1u);
    EXPECT_EQ(Describe(bars[0]), "931 12.00 12.50 12.50 12.00 0 12.25 0");
    EXPECT_TRUE(MinuteBarsFromTrades({test::Trade(1, kDay, 93000)}, 5, "").empty());
}

TEST(MinuteBars, EachDateKeepsItsOwnVolumeAndBarsComeInDateOrder) {
    // Two dates in one reply, the later one first and interleaved: each date differences its
    // own cumulative volume.
    const std::vector<TradeRow> trades = {
        Tick(1, 20260304, 90100, 20.00, 100),
        Tick(2, kDay, 90100, 10.00, 7),
        Tick(3, 20260304, 90130, 21.00, 130),
        Tick(4, kDay, 90140, 11.00, 9),
    };
    const BarSeries bars = MinuteBarsFromTrades(trades, 5, "20260601");
    ASSERT_EQ(bars.size(), 2u);
    EXPECT_EQ(bars[0].Date(), kDay);
    EXPECT_EQ(Describe(bars[0]), "900 10.00 11.00 11.00 10.00 9 10.22 0");
    EXPECT_EQ(bars[1].Date(), 20260304);
    EXPECT_EQ(Describe(bars[1]), "900 20.00 21.00 21.00 20.00 130 20.23 0");
    EXPECT_EQ(bars[1][kBarDue], "20260601");
    // Only one date when asked for.
    EXPECT_EQ(MinuteBarsFromTrades(trades, 5, "", kDay).size(), 1u);
}

TEST(MinuteBars, NMinuteBarsGroupFromEachSessionsStartAndTheClosingMinuteJoinsTheLast) {
    const std::vector<TradeRow> trades = {
        Tick(1, kDay, 90000, 10.00, 1).Pure(100),   Tick(2, kDay, 91459, 10.40, 3).Pure(101),
        Tick(3, kDay, 91500, 10.20, 6).Pure(102),   Tick(4, kDay, 105900, 10.80, 10).Pure(103),
        Tick(5, kDay, 110030, 10.90, 11).Pure(104), Tick(6, kDay, 133000, 11.00, 15).Pure(105),
        Tick(7, kDay, 152959, 11.20, 16).Pure(106), Tick(8, kDay, 153000, 11.30, 20).Pure(107),
    };
    EXPECT_EQ(Describe(MinuteBarsFromTrades(trades, 15, "")),
              (std::vector<std::string>{
                  "900 10.00 10.40 10.40 10.00 3 10.27 101", "915 10.20 10.20 10.20 10.20 3 10.20 102",
                  "1045 10.80 10.90 10.90 10.80 5 10.82 104", "1330 11.00 11.00 11.00 11.00 4 11.00 105",
                  "1515 11.20 11.30 11.30 11.20 5 11.28 107"}));
    EXPECT_EQ(Describe(MinuteBarsFromTrades(trades, 60, "")),
              (std::vector<std::string>{
                  "900 10.00 10.20 10.40 10.00 6 10.23 102", "1000 10.80 10.90 10.90 10.80 5 10.82 104",
                  "1330 11.00 11.00 11.00 11.00 4 11.00 105", "1430 11.20 11.30 11.30 11.20 5 11.28 107"}));
    EXPECT_EQ(BarsPerDay(1), 240);
    EXPECT_EQ(BarsPerDay(30), 8);
    EXPECT_EQ(SlotTime(4, 30), 1330);
    EXPECT_EQ(SlotTime(3, 30), 1030);
    EXPECT_EQ(SlotOfTime(1415, 15), 11);
    EXPECT_EQ(SlotOfTime(1410, 15), -1);
}

TEST(MinuteBars, EveryPeriodOfAPastDayAtOnceEqualsEachBuiltAlone) {
    std::vector<TradeRow> trades;
    long volume = 0;
    for (int i = 0; i < 400; ++i) {
        const int second = i * 37;  // over both sessions and lunch
        const int time = (9 + second / 3600) * 10000 + second / 60 % 60 * 100 + second % 60;
        volume += i % 7;
        trades.push_back(Tick(i, i % 50 == 0 ? kDay + 1 : kDay, time, 10.0 + (i % 13) * 0.01, volume));
    }
    const auto all = MinuteBarsOfDay(trades, kDay, "x");
    for (std::size_t k = 0; k < kMinutePeriods.size(); ++k)
        EXPECT_EQ(all[k], MinuteBarsFromTrades(trades, kMinutePeriods[k], "x", kDay)) << kMinutePeriods[k];
}

TEST(MinuteBars, PastDaysAreTheDayBarsBeforeTheLiveDayNewestFirst) {
    CQeltGoods goods;
    for (const char* date : {"20260225", "20260226", "20260227", "20260302", "20260302", "20260303"})
        goods.series.push_back(CBarRow{date, "10"});
    EXPECT_TRUE(PastMinuteDates(goods, 60).empty()) << "no quote date, no trades: the live day is unknown";
    goods.last_date = "20260303";
    EXPECT_EQ(PastMinuteDates(goods, 60),
              (std::vector<std::int64_t>{20260302, 20260227, 20260226, 20260225}));
    EXPECT_EQ(PastMinuteDates(goods, 2), (std::vector<std::int64_t>{20260302, 20260227}));
    // A trade of a later day than the quote's: that day is the live one.
    goods.last_date = "20260227";
    goods.trades.push_back(Tick(1, 20260303, 93000, 10, 1));
    EXPECT_EQ(LiveDate(goods), 20260303);
    EXPECT_EQ(PastMinuteDates(goods, 60).front(), 20260302);
}

TEST(LiveMinuteBars, RepliesThatExtendTheListRebuildOnlyTheBarsTheyTouch) {
    LiveMinuteBars live(5);
    std::vector<TradeRow> trades = {Tick(1, kDay, 90000, 10.00, 2), Tick(2, kDay, 90400, 10.10, 4)};
    EXPECT_EQ(live.Update(trades, ""), 0u);
    ASSERT_EQ(live.Bars().size(), 1u);

    // The same list again: nothing changed.
    EXPECT_EQ(live.Update(trades, ""), 1u);

    // A reply extends the list into the same bar and a new one.
    trades.push_back(Tick(3, kDay, 90459, 10.30, 5));
    trades.push_back(Tick(4, kDay, 90500, 10.20, 9));
    EXPECT_EQ(live.Update(trades, ""), 0u);
    EXPECT_EQ(Describe(live.Bars()), (std::vector<std::string>{"900 10.00 10.30 10.30 10.00 5 10.10 0",
                                                               "905 10.20 10.20 10.20 10.20 4 10.20 0"}));

    // Only the newest bar: the first one is left as it was.
    trades.push_back(Tick(5, kDay, 90600, 10.40, 10));
    EXPECT_EQ(live.Update(trades, ""), 1u);
    EXPECT_EQ(live.Bars(), MinuteBarsFromTrades(trades, 5, ""));

    // A late record of an earlier bar that had none comes in its place.
    trades.push_back(Tick(6, kDay, 85000, 9.90, 11));   // before the open: the 0900 bar
    trades.push_back(Tick(7, kDay, 110000, 9.80, 12));  // the morning's last bar, new
    const std::size_t first = live.Update(trades, "");
    EXPECT_EQ(first, 0u);
    EXPECT_EQ(live.Bars(), MinuteBarsFromTrades(trades, 5, ""));
}

TEST(LiveMinuteBars, AListThatNoLongerContinuesIsTakenAfresh) {
    LiveMinuteBars live(1);
    std::vector<TradeRow> trades;
    for (int i = 0; i < 10; ++i) trades.push_back(Tick(i, kDay, 90000 + i * 100, 10.0 + i, i * 2));
    live.Update(trades, "");
    ASSERT_EQ(live.Bars().size(), 10u);

    // The store dropped its oldest rows: the same trades from the fourth on.
    std::vector<TradeRow> dropped(trades.begin() + 3, trades.end());
    EXPECT_EQ(live.Update(dropped, ""), 0u);
    EXPECT_EQ(live.Bars(), MinuteBarsFromTrades(dropped, 1, ""));

    // Replaced by a list of another day, as long as the old one: no row taken for the old.
    std::vector<TradeRow> other;
    for (int i = 0; i < 7; ++i) other.push_back(Tick(100 + i, kDay + 1, 133000 + i * 100, 20.0, i));
    EXPECT_EQ(live.Update(other, ""), 0u);
    EXPECT_EQ(live.Bars(), MinuteBarsFromTrades(other, 1, ""));
    EXPECT_EQ(live.Bars().front().Date(), kDay + 1);

    // Emptied.
    live.Update({}, "");
    EXPECT_TRUE(live.Bars().empty());
}

TEST(LiveMinuteBars, GrowingRowByRowGivesWhatTheWholeListGives) {
    std::vector<TradeRow> all;
    long volume = 0;
    for (int i = 0; i < 300; ++i) {
        volume += (i * 7) % 11;
        if (i % 40 == 39) volume -= 30;  // a cumulative volume that goes down now and then
        const int minute = i / 2;
        const int time = (9 + minute / 60) * 10000 + minute % 60 * 100 + i % 60;
        all.push_back(Tick(i, kDay, time, i % 17 == 0 ? 0.0 : 15.0 + (i % 9) * 0.05, volume));
    }
    for (int minutes : kMinutePeriods) {
        LiveMinuteBars live(minutes);
        std::vector<TradeRow> growing;
        for (std::size_t i = 0; i < all.size(); i += 1 + i % 4) {
            for (std::size_t k = growing.size(); k <= i; ++k) growing.push_back(all[k]);
            live.Update(growing, "d");
            ASSERT_EQ(live.Bars(), MinuteBarsFromTrades(growing, minutes, "d")) << minutes << " " << i;
        }
    }
}

}  // namespace
}  // namespace qelt
