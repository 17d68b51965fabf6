// The intraday chart's series: the trading day's minutes, the flagged goods' minute series
// with its seeds and fill, the section and dynamic-board lists, days side by side, scaling.
#include <gtest/gtest.h>

#include "common/ChinaClock.h"
#include "support/TradeRows.h"
#include "views/intraday/ChartScale.h"
#include "views/intraday/IntradaySeries.h"
#include "views/intraday/MinuteSeries.h"

namespace qelt {
namespace {

using test::Flagged;
using test::Trade;

constexpr int kPastDay = 20240105;
constexpr int kToday = 20240110;

std::vector<TradePoint> Minutes(const std::vector<TradeRow>& rows, int days = 1) {
    return FlaggedMinuteRecords(rows, days);
}

TEST(TradingMinutes, SuccessorsSlotsAndChinaTime) {
    EXPECT_EQ(NextTradingMinute(1059), 1100);
    EXPECT_EQ(NextTradingMinute(1100), 1330) << "the lunch break has no minutes";
    EXPECT_EQ(NextTradingMinute(1530), 1530);
    EXPECT_EQ(NextTradingMinute(859), 900);
    EXPECT_EQ(NextTradingMinute(1129), 1330);
    EXPECT_EQ(MinuteSlot(900), 0);
    EXPECT_EQ(MinuteSlot(1100), 120);
    EXPECT_EQ(MinuteSlot(1330), 121);
    EXPECT_EQ(MinuteSlot(1530), 241) << "the day's right edge";
    EXPECT_EQ(MinuteSlot(1200), 121);
    for (int slot = 0; slot <= kMinuteSlotsPerDay; ++slot) EXPECT_EQ(MinuteSlot(MinuteOfSlot(slot)), slot);

    EXPECT_EQ(ChinaTimeAt(0), (ChinaTime{19700101, 800}));
    // 22:13 UTC is already the next day in China (date and time both from China's clock).
    EXPECT_EQ(ChinaTimeAt(1700000000), (ChinaTime{20231115, 613}));
    EXPECT_EQ(ChinaTimeAt(1709137800), (ChinaTime{20240229, 30}));
    EXPECT_EQ(ChinaTimeAt(1704038340), (ChinaTime{20231231, 2359}));
}

TEST(MinuteSeries, APastDaySeedsFromNineRunsToTheCloseAndSkipsLunch) {
    const std::vector<TradeRow> rows = {Flagged(1, kPastDay, 90530, 101, 10),
                                        Flagged(2, kPastDay, 105900, 102, 20),
                                        Flagged(3, kPastDay, 133000, 103, 30)};
    const IntradaySeries s = MinuteSeries(Minutes(rows), {kToday, 1000});
    ASSERT_EQ(s.records.size(), 242u) << "one slot per minute of both sessions, to 15:30";
    for (int i = 0; i < 242; ++i) EXPECT_EQ(s.slotOf[static_cast<std::size_t>(i)], i);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(s.records[static_cast<std::size_t>(i)].time, 90000 + i * 100);
        EXPECT_DOUBLE_EQ(s.records[static_cast<std::size_t>(i)].price, 100)
            << "seeded at the reference price";
        EXPECT_EQ(s.records[static_cast<std::size_t>(i)].volume, 0);
    }
    EXPECT_DOUBLE_EQ(s.records[5].price, 101);
    EXPECT_EQ(s.records[119].time, 105900);
    EXPECT_EQ(s.records[120].time, 110000);
    EXPECT_DOUBLE_EQ(s.records[120].price, 102) << "11:00 repeats 10:59";
    EXPECT_EQ(s.records[121].time, 133000);
    EXPECT_DOUBLE_EQ(s.records[121].price, 103);
    EXPECT_EQ(s.records[241].time, 153000);
    EXPECT_EQ(s.dayDates, (std::vector<int>{kPastDay}));
}

TEST(MinuteSeries, TodayEndsAtTheCurrentMinuteAndAMinuteHoldsOneSlot) {
    const std::vector<TradeRow> rows = {Flagged(1, kToday, 90000, 101, 5), Flagged(2, kToday, 93010, 104, 12),
                                        Flagged(3, kToday, 93050, 103, 20)};
    const std::vector<TradePoint> minutes = Minutes(rows);
    ASSERT_EQ(minutes.size(), 2u) << "two trades in 09:30 make one record";
    EXPECT_DOUBLE_EQ(minutes[1].price, 103) << "the minute's last trade shows";
    EXPECT_EQ(minutes[1].minuteVolume, 15);

    IntradaySeries s = MinuteSeries(minutes, {kToday, 1030});
    ASSERT_EQ(s.records.size(), static_cast<std::size_t>(MinuteSlot(1030) + 1));
    EXPECT_EQ(s.records.back().time, 103000);
    EXPECT_EQ(s.records.back().volume, 20) << "a filled minute keeps the cumulative volume";

    // At noon the morning is over and the afternoon has not begun: no 13:30 slot yet.
    s = MinuteSeries(minutes, {kToday, 1200});
    EXPECT_EQ(s.records.back().time, 110000);
    // A trade stamped after the clock (a server ahead of this machine) is shown, not filled.
    s = MinuteSeries(minutes, {kToday, 915});
    EXPECT_EQ(s.records.back().time, 93000);
}

TEST(MinuteSeries, FlaggedRecordsKeepTheLastDaysWithAPriceAndTakeTheComparisonBefore) {
    const std::vector<TradeRow> rows = {
        Flagged(1, 20240103, 100000, 40, 1),
        Trade(2, 20240104, 100000).Section(0, 50).Newest(50).Reference(48).Dynamic(),
        Trade(3, 20240105, 90000).Section(0, 55).Newest(0).Dynamic(),  // no dynamic-board price: dropped
        Trade(4, 20240105, 91000).Section(0, 60).Newest(61).Reference(50).Dynamic(),
    };
    std::vector<TradePoint> one = FlaggedMinuteRecords(rows, 1);
    ASSERT_EQ(one.size(), 1u);
    EXPECT_DOUBLE_EQ(one[0].price, 61) << "the price drawn is the dynamic-board price";
    EXPECT_DOUBLE_EQ(one[0].compare, 50) << "section price of the nearest earlier record with a price";

    std::vector<TradePoint> two = FlaggedMinuteRecords(rows, 2);
    ASSERT_EQ(two.size(), 2u);
    EXPECT_EQ(two[0].date, 20240104);
    EXPECT_DOUBLE_EQ(two[0].compare, 40);

    // Two days side by side: the second day starts at slot 241 with its own seeds.
    const IntradaySeries s = MinuteSeries(two, {kToday, 1000});
    EXPECT_EQ(s.records.size(), 2u * 242u);
    EXPECT_EQ(s.slotOf[242], 241);
    EXPECT_DOUBLE_EQ(s.records[242].price, 50) << "the second day is seeded at its own reference";
    EXPECT_EQ(s.dayDates, (std::vector<int>{20240104, 20240105}));

    EXPECT_TRUE(FlaggedMinuteRecords({}, 1).empty());
}

TEST(SectionSeries, TheLastTradeOfEachSectionAndTheDynamicBoardBetween) {
    const std::vector<TradeRow> rows = {
        Trade(1, kPastDay, 90100).Section(0, 10).Volume(5).DynVolume(0),
        Trade(2, kPastDay, 90130).Section(0, 10).Newest(10.5).DynVolume(5).Dynamic(),
        Trade(3, kPastDay, 90200).Section(0, 11).Volume(9).DynVolume(5),
        Trade(4, kPastDay, 90300).Section(1, 11).Volume(9).DynVolume(5).Dynamic(),
        Trade(5, kPastDay, 90400).Section(1, 12).Volume(15).DynVolume(9),
    };
    const SectionLists lists = SplitSections(rows, 1);
    ASSERT_EQ(lists.sections.size(), 2u);
    EXPECT_DOUBLE_EQ(lists.sections[0].price, 11) << "the third trade of the first section";
    EXPECT_DOUBLE_EQ(lists.sections[1].price, 12) << "the second trade of the second section";
    ASSERT_EQ(lists.dynamic.size(), 1u) << "only trades that moved the dynamic-board volume";
    EXPECT_DOUBLE_EQ(lists.dynamic[0].price, 10.5);

    const std::vector<TradePoint> runs = LastOfSectionRuns(rows);
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[1].time, 90400);
}

