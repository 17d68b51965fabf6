// What the K-line view paints: the frame, panes and strips, the chart kept between paints
// under the crosshair, the tips, and the printed page.
#include <gtest/gtest.h>

#include <algorithm>

#include "common/Commands.h"
#include "support/KLineTestSupport.h"
#include "views/kline/BarTips.h"
#include "views/kline/MovingAverages.h"
#include "views/kline/TrackingCanvas.h"

namespace qelt {
namespace {

using test::KLineFixture;

/// A recording canvas that hands out recording bitmaps it keeps an eye on.
class SpyCanvas : public RecordingCanvas {
  public:
    SpyCanvas() : RecordingCanvas(1000, 600) {}
    std::unique_ptr<MemoryBitmap> CreateBitmap(int width, int height) override {
        auto bitmap = std::make_unique<RecordingBitmap>(width, height);
        bitmaps.push_back(bitmap.get());
        return bitmap;
    }
    std::vector<RecordingBitmap*> bitmaps;
};

class KLinePaint : public ::testing::Test, public KLineFixture {
  protected:
    std::size_t LinesWithPen(const RecordingCanvas& c, const Pen& pen) const {
        const auto lines = c.Of(DrawOp::Line);
        return static_cast<std::size_t>(
            std::count_if(lines.begin(), lines.end(), [&](const DrawRecord& r) { return r.pen == pen; }));
    }
    bool HasLine(const RecordingCanvas& c, Point from, Point to) const {
        for (const DrawRecord& r : c.Of(DrawOp::Line))
            if (r.points[0] == from && r.points[1] == to) return true;
        return false;
    }
};

TEST_F(KLinePaint, FrameLinesPanesStripAndPanelAreWhereTheyBelong) {
    Open();
    const RecordingCanvas& c = Paint();
    // The background is laid in bands of whole rows, top to bottom, none left out.
    int laid = 0;
    for (const DrawRecord& fill : c.Of(DrawOp::FillRect))
        if (fill.colour == DisplayScheme::Screen().background && fill.rect.left == 0 &&
            fill.rect.right == 1000 && fill.rect.top == laid)
            laid = fill.rect.bottom;
    EXPECT_EQ(laid, 600);
    EXPECT_TRUE(HasLine(c, {800, 0}, {800, 598})) << "the chart's right edge";
    EXPECT_TRUE(HasLine(c, {0, 360}, {800, 360})) << "under the main pane";
    EXPECT_TRUE(HasLine(c, {0, 580}, {1000, 580})) << "over the date strip";
    EXPECT_TRUE(HasLine(c, {0, 598}, {1000, 598}));
    EXPECT_TRUE(HasLine(c, {740, 360}, {740, 470})) << "the first lower pane's axis separator";
    EXPECT_EQ(c.TextsEqual("2007年").size(), 1u);
    EXPECT_EQ(c.TextsEqual("节号").size(), 1u);
    EXPECT_EQ(c.TextsEqual("节号")[0].points[0], (Point{805, 50}));
    // What follows the cursor bar: the moving averages' labels and the panes' titles.
    ASSERT_EQ(c.TextsEqual("MACD(12,26,9)").size(), 1u);
    EXPECT_EQ(c.TextsEqual("MACD(12,26,9)")[0].points[0], (Point{5, 473}));
    bool ma5 = false;
    for (const DrawRecord& r : c.Of(DrawOp::Text))
        ma5 |= r.text.rfind("MA5:", 0) == 0 && r.points[0] == Point{200, 3};
    EXPECT_TRUE(ma5);
}

TEST_F(KLinePaint, ACrosshairMoveRestoresFromTheKeptChartInsteadOfDrawingItAgain) {
    Open();
    SpyCanvas target;
    view->OnKey(Key(ViewKey::Left));  // cursor mode on
    view->Paint(target, client, DisplayScheme::Screen());
    ASSERT_TRUE(target.bitmaps.empty()) << "a changed chart is drawn straight onto the surface";
    EXPECT_FALSE(target.Of(DrawOp::Rectangle).empty()) << "candles";

    view->OnMouseMove(Mouse(300, 200));
    target.Clear();
    view->Paint(target, client, DisplayScheme::Screen());
    ASSERT_EQ(target.bitmaps.size(), 1u) << "the first move keeps the chart in a bitmap";
    const std::size_t kept = target.bitmaps[0]->Recorder().Records().size();
    EXPECT_GT(kept, 500u);

    view->OnMouseMove(Mouse(420, 250));
    target.Clear();
    view->Paint(target, client, DisplayScheme::Screen());
    EXPECT_EQ(target.bitmaps.size(), 1u);
    EXPECT_EQ(target.bitmaps[0]->Recorder().Records().size(), kept) << "the chart was not drawn again";
    EXPECT_TRUE(target.Of(DrawOp::Rectangle).empty()) << "no candle on the surface either";
    const auto copies = target.Of(DrawOp::Bitmap);
    ASSERT_FALSE(copies.empty());
    for (const DrawRecord& r : copies)
        ASSERT_TRUE(r.clip.has_value()) << "only what the last cursor layer covered";
    const Pen crosshair = DisplayScheme::Screen().linePen;
    EXPECT_TRUE(HasLine(target, {420, 10}, {420, 580}));
    EXPECT_TRUE(HasLine(target, {0, 250}, {750, 250}));
    EXPECT_EQ(LinesWithPen(target, crosshair), 2u);
    // The last crosshair is among the copied-back rectangles.
    bool wiped = false;
    for (const DrawRecord& r : copies) wiped |= r.clip->Contains({300, 400}) && r.clip->Width() <= 6;
    EXPECT_TRUE(wiped);

    view->OnKey(Key(ViewKey::Up));  // zoom: the chart changes
    target.Clear();
    view->Paint(target, client, DisplayScheme::Screen());
    EXPECT_FALSE(target.Of(DrawOp::Rectangle).empty());
    EXPECT_TRUE(target.Of(DrawOp::Bitmap).empty());
}

TEST_F(KLinePaint, ThePrintoutKeepsTheTitlesButNothingThatMarksThePointer) {
    Open();
    view->OnKey(Key(ViewKey::Left));  // the crosshair on
    // White on blue: the crosshair's price and date labels, the panes' read-outs.
    auto pointerLabels = [](const RecordingCanvas& c) {
        std::size_t count = 0;
        for (const DrawRecord& r : c.Of(DrawOp::Text))
            count += r.bkMode == BkMode::Opaque && r.bkColour == kBlue;
        return count;
    };
    for (const Point at : {Point{300, 200}, Point{300, 520}}) {  // main pane, then MACD's pane
        view->OnMouseMove(Mouse(at.x, at.y));
        const RecordingCanvas& screen = Paint();
        ASSERT_EQ(pointerLabels(screen), 2u) << "price or read-out, and the date";
        ASSERT_TRUE(HasLine(screen, {at.x, 10}, {at.x, 580}));
        RecordingCanvas printer(1000, 600);
        view->PaintForPrint(printer, client, DisplayScheme::Print());
        EXPECT_EQ(pointerLabels(printer), 0u);
        EXPECT_FALSE(HasLine(printer, {at.x, 10}, {at.x, 580})) << "no crosshair";
        EXPECT_FALSE(HasLine(printer, {0, at.y}, {750, at.y}));
        EXPECT_EQ(printer.TextsEqual("MACD(12,26,9)").size(), 1u) << "the panes keep their titles";
        bool ma5 = false;
        for (const DrawRecord& r : printer.Of(DrawOp::Text)) ma5 |= r.text.rfind("MA5:", 0) == 0;
        EXPECT_TRUE(ma5) << "and the moving averages their labels";
    }
}

TEST_F(KLinePaint, MovingAveragesOfEarlierHighsStayInsideTheMainPane) {
    // Ten bars of 100 on show after a long run at 1000: the averages start far above the range.
    for (std::size_t i = 0; i + 10 < services.mainList[0].series.size(); ++i)
        for (int field : {kBarOpen, kBarClose, kBarHigh, kBarLow})
            services.mainList[0].series[i].Set(static_cast<std::size_t>(field), "1000.00");
    Open();
    view->ShowBars(10, static_cast<int>(view->Series().size()) - 1);
    const RecordingCanvas& c = Paint();
    const Rect main = view->Panes()[0];
    const Pen ma5 = Pen::Solid(1, DisplayScheme::Screen().line[0]);
    const auto polylines = c.Of(DrawOp::Polyline);
    const auto first =
        std::find_if(polylines.begin(), polylines.end(), [&](const DrawRecord& r) { return r.pen == ma5; });
    ASSERT_NE(first, polylines.end());
    EXPECT_LT(first->points.front().y, main.top) << "the case this is about: MA5 begins above the pane";
    ASSERT_TRUE(first->clip.has_value());
    EXPECT_EQ(*first->clip, (Rect{main.left, main.top, 740, main.bottom + 1})) << "cut at the pane's edges";
}

TEST_F(KLinePaint, TheKeptChartIsDrawnAgainForAnotherScheme) {
    Open();
    SpyCanvas target;
    view->OnKey(Key(ViewKey::Left));
    view->Paint(target, client, DisplayScheme::Screen());
    view->OnMouseMove(Mouse(300, 200));
    view->Paint(target, client, DisplayScheme::Screen());  // the chart is kept from here on
    target.Clear();
    view->Paint(target, client, DisplayScheme::Print());
    ASSERT_FALSE(target.Of(DrawOp::FillRect).empty()) << "not a copy of the screen's chart";
    EXPECT_EQ(target.Of(DrawOp::FillRect)[0].colour, DisplayScheme::Print().background);
    for (const DrawRecord& r : target.Of(DrawOp::Polyline))
        EXPECT_NE(r.pen.colour, DisplayScheme::Screen().line[0]);
    target.Clear();
    view->Paint(target, client, DisplayScheme::Screen());
    ASSERT_FALSE(target.Of(DrawOp::FillRect).empty());
    EXPECT_EQ(target.Of(DrawOp::FillRect)[0].colour, DisplayScheme::Screen().background);
}

TEST_F(KLinePaint, DataTipFollowsTheCursorBarInItsLayout) {
    Open();
    view->OnKey(Key(ViewKey::Left));
    Paint();
    ASSERT_EQ(host.overlays.count(kDataTipOverlay), 1u);
    // The crosshair is on the newest bar, the titles on the left: the tip goes between them.
    const Rect placed = host.overlays[kDataTipOverlay];
    EXPECT_EQ(placed.Height(), 400);
    EXPECT_EQ(placed.Width(), 85);
    EXPECT_FALSE(host.overlayDraggable[kDataTipOverlay]);
    RecordingCanvas tip;
    host.overlayPainters[kDataTipOverlay](tip, {85, 400});
    const CBarRow& bar = view->Series()[view->Window().cursor];
    EXPECT_EQ(tip.TextsEqual(DashedDate(std::string(bar[kBarDate]))).size(), 1u);
    EXPECT_EQ(tip.TextsEqual("涨    跌").size(), 1u);

    services.mainList[0].flagged = true;
    services.selection.category = 2;  // "0001": the main record as it is
    view->OnCommand(cmd::kDay);
    view->OnKey(Key(ViewKey::Left));
    Paint();
    EXPECT_EQ(host.overlays[kDataTipOverlay].Height(), 330) << "kind-1 goods: the shorter layout";
}

TEST_F(KLinePaint, TheTipsShowTodaysLiveChangeAndThePositionChangeWithinOneMonth) {
    CQeltGoods goods;
    goods.change = "3.50";
    goods.changePercent = "1.20";
    BarSeries bars = test::KLineDays(3, "");
    bars[1].Set(kBarDue, "200706");
    DataTipContent tip = MakeDataTip(goods, bars, 2, std::string(bars[2][kBarDate]));
    EXPECT_TRUE(tip.today);
    EXPECT_EQ(tip.liveChange, "3.50");
    EXPECT_EQ(tip.bar.positionChange, std::string(bars[2][kBarPure])) << "another month before it";
    EXPECT_EQ(MakeDataTip(goods, bars, 1, "20990101").bar.positionChange, "1010");
    EXPECT_EQ(PositionChange(test::KLineDays(3), 2), "10") << "1020 - 1010 within one month";
    EXPECT_EQ(MakeBarTip(bars, 5).caption, "- - - ");
    RecordingCanvas canvas;
    PaintDataTip(canvas, tip, 85, 400);
    EXPECT_EQ(canvas.TextsEqual("3.50")[0].colour, kTipRise);
    EXPECT_EQ(canvas.TextsEqual("3.50")[0].points[0], (Point{20, 181}));
    tip.layout = 1;
    canvas.Clear();
    PaintDataTip(canvas, tip, 85, 330);
    EXPECT_TRUE(canvas.TextsEqual("3.50").empty()) << "no change rows in layout 1";
    EXPECT_EQ(canvas.TextsEqual("购销总量")[0].points[0], (Point{8, 293}));
}

TEST_F(KLinePaint, PrintingPaintsEverythingStraightInThePrintColours) {
    Open();
    Paint();
    RecordingCanvas printer(1000, 600);
    view->PaintForPrint(printer, client, DisplayScheme::Print());
    EXPECT_TRUE(printer.Of(DrawOp::Bitmap).empty());
    EXPECT_EQ(printer.Of(DrawOp::FillRect)[0].colour, DisplayScheme::Print().background);
    EXPECT_FALSE(printer.Of(DrawOp::Rectangle).empty());
    // Every first line is the paper's line 1 (black), never the screen's (white on white).
    const Pen paperLine1 = Pen::Solid(1, DisplayScheme::Print().line[0]);
    const Pen paperLine2 = Pen::Solid(1, DisplayScheme::Print().line[1]);
    std::size_t first = 0, second = 0;
    for (const DrawRecord& r : printer.Of(DrawOp::Polyline)) {
        EXPECT_NE(r.pen.colour, DisplayScheme::Screen().line[0]);
        first += r.pen == paperLine1;
        second += r.pen == paperLine2;
    }
    EXPECT_EQ(first, 4u) << "MA5 and the fifth average (line 5 is black on paper too), VOL's MA5, DIF";
    EXPECT_EQ(second, 3u) << "MA10, VOL's MA10, DEA";
    // The screen keeps its own chart: nothing of the paper's colours reaches it.
    view->OnMouseMove(Mouse(100, 100));
    const RecordingCanvas& screen = Paint();
    for (const DrawRecord& r : screen.Of(DrawOp::FillRect))
        EXPECT_NE(r.colour, DisplayScheme::Print().background);
    for (const DrawRecord& r : screen.Of(DrawOp::Text)) EXPECT_NE(r.colour, DisplayScheme::Print().title);
}

TEST(TrackingCanvas, RecordsGenerousBoundsOfWhatItForwards) {
    RecordingCanvas target;
    TrackingCanvas tracker(target);
    tracker.SelectFont(Font{"宋体", 12, 400});
    tracker.TextOut(100, 50, "MA5:12.34");
    tracker.SetTextAlign({HAlign::Right, VAlign::Top});
    tracker.TextOut(500, 50, "12.34→");
    tracker.MoveTo(10, 10);
    tracker.LineTo(10, 300);
    ASSERT_EQ(target.Texts(), (std::vector<std::string>{"MA5:12.34", "12.34→"}));
    EXPECT_EQ(target.Of(DrawOp::Text)[1].align.h, HAlign::Right) << "the state goes with each call";
    ASSERT_EQ(tracker.Touched().size(), 3u);
    const Rect text = tracker.Touched()[0];
    EXPECT_LE(text.left, 99);
    EXPECT_GE(text.right, 100 + 9 * 12 * 3 / 4);
    EXPECT_LE(text.top, 49);
    EXPECT_GE(text.bottom, 50 + 16);
    EXPECT_GE(tracker.Touched()[1].right, 501);
    EXPECT_LE(tracker.Touched()[1].left, 500 - 5 * 9 - 12);
    EXPECT_TRUE(tracker.Touched()[2].Contains({10, 299}));
}

TEST(MovingAverageLabels, SixDigitAveragesKeepOffTheNextLabel) {
    MainMovingAverages averages;
    averages.periods = {5, 10, 20, 30, 60};
    for (IndicatorLine& line : averages.lines) line.values = {3.5, 168123.45};
    RecordingCanvas canvas;
    DrawMovingAverageLabels(canvas, averages, 1, DisplayScheme::Screen(), Font{"宋体", 14, 400});
    const std::vector<DrawRecord> labels = canvas.Of(DrawOp::Text);
    ASSERT_EQ(labels.size(), 5u);
    for (std::size_t i = 0; i + 1 < labels.size(); ++i) {
        const int end =
            labels[i].points[0].x + static_cast<int>(labels[i].text.size()) * labels[i].font.height / 2;
        EXPECT_LT(end, labels[i + 1].points[0].x) << labels[i].text << " runs into " << labels[i + 1].text;
    }
    EXPECT_EQ(labels[0].points[0].x, 200) << "each label where it always was";
}

}  // namespace
}  // namespace qelt
