// Sorting, selection, scrolling, layout and the self-selected rules of the quote board.
#include <gtest/gtest.h>

#include "common/Commands.h"
#include "gfx/RecordingCanvas.h"
#include "support/FakeViewServices.h"
#include "views/QuoteListView.h"
#include "views/ScrollCodes.h"

namespace qelt {
namespace {

using test::FakeViewServices;
using test::MakeGoods;

class BoardTest : public ::testing::Test {
  protected:
    void SetUp() override {
        // Store order: prices 20, 10, 30; change percents 1, 3, 2; contracts ascending.
        auto a = MakeGoods("0101", "20070325", "20.00", "19.00", 7);
        a.changePercent = "1.00";
        auto b = MakeGoods("0101", "20070425", "10.00", "9.00", 8);
        b.changePercent = "3.00";
        auto c = MakeGoods("0101", "20070525", "30.00", "29.00", 9);
        c.changePercent = "2.00";
        host.goods[0] = {a, b, c};
        view = std::make_unique<QuoteListView>(host);
        view->Attach(viewHost);
        view->OnInitialUpdate();
        view->OnSize(1000, 500);
    }
    std::vector<std::string> Prices() {
        std::vector<std::string> out;
        for (int p = 0; p < 3; ++p) out.push_back(view->GoodsOfRow(view->RowAt(p)).price);
        return out;
    }
    RecordingCanvas Paint() {
        RecordingCanvas canvas;
        view->Paint(canvas, {1000, 500}, DisplayScheme::Screen());
        return canvas;
    }
    Point CentreOf(const std::string& headerText) {
        RecordingCanvas canvas = Paint();
        auto found = canvas.TextsEqual(headerText);
        EXPECT_EQ(found.size(), 1u) << headerText;
        return {found.empty() ? 0 : found[0].points[0].x - 10, 10};
    }
    FakeViewServices host;
    test::FakeViewHost viewHost;
    std::unique_ptr<QuoteListView> view;
};

TEST_F(BoardTest, FirstShowMakesTheFirstRowCurrent) {
    EXPECT_EQ(host.selection.goods, 7);
    host.selection.spareText = "x";
    view->OnInitialUpdate();
    EXPECT_EQ(host.selection.spareText, "") << "making a goods current empties the spare text";
    EXPECT_EQ(view->SortKey(), kSortByContract);
    EXPECT_EQ(Paint().TextsEqual("商品名称↑").size(), 1u);
}

TEST_F(BoardTest, SixDigitPricesComeOutSmallerInsteadOfRunningIntoTheNextColumn) {
    // 申买价 is 80 pixels wide; "165500.00" takes 81 at the board's font.
    host.goods[0][1].invest_price = "165500.00";
    host.goods[0][2].invest_price = "16.55";
    view->OnInitialUpdate();
    view->OnSize(2000, 500);
    RecordingCanvas canvas;
    view->Paint(canvas, {2000, 500}, DisplayScheme::Screen());
    const std::vector<DrawRecord> wide = canvas.TextsEqual("165500.00");
    ASSERT_EQ(wide.size(), 1u);
    EXPECT_LT(wide[0].font.height, 18);
    EXPECT_LE(static_cast<int>(wide[0].text.size()) * wide[0].font.height / 2, 76) << "within the column";
    const std::vector<DrawRecord> usual = canvas.TextsEqual("16.55");
    ASSERT_EQ(usual.size(), 1u);
    EXPECT_EQ(usual[0].font.height, 18) << "a price of the usual width keeps the board's font";
    EXPECT_EQ(usual[0].points.at(0).x, wide[0].points.at(0).x) << "both right-aligned at the column's edge";
}

TEST_F(BoardTest, SortClicksFlipAndKeepDirection) {
    ASSERT_TRUE(view->OnLButtonDown(CentreOf("价格")));
    EXPECT_EQ(Prices(), (std::vector<std::string>{"10.00", "20.00", "30.00"}));
    ASSERT_TRUE(view->OnLButtonDown(CentreOf("价格↑")));
    EXPECT_TRUE(view->Reversed());
    EXPECT_EQ(Paint().TextsEqual("价格↓").size(), 1u);
    EXPECT_EQ(Prices(), (std::vector<std::string>{"30.00", "20.00", "10.00"}));

    // The change-percent column is scrolled into view first; the direction stays descending.
    view->OnHScroll(kSbThumbTrack, 14);
    ASSERT_TRUE(view->OnLButtonDown(CentreOf("涨幅")));
    EXPECT_TRUE(view->Reversed());
    RecordingCanvas canvas = Paint();
    EXPECT_EQ(canvas.TextsEqual("涨幅↓").size(), 1u);
    EXPECT_EQ(canvas.TextsEqual("价格").size(), 1u);
    // Descending change percent: 3, 2, 1 → prices 10, 30, 20.
    EXPECT_EQ(Prices(), (std::vector<std::string>{"10.00", "30.00", "20.00"}));
}

TEST_F(BoardTest, TheSortOutlivesTheBoardAcrossViewSwitches) {
    ASSERT_TRUE(view->OnLButtonDown(CentreOf("价格")));
    ASSERT_TRUE(view->OnLButtonDown(CentreOf("价格↑")));
    // Another view comes and goes: the board is made again for the same application.
    view.reset();
    view = std::make_unique<QuoteListView>(host);
    view->Attach(viewHost);
    view->OnInitialUpdate();
    view->OnSize(1000, 500);
    EXPECT_EQ(view->SortKey(), 2);
    EXPECT_TRUE(view->Reversed());
    EXPECT_EQ(Paint().TextsEqual("价格↓").size(), 1u);
    EXPECT_EQ(Prices(), (std::vector<std::string>{"30.00", "20.00", "10.00"}));
    EXPECT_EQ(host.selection.goods, 9) << "the first row in that order becomes current";
}

TEST(BoardSort, NeighbouringDeliveryMonthsSortByContract) {
    // 10120070525 and 10120070325 are one float apart at most: the keys must be finer.
    FakeViewServices host;
    host.goods[0] = {MakeGoods("0101", "20070525", "1.00", "1.00", 0),
                     MakeGoods("0101", "20070325", "1.00", "1.00", 1),
                     MakeGoods("0009", "20070425", "1.00", "1.00", 2)};
    QuoteListView view(host);
    view.OnInitialUpdate();
    EXPECT_EQ(view.DisplayOrder(), (std::vector<int>{2, 1, 0}));
    EXPECT_EQ(BuildBoardRow(host.goods[0][1], false).keys[0], 10120070325.0);
}

TEST_F(BoardTest, NumbersCountFromTheTopInReverseOrder) {
    view->OnLButtonDown(CentreOf("商品名称↑"));
    ASSERT_TRUE(view->Reversed());
    RecordingCanvas canvas = Paint();
    std::vector<int> ys;
    for (const char* n : {"1", "2", "3"}) {
        auto found = canvas.TextsEqual(n);
        ASSERT_EQ(found.size(), 1u);
        ys.push_back(found[0].points[0].y);
    }
    EXPECT_EQ(ys, (std::vector<int>{30, 52, 74}));
    EXPECT_EQ(canvas.TextsEqual("桑蚕丝-070525")[0].points[0].y, 30);
}

TEST_F(BoardTest, ClicksSelectRowsAndBelowTheLastRowNothing) {
    EXPECT_TRUE(view->OnLButtonDown({100, 30 + 22 + 5}));
    EXPECT_EQ(view->SelectedRow(), 2);
    EXPECT_EQ(host.selection.goods, 8);
    EXPECT_FALSE(view->OnLButtonDown({100, 30 + 22 * 5}));
    EXPECT_EQ(view->SelectedRow(), 2);
    // The selection line sits under the second row.
    RecordingCanvas canvas = Paint();
    auto lines = canvas.Of(DrawOp::Line);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].points[0], (Point{0, 30 + 44 - 2}));
    EXPECT_EQ(lines[0].points[1], (Point{980, 72}));
    EXPECT_EQ(lines[0].pen, Pen::Solid(2, Rgb(128, 128, 225)));
    view->OnLButtonDblClk();
    ASSERT_EQ(host.switches.size(), 1u);
    EXPECT_EQ(host.switches[0], (std::pair<int, int>{2, 0}));
}

