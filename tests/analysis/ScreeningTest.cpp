// Screening: the condition read at each goods' last bar up to the date, nothing after the
// date changing a verdict, goods without data counted, the period's bars ending at the
// date, the same result on any number of threads, and a cancelled run leaving nothing.
#include <gtest/gtest.h>

#include <atomic>

#include "AnalysisTestSupport.h"
#include "analysis/Screening.h"
#include "chart/Series.h"

namespace qelt {
namespace {

using test::Consecutive;
using test::MustCompile;

ScreeningResult Screen(const std::string& text, const std::vector<BarSeries>& days, int date = 0,
                       KLinePeriod period = kPeriodDay, const std::vector<FormulaParameter>& parameters = {},
                       const std::vector<double>& values = {}) {
    const ScreeningRequest request{MustCompile(text, parameters), values, period, date};
    std::optional<ScreeningResult> result = RunScreening(request, days, WorkPool(2));
    EXPECT_TRUE(result);
    return result ? *result : ScreeningResult{};
}

std::vector<int> Selected(const ScreeningResult& result) {
    std::vector<int> goods;
    for (const ScreeningRow& row : result.rows) goods.push_back(row.goods);
    return goods;
}

TEST(Screening, SelectsTheGoodsWhoseConditionHoldsAtTheLastBarWithEveryOutputBesideIt) {
    const std::vector<BarSeries> days = {
        Consecutive(20060102, {{10, 11}, {11, 12}, {12, 13}}),  // rising at the end
        Consecutive(20060102, {{10, 11}, {11, 13}, {13, 12}}),  // rose, then fell
        Consecutive(20060102, {{10, 11}, {11, 11}, {11, 14}}),
    };
    const ScreeningResult result = Screen("UP:C>REF(C,1); GAIN:C-REF(C,2); NONE:C/0;", days);
    EXPECT_EQ(Selected(result), (std::vector<int>{0, 2}));
    ASSERT_EQ(result.rows.size(), 2u);
    const ScreeningRow& row = result.rows[1];
    EXPECT_EQ(row.bar, 2);
    EXPECT_EQ(row.date, "20060104");
    EXPECT_EQ(row.close, 14.0);
    ASSERT_EQ(row.values.size(), 3u);
    EXPECT_EQ(row.values[0], 1.0);
    EXPECT_EQ(row.values[1], 3.0);
    EXPECT_TRUE(std::isnan(row.values[2]));
    EXPECT_EQ(result.goods, 3);
    EXPECT_EQ(result.selected, 2);
    EXPECT_EQ(result.withoutData, 0);
    EXPECT_EQ(ScreeningSummary(result), "共 3 个品种，2 个满足条件，0 个无数据");
}

TEST(Screening, TheConditionIsTheFirstOutputDrawnOrNotAndNoValueIsFalse) {
    const std::vector<BarSeries> days = {Consecutive(20060102, {{10, 11}, {11, 12}}),
                                         Consecutive(20060102, {{10, 0}, {11, 0}})};
    // NODRAW counts: the close itself is the condition (0 is false).
    EXPECT_EQ(Selected(Screen("X:C,NODRAW; Y:0;", days)), (std::vector<int>{0}));
    // A first output without a value (or 0) at the last bar is false, whatever follows it.
    EXPECT_TRUE(Screen("A:C/(C-12); B:1;", days).rows.empty());
    EXPECT_EQ(Selected(Screen("A:1/(C-11); B:0;", days)), (std::vector<int>{0, 1}));
    // Variables do not count: the first output is.
    EXPECT_EQ(Selected(Screen("Z:=0; A:C>11;", days)), (std::vector<int>{0}));
}

TEST(Screening, AtAPastDateNoLaterBarChangesTheVerdictOrTheValues) {
    // A goods that broke out on 20060110, then fell; another whose later bars would make
    // every windowed value different.
    std::vector<std::pair<double, double>> prices;
    for (int i = 0; i < 20; ++i) prices.push_back({100.0 + i % 3, i == 8 ? 130.0 : 100.0 + i % 4});
    const BarSeries later = Consecutive(20060102, prices);
    const int date = 20060110;  // bar 8
    const int cut = 9;
    const BarSeries upToDate(later.begin(), later.begin() + cut);
    const std::string text =
        "BREAK:C>REF(HHV(C,5),1); M:MA(C,3); E:EMA(C,4); S:STD(C,3); A:AVEDEV(C,3); HH:HHV(H,0); R:SUM(V,0);";
    const ScreeningResult withLater = Screen(text, {later, later}, date);
    const ScreeningResult without = Screen(text, {upToDate, upToDate});
    ASSERT_EQ(Selected(withLater), (std::vector<int>{0, 1}));
    for (std::size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(withLater.rows[i].date, "20060110");
        EXPECT_EQ(withLater.rows[i].bar, 8);
        EXPECT_EQ(withLater.rows[i].close, 130.0);
        for (std::size_t k = 0; k < without.rows[i].values.size(); ++k)
            EXPECT_EQ(withLater.rows[i].values[k], without.rows[i].values[k]) << "output " << k;
    }
    EXPECT_TRUE(Screen(text, {later}).rows.empty()) << "at the newest bar it no longer holds";
    // A bar out of order, after the date, ends the bars read whatever follows it.
    BarSeries outOfOrder = upToDate;
    outOfOrder.insert(outOfOrder.begin() + 5, test::MakeDayBar({20060301, 1, 1}));
    EXPECT_EQ(Screen("C;", {outOfOrder}, 20060110).rows[0].date, "20060106");
}

TEST(Screening, GoodsWithoutADayBarOnOrBeforeTheDateAreCountedAndPassedOver) {
    const std::vector<BarSeries> days = {Consecutive(20060105, {{10, 11}, {11, 12}}), BarSeries{},
                                         Consecutive(20060102, {{10, 11}, {11, 12}})};
    ScreeningResult result = Screen("C>0;", days, 20060104);
    EXPECT_EQ(Selected(result), (std::vector<int>{2}));
    EXPECT_EQ(result.rows[0].date, "20060103");
    EXPECT_EQ(result.withoutData, 2);
    EXPECT_EQ(ScreeningSummary(result), "共 3 个品种，1 个满足条件，2 个无数据");
    result = Screen("C>0;", days);
    EXPECT_EQ(result.withoutData, 1) << "only the empty series at the newest bar";
    EXPECT_EQ(result.selected, 2);
}

TEST(Screening, WeekAndMonthBarsEndAtTheScreeningDate) {
    // Mon 20060109 .. Fri 20060113, then the next week: screened on Wednesday 20060111.
    const BarSeries days = test::DayBars({{20060105, 9, 9, 9, 9},
                                          {20060109, 10, 11, 12, 9},
                                          {20060110, 11, 15, 16, 10},
                                          {20060111, 15, 13, 15, 12},
                                          {20060112, 13, 30, 40, 13},
                                          {20060116, 30, 31, 32, 29}});
    const std::string text = "HI:HIGH; OP:OPEN; CL:CLOSE;";
    EXPECT_EQ(Screen(text, {days}, 20060108).rows.at(0).date, "20060105")
        << "a date between bars: the one before";
    ScreeningResult result = Screen(text, {days}, 20060111, kPeriodWeek);
    ASSERT_EQ(result.rows.size(), 1u);
    EXPECT_EQ(result.rows[0].bar, 1);
    EXPECT_EQ(result.rows[0].date, "20060111");
    EXPECT_EQ(result.rows[0].values, (std::vector<double>{16, 10, 13}))
        << "Monday's open, the week's high so far";
    // The same as the week bars built from the days up to the date.
    CQeltGoods goods;
    goods.series.assign(days.begin(), days.begin() + 4);
    BuildWeekly(goods);
    EXPECT_EQ(result.rows[0].close, LeadingDouble(goods.weekSeries.back()[kBarClose]));

    result = Screen(text, {days}, 20060112, kPeriodMonth);
    ASSERT_EQ(result.rows.size(), 1u);
    EXPECT_EQ(result.rows[0].values, (std::vector<double>{40, 9, 30}));
    EXPECT_EQ(result.rows[0].date, "20060105") << "a month bar holds its first day's date";
}

TEST(Screening, ThreadsDoNotChangeTheResult) {
    std::vector<BarSeries> days;
    for (int i = 0; i < 60; ++i) days.push_back(test::Walk(150 + i, static_cast<std::uint32_t>(i)));
    days[7].clear();
    const ScreeningRequest request{
        MustCompile("X:C>MA(C,10) AND V>0; M:MA(C,10); S:STD(C,20);"), {}, kPeriodDay, 20060420};
    const std::optional<ScreeningResult> one = RunScreening(request, days, WorkPool(1));
    ASSERT_TRUE(one);
    ASSERT_GT(one->selected, 5);
    ASSERT_LT(one->selected, 55);
    for (int threads : {2, 5}) {
        const std::optional<ScreeningResult> many = RunScreening(request, days, WorkPool(threads));
        ASSERT_TRUE(many);
        ASSERT_EQ(Selected(*many), Selected(*one));
        for (std::size_t i = 0; i < one->rows.size(); ++i) {
            EXPECT_EQ(many->rows[i].date, one->rows[i].date);
            for (std::size_t k = 0; k < 3; ++k)
                EXPECT_TRUE(test::SameValue(many->rows[i].values[k], one->rows[i].values[k]));
        }
        EXPECT_EQ(many->withoutData, one->withoutData);
    }
}

TEST(Screening, ACancelledRunLeavesNoResultAndAFaultyOneSelectsNothing) {
    std::vector<BarSeries> days(40, test::Walk(100, 3));
    const ScreeningRequest request{MustCompile("C>0;"), {}, kPeriodDay, 0};
    std::atomic<bool> cancel{false};
    int reported = 0;
    EXPECT_FALSE(RunScreening(request, days, WorkPool(2), &cancel, [&](int done) {
        reported = done;
        if (done == 4) cancel = true;
    }));
    EXPECT_LT(reported, 40);
    EXPECT_FALSE(RunScreening(request, days, WorkPool(2), &cancel)) << "cancelled before it began";
    // Values that break a constant argument: said once, nothing selected.
    const ScreeningResult faulty = Screen("C>MA(C,N-5);", days, 0, kPeriodDay, {{"N", 10, 1, 100}}, {5});
    ASSERT_TRUE(faulty.fault);
    EXPECT_EQ(faulty.fault->line, 1);
    EXPECT_TRUE(faulty.rows.empty());
}

}  // namespace
}  // namespace qelt
