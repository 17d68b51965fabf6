#include <gtest/gtest.h>

#include "data/Bar.h"
#include "data/CQeltGoods.h"

namespace qelt {
namespace {

TEST(GoodsRecord, StartsInTheMainListWantingItsSeries) {
    CQeltGoods goods;
    EXPECT_EQ(goods.listTag, "12");
    EXPECT_TRUE(goods.seriesWanted);
    EXPECT_EQ(goods.coverMode, 1);
    EXPECT_FALSE(goods.flagged);
    EXPECT_TRUE(goods.series.empty());
}

TEST(GoodsRecord, CopyTakesSeriesTradesAndDrawnLines) {
    CQeltGoods goods;
    goods.goods_no = "0101";
    goods.series.push_back(CBarRow{"20060601", "1", "2", "3", "0.5", "10", "1.5", "7", "8", "20060525"});
    goods.weekSeries = goods.series;
    goods.trades.push_back({"0", "10.00", "5"});
    goods.lines.push_back(CMyLine{"segment", 6, {{1, 10.5f}, {4, 11.0f}}});
    goods.oxBoxes = {3, -2};
    goods.flagged = true;

    CQeltGoods copy(goods);
    CQeltGoods assigned;
    assigned = goods;
    for (const CQeltGoods* c : {&copy, &assigned}) {
        EXPECT_EQ(c->goods_no, "0101");
        EXPECT_EQ(c->series, goods.series);
        EXPECT_EQ(c->weekSeries, goods.weekSeries);
        EXPECT_EQ(c->trades, goods.trades);
        EXPECT_EQ(c->lines, goods.lines);
        EXPECT_EQ(c->oxBoxes, goods.oxBoxes);
        EXPECT_TRUE(c->flagged);
    }
}

TEST(GoodsRecord, ListFieldsFollowTheBoardOrder) {
    EXPECT_EQ(ListField(1), &CQeltGoods::due_date);
    EXPECT_EQ(ListField(10), &CQeltGoods::goods_no);
    EXPECT_EQ(ListField(20), &CQeltGoods::last_date);
    EXPECT_EQ(ListField(27), &CQeltGoods::pre_newest);
    EXPECT_EQ(ListField(0), nullptr);
    EXPECT_EQ(ListField(28), nullptr);
    int prices = 0;
    for (std::size_t n = 1; n <= kListFields; ++n) prices += IsListPriceField(n);
    EXPECT_EQ(prices, 8);
}

TEST(BarRow, HoldsTenTextsAndChangesOneWithoutDisturbingTheOthers) {
    CBarRow bar{"20060601", "10.00", "11.00", "12.00", "9.00", "150", "10.50", "30", "40", "20060525"};
    EXPECT_EQ(bar.size(), 10u);
    EXPECT_EQ(bar[kBarDate], "20060601");
    EXPECT_EQ(bar[kBarDue], "20060525");
    bar.Set(kBarClose, "11.255");
    bar.Set(kBarDate, "");
    EXPECT_EQ(bar[kBarClose], "11.255");
    EXPECT_EQ(bar[kBarDate], "");
    EXPECT_EQ(bar[kBarOpen], "10.00");
    EXPECT_EQ(bar[kBarHigh], "12.00");
    EXPECT_EQ(bar[kBarDue], "20060525");
    EXPECT_EQ(bar[10], "");
    bar.Set(10, "ignored");
    EXPECT_EQ(bar.Texts().size(), 10u);
}

TEST(BarRow, ShortRecordsReadEmptyAndLongOnesAreCut) {
    CBarRow shortBar(std::vector<std::string_view>{"20060601", "1"});
    EXPECT_EQ(shortBar[kBarOpen], "1");
    EXPECT_EQ(shortBar[kBarClose], "");
    std::vector<std::string_view> many(12, "x");
    EXPECT_EQ(CBarRow(many)[kBarDue], "x");

    std::string huge(70000, '9');
    CBarRow big{huge, "2"};
    EXPECT_EQ(big[kBarDate].size(), CBarRow::kMaxText);
    EXPECT_EQ(big[kBarOpen], "");  // no room left: cut, never wrapped around
}

}  // namespace
}  // namespace qelt
