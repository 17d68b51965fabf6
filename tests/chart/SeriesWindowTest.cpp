#include <gtest/gtest.h>

#include "chart/SeriesWindow.h"

namespace qelt {
namespace {

CQeltGoods WithDays(int n, std::string dueDate = "20060525") {
    CQeltGoods g;
    g.due_date = dueDate;
    for (int i = 0; i < n; ++i) {
        std::string date = "2006" + std::string(i / 28 % 12 < 9 ? "0" : "") +
                           std::to_string(i / 28 % 12 + 1) + (i % 28 < 9 ? "0" : "") +
                           std::to_string(i % 28 + 1);
        g.series.push_back(CBarRow{date, "1", "2", "3", "1", "10", "1", "1", "1", dueDate});
    }
    return g;
}

TEST(SeriesWindow, FirstLoadShowsTheNewestBars) {
    CQeltGoods g = WithDays(150);
    SeriesWindow w;
    EXPECT_EQ(LoadSeries(g, w).size(), 150u);
    EXPECT_EQ(w.lastVisible, 149);
    EXPECT_EQ(w.visibleCount, 100);
    EXPECT_EQ(w.cursor, 149);
    EXPECT_EQ(w.lastLoadedCount, 150);
}

TEST(SeriesWindow, ScrolledBackStaysUntilABarIsAdded) {
    CQeltGoods g = WithDays(150);
    SeriesWindow w;
    LoadSeries(g, w);
    w.lastVisible = 120;
    LoadSeries(g, w);
    EXPECT_EQ(w.lastVisible, 120);
    g.series.push_back(g.series.back());
    LoadSeries(g, w);
    EXPECT_EQ(w.lastVisible, 150);
}

TEST(SeriesWindow, ShortAndEmptySeries) {
    CQeltGoods empty;
    SeriesWindow w;
    EXPECT_TRUE(LoadSeries(empty, w).empty());
    EXPECT_EQ(w.visibleCount, 0);
    EXPECT_EQ(w.lastVisible, -1);
    CQeltGoods g = WithDays(30);
    LoadSeries(g, w);
    EXPECT_EQ(w.visibleCount, 30);
    EXPECT_EQ(w.lastVisible, 29);

    SeriesWindow fresh;
    LoadSeries(g, fresh);
    EXPECT_EQ(fresh.visibleCount, 30);
}

TEST(SeriesWindow, PeriodsLoadTheirAggregates) {
    CQeltGoods g = WithDays(56);  // two months of 28 days
    SeriesWindow w;
    w.period = kPeriodMonth;
    EXPECT_EQ(LoadSeries(g, w).size(), 2u);
    EXPECT_EQ(g.monthSeries.size(), 2u);
    w.period = kPeriodWeek;
    StartWindow(w);
    auto weeks = LoadSeries(g, w);
    EXPECT_EQ(weeks.size(), g.weekSeries.size());
    EXPECT_EQ(w.lastVisible, static_cast<int>(weeks.size()) - 1);
}

TEST(SeriesWindow, GoodsWithoutDeliveryMonthCloseAtTheNewestPrice) {
    CQeltGoods g = WithDays(3, "");
    g.due_date = "  ";
    g.series[0].Set(kBarOpen, "0");
    g.series[1].Set(kBarOpen, "0.00001");
    g.newest_price = "7.5";
    SeriesWindow w;
    auto bars = LoadSeries(g, w);
    EXPECT_EQ(bars[2][kBarClose], "7.50");
    EXPECT_EQ(bars[0][kBarOpen], "2");
    EXPECT_EQ(bars[1][kBarOpen], "2");
    EXPECT_EQ(bars[2].Close(), 7.5);
    EXPECT_EQ(bars[0].Open(), 2.0);
    EXPECT_EQ(g.series[0].Open(), 0.0);
    EXPECT_EQ(g.series[2][kBarClose], "2");  // the goods' own bars stay as they are

    CQeltGoods contract = WithDays(3);
    contract.series[0].Set(kBarOpen, "0");
    EXPECT_EQ(LoadSeries(contract, w)[0][kBarOpen], "0");
}

TEST(SeriesWindow, TakingTheDaySeriesMovesItOutAndGivesWhatALoadGives) {
    for (const char* due : {"20070625", " "}) {
        CQeltGoods g = WithDays(30, due);
        g.due_date = due;
        g.newest_price = "7.5";
        g.series[4].Set(kBarOpen, "0");
        CQeltGoods copy = g;
        SeriesWindow loaded, taken;
        const BarSeries expected = LoadSeries(copy, loaded);
        EXPECT_EQ(copy.series.size(), 30u);  // a load leaves the record as it was
        EXPECT_EQ(TakeSeries(g, taken), expected) << "due date \"" << due << "\"";
        EXPECT_TRUE(g.series.empty());
        EXPECT_EQ(taken.lastVisible, loaded.lastVisible);
        EXPECT_EQ(taken.visibleCount, loaded.visibleCount);
    }
    // Other periods build from the day bars and leave them where they are.
    CQeltGoods g = WithDays(56);
    SeriesWindow w;
    w.period = kPeriodWeek;
    const BarSeries weeks = TakeSeries(g, w);
    EXPECT_EQ(weeks, g.weekSeries);
    EXPECT_EQ(g.series.size(), 56u);
}

}  // namespace
}  // namespace qelt