TEST(SectionSeries, DaysSideBySideEachWithItsSlots) {
    std::vector<TradeRow> rows;
    for (int i = 0; i < 3; ++i) rows.push_back(Trade(i, 20240104, 90000 + i * 200).Section(i, 10 + i));
    for (int i = 0; i < 2; ++i) rows.push_back(Trade(10 + i, kPastDay, 90000 + i * 200).Section(i, 20 + i));
    const std::vector<TradePoint> sections = SplitSections(rows, 2).sections;

    IntradaySeries s = SectionSeries(sections, 2, 0);
    EXPECT_EQ(s.slotsPerDay, 4) << "one more than the most sections of one day";
    EXPECT_EQ(s.slotOf, (std::vector<int>{0, 1, 2, 4, 5})) << "the second day starts at its own slots";
    EXPECT_EQ(s.dayDates, (std::vector<int>{20240104, kPastDay}));
    EXPECT_EQ(s.RecordAtSlot(4), 3);
    EXPECT_EQ(s.RecordAtSlot(3), -1);

    s = SectionSeries(sections, 2, 120);
    EXPECT_EQ(s.slotsPerDay, 120);
    EXPECT_EQ(s.slotOf.back(), 121);

    s = SectionSeries(SplitSections(rows, 1).sections, 1, 120);
    EXPECT_EQ(s.records.size(), 2u) << "one day: the newest date only";
    EXPECT_EQ(s.dayDates, (std::vector<int>{kPastDay}));
}

