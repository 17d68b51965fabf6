// The intraday view on a recording canvas: its layouts and labels for both kinds of goods,
// the history review's section table, the cursor and its tip, days, keys and live updates.
#include <gtest/gtest.h>

#include <algorithm>

#include "chart/QuotePanel.h"
#include "common/Commands.h"
#include "common/Gbk.h"
#include "common/Messages.h"
#include "gfx/RecordingCanvas.h"
#include "support/FakeViewServices.h"
#include "support/TradeRows.h"
#include "views/CQeltRealView.h"
#include "views/ViewKinds.h"
#include "views/intraday/QuotePanelPainter.h"

namespace qelt {
namespace {

using test::Flagged;
using test::Trade;

constexpr int kRealToday = 20240110;
constexpr Size kRealClient{1000, 600};
constexpr Colour kWhite = 0xFFFFFF;

class RealViewTest : public ::testing::Test {
  protected:
    RealViewTest() {
        services.mainList = {test::MakeGoods("0101", "20240625", "12.00", "11.00", 0),
                             test::MakeGoods("0131", "20240625", "15.00", "14.00", 1)};
        services.selection.goods = 0;
        // Two sections today with a dynamic-board trade between them.
        services.mainList[0].trades = {
            Trade(1, kRealToday, 90200).Section(0, 11.5).Compare(11).Volume(20).DynVolume(0),
            Trade(2, kRealToday, 90300).Section(0, 11.5).Newest(11.8).DynVolume(4).Dynamic(),
            Trade(3, kRealToday, 90400).Section(1, 11.52).Compare(11.5).Volume(50).DynVolume(4).Pure(310),
        };
        services.mainList[1].trades = {Flagged(1, kRealToday, 90500, 14.5, 10),
                                       Flagged(2, kRealToday, 93000, 15, 30)};
        services.mainList[1].pre_avg_price = "14.00";
        services.flagged = {"0131"};
    }

    CQeltRealView& Open(int goods = 0, int argument = 1) {
        services.selection.goods = goods;
        view = std::make_unique<CQeltRealView>(
            services, [this] { return now; }, argument);
        view->Attach(host);
        view->OnInitialUpdate();
        return *view;
    }
    RecordingCanvas Painted() {
        RecordingCanvas canvas;
        view->Paint(canvas, kRealClient, DisplayScheme::Screen());
        return canvas;
    }
    static bool Has(const RecordingCanvas& c, const std::string& text) { return !c.TextsEqual(text).empty(); }

