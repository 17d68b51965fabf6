// mutiview.ini: the multi-goods view's four remembered contracts.
#include <gtest/gtest.h>

#include "common/Files.h"
#include "data/settings/MultiGoodsFile.h"
#include "support/TempDir.h"

namespace qelt {
namespace {

TEST(MultiGoodsFile, FourCellsRoundTripInGbkAndEmptyCellsKeepTheirPlace) {
    test::TempDir dir;
    EXPECT_EQ(ReadMultiGoodsChoices(dir.Path()), MultiGoodsChoices{}) << "no file: no choice";
    MultiGoodsChoices choices;
    choices[0] = {"0112", "20240625"};
    choices[2] = {"0009", "生丝指数"};
    choices[3] = {"0151", " "};  // the goods without a delivery month have the month " "
    ASSERT_TRUE(WriteMultiGoodsChoices(dir.Path(), choices));
    EXPECT_EQ(ReadWholeFile(dir.File("mutiview.ini")).value(),
              "0112|20240625\r\n\r\n0009|\xC9\xFA\xCB\xBF\xD6\xB8\xCA\xFD\r\n0151| \r\n");
    EXPECT_EQ(ReadMultiGoodsChoices(dir.Path()), choices)
        << "every key exactly as it was, the blank month too";
}

TEST(MultiGoodsFile, DamagedLinesAreIgnored) {
    const std::string longField(40, '9');
    const MultiGoodsChoices choices = ParseMultiGoodsChoices(
        "|20240625\n" + longField + "|1\n0121|2024|0625\n0131|20240725\n0145|20240825\n");
    EXPECT_TRUE(choices[0].goodsNo.empty()) << "no goods number";
    EXPECT_TRUE(choices[1].goodsNo.empty()) << "longer than any goods number";
    EXPECT_TRUE(choices[2].goodsNo.empty()) << "a third field";
    EXPECT_EQ(choices[3], (GoodsKey{"0131", "20240725"}));
    EXPECT_EQ(ParseMultiGoodsChoices("0112").at(0), (GoodsKey{"0112", ""}));
}

}  // namespace
}  // namespace qelt