TEST_F(BoardTest, WheelMovesSelectionAndScrollsAtPageEdges) {
    view->OnSize(1000, 30 + 20 + 44);  // two rows per page
    ASSERT_EQ(view->RowsPerPage(), 2);
    view->OnWheel(true);
    EXPECT_EQ(view->SelectedRow(), 2);
    view->OnWheel(true);
    EXPECT_EQ(view->FirstRow(), 1);
    EXPECT_EQ(host.selection.goods, 9);
    view->OnWheel(true);  // at the last row: nothing moves
    EXPECT_EQ(view->FirstRow(), 1);
    EXPECT_EQ(view->SelectedRow(), 2);
    view->OnWheel(false);
    view->OnWheel(false);
    EXPECT_EQ(view->FirstRow(), 0);
    EXPECT_EQ(view->SelectedRow(), 1);
    EXPECT_EQ(host.selection.goods, 7);
}

TEST_F(BoardTest, ScrollingIsBounded) {
    view->OnVScroll(kSbLineUp, 0);
    EXPECT_EQ(view->FirstRow(), 0);
    view->OnVScroll(kSbPageDown, 0);
    EXPECT_EQ(view->FirstRow(), 3);
    view->OnVScroll(kSbTop, 0);
    EXPECT_EQ(view->FirstRow(), 0);
    view->OnHScroll(kSbBottom, 0);
    EXPECT_EQ(view->HorizontalOffset(), kScrollableSlots);
    view->OnHScroll(kSbPageUp, 0);
    EXPECT_EQ(view->HorizontalOffset(), kScrollableSlots - 5);
}

