// Week and month bars from day bars. Week numbers checked against strftime("%W").
#include <gtest/gtest.h>

#include "chart/Series.h"
#include "data/CQeltData.h"
#include "support/BarNumbersCheck.h"
#include "support/QueuePoster.h"

namespace qelt {
namespace {

CBarRow Day(std::string_view date, std::string_view open, std::string_view close, std::string_view high,
            std::string_view low, std::string_view num, std::string_view due = "20060525") {
    return CBarRow{date, open, close, high, low, num, std::string(close) + "avg", "p" + std::string(date),
                   "n",  due};
}

TEST(WeekKey, MatchesTheMondayBasedWeekOfTheYear) {
    EXPECT_EQ(WeekKey("20060101"), 0);  // a Sunday before the first Monday
    EXPECT_EQ(WeekKey("20060102"), 1);
    EXPECT_EQ(WeekKey("20060531"), 22);
    EXPECT_EQ(WeekKey("20061231"), 52);
    EXPECT_EQ(WeekKey("20000229"), 9);
    EXPECT_EQ(WeekKey("20060231"), 9);  // rolls over to 3 March
    EXPECT_FALSE(WeekKey("18991231"));
    EXPECT_FALSE(WeekKey("20061301"));
    EXPECT_FALSE(WeekKey("20060100"));
    EXPECT_FALSE(WeekKey("20060132"));
    EXPECT_FALSE(WeekKey(""));
    EXPECT_FALSE(WeekKey("abc"));
}

TEST(BuildWeekly, AWeekBarCarriesItsLastDayAndTheExtremes) {
    CQeltGoods g;
    g.series = {Day("20060529", "10", "11", "12", "9", "100"),
                Day("20060530", "11", "13", "13.5", "10.5", "50"),
                Day("20060602", "13", "12", "12.5", "8.5", "25", "other"),
                Day("20060605", "12", "12", "12", "12", "7")};
    BuildWeekly(g);
    ASSERT_EQ(g.weekSeries.size(), 2u);
    EXPECT_EQ(g.weekSeries[0].Texts(), (std::vector<std::string>{"20060602", "10", "12", "13.5", "8.5", "175",
                                                                 "12avg", "p20060602", "n", "20060525"}));
    EXPECT_EQ(g.weekSeries[1][kBarDate], "20060605");
    // The merged extremes and the summed volume carry their numbers.
    EXPECT_EQ(g.weekSeries[0].High(), 13.5);
    EXPECT_EQ(g.weekSeries[0].Low(), 8.5);
    EXPECT_EQ(g.weekSeries[0].Num(), 175);
    EXPECT_EQ(g.weekSeries[0].Date(), 20060602);
    EXPECT_TRUE(test::NumbersMatchTexts(g.weekSeries));
}

TEST(BuildWeekly, TiesTakeTheDaysText) {
    CQeltGoods g;
    g.series = {Day("20060529", "10", "11", "12.0", "9.0", "1"), Day("20060530", "11", "11", "12", "9", "1")};
    BuildWeekly(g);
    EXPECT_EQ(g.weekSeries[0][kBarHigh], "12");
    EXPECT_EQ(g.weekSeries[0][kBarLow], "9");
}

TEST(BuildWeekly, AdjacentDaysAYearApartInTheSameWeekNumberMerge) {
    CQeltGoods g;
    g.series = {Day("20050103", "1", "2", "3", "1", "10"), Day("20060102", "2", "3", "4", "2", "5")};
    BuildWeekly(g);
    ASSERT_EQ(g.weekSeries.size(), 1u);
    EXPECT_EQ(g.weekSeries[0][kBarDate], "20060102");
    EXPECT_EQ(g.weekSeries[0][kBarNum], "15");
}

TEST(BuildWeekly, SkipsADayWithoutAValidDate) {
    CQeltGoods g;
    g.series = {Day("20060529", "1", "2", "3", "1", "10"), Day("2006xx30", "1", "2", "3", "1", "10"),
                Day("20060531", "1", "2", "3", "1", "5"), Day("20060605", "1", "2", "3", "1", "10")};
    BuildWeekly(g);
    ASSERT_EQ(g.weekSeries.size(), 2u);
    EXPECT_EQ(g.weekSeries[0][kBarDate], "20060531");
    EXPECT_EQ(g.weekSeries[0][kBarNum], "15") << "the malformed day counts for nothing";
    // The incremental path meets a malformed newest bar and keeps what it has.
    g.series.push_back(Day("00000000", "1", "2", "3", "1", "10"));
    BuildWeekly(g);
    EXPECT_EQ(g.weekSeries.size(), 2u);
}

TEST(BuildWeekly, IncrementalBuildFollowsTheNewestDay) {
    CQeltGoods g;
    g.series = {Day("20060526", "1", "2", "3", "1", "10"), Day("20060529", "1", "2", "3", "1", "100"),
                Day("20060530", "2", "3", "4", "1", "50")};
    BuildWeekly(g);
    ASSERT_EQ(g.weekSeries.size(), 2u);
    EXPECT_EQ(g.weekSeries[1][kBarNum], "150");

    g.series.back().Set(kBarNum, "70");  // the live quote grew today's volume
    g.series.back().Set(kBarHigh, "5");
    BuildWeekly(g);
    ASSERT_EQ(g.weekSeries.size(), 2u);
    EXPECT_EQ(g.weekSeries[1][kBarNum], "170");  // summed afresh, not added again
    EXPECT_EQ(g.weekSeries[1][kBarHigh], "5");

    g.series.push_back(Day("20060605", "7", "8", "9", "6", "3"));
    BuildWeekly(g);
    ASSERT_EQ(g.weekSeries.size(), 3u);
    EXPECT_EQ(g.weekSeries[2][kBarOpen], "7");
}

TEST(BuildMonthly, AMonthBarKeepsItsFirstDay) {
    CQeltGoods g;
    g.series = {Day("20060530", "10", "11", "12", "9", "100"), Day("20060531", "11", "13", "14", "10", "50"),
                Day("20060601", "13", "12", "12", "11", "1")};
    BuildMonthly(g);
    ASSERT_EQ(g.monthSeries.size(), 2u);
    EXPECT_EQ(g.monthSeries[0].Texts(), (std::vector<std::string>{"20060530", "10", "13", "14", "9", "150",
                                                                  "13avg", "p20060531", "n", "20060525"}));

    g.series.push_back(Day("20060602", "1", "1", "20", "1", "4"));
    BuildMonthly(g);
    ASSERT_EQ(g.monthSeries.size(), 2u);
    EXPECT_EQ(g.monthSeries[1][kBarDate], "20060601");
    EXPECT_EQ(g.monthSeries[1][kBarNum], "5");
    EXPECT_EQ(g.monthSeries[1][kBarHigh], "20");
    EXPECT_EQ(g.monthSeries[1].Num(), 5);
    EXPECT_EQ(g.monthSeries[1].High(), 20.0);
    EXPECT_TRUE(test::NumbersMatchTexts(g.monthSeries));
}

TEST(BuildMonthly, EqualMonthDigitsAYearApartMerge) {
    CQeltGoods g;
    g.series = {Day("20050615", "1", "2", "3", "1", "10"), Day("20060601", "2", "3", "4", "2", "5")};
    BuildMonthly(g);
    ASSERT_EQ(g.monthSeries.size(), 1u);
    EXPECT_EQ(g.monthSeries[0][kBarDate], "20050615");
}

TEST(BuildMonthly, ShortAndMalformedDatesAreSkipped) {
    // "20260" has the month digits "0", which once matched the build's starting key.
    for (std::string_view bad : {"20260", "2026", "", "2026011", "20261301", "2026ab05", "202601050"}) {
        CQeltGoods g;
        g.series = {Day(bad, "1", "2", "3", "1", "7"), Day("20260105", "1", "2", "3", "1", "10"),
                    Day(bad, "1", "2", "9", "1", "7"), Day("20260106", "1", "4", "3", "1", "5")};
        BuildMonthly(g);
        ASSERT_EQ(g.monthSeries.size(), 1u) << bad;
        EXPECT_EQ(g.monthSeries[0][kBarDate], "20260105");
        EXPECT_EQ(g.monthSeries[0][kBarNum], "15");
        EXPECT_EQ(g.monthSeries[0][kBarHigh], "3");
        BuildWeekly(g);
        ASSERT_EQ(g.weekSeries.size(), 1u) << bad;
        // Incremental: the volume walk back over the month skips the malformed day too.
        g.series.push_back(Day("20260107", "1", "4", "3", "1", "1"));
        BuildMonthly(g);
        ASSERT_EQ(g.monthSeries.size(), 1u);
        EXPECT_EQ(g.monthSeries[0][kBarNum], "16");
        g.series.push_back(Day(bad, "1", "4", "3", "1", "1"));
        BuildMonthly(g);
        BuildWeekly(g);
        EXPECT_EQ(g.monthSeries[0][kBarNum], "16");
    }
}

TEST(PeriodBuilds, AServerSendingAShortDateCannotCrashThem) {
    test::QueuePoster poster;
    MessageTargets targets;
    CQeltData data(poster, targets);
    data.Dispatch("category:0112|生丝|0||");
    std::string record = "20270125|";
    for (int field = 2; field <= 27; ++field)
        record += field == 10   ? std::string("0112|")
                  : field == 20 ? std::string("20260|")
                                : std::string("150|");
    data.Dispatch("list:" + record + "|");
    // From the series reply: the short date first, then ordinary days.
    data.Dispatch(
        "line:011220270125:12:20260|150|151|152|149|10|150|0|0|20270125||"
        "20260105|150|151|152|149|10|150|0|0|20270125||");
    data.Dispatch("list:" + record + "|");  // the quote's own bar of date "20260"
    CQeltGoods goods = data.MainList().at(0);
    ASSERT_GE(goods.series.size(), 2u);
    BuildMonthly(goods);
    BuildWeekly(goods);
    ASSERT_EQ(goods.monthSeries.size(), 1u);
    EXPECT_EQ(goods.monthSeries[0][kBarDate], "20260105");
    EXPECT_EQ(goods.weekSeries.size(), 1u);
}

TEST(CloseExtremes, StartFromTheSentinels) {
    CQeltGoods g;
    EXPECT_EQ(HighestClose(g), -99999);
    EXPECT_EQ(LowestClose(g), 99999);
    g.series = {Day("20060529", "1", "12.5", "3", "1", "1"), Day("20060530", "1", "x", "3", "1", "1"),
                Day("20060531", "1", "11", "3", "1", "1")};
    EXPECT_DOUBLE_EQ(HighestClose(g), 12.5);
    EXPECT_DOUBLE_EQ(LowestClose(g), 0.0);  // a text that is no number counts as 0
}

}  // namespace
}  // namespace qelt
