// The trade detail list: following the newest trades, scrolling back, the latest day only with
// the previous day in the summary line, the columns and their differences, keys and the tip.
#include <gtest/gtest.h>

#include "common/Commands.h"
#include "common/Messages.h"
#include "gfx/RecordingCanvas.h"
#include "support/FakeViewServices.h"
#include "support/TradeRows.h"
#include "views/CQeltTradListView.h"
#include "views/ScrollCodes.h"
#include "views/ViewKinds.h"

namespace qelt {
namespace {

using test::Trade;

constexpr int kYesterday = 20240109;
constexpr int kTradeToday = 20240110;
/// 20 rows a page: (500 - 30 - 30) / 22; columns 80 wide.
constexpr Size kTradeClient{1280, 500};

class TradeListTest : public ::testing::Test {
  protected:
    TradeListTest() {
        services.mainList = {test::MakeGoods("0101", "20240625", "12.00", "11.00", 0)};
        services.selection.goods = 0;
        for (int i = 0; i < 3; ++i) Add(kYesterday, 1000 + i);
    }
    void Add(int date, int pure) {
        const int id = static_cast<int>(services.mainList[0].trades.size());
        services.mainList[0].trades.push_back(Trade(id, date, 90000 + id)
                                                  .Section(id, 10 + id % 5)
                                                  .Volume(10 * id)
                                                  .Pure(pure)
                                                  .Null(2 * pure)
                                                  .Set(5, "b" + FormatInt(id)));
    }
    void AddToday(int count) {
        for (int i = 0; i < count; ++i) Add(kTradeToday, 2000 + 3 * i);
    }
    CQeltTradListView& Open() {
        view = std::make_unique<CQeltTradListView>(services);
        view->Attach(host);
        view->OnInitialUpdate();
        return *view;
    }
    RecordingCanvas Painted() {
        RecordingCanvas canvas;
        view->Paint(canvas, kTradeClient, DisplayScheme::Screen());
        return canvas;
    }
    /// The trade identities ("b<id>" in the buy column) of the rows painted, top first.
    static std::vector<std::string> ShownRows(const RecordingCanvas& c) {
        std::vector<std::string> out;
        for (const DrawRecord& r : c.Of(DrawOp::Text))
            if (r.points[0].x == 5 + 80 * 4 && r.text.starts_with("b")) out.push_back(r.text);
        return out;
    }
    void Arrive(int count) {
        for (int i = 0; i < count; ++i) Add(kTradeToday, 5000);
        view->OnNotify(WM_NET_REAL, 0);
    }