TEST(ChartScale, PriceRangeAndVolumeFloors) {
    IntradaySeries s;
    for (double price : {10.00, 10.02, 9.99}) {
        TradePoint p;
        p.price = price;
        p.date = kPastDay;
        s.records.push_back(p);
        s.slotOf.push_back(static_cast<int>(s.slotOf.size()));
    }
    s.records[0].volume = 10;
    s.records[1].volume = 13;
    s.records[2].volume = 1;
    s.records[2].date = kToday;
    const ChartFrame frame = FrameFor({0, 0, 1000, 430}, 1, 4);
    EXPECT_EQ(frame.priceHeight, 280);
    EXPECT_EQ(frame.middle, 170);

    const std::vector<std::int64_t> volumes = SlotVolumes(s, false);
    EXPECT_EQ(volumes, (std::vector<std::int64_t>{10, 3, 1})) << "differenced within a date";
    ChartScale scale = ScaleFor(frame, s, volumes);
    EXPECT_DOUBLE_EQ(scale.deviation, 0.07) << "a range under 0.07 is drawn as 0.07";
    EXPECT_NEAR(scale.LevelPrice(0), 10.077, 1e-9);
    EXPECT_NEAR(scale.LevelPrice(13), 10 - 0.077 * 6 / 7, 1e-9);
    EXPECT_EQ(scale.PriceY(frame, 10.00), 170);
    EXPECT_NEAR(scale.PriceY(frame, 10.077), 30, 1) << "the top of the price area";
    EXPECT_EQ(scale.volumeMax, 10);
    EXPECT_EQ(scale.volumeStep, 2);

    scale = ScaleFor(frame, s, {1, 3});
    EXPECT_EQ(scale.volumeMax, 6) << "the volume scale never goes below 6";
    EXPECT_EQ(scale.volumeStep, 1);

    const ChartScale empty = ScaleFor(frame, IntradaySeries(), {});
    EXPECT_DOUBLE_EQ(empty.LevelPrice(0), 0) << "no records: every level reads 0";
}

}  // namespace
}  // namespace qelt
