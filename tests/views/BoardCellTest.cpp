// Cell rules of the quote board, checked on the recording canvas and on single cells.
#include <gtest/gtest.h>

#include "gfx/RecordingCanvas.h"
#include "support/FakeViewServices.h"
#include "views/QuoteListView.h"

namespace qelt {
namespace {

using test::FakeViewServices;
using test::MakeGoods;

const BoardColourSet kScreen = BoardColoursOf(DisplayScheme::Screen());

std::optional<Cell> CellOf(const char* title, const CQeltGoods& g, bool flagged = false) {
    return CellFor(title, BuildBoardRow(g, flagged), 0, kScreen);
}

// Texts drawn on the first row (y = header height) in drawing order.
std::vector<std::string> FirstRowTexts(const RecordingCanvas& canvas) {
    std::vector<std::string> texts;
    for (const DrawRecord& r : canvas.Of(DrawOp::Text))
        if (r.points[0].y == 30) texts.push_back(r.text);
    return texts;
}

TEST(BoardCell, StoppedGoodsShowsOnlyNumberNameAndDeliveryMonth) {
    FakeViewServices host;
    CQeltGoods g = MakeGoods("0101", "20070325", "1523.00", "1500.00", 0);
    g.state = "-1";
    host.goods[0] = {g};
    QuoteListView view(host);
    view.OnInitialUpdate();
    view.OnSize(3000, 600);
    // Show every column: move "交货月" (slot 18) into the page by scrolling nothing away.
    RecordingCanvas canvas;
    view.Paint(canvas, {3000, 600}, DisplayScheme::Screen());
    const std::vector<std::string> texts = FirstRowTexts(canvas);
    ASSERT_EQ(texts.size(), 24u);
    int placeholders = 0;
    for (const std::string& t : texts) placeholders += t == "--  ";
    EXPECT_EQ(placeholders, 21);
    EXPECT_EQ(texts[0], "1");
    EXPECT_EQ(texts[1], "桑蚕丝-070325");
    EXPECT_EQ(canvas.TextsEqual("20070325").size(), 1u);
    for (const DrawRecord& r : canvas.TextsEqual("--  ")) EXPECT_EQ(r.colour, Rgb(255, 255, 255));
}

TEST(BoardCell, GoodsWithoutDeliveryMonthUseGoodsNumber) {
    CQeltGoods g = MakeGoods("2000", " ", "10.00", "10.00", 0);
    EXPECT_EQ(CellOf("商品名称", g)->text, "丝绵2000");
    EXPECT_EQ(CellOf("交货月", g)->text, "202000");
    EXPECT_EQ(CellOf("交货月", g)->colour, Rgb(240, 248, 136));
}

TEST(BoardCell, AnIndexRecordsDeliveryMonthSaysIndexNotItsName) {
    // An index record's due_date holds its name: the name column shows it already.
    CQeltGoods index = MakeGoods("0009", "生丝指数", "1033.97", "1031.67", 1);
    index.name = "生丝指数";
    EXPECT_EQ(CellOf("交货月", index), (Cell{"指数", Rgb(240, 248, 136)}));
    EXPECT_EQ(CellOf("商品名称", index)->text, "生丝指数");
    EXPECT_EQ(CellOf("交货月", MakeGoods("0112", "20270225", "16.45", "16.49", 5))->text, "20270225");
}

TEST(BoardCell, PriceColoursFollowChangeAndPreviousClose) {
    CQeltGoods g = MakeGoods("0101", "20070325", "1500.00", "1500.00", 0);
    g.change = "0.00005";  // below 0.0001: unchanged
    g.changePercent = "0.00";
    EXPECT_EQ(CellOf("价格", g)->colour, kScreen.level);
    EXPECT_EQ(CellOf("涨跌", g)->colour, kScreen.level);
    EXPECT_EQ(CellOf("涨幅", g)->colour, kScreen.level);  // price equals pre_close
    EXPECT_EQ(CellOf("涨幅", g)->text, "0.00%");
    g.change = "-3.00";
    g.lowest_price = "1490.00";
    EXPECT_EQ(CellOf("价格", g)->colour, kFallColour);
    EXPECT_EQ(CellOf("最低价", g)->colour, kFallColour);
    EXPECT_EQ(CellOf("最高价", g)->colour, kScreen.level);
    g.change = "0.0002";
    EXPECT_EQ(CellOf("价格", g)->colour, kRiseColour);
    // 涨幅 compares the price with the previous close, whatever the change text says.
    g.price = "1523.00";
    g.change = "-3.00";
    EXPECT_EQ(CellOf("涨幅", g)->colour, kRiseColour);
    g.price = "1477.00";
    g.change = "3.00";
    EXPECT_EQ(CellOf("涨幅", g)->colour, kFallColour);
    g.price = "1500.00005";
    EXPECT_EQ(CellOf("涨幅", g)->colour, kScreen.level) << "within 0.0001 of the previous close";
    g.changePercent = "--";
    EXPECT_EQ(CellOf("涨幅", g)->text, "--");
    EXPECT_EQ(CellOf("昨收", g)->colour, kScreen.level);
    EXPECT_EQ(CellOf("买进", g)->colour, kRiseColour);
    EXPECT_EQ(CellOf("编号", g)->colour, kScreen.header);
    EXPECT_FALSE(CellOf("其他", g).has_value());
}

TEST(BoardCell, SectionCountIsZeroPaddedAndZeroHidesSectionColumns) {
    CQeltGoods g = MakeGoods("0101", "20070325", "1500.00", "1500.00", 0);
    g.last_section = "0";
    EXPECT_EQ(CellOf("小节数", g)->text, "001");
    g.last_section = "11";
    EXPECT_EQ(CellOf("小节数", g)->text, "012");
    g.last_section = "-1";
    EXPECT_EQ(BuildBoardRow(g, false).texts[kRowSectionCount], "0");
    EXPECT_EQ(CellOf("小节数", g)->text, "--  ");
    EXPECT_EQ(CellOf("上节价", g)->text, "--  ");
}

TEST(BoardCell, ZeroValuesAndFlaggedGoodsShowPlaceholders) {
    CQeltGoods g = MakeGoods("0101", "20070325", "0.0009", "1500.00", 0);
    g.newest_price = "0.00";
    g.invest_input = "0";
    EXPECT_EQ(CellOf("价格", g)->text, "--  ");
    EXPECT_EQ(CellOf("动盘价格", g)->text, "--  ");
    EXPECT_EQ(CellOf("申买量", g)->text, "--  ");
    EXPECT_EQ(CellOf("涨跌", g)->text, g.change);      // not flagged: shown
    EXPECT_EQ(CellOf("涨跌", g, true)->text, "--  ");  // flagged with no continuous price
    EXPECT_EQ(CellOf("涨幅", g, true)->text, "--  ");
}

}  // namespace
}  // namespace qelt
