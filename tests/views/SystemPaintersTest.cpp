// The pictures of 交易评测 on a recording canvas: the equity curve over its area with the
// drawdown hanging under it, the heat map's cells, colours, best and selected cells and hit
// test, and the trades marked on the K-line chart (arrows under a long's entry bar and over
// a short's, the exit mark at its fill price, only on the chart of the contract and period
// tested, until 取消交易标记).
#include <gtest/gtest.h>

#include <algorithm>

#include "chart/MainChartPainter.h"
#include "common/Commands.h"
#include "gfx/RecordingCanvas.h"
#include "support/KLineTestSupport.h"
#include "views/kline/TradeMarks.h"
#include "views/system/EquityCurvePainter.h"
#include "views/system/HeatMapPainter.h"

namespace qelt {
namespace {

const DisplayScheme kScreen = DisplayScheme::Screen();

EquityCurve Curve() {
    EquityCurve curve;
    curve.title = "测试";
    curve.capital = 1000;
    // Up to 1300, down to 900 (a fall of 400 from 1300), back to 1100.
    curve.equity = {1000, 1100, 1300, 1200, 900, 1000, 1100};
    curve.drawdown = {0, 0, 0, 100, 400, 300, 200};
    curve.dates = {20260101, 20260102, 20260105, 20260106, 20260107, 20260108, 20260109};
    return curve;
}

std::vector<DrawRecord> Filter(const RecordingCanvas& c, DrawOp op, Colour colour, bool pen) {
    std::vector<DrawRecord> found;
    for (const DrawRecord& r : c.Of(op))
        if ((pen ? r.pen.colour : r.brush.colour) == colour) found.push_back(r);
    return found;
}

TEST(EquityCurvePainting, TheCurveSpansItsAreaHighestAtTheTopAndTheDrawdownHangsBelowIt) {
    const Size client{600, 400};
    RecordingCanvas canvas(client.cx, client.cy);
    const EquityCurve curve = Curve();
    PaintEquityCurve(canvas, client, curve, kScreen);
    const EquityLayout layout = LayOutEquityCurve(client);
    ASSERT_LE(layout.equity.bottom, layout.drawdown.top) << "the drawdown's area is under the curve's";

    const std::vector<DrawRecord> lines = Filter(canvas, DrawOp::Polyline, kScreen.line[1], true);
    ASSERT_EQ(lines.size(), 1u);
    const std::vector<Point>& p = lines[0].points;
    ASSERT_EQ(p.size(), curve.equity.size());
    EXPECT_EQ(p.front().x, layout.equity.left) << "the first bar at the left edge";
    EXPECT_EQ(p.back().x, layout.equity.right - 1) << "the last at the right";
    EXPECT_TRUE(std::is_sorted(p.begin(), p.end(), [](Point a, Point b) { return a.x < b.x; }));
    EXPECT_EQ(p[2].y, layout.equity.top) << "1300, the highest, on the top row";
    EXPECT_EQ(p[4].y, layout.equity.bottom - 1) << "900, the lowest, on the bottom row";
    EXPECT_EQ(p[0].y, p[5].y) << "equal equity, equal row";
    EXPECT_LT(p[6].y, p[5].y) << "more equity, higher";

    // The capital's level, dotted, at the row of 1000.
    bool capitalLine = false;
    for (const DrawRecord& r : canvas.Of(DrawOp::Line))
        capitalLine |= r.pen.style == PenStyle::Dot && r.points[0].y == p[0].y && r.points[1].y == p[0].y;
    EXPECT_TRUE(capitalLine);

    const std::vector<DrawRecord> areas = Filter(canvas, DrawOp::Polygon, kDrawdownColour, false);
    ASSERT_EQ(areas.size(), 1u);
    const std::vector<Point>& dd = areas[0].points;
    ASSERT_EQ(dd.size(), curve.drawdown.size() + 2);
    for (const Point& q : dd) {
        EXPECT_GE(q.y, layout.drawdown.top) << "nothing of the drawdown over the curve";
        EXPECT_LT(q.y, layout.drawdown.bottom);
    }
    EXPECT_EQ(dd[1].y, layout.drawdown.top) << "no fall: on the 0 line at the top";
    EXPECT_EQ(dd[5].y, layout.drawdown.bottom - 1) << "the deepest fall at the bottom";
    EXPECT_GT(dd[6].y, dd[7].y) << "300 is deeper than 200";
    EXPECT_EQ(dd[5].x, p[4].x) << "each bar's fall under its equity";

    const std::vector<std::string> texts = canvas.Texts();
    for (const char* expected : {"1300.00", "900.00", "-400.00", "0", "回撤", "2026-01-01", "2026-01-09"})
        EXPECT_NE(std::find(texts.begin(), texts.end(), expected), texts.end()) << expected;
    EXPECT_EQ(canvas.TextsEqual("权益曲线  测试").size(), 1u);
}

TEST(EquityCurvePainting, FlatOrMissingEquityDrawsWithoutDividingByNothing) {
    const Size client{400, 300};
    RecordingCanvas flat(client.cx, client.cy);
    EquityCurve curve;
    curve.capital = 500;
    curve.equity = {500, 500, 500};
    curve.drawdown = {0, 0, 0};
    curve.dates = {1, 2, 3};
    PaintEquityCurve(flat, client, curve, kScreen);
    const EquityLayout layout = LayOutEquityCurve(client);
    const std::vector<DrawRecord> lines = Filter(flat, DrawOp::Polyline, kScreen.line[1], true);
    ASSERT_EQ(lines.size(), 1u);
    for (const Point& q : lines[0].points) {
        EXPECT_GE(q.y, layout.equity.top);
        EXPECT_LT(q.y, layout.equity.bottom);
    }
    const std::vector<DrawRecord> areas = Filter(flat, DrawOp::Polygon, kDrawdownColour, false);
    ASSERT_EQ(areas.size(), 1u);
    for (const Point& q : areas[0].points)
        EXPECT_EQ(q.y, layout.drawdown.top) << "no drawdown at all: the area is a line at 0";

    RecordingCanvas empty(client.cx, client.cy);
    PaintEquityCurve(empty, client, EquityCurve{}, kScreen);
    EXPECT_TRUE(empty.Of(DrawOp::Polyline).empty());
    EXPECT_EQ(empty.TextsEqual("开始评测后，这里显示权益曲线与回撤").size(), 1u);
}

HeatMap Map() {
    HeatMap map;
    map.rowName = "SHORT";
    map.columnName = "LONG";
    map.rowValues = {2, 3, 4};
    map.columnValues = {10, 20, 30, 40};
    // The largest profit twice: the first in row order is the best.
    map.cells = {100, -50, 0, 200, std::nullopt, -200, 200, 10, 5, 5, 5, 5};
    map.selected = 9;
    return map;
}

TEST(HeatMapPainting, CellsTileTheGridInTheParametersOrderAndTheHitTestFindsThem) {
    const Size client{500, 360};
    const HeatMap map = Map();
    const Rect grid = HeatMapGrid(client);
    std::vector<std::vector<int>> covered(static_cast<std::size_t>(grid.Height()),
                                          std::vector<int>(static_cast<std::size_t>(grid.Width()), 0));
    for (int cell = 0; cell < 12; ++cell) {
        const Rect r = HeatMapCellRect(client, map, cell);
        EXPECT_GT(r.Width(), 0);
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) ++covered[y - grid.top][x - grid.left];
        EXPECT_EQ(HeatMapCellAt(client, map, {r.left, r.top}), cell);
        EXPECT_EQ(HeatMapCellAt(client, map, {r.right - 1, r.bottom - 1}), cell);
    }
    for (const auto& row : covered)
        for (int n : row) ASSERT_EQ(n, 1) << "every pixel of the grid in exactly one cell";
    EXPECT_LT(HeatMapCellRect(client, map, 1).left, HeatMapCellRect(client, map, 2).left)
        << "the second parameter grows rightwards";
    EXPECT_LT(HeatMapCellRect(client, map, 1).top, HeatMapCellRect(client, map, 5).top)
        << "the first grows downwards";
    EXPECT_EQ(HeatMapCellAt(client, map, {grid.left - 1, grid.top}), -1);
    EXPECT_EQ(HeatMapCellAt(client, map, {grid.right, grid.bottom - 1}), -1);
}

TEST(HeatMapPainting, ColoursRunFromLossGreenToProfitRedAndTheBestCellIsFramed) {
    EXPECT_EQ(HeatColour(200, 200), kHeatProfit);
    EXPECT_EQ(HeatColour(-200, 200), kHeatLoss);
    EXPECT_EQ(HeatColour(0, 200), kHeatNeutral);
    EXPECT_EQ(HeatColour(5, 0), kHeatNeutral) << "an all-zero map is grey, not a division by 0";
    const Colour half = HeatColour(100, 200);
    EXPECT_GT(RedOf(half), RedOf(kHeatNeutral));
    EXPECT_LT(RedOf(half), RedOf(kHeatProfit));

    const Size client{500, 360};
    const HeatMap map = Map();
    EXPECT_EQ(BestHeatMapCell(map), 3);
    RecordingCanvas canvas(client.cx, client.cy);
    PaintHeatMap(canvas, client, map, kScreen);
    int cellsFilled = 0;
    for (int cell = 0; cell < 12; ++cell) {
        const Rect r = HeatMapCellRect(client, map, cell);
        for (const DrawRecord& f : canvas.Of(DrawOp::FillRect))
            if (f.rect == r) {
                ++cellsFilled;
                EXPECT_EQ(f.colour, HeatColour(*map.cells[static_cast<std::size_t>(cell)], 200)) << cell;
            }
    }
    EXPECT_EQ(cellsFilled, 11) << "the combination without figures stays blank";

    const Rect best = HeatMapCellRect(client, map, 3);
    const Rect selected = HeatMapCellRect(client, map, 9);
    bool bestFramed = false, selectedFramed = false;
    for (const DrawRecord& r : canvas.Of(DrawOp::Rectangle)) {
        if (!r.brush.null) continue;
        bestFramed |= r.rect == best && r.pen.width == 2 && r.pen.colour == kScreen.line[0];
        selectedFramed |= r.rect == selected && r.pen.style == PenStyle::Dot;
    }
    EXPECT_TRUE(bestFramed);
    EXPECT_TRUE(selectedFramed);
    const std::vector<std::string> texts = canvas.Texts();
    for (const char* expected :
         {"SHORT", "LONG", "200.00", "-200.00", "净利润热力图  最优 SHORT=2 LONG=40：200.00"})
        EXPECT_NE(std::find(texts.begin(), texts.end(), expected), texts.end()) << expected;
}

TEST(HeatMapPainting, ASmallCellStillGetsAFrameThatShows) {
    HeatMap map;
    map.rowName = "A";
    map.columnName = "B";
    for (int i = 0; i < 300; ++i) map.columnValues.push_back(i);
    map.rowValues = {1, 2};
    map.cells.assign(600, 1.0);
    map.cells[450] = 9.0;
    const Size client{400, 300};
    RecordingCanvas canvas(client.cx, client.cy);
    PaintHeatMap(canvas, client, map, kScreen);
    const Rect cell = HeatMapCellRect(client, map, 450);
    ASSERT_LE(cell.Width(), 2);
    bool framed = false;
    for (const DrawRecord& r : canvas.Of(DrawOp::Rectangle))
        framed |=
            r.pen.width == 2 && r.rect.Width() >= 8 && r.rect.left <= cell.left && r.rect.right >= cell.right;
    EXPECT_TRUE(framed);
}

// ---- the marks on the K-line chart ----

/// Trades on `bars` (the chart's, of `period`): a long from bar n-50 to n-40, a short from
/// n-30 to n-20, a long still open from n-10.
std::shared_ptr<const TradeMarks> Marks(const test::KLineFixture& k, const BarSeries& bars, int period = 1) {
    auto marks = std::make_shared<TradeMarks>();
    marks->goods = k.services.mainList[0].Key();
    marks->period = period;
    const int n = static_cast<int>(bars.size());
    auto date = [&](int bar) { return LeadingInt(bars[static_cast<std::size_t>(bar)][kBarDate]); };
    marks->trades = {{TradeSide::Long, n - 50, date(n - 50), 101.25, n - 40, date(n - 40), 104.5, 3.25},
                     {TradeSide::Short, n - 30, date(n - 30), 106.75, n - 20, date(n - 20), 99.5, 7.25},
                     {TradeSide::Long, n - 10, date(n - 10), 102, -1, 0, 0, 1}};
    return marks;
}

/// The texts drawn inside the main chart's plot (not the axis, the panel or the tips).
std::size_t PlotTexts(const RecordingCanvas& c, const MainPaneGeometry& g, const std::string& text) {
    std::size_t n = 0;
    for (const DrawRecord& r : c.TextsEqual(text)) n += r.clip == g.PlotClip();
    return n;
}

std::vector<DrawRecord> Arrows(const RecordingCanvas& c, Colour colour) {
    std::vector<DrawRecord> found;
    for (const DrawRecord& r : c.Of(DrawOp::Polygon))
        if (r.brush.colour == colour && r.points.size() == 3) found.push_back(r);
    return found;
}

TEST(KLineTradeMarks, ArrowsPointAtTheEntryBarsAndTheExitsSitAtTheirFillPrices) {
    test::KLineFixture k;
    k.services.tradeMarks = Marks(k, k.services.mainList[0].series);
    k.Open();
    RecordingCanvas& canvas = k.Paint();
    const MainPaneGeometry& g = k.view->MainPane();
    ASSERT_EQ(g.lastVisible, 149);

    const std::vector<DrawRecord> longs = Arrows(canvas, kLongMarkColour);
    ASSERT_EQ(longs.size(), 2u);
    for (std::size_t i = 0; i < longs.size(); ++i) {
        const int bar = i == 0 ? 100 : 140;
        const std::vector<Point>& tri = longs[i].points;
        const int lowRow =
            g.PriceToY(LeadingDouble(k.view->Series()[static_cast<std::size_t>(bar)][kBarLow]));
        EXPECT_EQ(tri[0].x, g.BarCentreX(bar)) << "the tip on the bar's centre";
        EXPECT_EQ(tri[0].y, lowRow + kMarkGap) << "under the bar's low";
        EXPECT_GT(tri[1].y, tri[0].y) << "pointing up";
    }
    const std::vector<DrawRecord> shorts = Arrows(canvas, kShortMarkColour);
    ASSERT_EQ(shorts.size(), 1u);
    const int highRow = g.PriceToY(LeadingDouble(k.view->Series()[120][kBarHigh]));
    EXPECT_EQ(shorts[0].points[0].x, g.BarCentreX(120));
    EXPECT_EQ(shorts[0].points[0].y, highRow - kMarkGap) << "over the bar's high";
    EXPECT_LT(shorts[0].points[1].y, shorts[0].points[0].y) << "pointing down";

    std::vector<DrawRecord> exits;
    for (const DrawRecord& r : canvas.Of(DrawOp::Polygon))
        if (r.brush.colour == kExitMarkColour) exits.push_back(r);
    ASSERT_EQ(exits.size(), 2u) << "the open position has no exit";
    EXPECT_EQ(exits[0].points[0].x, g.BarCentreX(110));
    EXPECT_EQ(exits[0].points[1].y, g.PriceToY(104.5)) << "at the exit fill's price";
    for (const char* price : {"101.25", "104.50", "106.75", "99.50", "102.00"})
        EXPECT_EQ(PlotTexts(canvas, g, price), 1u) << price;
    for (const DrawRecord& r : canvas.TextsEqual("104.50")) {
        EXPECT_EQ(r.bkMode, BkMode::Opaque) << "readable over the averages";
        EXPECT_EQ(r.bkColour, kScreen.background);
    }
}

TEST(KLineTradeMarks, OnlyTheContractAndPeriodTestedAreMarkedUntilTheUserTakesThemOff) {
    test::KLineFixture k(400);
    k.Open();
    ASSERT_TRUE(k.view->OnCommand(cmd::kWeek));
    const std::shared_ptr<const TradeMarks> weeks = Marks(k, k.view->Series(), 2);  // tested on weeks
    ASSERT_TRUE(k.view->OnCommand(cmd::kDay));
    k.services.tradeMarks = weeks;
    EXPECT_TRUE(Arrows(k.Paint(), kLongMarkColour).empty()) << "the day chart is another chart";
    EXPECT_FALSE(k.view->StateOf(cmd::kTradeMarksOff)) << "marks of another chart are the application's";
    ASSERT_TRUE(k.view->OnCommand(cmd::kWeek));
    EXPECT_EQ(Arrows(k.Paint(), kLongMarkColour).size(), 2u);

    auto other = std::make_shared<TradeMarks>(*weeks);
    other->goods = k.services.mainList[1].Key();
    k.services.tradeMarks = other;
    EXPECT_TRUE(Arrows(k.Paint(), kLongMarkColour).empty())
        << "another contract's trades: a new drawing without them";

    k.services.tradeMarks = Marks(k, k.services.mainList[0].series);
    ASSERT_TRUE(k.view->OnCommand(cmd::kDay));
    ASSERT_FALSE(Arrows(k.Paint(), kLongMarkColour).empty());
    k.host.menuAnswer = 0;
    k.view->OnContextMenu({100, 100});
    ASSERT_FALSE(k.host.menus.empty());
    const std::vector<MenuEntry>& entries = k.host.menus.back().entries;
    ASSERT_EQ(entries.back().command, cmd::kTradeMarksOff);
    EXPECT_EQ(entries.back().text, "取消交易标记");
    ASSERT_TRUE(k.view->StateOf(cmd::kTradeMarksOff));
    ASSERT_TRUE(k.view->OnCommand(cmd::kTradeMarksOff));
    EXPECT_FALSE(k.services.tradeMarks);
    EXPECT_TRUE(Arrows(k.Paint(), kLongMarkColour).empty());
    k.view->OnContextMenu({100, 100});
    EXPECT_NE(k.host.menus.back().entries.back().command, cmd::kTradeMarksOff) << "nothing to take off";
}

TEST(KLineTradeMarks, AMarkFollowsItsDateWhenTheSeriesMovedAndTheCursorGoesToAnEntryBar) {
    const BarSeries bars = test::KLineDays(10);
    const int date = LeadingInt(bars[6][kBarDate]);
    EXPECT_EQ(MarkBar(bars, 6, date), 6);
    EXPECT_EQ(MarkBar(bars, 4, date), 6) << "the bar of that date when the index moved";
    EXPECT_EQ(MarkBar(bars, 99, date), 6);
    EXPECT_EQ(MarkBar(bars, 6, 19990101), -1) << "a date the chart has lost";

    test::KLineFixture k;
    k.Open();
    k.Paint();
    k.view->ShowCursorAt(20);
    EXPECT_TRUE(k.view->CursorMode());
    EXPECT_EQ(k.view->Window().cursor, 20);
    EXPECT_LE(k.view->Window().lastVisible - k.view->Window().visibleCount + 1, 20) << "scrolled into sight";
    EXPECT_GE(k.view->Window().lastVisible, 20);
    k.Paint();
    EXPECT_EQ(k.view->Pointer().x, k.view->MainPane().BarCentreX(20)) << "the crosshair on the bar";
    k.view->ShowCursorAt(500);  // no such bar: nothing moves
    EXPECT_EQ(k.view->Window().cursor, 20);
}

}  // namespace
}  // namespace qelt
