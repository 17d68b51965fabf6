// Sorting, selection, scrolling, layout and the self-selected rules of the quote board.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <tuple>

#include "common/Commands.h"
#include "common/Numbers.h"
#include "data/settings/HeadFile.h"
#include "gfx/RecordingCanvas.h"
#include "support/FakeViewServices.h"
#include "support/TempDir.h"
#include "views/BoardColours.h"
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
    host.selection.boardPlace = BoardPlace{};  // the first board of another run
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
    EXPECT_EQ(host.selection.goods, 7) << "the current contract stays current";
    EXPECT_EQ(view->SelectedRow(), 2) << "and is selected on its row in the new order";
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
    // The band sits behind the second row.
    RecordingCanvas canvas = Paint();
    const std::vector<DrawRecord> fills = canvas.Of(DrawOp::FillRect);
    ASSERT_EQ(fills.size(), 2u);
    EXPECT_EQ(fills[1].rect, (Rect{0, 30 + 22 - 2, 980, 30 + 44 - 2}));
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
    EXPECT_EQ(view->HorizontalOffset(), view->MaxHorizontalOffset());
    view->OnHScroll(kSbPageUp, 0);
    EXPECT_EQ(view->HorizontalOffset(), view->MaxHorizontalOffset() - 5);
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
    ASSERT_EQ(canvas.Of(DrawOp::FillRect).size(), 1u) << "the page, without a selection band";
    EXPECT_EQ(canvas.Of(DrawOp::FillRect)[0].colour, Rgb(255, 255, 255));
    EXPECT_EQ(canvas.Of(DrawOp::FillRect)[0].rect, (Rect{0, 0, 1060, 560}));
    EXPECT_EQ(canvas.TextsEqual("商品名称↑")[0].colour, Rgb(0, 0, 0));
}

