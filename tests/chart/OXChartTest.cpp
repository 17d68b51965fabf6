// Point-and-figure columns and their box size.
#include <gtest/gtest.h>

#include "chart/OXChart.h"
#include "support/BarNumbersCheck.h"

namespace qelt {
namespace {

CBarRow Bar(std::string_view date, std::string_view open, std::string_view close, std::string_view high = "0",
            std::string_view low = "0", std::string_view num = "1") {
    return CBarRow{date, open, close, high, low, num, "avg", "pure", "null", "200606"};
}

TEST(BuildOX, TheFirstColumnCountsItsStartingBoxAndRisesUnlessTheBarFell) {
    OXSeries ox = BuildOX({Bar("20060102", "10", "12")}, 1.0f, 1);
    EXPECT_EQ(ox.boxes, (std::vector<int>{3})) << "open level 10 to close level 12";
    EXPECT_EQ(ox.columns[0][kBarOpen], "10") << "the first column keeps its bar's open text";
    EXPECT_EQ(ox.columns[0][kBarClose], "12") << "not extended yet: the bar's close";
    EXPECT_EQ(BuildOX({Bar("20060102", "10", "10")}, 1.0f, 1).boxes, (std::vector<int>{1}));
    EXPECT_EQ(BuildOX({Bar("20060102", "10", "8")}, 1.0f, 1).boxes, (std::vector<int>{-3}));
}

TEST(BuildOX, AColumnTurnsOnlyAfterTheReversalCountAndOpensNextToTheOldEnd) {
    // Reversal 3: from level 10, closes at 9 and 8 stay in the rising column; 7 turns it.
    const BarSeries bars = {Bar("1", "9.5", "10.2", "10.5", "9", "5"),
                            Bar("2", "10", "9.4", "10.8", "9.1", "6"),
                            Bar("3", "9", "8.7", "9.2", "8.5", "7"), Bar("4", "8", "7.3", "8.1", "7", "8"),
                            Bar("5", "7", "5.5", "7.2", "5.4", "9")};
    OXSeries ox = BuildOX(bars, 1.0f, 3);
    ASSERT_EQ(ox.boxes, (std::vector<int>{2, -3 - 2}));
    EXPECT_EQ(ox.columns[0][kBarHigh], "10.8") << "extremes of every merged bar";
    EXPECT_EQ(ox.columns[0][kBarLow], "8.5");
    EXPECT_EQ(ox.columns[0][kBarNum], "18");
    EXPECT_EQ(ox.columns[0][kBarClose], "10.2") << "never extended past its first close";
    EXPECT_EQ(ox.columns[1][kBarOpen], "9.50") << "centre of level 10 - 1";
    EXPECT_EQ(ox.columns[1][kBarClose], "5.50") << "extended to level 5";
    EXPECT_EQ(ox.columns[1][kBarDate], "4");
}

TEST(BuildOX, AColumnExtendedBarAfterBarCountsEachBoxOnceAndTurnsFromItsLastEnd) {
    // Reversal 3, box 1: rising from level 10 through 11, 12, 13 and 15 (six boxes); 13 stays,
    // 12 is three below 15 and turns it; then 11 and 9 extend the falling column.
    const BarSeries bars = {Bar("1", "10", "11"), Bar("2", "11", "12"), Bar("3", "12", "13"),
                            Bar("4", "13", "15"), Bar("5", "15", "13"), Bar("6", "13", "12"),
                            Bar("7", "12", "11"), Bar("8", "11", "9")};
    OXSeries ox = BuildOX(bars, 1.0f, 3);
    ASSERT_EQ(ox.boxes, (std::vector<int>{6, -6}));
    EXPECT_EQ(ox.columns[0][kBarClose], "15.50") << "extended to level 15";
    EXPECT_EQ(ox.columns[1][kBarOpen], "14.50") << "one box under the rising column's end at 15";
    EXPECT_EQ(ox.columns[1][kBarClose], "9.50") << "extended to level 9";
    EXPECT_EQ(ox.columns[1][kBarDate], "6");
    // Falling, a rise of two boxes stays in the column; three turn it from its end at 9.
    const BarSeries more = {Bar("9", "9", "11"), Bar("10", "11", "12")};
    BarSeries all = bars;
    all.insert(all.end(), more.begin(), more.end());
    ox = BuildOX(all, 1.0f, 3);
    ASSERT_EQ(ox.boxes, (std::vector<int>{6, -6, 3}));
    EXPECT_EQ(ox.columns[2][kBarOpen], "10.50");
}

TEST(BuildOX, ABoxThatIsNotPositiveGivesNoColumns) {
    const BarSeries bars = {Bar("1", "10", "12")};
    EXPECT_TRUE(BuildOX(bars, 0.0f, 1).columns.empty());
    EXPECT_TRUE(BuildOX(bars, -1.0f, 1).columns.empty());
    EXPECT_TRUE(BuildOX({}, 1.0f, 1).columns.empty());
}

TEST(OXBoxSize, ParametersByGoodsAndTheAutomaticRanges) {
    EXPECT_FLOAT_EQ(OXBoxSize("0009", 20, 0, 0, 0, 0), 20.0f);
    EXPECT_FLOAT_EQ(OXBoxSize("0121", 0, 0, 300, 0, 0), 0.03f);
    EXPECT_FLOAT_EQ(OXBoxSize("0101", 0, 500, 300, 0, 0), 0.05f);
    // Automatic: a thirtieth of the close range, cut to tens of points for the index.
    EXPECT_FLOAT_EQ(OXBoxSize("0009", 0, 0, 0, 1500, 1000), 10.0f);
    EXPECT_EQ(OXBoxSize("0009", 0, 0, 0, 1290, 1000), 0.0f) << "a range under 300 points";
    EXPECT_FLOAT_EQ(OXBoxSize("0101", 0, 0, 0, 2.5, 1.3), 0.04f);
    EXPECT_FLOAT_EQ(OXBoxSize("0101", 0, 0, 0, 1.2, 1.1), 0.003f);
    EXPECT_FLOAT_EQ(OXBoxSize("0101", 0, 0, 0, 1.02, 1.0), 0.0006f);
}

TEST(BuildOX, TheGoodsVersionBuildsFromTheWeekSeries) {
    CQeltGoods goods;
    goods.series = {Bar("20060529", "10", "11", "11", "10"), Bar("20060530", "11", "13", "13", "11"),
                    Bar("20060606", "13", "14", "14", "13")};
    BuildOX(goods, 2, 1.0f, 1);
    EXPECT_EQ(goods.weekSeries.size(), 2u);
    EXPECT_EQ(goods.oxBoxes, (std::vector<int>{5}));
    EXPECT_EQ(goods.oxColumns[0][kBarDate], "20060530") << "opened by the first week bar, dated its last day";
    EXPECT_EQ(goods.oxColumns[0][kBarClose], "14.50");
    EXPECT_EQ(goods.oxColumns[0].Close(), 14.5);
    EXPECT_TRUE(test::NumbersMatchTexts(goods.oxColumns));
    EXPECT_TRUE(test::NumbersMatchTexts(goods.weekSeries));
}

}  // namespace
}  // namespace qelt