    test::FakeViewServices services;
    test::FakeViewHost host;
    std::unique_ptr<CQeltTradListView> view;
};

TEST_F(TradeListTest, ShowsTheNewestPageAndFollowsNewTrades) {
    AddToday(100);
    Open();
    std::vector<std::string> rows = ShownRows(Painted());
    ASSERT_EQ(rows.size(), 20u);
    EXPECT_EQ(rows.front(), "b83");
    EXPECT_EQ(rows.back(), "b102");
    EXPECT_TRUE(view->Following());

    Arrive(1);
    rows = ShownRows(Painted());
    EXPECT_EQ(rows.front(), "b84") << "a new trade scrolls the list by one";
    EXPECT_EQ(rows.back(), "b103");
    EXPECT_EQ(view->StandingRequests(), (std::vector<std::string>{"real::0101:20240625:1:"}));
}

TEST_F(TradeListTest, UpStopsFollowingAndDownToTheNewestResumes) {
    AddToday(100);
    Open();
    Painted();
    view->OnKey({ViewKey::Up});
    EXPECT_FALSE(view->Following());
    EXPECT_EQ(ShownRows(Painted()).back(), "b101");
    Arrive(2);
    EXPECT_EQ(ShownRows(Painted()).back(), "b101") << "the list stays where it was";
    view->OnKey({ViewKey::Down});
    view->OnKey({ViewKey::Down});
    EXPECT_EQ(ShownRows(Painted()).back(), "b103");
    view->OnKey({ViewKey::Down});
    EXPECT_EQ(ShownRows(Painted()).back(), "b104");
    EXPECT_TRUE(view->Following()) << "at the newest the list follows again";

    for (int i = 0; i < 200; ++i) view->OnKey({ViewKey::Up});
    EXPECT_EQ(ShownRows(Painted()).front(), "b3") << "scrolling back stops at the day's first trade";
}

TEST_F(TradeListTest, OnlyTheLatestDayIsListedTheDayBeforeIsSummarised) {
    AddToday(5);
    Open();
    const RecordingCanvas c = Painted();
    EXPECT_EQ(ShownRows(c), (std::vector<std::string>{"b3", "b4", "b5", "b6", "b7"}));
    EXPECT_EQ(view->DayStart(), 3u);
    const std::vector<DrawRecord> summary = c.TextsEqual("01月09日 价格:12.00   净持仓量:1002");
    ASSERT_EQ(summary.size(), 1u);
    EXPECT_EQ(summary[0].points[0], (Point{1280 - 300, 13}));
    // Position change of the day's first trade is taken against the summary's trade.
    EXPECT_EQ(view->Cell(3, 7), FormatInt(2000 - 1002));
    EXPECT_EQ(view->Cell(4, 7), "3");
    EXPECT_EQ(view->Cell(4, 9), "6") << "purchases and sales against the trade before";
    EXPECT_EQ(view->Cell(0, 9), "0") << "the very first trade held: its volume";
    EXPECT_EQ(view->Cell(4, 1), "005");
    EXPECT_EQ(view->Cell(4, 2), "14.00");

    // A new day: yesterday's trades leave the list for the summary.
    Add(20240111, 7000);
    view->OnNotify(WM_NET_REAL, 0);
    EXPECT_EQ(view->DayStart(), 8u);
    const RecordingCanvas next = Painted();
    EXPECT_EQ(ShownRows(next), (std::vector<std::string>{"b8"}));
    EXPECT_EQ(next.TextsEqual("01月10日 价格:12.00   净持仓量:2012").size(), 1u);
}

TEST_F(TradeListTest, WithoutTradesTheTitleAndHeaderAndDynamicTradesShowTheirTime) {
    services.mainList[0].trades.clear();
    Open();
    RecordingCanvas c = Painted();
    EXPECT_EQ(c.TextsEqual("商品名称：桑蚕丝-240625\t\t(提示：↑向上滚动、↓向下滚动)")[0].colour,
              Rgb(255, 192, 192));
    EXPECT_EQ(c.TextsEqual("节  号")[0].points[0], (Point{5 + 80, 33}));
    EXPECT_EQ(c.TextsEqual("申卖量")[0].points[0], (Point{5 + 80 * 15, 33}));
    EXPECT_TRUE(ShownRows(c).empty());

    services.mainList[0].trades = {Trade(1, kTradeToday, 93015).Section(0, 10).Dynamic()};
    view->OnNotify(WM_NET_REAL, 0);
    c = Painted();
    EXPECT_FALSE(c.TextsEqual("动盘时间").empty());
    EXPECT_FALSE(c.TextsEqual("093015").empty());
}

TEST_F(TradeListTest, KeysWheelAndTheRowTip) {
    AddToday(10);
    Open();
    Painted();
    view->OnKey({ViewKey::PageDown});
    view->OnWheel(false, {});
    view->OnCommand(cmd::kNextGoods);
    view->OnKey({ViewKey::Enter});
    view->OnKey({ViewKey::Escape});
    EXPECT_EQ(services.steps, 1);
    EXPECT_EQ(services.switches, (std::vector<std::pair<int, int>>{{kViewTradeList, 0},
                                                                   {kViewTradeList, 0},
                                                                   {kViewTradeList, 0},
                                                                   {kViewIntraday, 0},
                                                                   {kViewQuoteList, 0}}));
    services.switches.clear();
    view->OnKey({ViewKey::Backspace});
    EXPECT_EQ(services.switches, (std::vector<std::pair<int, int>>{{kViewKLine, 0}}));
    host.wizardAnswer = 0;
    view->OnKey({ViewKey::Digit, 3});
    EXPECT_EQ(host.wizardTyped, (std::vector<std::string>{"3"}));
    EXPECT_EQ(services.switches.back(), (std::pair<int, int>{kViewTradeList, 0}));

    MouseInput click;
    click.button = MouseButton::Left;
    click.at = {300, 30 + 30 + 22 * 2 + 5};
    view->OnMouseDown(click);
    ASSERT_EQ(host.overlays.count(1023), 1u) << "the clicked trade's record tip";
    click.at = {300, 40};
    view->OnMouseDown(click);
    EXPECT_EQ(host.overlays.count(1023), 0u);
}

/// The headers painted, in drawing order, with their x.
std::vector<std::pair<std::string, int>> Headers(const RecordingCanvas& c) {
    std::vector<std::pair<std::string, int>> out;
    for (const DrawRecord& r : c.Of(DrawOp::Text))
        if (r.points[0].y == 33) out.emplace_back(r.text, r.points[0].x);
    return out;
}

TEST_F(TradeListTest, ColumnsThatDoNotFitScrollSidewaysToTheLastAndNoFurther) {
    AddToday(40);
    Open();
    // The default window: 1024 wide, room for the two frozen columns and ten others.
    const Size narrow{1024, 680};
    RecordingCanvas canvas;
    view->Paint(canvas, narrow, DisplayScheme::Screen());
    std::vector<std::pair<std::string, int>> headers = Headers(canvas);
    ASSERT_EQ(headers.size(), 12u);
    EXPECT_EQ(headers.back().first, "动盘成交");
    const TradeListScroll scroll = view->HorizontalScroll(narrow);
    EXPECT_TRUE(scroll.Shown());
    EXPECT_EQ(scroll.maximum, 4);
    EXPECT_EQ(scroll.bar, (Rect{0, 660, 1024, 680})) << "the bar along the bottom";
    // The rows keep above the bar.
    const int rows = CQeltTradListView::RowsPerPage(narrow);
    EXPECT_LE(30 + 30 + 22 * rows, 660);

    for (int i = 0; i < 9; ++i) EXPECT_TRUE(view->OnKey({ViewKey::Right}));
    EXPECT_EQ(view->ColumnOffset(), 4) << "no further than the last column";
    canvas = RecordingCanvas();
    view->Paint(canvas, narrow, DisplayScheme::Screen());
    headers = Headers(canvas);
    ASSERT_EQ(headers.size(), 12u);
    EXPECT_EQ(headers[0], (std::pair<std::string, int>{"日  期", 5})) << "date and section stay";
    EXPECT_EQ(headers[1].second, 5 + 80);
    EXPECT_EQ(headers[2], (std::pair<std::string, int>{"净持仓量", 5 + 160}));
    EXPECT_EQ(headers.back(), (std::pair<std::string, int>{"申卖量", 5 + 80 * 11}));
    EXPECT_LE(headers.back().second - 5 + 80, 1024) << "the last column whole";
    const std::vector<DrawRecord> newestPosition = canvas.TextsEqual("2117");
    ASSERT_EQ(newestPosition.size(), 1u);
    EXPECT_EQ(newestPosition[0].points[0].x, 5 + 160) << "the cells follow their headers";

    view->OnKey({ViewKey::Left});
    EXPECT_EQ(view->ColumnOffset(), 3);
    view->OnHScroll(kSbThumbTrack, 2);
    EXPECT_EQ(view->ColumnOffset(), 2);
    view->OnHScroll(kSbThumbTrack, 99);
    EXPECT_EQ(view->ColumnOffset(), 4);

    // A window wide enough for all sixteen: no bar, every column, from the first.
    canvas = RecordingCanvas();
    view->Paint(canvas, kTradeClient, DisplayScheme::Screen());
    EXPECT_EQ(Headers(canvas).size(), 16u);
    EXPECT_EQ(view->ColumnOffset(), 0);
    EXPECT_FALSE(view->HorizontalScroll(kTradeClient).Shown());
    EXPECT_EQ(CQeltTradListView::RowsPerPage(kTradeClient), 20) << "no bar, no row lost";
}

}  // namespace
}  // namespace qelt
