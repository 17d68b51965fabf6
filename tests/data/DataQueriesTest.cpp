// What the views read: the goods of a category and the current goods.
#include <gtest/gtest.h>

#include "StoreFixture.h"

namespace qelt::test {
namespace {

class FixedSelfSelected : public SelfSelectedSource {
  public:
    std::vector<SelfSelectedEntry> ReadSelfSelected() const override { return entries; }
    std::vector<SelfSelectedEntry> entries;
};

class Queries : public ::testing::Test, public StoreFixture {
  protected:
    void SetUp() override {
        data.SetSelfSelectedSource(&selfSelected);
        // Categories: 0101 生丝, 0121 干茧, 0009 指数, then the pseudo-categories the
        // application adds to its table, and 0000.
        data.Dispatch(
            "category:0101|生丝|0||0121|干茧|1||0009|指数|0||0112|丝指|0||2000|现货|0||0001|全部|0||0002|"
            "现货月|0||"
            "0003|交货月|0||0004|第三月|0||0005|合约|0||0006|中旬|0||0007|空|0||");
        data.Dispatch(ListReply({
            ListRow("0101", "20060525").State("1"),   // 0
            ListRow("0101", "20060515").State("2"),   // 1
            ListRow("0101", "20060605").State("-1"),  // 2
            ListRow("0121", "20060525"),              // 3
            ListRow("0009", "生丝指数"),              // 4
            ListRow("2000", "现货A"),                 // 5
            ListRow("0300", " "),                     // 6: blank delivery month
        }));
    }
    std::vector<std::string> Names(std::string_view code) {
        auto codes = data.CategoryCodes();
        for (std::size_t i = 0; i < codes.size(); ++i)
            if (codes[i] == code) {
                std::vector<std::string> names;
                for (const auto& g : data.GoodsOfCategory(static_cast<int>(i))) names.push_back(g.name);
                return names;
            }
        ADD_FAILURE() << "no category " << code;
        return {};
    }
    int IndexOf(std::string_view code) {
        auto codes = data.CategoryCodes();
        for (std::size_t i = 0; i < codes.size(); ++i)
            if (codes[i] == code) return static_cast<int>(i);
        return -1;
    }
    FixedSelfSelected selfSelected;
};

using V = std::vector<std::string>;

TEST_F(Queries, RealCategoriesSelectActiveGoodsOfTheirNumber) {
    EXPECT_EQ(Names("0101"), (V{"生丝-060525", "生丝-060515"}));
    EXPECT_EQ(Names("0121"), (V{"干茧-060525"}));
    EXPECT_EQ(Names("0112"), (V{"生丝指数"}));
    EXPECT_EQ(Names("2000"), (V{"现货A", " "}));
}

TEST_F(Queries, PseudoCategoriesSelectDerivedLists) {
    EXPECT_EQ(Names("0001").size(), 6u);
    EXPECT_EQ(Names("0002"), (V{"生丝现货月"}));
    EXPECT_EQ(Names("0003"), (V{"生丝交货月"}));
    EXPECT_EQ(Names("0004"), (V{"生丝第三月"}));
    EXPECT_EQ(Names("0005"), (V{"生丝-05合约", "干茧-05合约"}));
    EXPECT_EQ(Names("0006"), (V{"生丝-0515", "生丝-0605"}));
    EXPECT_TRUE(Names("0007").empty());
    EXPECT_TRUE(data.GoodsOfCategory(-1).empty());
    EXPECT_TRUE(data.GoodsOfCategory(99).empty());
}

TEST_F(Queries, SelfSelectedFollowsTheMainListOrder) {
    selfSelected.entries = {
        {{"0121", "20060525"}, "0001"}, {{"0101", "20060525"}, "0005"}, {{"0101", "20991231"}, "0001"}};
    EXPECT_EQ(Names("0000"), (V{"生丝-060525", "干茧-060525"}));
}

TEST_F(Queries, RowsCarryQuoteFieldsButNotSeriesOrFlags) {
    data.Dispatch("line:012120060525:12:20060601|1|2|3|0.5|10|1.5|7|8|20060525||");
    auto rows = data.GoodsOfCategory(IndexOf("0121"));
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].position, 3);
    EXPECT_EQ(rows[0].price, "10.00");
    EXPECT_EQ(rows[0].last_date, "20060601");
    EXPECT_EQ(rows[0].listTag, "12");
    EXPECT_FALSE(rows[0].flagged);
    EXPECT_TRUE(rows[0].seriesWanted);
    EXPECT_TRUE(rows[0].series.empty());
}

TEST_F(Queries, CurrentGoodsLooksInTheDerivedListByPosition) {
    data.Dispatch("line:010120060525:1:20060601|1|2|3|0.5|10|1.5|7|8|20060525||");
    CQeltGoods spot = data.CurrentGoods(IndexOf("0002"), 0, "");
    EXPECT_EQ(spot.listTag, "1");
    EXPECT_EQ(spot.series.size(), 1u);  // the whole record, series included
    EXPECT_EQ(data.CurrentGoods(IndexOf("0005"), 3, "").name, "干茧-05合约");
    EXPECT_EQ(data.CurrentGoods(IndexOf("0003"), 0, "").listTag, "0");
    // No spot entry at position 3: the main record.
    EXPECT_EQ(data.CurrentGoods(IndexOf("0002"), 3, "").listTag, "12");
    // The self-selected list stands for the category it was filled from.
    EXPECT_EQ(data.CurrentGoods(IndexOf("0000"), 3, "0005").listTag, "3");
    EXPECT_EQ(data.CurrentGoods(IndexOf("0101"), 1, "").name, "生丝-060515");
    EXPECT_EQ(data.CurrentGoods(IndexOf("0101"), 50, "").goods_no, "");
}

TEST_F(Queries, ResetEmptiesListsAndCategories) {
    data.Reset();
    EXPECT_EQ(data.MainCount(), 0u);
    EXPECT_TRUE(data.Copy(GoodsList::Contract).empty());
    EXPECT_TRUE(data.Copy(GoodsList::Delivery).empty());
    EXPECT_TRUE(data.CategoryCodes().empty());
    EXPECT_EQ(data.CategoryName("0101"), "");
    // A new synchronisation starts from scratch, contract list included.
    data.Dispatch("category:0101|生丝|0||");
    data.Dispatch(ListReply({ListRow("0101", "20060625")}));
    EXPECT_EQ(data.MainListKeys(), (std::vector<GoodsKey>{{"0101", "20060625"}}));
    EXPECT_EQ(data.Copy(GoodsList::Contract).size(), 1u);
}

}  // namespace
}  // namespace qelt::test