TEST_F(BoardTest, NavigationKeysMoveSelectionAndScroll) {
    view->OnNavKey(QuoteListView::NavKey::Down);
    EXPECT_EQ(view->SelectedRow(), 2);
    EXPECT_EQ(host.selection.goods, 8);
    view->OnNavKey(QuoteListView::NavKey::Up);
    EXPECT_EQ(view->SelectedRow(), 1);
    view->OnNavKey(QuoteListView::NavKey::PageDown);
    EXPECT_EQ(view->FirstRow(), 3);
    view->OnNavKey(QuoteListView::NavKey::PageUp);
    EXPECT_EQ(view->FirstRow(), 0);
    view->OnNavKey(QuoteListView::NavKey::Left);
    EXPECT_EQ(view->HorizontalOffset(), 0);
    view->OnNavKey(QuoteListView::NavKey::Right);
    EXPECT_EQ(view->HorizontalOffset(), 1);
}

TEST_F(BoardTest, LayoutFollowsScaleAndCategoryCount) {
    host.scale = 1.5;
    QuoteListView scaled(host);
    const BoardLayout layout = scaled.OnSize(1200, 800);
    EXPECT_EQ(layout.vScroll, (Rect{1170, 0, 1200, 770}));
    EXPECT_EQ(layout.tabs, (Rect{0, 770, 80 * 5 * 3 / 2 + 30, 800}));
    EXPECT_EQ(layout.hScroll, (Rect{630, 770, 1200, 800}));
    EXPECT_EQ(scaled.RowHeight(), 33);
    EXPECT_EQ(scaled.RowsPerPage(), (800 - 45 - 30) / 33);
}

TEST_F(BoardTest, TabSelectRebuildsAndResetsScroll) {
    host.goods[4] = {MakeGoods("0101", "20070625", "1.00", "1.00", 12)};
    view->OnVScroll(kSbLineDown, 0);
    view->OnTabSelect(4);
    EXPECT_EQ(host.selection.category, 4);
    EXPECT_EQ(view->GoodsCount(), 1);
    EXPECT_EQ(view->FirstRow(), 0);
    EXPECT_EQ(view->SelectedRow(), 1);
    view->OnTabSelect(99);  // unknown index: ignored
    EXPECT_EQ(view->Category(), 4);
}

