#include <gtest/gtest.h>

#include "data/SeriesUpdate.h"
#include "support/BarNumbersCheck.h"

namespace qelt {
namespace {

CQeltGoods Quoted() {
    CQeltGoods g;
    g.goods_no = "0101";
    g.due_date = "20060525";
    g.last_date = "20060601";
    g.open_price = "10.00";
    g.price = "11.00";
    g.highest_price = "12.00";
    g.lowest_price = "9.00";
    g.all_num = "150";
    g.avg_price = "10.50";
    g.pure_num = "30";
    g.null_num = "40";
    g.newest_price = "11.50";
    g.all_num_d = "60";
    return g;
}

TEST(UpdateSeriesFromQuote, AsksForTheSeriesOnceAndOnlyWhileOnline) {
    CQeltGoods g = Quoted();
    g.listTag = "3";
    g.coverMode = 0;
    auto request = UpdateSeriesFromQuote(g, true);
    ASSERT_TRUE(request);
    EXPECT_EQ(*request, "line:3:0101:20060525:0:");
    EXPECT_FALSE(g.seriesWanted);
    EXPECT_TRUE(g.series.empty());

    CQeltGoods offline = Quoted();
    EXPECT_FALSE(UpdateSeriesFromQuote(offline, false));
    EXPECT_FALSE(offline.seriesWanted);  // cleared all the same: no request later either
}

TEST(UpdateSeriesFromQuote, StartsASeriesFromTheQuoteOnlyWithoutTrades) {
    CQeltGoods g = Quoted();
    g.seriesWanted = false;
    EXPECT_FALSE(UpdateSeriesFromQuote(g, true));
    ASSERT_EQ(g.series.size(), 1u);
    EXPECT_EQ(g.series[0].Texts(), (std::vector<std::string>{"20060601", "10.00", "11.00", "12.00", "9.00",
                                                             "150", "10.50", "30", "40", "20060525"}));

    CQeltGoods traded = Quoted();
    traded.seriesWanted = false;
    traded.trades.push_back({"0"});
    UpdateSeriesFromQuote(traded, true);
    EXPECT_TRUE(traded.series.empty());
}

TEST(UpdateSeriesFromQuote, FoldsTodayIntoTheLastBarAndAppendsANewDay) {
    CQeltGoods g = Quoted();
    g.series.push_back(
        CBarRow{"20060601", "9.50", "10.00", "10.00", "9.50", "100", "9.80", "1", "2", "20060525"});
    g.price = "11.25";
    UpdateSeriesFromQuote(g, true);
    ASSERT_EQ(g.series.size(), 1u);
    EXPECT_EQ(g.series[0].Texts(), (std::vector<std::string>{"20060601", "9.50", "11.25", "12.00", "9.00",
                                                             "150", "10.50", "30", "40", "20060525"}));
    // The numbers follow the texts the quote brought; the open stays.
    EXPECT_EQ(g.series[0].Close(), 11.25);
    EXPECT_EQ(g.series[0].Num(), 150);
    EXPECT_EQ(g.series[0].Open(), 9.5);
    EXPECT_TRUE(test::NumbersMatchTexts(g.series));

    g.last_date = "20060602";
    UpdateSeriesFromQuote(g, true);
    ASSERT_EQ(g.series.size(), 2u);
    EXPECT_EQ(g.series[1][kBarDate], "20060602");
    EXPECT_EQ(g.series[1][kBarOpen], "10.00");
    EXPECT_EQ(g.series[1].Open(), 10.0);
    EXPECT_EQ(g.series[1].Date(), 20060602);
    EXPECT_TRUE(test::NumbersMatchTexts(g.series));
}

TEST(UpdateSeriesFromQuote, FlaggedGoodsUseContinuousTradingAndSkipAZeroPrice) {
    CQeltGoods g = Quoted();
    g.flagged = true;
    g.series.push_back(CBarRow{"20060601", "9.50", "10.00", "10.00", "9.50", "100", "9.80", "1", "2", ""});
    UpdateSeriesFromQuote(g, true);
    EXPECT_EQ(g.series[0][kBarClose], "11.50");
    EXPECT_EQ(g.series[0][kBarNum], "60");
    EXPECT_EQ(g.series[0].Close(), 11.5);
    EXPECT_EQ(g.series[0].Num(), 60);

    g.newest_price = "0";
    g.last_date = "20060602";
    UpdateSeriesFromQuote(g, true);
    EXPECT_EQ(g.series.size(), 1u);
}

TEST(UpdateSeriesFromQuote, LeavesTheDeliveryMonthListAlone) {
    CQeltGoods g = Quoted();
    g.listTag = "0";
    g.series.push_back(CBarRow{"20060531", "1", "1", "1", "1", "1", "1", "1", "1", "1"});
    UpdateSeriesFromQuote(g, true);
    EXPECT_EQ(g.series.size(), 1u);
}

}  // namespace
}  // namespace qelt