/// Frozen prices must not look live: while the connection is being tried again every quote
/// is grey, and the rows' numbers and the contracts' names stay as they are.
TEST_F(BoardTest, WhileTheConnectionIsTriedAgainEveryQuoteIsGrey) {
    auto inColour = [](const RecordingCanvas& canvas, Colour colour) {
        int n = 0;
        for (const DrawRecord& text : canvas.Of(DrawOp::Text)) n += text.colour == colour;
        return n;
    };
    const RecordingCanvas live = Paint();
    ASSERT_GT(inColour(live, kRiseColour), 0) << "prices above the previous close";
    EXPECT_EQ(inColour(live, kStaleColour), 0);
    host.stale = true;
    const RecordingCanvas stale = Paint();
    int quotes = 0;
    for (const DrawRecord& text : stale.Of(DrawOp::Text)) {
        if (text.points[0].y < 20) continue;  // the header
        const bool names = text.text.rfind("桑蚕丝-", 0) == 0 || text.text.rfind("20070", 0) == 0 ||
                           text.text.size() == 1;  // the row's number
        if (names) {
            EXPECT_NE(text.colour, kStaleColour) << text.text;
        } else {
            EXPECT_EQ(text.colour, kStaleColour) << text.text;
            ++quotes;
        }
    }
    EXPECT_GT(quotes, 15);
    EXPECT_EQ(inColour(stale, kRiseColour), 0);
    host.stale = false;
    EXPECT_EQ(inColour(Paint(), kRiseColour), inColour(live, kRiseColour)) << "live again: live colours";
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

/// WCAG's relative luminance and contrast ratio of two colours (0x00BBGGRR).
double Luminance(Colour c) {
    auto channel = [](unsigned v) {
        const double x = v / 255.0;
        return x <= 0.03928 ? x / 12.92 : std::pow((x + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(c & 0xFF) + 0.7152 * channel((c >> 8) & 0xFF) +
           0.0722 * channel((c >> 16) & 0xFF);
}
double Contrast(Colour a, Colour b) {
    const double la = Luminance(a) + 0.05, lb = Luminance(b) + 0.05;
    return la > lb ? la / lb : lb / la;
}

TEST_F(BoardTest, TheSelectedRowIsAFilledBandEveryTextOfTheRowReadsOn) {
    host.goods[0][2].change = "-0.50";  // a falling row among the rising ones
    view->OnNetList();
    for (int row = 1; row <= 3; ++row) {
        view->OnLButtonDown({100, 30 + 22 * (row - 1) + 5});
        const RecordingCanvas canvas = Paint();
        const std::vector<DrawRecord>& records = canvas.Records();
        const Colour band = DisplayScheme::Screen().selection;
        const int top = 30 + 22 * (row - 1);
        auto found = std::find_if(records.begin(), records.end(), [&](const DrawRecord& r) {
            return r.op == DrawOp::FillRect && r.colour == band;
        });
        ASSERT_NE(found, records.end()) << "row " << row;
        EXPECT_EQ(found->rect, (Rect{0, top - 2, 980, top + 20})) << "the row's height, under its text";
        auto firstText = std::find_if(records.begin(), records.end(),
                                      [](const DrawRecord& r) { return r.op == DrawOp::Text; });
        EXPECT_LT(found - records.begin(), firstText - records.begin()) << "drawn before any text";
        EXPECT_TRUE(canvas.Of(DrawOp::Line).empty()) << "no thin line to look for";
        int texts = 0;
        for (const DrawRecord& r : canvas.Of(DrawOp::Text)) {
            if (r.points[0].y != top) continue;
            ++texts;
            EXPECT_GE(Contrast(r.colour, band), 3.0) << "\"" << r.text << "\" on row " << row;
        }
        EXPECT_GE(texts, 8);
    }
}

TEST_F(BoardTest, TheScrollStopsWhereTheLastColumnComesIntoView) {
    const int last = view->MaxHorizontalOffset();
    EXPECT_LT(last, kScrollableSlots);
    for (int i = 0; i < kScrollableSlots + 5; ++i) view->OnNavKey(QuoteListView::NavKey::Right);
    EXPECT_EQ(view->HorizontalOffset(), last);
    RecordingCanvas canvas = Paint();
    std::vector<std::string> headers;
    for (const DrawRecord& r : canvas.Of(DrawOp::Text))
        if (r.points[0].y == 5) headers.push_back(r.text);
    ASSERT_FALSE(headers.empty());
    EXPECT_EQ(headers.back(), "昨收") << "the last column is on show";
    EXPECT_GE(headers.size(), 9u) << "with the board full of columns up to it";
    // One column less and the last would not show: the scroll goes exactly that far.
    view->OnNavKey(QuoteListView::NavKey::Left);
    canvas = Paint();
    EXPECT_TRUE(canvas.TextsEqual("昨收").empty());

    // A window wide enough for every column scrolls none.
    view->OnSize(3000, 500);
    EXPECT_EQ(view->MaxHorizontalOffset(), 0);
    EXPECT_EQ(view->HorizontalOffset(), 0);
}

/// A board of 30 contracts at positions 100.. in a window of ten rows.
class BoardPlaceTest : public ::testing::Test {
  protected:
    BoardPlaceTest() {
        for (int i = 0; i < 30; ++i)
            host.goods[0].push_back(
                MakeGoods("0101", "2007" + FormatInt(1000 + i), "10.00", "9.00", 100 + i));
    }
    QuoteListView& Open() {
        view = std::make_unique<QuoteListView>(host);
        view->Attach(viewHost);
        view->OnInitialUpdate();
        view->OnSize(1000, 30 + 20 + 22 * 10);
        return *view;
    }
    FakeViewServices host;
    test::FakeViewHost viewHost;
    std::unique_ptr<QuoteListView> view;
};

TEST_F(BoardPlaceTest, EnterOnAContractThenBackComesToTheSameRow) {
    Open();
    EXPECT_EQ(host.selection.goods, 100) << "the first board of the run: its first row";
    for (int i = 0; i < 7; ++i) view->OnVScroll(kSbLineDown, 0);
    view->OnHScroll(kSbLineDown, 0);
    view->OnHScroll(kSbLineDown, 0);
    ASSERT_TRUE(view->OnLButtonDown({100, 30 + 22 * 3 + 5}));
    EXPECT_EQ(host.selection.goods, 110);
    view->OnEnter();
    ASSERT_EQ(host.switches.size(), 1u);

    // The K-line view came and went (Esc): a new board.
    Open();
    EXPECT_EQ(view->FirstRow(), 7);
    EXPECT_EQ(view->SelectedRow(), 4);
    EXPECT_EQ(view->HorizontalOffset(), 2);
    EXPECT_EQ(host.selection.goods, 110);
    RecordingCanvas canvas;
    view->Paint(canvas, {1000, 300}, DisplayScheme::Screen());
    EXPECT_EQ(canvas.Of(DrawOp::FillRect).at(1).rect.top, 30 + 22 * 3 - 2) << "the band on that row";

    // 下一个 in the other view moved to a contract further down: the board scrolls to it.
    host.selection.goods = 125;
    Open();
    EXPECT_EQ(view->FirstRow(), 16);
    EXPECT_EQ(view->SelectedRow(), 10);
    EXPECT_EQ(host.selection.goods, 125);
    host.selection.goods = 102;
    Open();
    EXPECT_EQ(view->FirstRow(), 2);
    EXPECT_EQ(view->SelectedRow(), 1);

    // A contract this category does not hold: the first row, made current.
    host.selection.goods = 999;
    Open();
    EXPECT_EQ(view->FirstRow(), 0);
    EXPECT_EQ(view->SelectedRow(), 1);
    EXPECT_EQ(host.selection.goods, 100);
}

TEST_F(BoardPlaceTest, AShorterWindowKeepsTheSelectedRowOnThePage) {
    Open();
    ASSERT_TRUE(view->OnLButtonDown({100, 30 + 22 * 8 + 5}));
    EXPECT_EQ(host.selection.goods, 108);
    view->OnSize(1000, 30 + 20 + 22 * 5);
    EXPECT_EQ(view->FirstRow(), 4);
    EXPECT_EQ(view->SelectedRow(), 5);
    EXPECT_EQ(host.selection.goods, 108);
}

TEST_F(BoardTest, TheSortIsKeptInHeadIniForTheNextRun) {
    test::TempDir dir;
    host.dir = dir.Path();
    ASSERT_TRUE(view->OnLButtonDown(CentreOf("价格")));
    ASSERT_TRUE(view->OnLButtonDown(CentreOf("价格↑")));
    std::optional<std::string> text = ReadHeadFile(host.Settings().ProgramDirectory());
    ASSERT_TRUE(text.has_value()) << "a sort click writes head.ini";
    EXPECT_TRUE(text->starts_with("编号|60|商品名称|150|价格|100|涨跌|100|")) << "the slots as before";
    EXPECT_TRUE(text->ends_with("|昨收|80|排序|价格↓|")) << *text;
    // A column choice keeps the sort in the file.
    view->OnRButtonDown({300, 10});
    view->OnColumnCommand(32848);
    text = ReadHeadFile(host.Settings().ProgramDirectory());
    EXPECT_TRUE(text->ends_with("|排序|价格↓|")) << *text;

    // The next run starts with the board as the user left it sorted.
    auto nextRun = [&] {
        FakeViewServices next;
        next.dir = dir.Path();
        next.goods = host.goods;
        QuoteListView board(next);
        board.OnInitialUpdate();
        return std::make_tuple(board.SortKey(), board.Reversed(), next.selection.goods);
    };
    EXPECT_EQ(nextRun(), std::make_tuple(kSortByPrice, true, 9)) << "its first row, the dearest, current";
    // A head.ini of the 24 slots alone, or with a sort this board does not know: by contract.
    ASSERT_TRUE(WriteHeadFile(host.Settings().ProgramDirectory(), ColumnTable().HeadText()));
    EXPECT_EQ(nextRun(), std::make_tuple(kSortByContract, false, 7));
    ASSERT_TRUE(
        WriteHeadFile(host.Settings().ProgramDirectory(), ColumnTable().HeadText() + "排序|成交量↓|"));
    EXPECT_EQ(nextRun(), std::make_tuple(kSortByContract, false, 7));
    ASSERT_TRUE(WriteHeadFile(host.Settings().ProgramDirectory(), ColumnTable().HeadText() + "排序|涨幅↑|"));
    EXPECT_EQ(nextRun(), std::make_tuple(kSortByPercent, false, 7));
}

TEST_F(BoardTest, ASortThatCannotBeSavedIsReportedOnceAndLastsTheRun) {
    std::vector<std::string> shown;
    host.MutableSettings().Reports().SetSink(
        [&shown](const std::string& text, const std::string&) { shown.push_back(text); });
    view->OnLButtonDown(CentreOf("价格"));
    view->OnLButtonDown(CentreOf("价格↑"));
    EXPECT_EQ(shown, std::vector<std::string>{"无法保存列表设置！"});
    EXPECT_EQ(view->SortKey(), kSortByPrice);
    EXPECT_TRUE(view->Reversed());
}

}  // namespace
}  // namespace qelt