TEST_F(BoardTest, NetListKeepsScrollAndSelection) {
    view->OnLButtonDown({100, 60});
    view->OnVScroll(kSbLineDown, 0);
    host.goods[0][0].price = "25.00";
    view->OnNetList();
    EXPECT_EQ(view->FirstRow(), 1);
    EXPECT_EQ(view->SelectedRow(), 2);
    EXPECT_EQ(view->Rows()[0].texts[kRowPrice], "25.00");
}

TEST_F(BoardTest, SelfSelectedMenusByCategory) {
    BoardPopup popup = view->OnRButtonDown({100, 40});  // "0101": add
    EXPECT_EQ(popup.kind, BoardPopup::Kind::AddSelfSelected);
    EXPECT_EQ(popup.at, (Point{100, 90}));
    view->OnCommand(cmd::kAddSelfSelected);
    ASSERT_EQ(host.added.size(), 1u);
    EXPECT_EQ(host.added[0], (std::vector<std::string>{"0101", "20070325", "0001"}));

    auto contract = MakeGoods("0101", "20070325", "20.00", "19.00", 7);
    contract.name = "桑蚕丝-03合约";
    host.goods[3] = {contract};
    view->OnTabSelect(3);  // "0005": add with the contract category
    view->OnRButtonDown({100, 40});
    view->OnCommand(cmd::kAddSelfSelected);
    EXPECT_EQ(host.added[1][2], "0005");

    host.goods[4] = {contract};
    view->OnTabSelect(4);  // "0000": remove, and the remembered category follows the name
    popup = view->OnRButtonDown({100, 40});
    EXPECT_EQ(popup.kind, BoardPopup::Kind::RemoveSelfSelected);
    EXPECT_EQ(host.selection.selfSelectedCategory, "0005");
    host.goods[4].clear();
    view->OnCommand(cmd::kRemoveSelfSelected);
    EXPECT_EQ(host.removed.size(), 2u);
    EXPECT_EQ(view->GoodsCount(), 0);

    host.goods[1] = {MakeGoods("0112", "20070325", "20.00", "19.00", 3)};
    view->OnTabSelect(1);
    host.codes[1] = "0003";  // a derived list: no popup
    EXPECT_EQ(view->OnRButtonDown({100, 40}).kind, BoardPopup::Kind::None);
}

TEST_F(BoardTest, EmptyCategoryPaintsOnlyTheHeaderAndSelectsNothing) {
    view->OnTabSelect(2);
    host.selection.goods = -1;
    EXPECT_FALSE(view->OnLButtonDown({100, 40}));
    view->OnWheel(true);
    view->OnEnter();
    EXPECT_EQ(host.selection.goods, -1);
    EXPECT_TRUE(host.switches.empty());
    RecordingCanvas canvas = Paint();
    for (const DrawRecord& r : canvas.Of(DrawOp::Text)) EXPECT_EQ(r.points[0].y, 5);
}

TEST_F(BoardTest, PrintingUsesPrintColoursAndNoSelectionLine) {
    RecordingCanvas canvas;
    view->PaintForPrint(canvas, {1000, 500}, DisplayScheme::Print());
    EXPECT_TRUE(canvas.Of(DrawOp::Line).empty());
    ASSERT_FALSE(canvas.Of(DrawOp::FillRect).empty());
    EXPECT_EQ(canvas.Of(DrawOp::FillRect)[0].colour, Rgb(255, 255, 255));
    EXPECT_EQ(canvas.Of(DrawOp::FillRect)[0].rect, (Rect{0, 0, 1060, 560}));
    EXPECT_EQ(canvas.TextsEqual("商品名称↑")[0].colour, Rgb(0, 0, 0));
}

TEST_F(BoardTest, AColumnChoiceThatCannotBeSavedIsReportedOnce) {
    host.dir = "/nonexistent/";  // head.ini cannot be written there
    std::vector<std::string> shown;
    host.MutableSettings().Reports().SetSink(
        [&shown](const std::string& text, const std::string&) { shown.push_back(text); });
    view->OnRButtonDown({300, 10});
    view->OnColumnCommand(32848);
    view->OnColumnCommand(32849);
    EXPECT_EQ(shown, std::vector<std::string>{"无法保存列表设置！"}) << "one message per file and run";
}

}  // namespace
}  // namespace qelt
