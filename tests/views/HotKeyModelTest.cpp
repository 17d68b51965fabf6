// The keyboard wizard's goods-number and delivery-month prefixes.
#include <gtest/gtest.h>

#include "support/FakeViewServices.h"
#include "views/controls/HotKeyModel.h"

namespace qelt {
namespace {

std::vector<GoodsSummary> MainList() {
    std::vector<GoodsSummary> out;
    for (const CQeltGoods& g :
         {test::MakeGoods("0101", "20071225", "1", "1", 0), test::MakeGoods("0101", "20070325", "1", "1", 1),
          test::MakeGoods("0112", "20071225", "1", "1", 2), test::MakeGoods("0201", "20071225", "1", "1", 3),
          test::MakeGoods("0101", "12", "1", "1", 4)})
        out.push_back(test::SummaryOf(g));
    return out;
}

std::vector<int> Indexes(const std::vector<HotKeyRow>& rows) {
    std::vector<int> out;
    for (const auto& r : rows) out.push_back(r.goodsIndex);
    return out;
}

TEST(HotKeyModel, PrefixesSelectGoodsAndDeliveryMonths) {
    EXPECT_EQ(Indexes(FilterHotKeyRows(MainList(), "01")), (std::vector<int>{0, 1, 2, 4}));
    EXPECT_EQ(Indexes(FilterHotKeyRows(MainList(), "010112")), (std::vector<int>{4}));
    EXPECT_EQ(Indexes(FilterHotKeyRows(MainList(), "01012007")), (std::vector<int>{0, 1}));
    EXPECT_EQ(Indexes(FilterHotKeyRows(MainList(), "")), (std::vector<int>{0, 1, 2, 3, 4}));
    EXPECT_TRUE(FilterHotKeyRows(MainList(), "9").empty());
    const auto rows = FilterHotKeyRows(MainList(), "0112");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].goodsNo, "0112");
    EXPECT_EQ(rows[0].name, "桑蚕丝-071225");
}

TEST(HotKeyModel, DialogSitsAboveAndLeftOfTheAnchor) {
    EXPECT_EQ(HotKeyPlacement({800, 600}), (Rect{647, 445, 797, 675}));
}

}  // namespace
}  // namespace qelt