    test::FakeViewServices services;
    test::FakeViewHost host;
    ChinaTime now{kRealToday, 1030};
    std::unique_ptr<CQeltRealView> view;
};

TEST_F(RealViewTest, SectionGoodsShowTheSectionChartTheDynamicBoardAndTheQuotePanel) {
    Open();
    const RecordingCanvas c = Painted();
    EXPECT_TRUE(Has(c, "桑蚕丝-240625 1日 分时走势"));
    EXPECT_TRUE(Has(c, "动盘分时走势"));
    EXPECT_FALSE(Has(c, "9:00")) << "the section chart writes no time labels";
    const DrawRecord title = c.TextsEqual("桑蚕丝-240625 1日 分时走势")[0];
    EXPECT_EQ(title.points[0], (Point{50, 5}));
    EXPECT_EQ(title.font, (Font{"宋体", 18, 700}));

    // Upper chart (0, 0, 800, 290): price area 30 .. 30 + 182, K = 11.50 on the middle line.
    const std::vector<DrawRecord> k = c.TextsEqual("11.50");
    ASSERT_FALSE(k.empty());
    EXPECT_EQ(k[0].colour, kWhite);
    EXPECT_EQ(k[0].points[0], (Point{48, 30 + 182 * 7 / 14 - 7}));
    EXPECT_EQ(c.TextsEqual("11.58")[0].colour, kRiseColour) << "K + 1.1 × 0.07 at the top, rising";
    EXPECT_EQ(c.TextsEqual("0.67%")[0].colour, kRiseColour);
    EXPECT_EQ(c.TextsEqual("11.43")[0].colour, kFallColour);

    // The price line: section 0 at slot 0, section 1 at slot 1 of 120 a day.
    const std::vector<DrawRecord> lines = c.Of(DrawOp::Polyline);
    ASSERT_GE(lines.size(), 1u);
    EXPECT_EQ(lines[0].points.size(), 2u);
    EXPECT_EQ(lines[0].points[0].x, 50);
    EXPECT_EQ(lines[0].points[1].x, 50 + 700 / 120);
    EXPECT_LT(lines[0].points[1].y, lines[0].points[0].y) << "11.52 above 11.50";
    EXPECT_EQ(lines[0].pen, DisplayScheme::Screen().linePen);

    // The quote panel from x 800: section number, price coloured against the previous close.
    EXPECT_EQ(c.TextsEqual("节号")[0].points[0], (Point{805, 50}));
    EXPECT_EQ(c.TextsEqual("005")[0].points[0], (Point{892, 50}));
    EXPECT_EQ(c.TextsEqual("005")[0].align.h, HAlign::Right) << "values end at their column's edge";
    EXPECT_EQ(c.TextsEqual("本节价")[0].colour, kLabelGrey);
    EXPECT_EQ(c.TextsEqual("12.00")[0].colour, kRiseColour);
    EXPECT_TRUE(Has(c, "昨均"));
    // The day's trades at the bottom of the panel, newest lowest.
    const std::vector<DrawRecord> newest = c.TextsEqual("002");
    ASSERT_EQ(newest.size(), 1u);
    EXPECT_EQ(newest[0].points[0].y, 580 - 16);
}

TEST_F(RealViewTest, FlaggedGoodsShowOneMinuteChartWithTimeOrDayLabels) {
    Open(1);
    EXPECT_TRUE(view->Flagged());
    RecordingCanvas c = Painted();
    EXPECT_FALSE(Has(c, "动盘分时走势"));
    for (const char* label : {"9:00", "13:30", "15:30"}) EXPECT_TRUE(Has(c, label)) << label;
    EXPECT_EQ(c.TextsEqual("9:00")[0].points[0], (Point{50, 582}));
    EXPECT_TRUE(Has(c, "日期"));
    EXPECT_TRUE(Has(c, "结算价"));
    EXPECT_TRUE(Has(c, "昨结"));
    // Today to 10:30: seeds 09:00-09:04, trades at 09:05 and 09:30, filled to 10:30.
    EXPECT_EQ(view->Series().records.size(), static_cast<std::size_t>(MinuteSlot(1030) + 1));
    now.hhmm = 1031;
    EXPECT_EQ(view->Series().records.size(), static_cast<std::size_t>(MinuteSlot(1031) + 1))
        << "the series follows the clock without new trades";

    services.mainList[1].trades.insert(services.mainList[1].trades.begin(),
                                       Flagged(0, 20240109, 140000, 14, 3));
    view->OnNotify(WM_NET_REAL, 0);
    view->OnCommand(cmd::kDays1 + 1);
    c = Painted();
    EXPECT_TRUE(Has(c, "01月09日"));
    EXPECT_TRUE(Has(c, "01月10日"));
    EXPECT_FALSE(Has(c, "13:30"));
    EXPECT_TRUE(Has(c, view->Goods().name + " 2日 分时走势"));
}

TEST_F(RealViewTest, SixDigitPricesKeepTheirAxisLabelsInsideTheMargin) {
    services.mainList[1] = test::MakeGoods("0131", "20240625", "168390.00", "168000.00", 1);
    services.mainList[1].pre_avg_price = "168000.00";
    services.mainList[1].trades = {Flagged(1, kRealToday, 90500, 168210, 10),
                                   Flagged(2, kRealToday, 93000, 168390, 30)};
    Open(1);
    const RecordingCanvas c = Painted();
    int labels = 0;
    for (const DrawRecord& r : c.Of(DrawOp::Text)) {
        if (r.align.h != HAlign::Right || r.points[0].x != 48) continue;  // the left axis
        ++labels;
        EXPECT_LE(static_cast<int>(r.text.size()) * r.font.height / 2, 48) << r.text << " runs off the view";
    }
    EXPECT_GE(labels, 15);
}

TEST_F(RealViewTest, WithoutTradesTheFrameAndNoTradesWithoutContractNothing) {
    services.mainList[0].trades.clear();
    Open();
    RecordingCanvas c = Painted();
    EXPECT_TRUE(c.Of(DrawOp::Polyline).empty());
    // Both charts say so, in the middle of their price areas, instead of a scale of zeros.
    const std::vector<DrawRecord> none = c.TextsEqual("无成交");
    ASSERT_EQ(none.size(), 2u);
    EXPECT_EQ(none[0].points[0], (Point{400, 30 + 182 / 2 - 9}));
    EXPECT_EQ(none[0].align.h, HAlign::Centre);
    EXPECT_TRUE(c.TextsEqual("0.00").empty());
    EXPECT_TRUE(c.TextsEqual("0.00%").empty());
    EXPECT_TRUE(Has(c, "桑蚕丝-240625 1日 分时走势")) << "the title stays";
    EXPECT_GE(c.Of(DrawOp::Line).size(), 20u) << "and the frame and grid";

    services.mainList.clear();
    Open();
    c = Painted();
    EXPECT_EQ(c.Records().size(), 1u) << "the background only";
    EXPECT_EQ(view->StandingRequests(), (std::vector<std::string>{"list:"}));
}

TEST_F(RealViewTest, TheHistoryReviewDrawsThePastDayAndItsSectionTable) {
    for (int i = 0; i < 40; ++i)
        services.tradeList.push_back(Trade(i, 20240105, 90000 + i * 200)
                                         .Section(i, 10 + i % 3)
                                         .Compare(10 + (i + 1) % 3)
                                         .BuySell(i, 2 * i)
                                         .Pure(100 + i)
                                         .Volume(10 * i));
    Open(0, CQeltRealView::kHistoryReview);
    const RecordingCanvas c = Painted();
    EXPECT_TRUE(Has(c, "桑蚕丝-240625 1日 历史回顾"));
    EXPECT_FALSE(Has(c, "动盘分时走势"));
    EXPECT_EQ(c.TextsEqual("持仓变化")[0].points[0], (Point{700 + 245, 10}));
    // 580 - 35 = 545 pixels: 34 rows; the first shown is the start of the last page.
    EXPECT_EQ(view->SectionRow(), 40 - 34);
    EXPECT_EQ(c.TextsEqual("007")[0].points[0], (Point{800, 33})) << "section 6 + 1 in the first row";
    const std::vector<DrawRecord> prices = c.TextsEqual("10.00");
    const auto price =
        std::find_if(prices.begin(), prices.end(), [](const DrawRecord& r) { return r.points[0].x == 865; });
    ASSERT_NE(price, prices.end());
    EXPECT_EQ(price->colour, Rgb(0, 255, 0)) << "below its comparison price";
    EXPECT_EQ(view->Series().slotsPerDay, 41) << "no configured slots: one more than the sections";

    view->OnKey({ViewKey::Down});
    EXPECT_EQ(view->SectionRow(), 6) << "the last page stays";
    view->OnKey({ViewKey::Up});
    EXPECT_EQ(view->SectionRow(), 5);
    view->OnWheel(true, {});
    EXPECT_EQ(services.steps, 0) << "no wheel in the history review";
    EXPECT_TRUE(services.switches.empty());
}

TEST_F(RealViewTest, TheCursorShowsTheRecordTipAndMovesBySlots) {
    Open(1);
    MouseInput click;
    click.button = MouseButton::Left;
    click.at = {50 + 7, 200};
    view->OnDoubleClick(click);
    ASSERT_TRUE(view->CursorOn());
    ASSERT_EQ(host.overlays.count(kRecordTipId), 1u);
    EXPECT_EQ(host.overlays[kRecordTipId], (Rect{0, 30, kRecordTipSize.cx, 30 + kRecordTipSize.cy}));

    const InfoTipRecord seed = view->TipFor(0);
    EXPECT_EQ(seed.date, "20240110");
    EXPECT_EQ(seed.section, "09:00");
    EXPECT_EQ(seed.price, "100.00") << "seeded at the reference price";
    EXPECT_EQ(seed.dynamicPrice, "100.00");
    const InfoTipRecord trade = view->TipFor(5);
    EXPECT_EQ(trade.price, "14.50");
    EXPECT_EQ(trade.volume, "10");
    const InfoTipRecord outside = view->TipFor(400);
    EXPECT_EQ(outside.price, "");
    EXPECT_EQ(outside.volume, "0");
    EXPECT_EQ(outside.dynamicPrice, "--");

    const int before = view->CursorPoint().x;
    view->OnKey({ViewKey::Right});
    EXPECT_EQ(view->CursorPoint().x, before + static_cast<int>(700.0 / 241));
    RecordingCanvas c = Painted();
    const std::vector<DrawRecord> lines = c.Of(DrawOp::Line);
    const bool cursorLine = std::any_of(lines.begin(), lines.end(), [](const DrawRecord& r) {
        return r.points[0].y == 200 && r.points[1].y == 200 && r.pen == DisplayScheme::Screen().linePen;
    });
    EXPECT_TRUE(cursorLine) << "the horizontal cursor line through the pointer";

    view->OnDoubleClick(click);
    EXPECT_FALSE(view->CursorOn());
    EXPECT_EQ(host.overlays.count(kRecordTipId), 0u) << "the tip goes with the cursor";
}

TEST_F(RealViewTest, DaysPopupKeysAndWheel) {
    Open();
    host.menuAnswer = cmd::kDays1 + 2;
    view->OnContextMenu({100, 100});
    ASSERT_EQ(host.menus.size(), 1u);
    EXPECT_EQ(host.menus[0].title, "天数");
    ASSERT_EQ(host.menus[0].entries.size(), 8u);
    EXPECT_EQ(host.menus[0].entries[0].text, "最近1日");
    EXPECT_TRUE(host.menus[0].entries[0].checked);
    EXPECT_EQ(view->Days(), 3);
    EXPECT_TRUE(view->StateOf(cmd::kDays1 + 2)->checked);

    view->OnKey({ViewKey::Enter});
    view->OnKey({ViewKey::Escape});
    view->OnKey({ViewKey::PageDown});
    view->OnWheel(false, {});
    EXPECT_EQ(services.switches,
              (std::vector<std::pair<int, int>>{
                  {kViewKLine, 0}, {kViewQuoteList, 0}, {kViewIntraday, 0}, {kViewIntraday, 0}}));
    EXPECT_EQ(services.steps, 0) << "one step forward, one back";

    services.history = {{4, 0}, {0, 0}};
    services.switches.clear();
    view->OnKey({ViewKey::Backspace});
    EXPECT_EQ(services.selection.goods, 4);
    EXPECT_EQ(services.switches, (std::vector<std::pair<int, int>>{{kViewKLine, 0}}));

    host.wizardAnswer = 1;
    KeyInput digit{ViewKey::Digit, 5};
    view->OnKey(digit);
    EXPECT_EQ(host.wizardTyped, (std::vector<std::string>{"5"}));
    EXPECT_EQ(services.selection.goods, 1);
    EXPECT_EQ(services.switches.back(), (std::pair<int, int>{kViewIntraday, 0}));
}

TEST_F(RealViewTest, NewTradesArriveAPieceAtATimeAndTheRequestsFollowTheContract) {
    services.selection.dayQualifier = "";
    Open();
    EXPECT_EQ(services.history.size(), 1u) << "the first show appends to the navigation history";
    EXPECT_EQ(view->StandingRequests(), (std::vector<std::string>{"list:", "real::0101:20240625:1:"}));
    EXPECT_EQ(view->Series().records.size(), 2u);

    services.mainList[0].trades.push_back(Trade(4, kRealToday, 90600).Section(2, 12.2).Volume(70));
    services.mainList[0].price = "12.20";
    const int invalidations = host.invalidations;
    view->OnNotify(WM_NET_REAL, 0);
    EXPECT_GT(host.invalidations, invalidations);
    ASSERT_EQ(view->Series().records.size(), 3u);
    EXPECT_DOUBLE_EQ(view->Series().records.back().price, 12.2);
    EXPECT_EQ(view->Goods().price, "12.20") << "the quote is refreshed with the trades";

    // The store dropped its oldest trades: the view starts over from what is there.
    services.mainList[0].trades.erase(services.mainList[0].trades.begin());
    view->OnNotify(WM_NET_REAL, 0);
    EXPECT_EQ(view->Series().records.size(), 3u);
}

TEST_F(RealViewTest, PrintingUsesThePrintColoursAndLeavesTheCursorOut) {
    Open();
    MouseInput click;
    click.button = MouseButton::Left;
    click.at = {300, 200};
    view->OnDoubleClick(click);
    ASSERT_TRUE(view->CursorOn());
    auto cursorLine = [](const RecordingCanvas& canvas) {
        for (const DrawRecord& r : canvas.Of(DrawOp::Line))
            if (r.points[0].y == 200 && r.points[1].y == 200) return true;
        return false;
    };
    ASSERT_TRUE(cursorLine(Painted()));
    RecordingCanvas c;
    view->PaintForPrint(c, kRealClient, DisplayScheme::Print());
    EXPECT_EQ(c.Of(DrawOp::FillRect)[0].colour, DisplayScheme::Print().background);
    EXPECT_EQ(c.Of(DrawOp::Polyline)[0].pen, DisplayScheme::Print().linePen);
    EXPECT_EQ(c.TextsEqual("动盘分时走势")[0].colour, DisplayScheme::Print().line[0])
        << "no white text on paper";
    EXPECT_FALSE(cursorLine(c)) << "paper shows no pointer";
}

/// A text's columns as the recording canvas measures it: [left, right).
std::pair<int, int> Span(const DrawRecord& r) {
    const int width = static_cast<int>(Utf8ToGbk(r.text).size()) * r.font.height / 2;
    const int x = r.points[0].x;
    if (r.align.h == HAlign::Right) return {x - width, x};
    if (r.align.h == HAlign::Centre) return {x - width / 2, x - width / 2 + width};
    return {x, x + width};
}

TEST_F(RealViewTest, PanelValuesKeepClearOfTheirLabelsAndTheNextLabel) {
    CQeltGoods& g = services.mainList[0];
    g.last_section = "78";
    g.null_num = "21946";
    g.pure_num = "1234567";
    g.invest_price = "167110.00";
    g.sale_price = "167120.00";
    g.invest_input = "99999";
    g.all_num = "8888888";
    g.newest_price = "167115.00";
    Open();
    const RecordingCanvas c = Painted();
    int pairs = 0;
    for (int y : {50, 90, 120, 150, 180, 220, 250, 280, 310}) {
        std::vector<std::pair<int, int>> spans;
        for (const DrawRecord& r : c.Of(DrawOp::Text))
            if (r.points[0].y >= y && r.points[0].y < y + 6 && r.points[0].x >= 800) spans.push_back(Span(r));
        ASSERT_EQ(spans.size(), 4u) << "two labels and two values at y " << y;
        std::sort(spans.begin(), spans.end());
        for (std::size_t i = 1; i < spans.size(); ++i, ++pairs)
            EXPECT_GE(spans[i].first - spans[i - 1].second, 4)
                << "texts touch at y " << y << ", x " << spans[i].first;
        EXPECT_LE(spans.back().second, 1000) << "inside the panel at y " << y;
    }
    EXPECT_EQ(pairs, 27);
}

TEST_F(RealViewTest, TheDaysChangePercentReadsAlikeInBothQuotePanels) {
    CQeltGoods g = services.mainList[0];
    g.change = "1.00";
    g.changePercent = "9.09";
    auto valueBeside = [](const RecordingCanvas& c, const char* label) {
        const DrawRecord at = c.TextsEqual(label).at(0);
        for (const DrawRecord& r : c.Of(DrawOp::Text))
            if (r.points[0].y == at.points[0].y && r.points[0].x > at.points[0].x && r.text != label)
                return r.text;
        return std::string();
    };
    RecordingCanvas intraday;
    PaintQuotePanel(intraday, {0, 0, 200, 580}, g, false, {}, DisplayScheme::Screen(), Pen{});
    RecordingCanvas kline;
    DrawQuotePanel(kline, {0, 0, 200, 580}, g, KLineStyle{});
    EXPECT_EQ(valueBeside(intraday, "幅度"), "9.09%");
    EXPECT_EQ(valueBeside(kline, "幅度"), "9.09%");
}

TEST_F(RealViewTest, AxisLabelsNeverStackInAShortChart) {
    // Section volumes 20 then 30 more: the volume scale steps by 5 in a 48-pixel volume area.
    Open();
    RecordingCanvas c;
    view->Paint(c, {1000, 400}, DisplayScheme::Screen());
    for (int axisX : {48, 752}) {
        std::vector<int> ys;
        for (const DrawRecord& r : c.Of(DrawOp::Text))
            if (r.points[0].x == axisX && r.points[0].y < 190 - 7) ys.push_back(r.points[0].y);
        std::sort(ys.begin(), ys.end());
        ASSERT_GE(ys.size(), 6u) << "labels at x " << axisX;
        for (std::size_t i = 1; i < ys.size(); ++i)
            EXPECT_GE(ys[i] - ys[i - 1], 12) << "labels at x " << axisX << " stack at y " << ys[i];
    }
    EXPECT_EQ(c.TextsEqual("11.50").at(0).colour, kWhite) << "the middle level always keeps its label";
    int volumeLabels = 0;
    for (const DrawRecord& r : c.Of(DrawOp::Text))
        volumeLabels += r.points[0].x == 48 && r.points[0].y + 7 > 142 && r.points[0].y < 190 - 7;
    EXPECT_GE(volumeLabels, 2) << "the volume scale keeps labels where they fit";

    // Where there is room, every level keeps its label.
    const RecordingCanvas tall = Painted();
    int priceLabels = 0;
    for (const DrawRecord& r : tall.Of(DrawOp::Text))
        priceLabels += r.points[0].x == 752 && r.text.ends_with("%") && r.points[0].y < 290;
    EXPECT_EQ(priceLabels, 14);
}

TEST_F(RealViewTest, TheTipMeasuresFromThePreviousCloseAsThePanel) {
    services.mainList[0].last_date = FormatInt(kRealToday);
    services.mainList[0].trades.insert(
        services.mainList[0].trades.begin(),
        Trade(0, 20240109, 150000).Section(3, 10.9).Compare(10.5).Reference(10.8));
    Open();
    view->SetDays(2);
    // Today's second section: 11.52 against 昨收 11.00, as the panel's 涨跌 and 幅度.
    const int slots = view->Series().slotsPerDay;
    const InfoTipRecord today = view->TipFor(slots + 1);
    EXPECT_EQ(today.price, "11.52");
    EXPECT_EQ(today.reference, "11.00") << "not the comparison price 11.50 of the record";
    // Yesterday's section: against that day's previous close, as its trades carry it.
    EXPECT_EQ(view->TipFor(0).reference, "10.80");

    // Flagged goods: against 昨结, the panel's reference for them.
    services.mainList[1].last_date = FormatInt(kRealToday);
    Open(1);
    EXPECT_EQ(view->TipFor(MinuteSlot(930)).price, "15.00");
    EXPECT_EQ(view->TipFor(MinuteSlot(930)).reference, "14.00");
}

}  // namespace
}  // namespace qelt
