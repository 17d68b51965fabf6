// The marks of a formula's drawing statements on a recording canvas: columns, texts, numbers,
// icons and lines where the bars and values put them, in their colours (the paper's when
// printed), clipped to the chart with texts kept inside it; their part in a pane's range (which
// a trading system's signals take no part in).
#include <gtest/gtest.h>

#include <algorithm>

#include "common/Numbers.h"
#include "gfx/RecordingCanvas.h"
#include "indicators/IndicatorLines.h"
#include "support/KLineTestSupport.h"
#include "views/kline/FormulaMarks.h"
#include "views/kline/FormulaPane.h"

namespace qelt {
namespace {

// Slots 10 pixels wide from x 0 (bar k's centre at 10k + 5), value v at row 200 - v; the
// chart is {0, 0, 300, 201}, bars 5 .. 20 on show.
class TenPixelAxes : public FormulaChartAxes {
  public:
    int CentreX(int bar) const override { return 10 * bar + 5; }
    int Y(double value) const override { return 200 - static_cast<int>(value); }
};

constexpr Rect kMarksChart{0, 0, 300, 201};
constexpr Colour kMarksRed = Rgb(255, 0, 0);

FormulaDrawing MarkDrawing(FormulaDrawingKind kind) {
    FormulaDrawing d;
    d.kind = kind;
    return d;
}

FormulaDrawing MarkColoured(FormulaDrawing d, Colour colour) {
    d.hasColour = true;
    d.colour = colour;
    return d;
}

class FormulaMarks : public ::testing::Test {
  protected:
    RecordingCanvas& Draw(const std::vector<FormulaMark>& marks,
                          const DisplayScheme& scheme = DisplayScheme::Screen(), float barWidth = 10.0f,
                          int fontHeight = 12) {
        canvas.Clear();
        m_scheme = scheme;
        FormulaMarksRequest request;
        request.marks = marks;
        request.drawings = &drawings;
        request.first = 5;
        request.last = 20;
        request.barWidth = barWidth;
        request.chart = kMarksChart;
        request.scheme = &m_scheme;
        request.font.height = fontHeight;
        DrawFormulaMarks(canvas, request, TenPixelAxes());
        return canvas;
    }
    std::vector<FormulaDrawing> drawings;
    RecordingCanvas canvas{400, 300};

  private:
    DisplayScheme m_scheme;
};

TEST_F(FormulaMarks, ColumnsAreTheirTenthsOfTheSlotWideFilledOrHollowAndALineAtWidthZero) {
    FormulaDrawing filled = MarkColoured(MarkDrawing(FormulaDrawingKind::StickLine), kMarksRed);
    filled.widthTenths = 6;
    FormulaDrawing hollow = MarkDrawing(FormulaDrawingKind::StickLine);
    hollow.widthTenths = 10;
    hollow.hollow = true;
    FormulaDrawing thin = MarkDrawing(FormulaDrawingKind::StickLine);
    drawings = {filled, hollow, thin};
    canvas.SelectPen(Pen::Solid(3, 0x123456));
    canvas.SetTextAlign({HAlign::Right, VAlign::Bottom});
    // Bar 3 and bar 21 are off the chart: not drawn.
    Draw({{3, 0, 10, 20}, {6, 0, 40, 10}, {6, 1, 10, 30}, {7, 2, 50, 60}, {21, 0, 10, 20}});
    const std::vector<DrawRecord> rects = canvas.Of(DrawOp::Rectangle);
    ASSERT_EQ(rects.size(), 2u);
    EXPECT_EQ(rects[0].rect, (Rect{65 - 3, 160, 65 + 3, 191})) << "P1 above P2 or below, the same column";
    EXPECT_EQ(rects[0].pen.colour, kMarksRed);
    EXPECT_EQ(rects[0].brush, Brush::Solid(kMarksRed));
    EXPECT_EQ(rects[1].rect, (Rect{60, 170, 70, 191})) << "the whole slot";
    EXPECT_TRUE(rects[1].brush.null) << "hollow";
    EXPECT_EQ(rects[1].pen.colour, DisplayScheme::Screen().line[0]) << "no colour given: line colour 1";
    const std::vector<DrawRecord> lines = canvas.Of(DrawOp::Line);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].points, (std::vector<Point>{{75, 150}, {75, 140}}));
    for (const DrawRecord& r : canvas.Records()) EXPECT_EQ(r.clip, kMarksChart);
    EXPECT_FALSE(canvas.Clip().has_value()) << "the canvas's own clip is put back";
    EXPECT_EQ(canvas.CurrentPen(), Pen::Solid(3, 0x123456)) << "and its pen and alignment";
    EXPECT_EQ(canvas.CurrentTextAlign(), (TextAlign{HAlign::Right, VAlign::Bottom}));
}

TEST_F(FormulaMarks, TextsAndNumbersSitCentredOnTheBarAtTheirBaselineAndStayInsideTheChart) {
    FormulaDrawing text = MarkDrawing(FormulaDrawingKind::Text);
    text.text = "BUY";
    drawings = {text, MarkColoured(MarkDrawing(FormulaDrawingKind::Number), Rgb(0, 255, 0))};
    // Font 12: each byte 6 pixels wide.
    Draw({{5, 1, 50, -2.5}, {10, 0, 50, 0}, {10, 1, 80, 3.14159}, {20, 0, 50, 0}});
    const std::vector<DrawRecord> texts = canvas.Of(DrawOp::Text);
    ASSERT_EQ(texts.size(), 4u);
    EXPECT_EQ(texts[0].text, "-2.50");
    EXPECT_EQ(texts[0].points[0], (Point{55 - 15, 150}));
    EXPECT_EQ(texts[1].text, "BUY");
    EXPECT_EQ(texts[1].points[0], (Point{105 - 9, 150})) << "centred on the bar";
    EXPECT_EQ(texts[1].align, (TextAlign{HAlign::Left, VAlign::Baseline}));
    EXPECT_EQ(texts[1].bkMode, BkMode::Transparent);
    EXPECT_EQ(texts[1].colour, DisplayScheme::Screen().line[0]);
    EXPECT_EQ(texts[2].text, "3.14") << "X's value";
    EXPECT_EQ(texts[2].points[0], (Point{105 - 12, 120}));
    EXPECT_EQ(texts[2].colour, Rgb(0, 255, 0));
    EXPECT_EQ(texts[3].points[0], (Point{205 - 9, 150}));

    // At the chart's edges the text moves inside, whole.
    drawings[0].text = "LONGER TEXT";  // 66 pixels
    canvas.Clear();
    FormulaMarksRequest request;
    const std::vector<FormulaMark> edges{{0, 0, 50, 0}, {29, 0, 60, 0}};
    request.marks = edges;
    request.drawings = &drawings;
    request.first = 0;
    request.last = 29;
    request.barWidth = 10.0f;
    request.chart = kMarksChart;
    const DisplayScheme screen = DisplayScheme::Screen();
    request.scheme = &screen;
    DrawFormulaMarks(canvas, request, TenPixelAxes());
    const std::vector<DrawRecord> moved = canvas.Of(DrawOp::Text);
    ASSERT_EQ(moved.size(), 2u);
    EXPECT_EQ(moved[0].points[0], (Point{0, 150})) << "not left of the chart";
    EXPECT_EQ(moved[1].points[0], (Point{300 - 66, 140})) << "not past its right edge";
}

TEST_F(FormulaMarks, IconsPointAtTheirPriceAndGrowWithTheSlotWithinTheFontsMeasure) {
    FormulaDrawing up = MarkDrawing(FormulaDrawingKind::Icon), down = up, circle = up, cross = up;
    up.icon = FormulaIcon::UpArrow;
    down.icon = FormulaIcon::DownArrow;
    circle.icon = FormulaIcon::Circle;
    cross.icon = FormulaIcon::Cross;
    drawings = {MarkColoured(up, kMarksRed), down, circle, cross};
    const std::vector<FormulaMark> marks{{8, 0, 100, 0}, {9, 1, 100, 0}, {10, 2, 100, 0}, {11, 3, 100, 0}};
    Draw(marks);  // slot 10, font 12: 8 pixels
    // An arrow is rows of pixels: its head's tip at P, its body below (up) or above (down).
    auto arrowAt = [&](int x) {
        std::vector<Rect> rows;
        for (const DrawRecord& r : canvas.Of(DrawOp::FillRect))
            if (r.rect.left <= x && r.rect.right > x) rows.push_back(r.rect);
        return rows;
    };
    auto span = [](const std::vector<Rect>& rows) {
        Rect all = rows.at(0);
        for (const Rect& r : rows)
            all = {std::min(all.left, r.left), std::min(all.top, r.top), std::max(all.right, r.right),
                   std::max(all.bottom, r.bottom)};
        return all;
    };
    const std::vector<Rect> upRows = arrowAt(85), downRows = arrowAt(95);
    ASSERT_FALSE(upRows.empty());
    ASSERT_FALSE(downRows.empty());
    EXPECT_EQ(upRows[0], (Rect{85, 100, 86, 101})) << "the up arrow's tip at P";
    EXPECT_EQ(span(upRows), (Rect{85 - 3, 100, 85 + 4, 109})) << "its body below, 8 pixels on from the tip";
    EXPECT_EQ(canvas.Of(DrawOp::FillRect)[0].colour, kMarksRed);
    EXPECT_EQ(downRows[0], (Rect{95, 100, 96, 101})) << "the down arrow's tip at P";
    EXPECT_EQ(span(downRows), (Rect{95 - 3, 92, 95 + 4, 101})) << "its body above";
    auto height = [&](int x) { return span(arrowAt(x)).Height() - 1; };
    EXPECT_EQ(height(85), 8);
    const std::vector<DrawRecord> circles = canvas.Of(DrawOp::Ellipse);
    ASSERT_EQ(circles.size(), 1u);
    EXPECT_EQ(circles[0].rect, (Rect{105 - 4, 96, 105 + 5, 105})) << "centred at P";
    EXPECT_FALSE(circles[0].brush.null) << "filled";
    const std::vector<DrawRecord> crosses = canvas.Of(DrawOp::Line);
    ASSERT_EQ(crosses.size(), 2u);
    EXPECT_EQ(crosses[0].points[0], (Point{115 - 4, 96}));
    EXPECT_EQ(crosses[1].points[0], (Point{115 + 4, 96}));

    // Narrow slots keep half the font's height; wide ones stop at its height, which a denser
    // surface's larger font grows.
    Draw(marks, DisplayScheme::Screen(), 2.0f, 12);
    EXPECT_EQ(height(85), 6);
    Draw(marks, DisplayScheme::Screen(), 40.0f, 24);
    EXPECT_EQ(canvas.Of(DrawOp::Ellipse)[0].rect.Width(), 25) << "a circle 24 pixels across";
}

TEST_F(FormulaMarks, LinesJoinEachStatementsMarksInBarOrderAcrossTheChartsEdges) {
    drawings = {MarkDrawing(FormulaDrawingKind::Polyline),
                MarkColoured(MarkDrawing(FormulaDrawingKind::Polyline), kMarksRed),
                MarkDrawing(FormulaDrawingKind::Text)};
    drawings[2].text = "T";
    // Statement 0: 1 and 3 before the bars on show, 8 and 15 on show, 22 and 27 after; statement
    // 1 only before and after; statement 2 no line at all.
    Draw({{0, 1, 10, 0},
          {1, 0, 10, 0},
          {3, 0, 30, 0},
          {8, 0, 80, 0},
          {8, 2, 80, 0},
          {15, 0, 150, 0},
          {22, 0, 20, 0},
          {27, 0, 70, 0},
          {29, 1, 90, 0}});
    const std::vector<DrawRecord> lines = canvas.Of(DrawOp::Polyline);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].points, (std::vector<Point>{{35, 170}, {85, 120}, {155, 50}, {225, 180}}))
        << "from the nearest mark on either side";
    EXPECT_EQ(lines[0].pen.colour, DisplayScheme::Screen().line[0]);
    EXPECT_EQ(lines[1].points, (std::vector<Point>{{5, 190}, {295, 110}})) << "crossing the bars on show";
    EXPECT_EQ(lines[1].pen.colour, kMarksRed);
    for (const DrawRecord& r : lines) EXPECT_EQ(r.clip, kMarksChart);

    // Inside an outer clip the marks keep to both.
    canvas.SetClip({100, 50, 400, 300});
    FormulaMarksRequest request;
    const std::vector<FormulaMark> two{{8, 0, 80, 0}, {15, 0, 150, 0}};
    request.marks = two;
    request.drawings = &drawings;
    request.first = 5;
    request.last = 20;
    request.chart = kMarksChart;
    const DisplayScheme screen = DisplayScheme::Screen();
    request.scheme = &screen;
    canvas.Clear();
    DrawFormulaMarks(canvas, request, TenPixelAxes());
    EXPECT_EQ(canvas.Of(DrawOp::Polyline).at(0).clip, (Rect{100, 50, 300, 201}));
    EXPECT_EQ(canvas.Clip(), (Rect{100, 50, 400, 300}));
}

TEST_F(FormulaMarks, OnPaperTheMarksTakeThePapersColoursAndNeverItsBackground) {
    FormulaDrawing text = MarkDrawing(FormulaDrawingKind::Text);
    text.text = "A";
    drawings = {text, MarkColoured(MarkDrawing(FormulaDrawingKind::Icon), Rgb(255, 255, 255)),
                MarkColoured(MarkDrawing(FormulaDrawingKind::Icon), Rgb(0, 0, 0))};
    drawings[1].icon = drawings[2].icon = FormulaIcon::Circle;
    const std::vector<FormulaMark> marks{{10, 0, 50, 0}, {11, 1, 50, 0}, {12, 2, 50, 0}};
    const DisplayScheme paper = DisplayScheme::Print();
    Draw(marks, paper);
    EXPECT_EQ(canvas.Of(DrawOp::Text).at(0).colour, paper.line[0]);
    const std::vector<DrawRecord> circles = canvas.Of(DrawOp::Ellipse);
    ASSERT_EQ(circles.size(), 2u);
    ASSERT_EQ(paper.background, Rgb(255, 255, 255));
    EXPECT_EQ(circles[0].brush.colour, paper.line[0]) << "white on white paper would not show";
    EXPECT_EQ(circles[1].brush.colour, Rgb(0, 0, 0));
    // On the screen the black one is the one that would vanish.
    Draw(marks);
    EXPECT_EQ(canvas.Of(DrawOp::Ellipse).at(1).brush.colour, DisplayScheme::Screen().line[0]);
    EXPECT_EQ(canvas.Of(DrawOp::Text).at(0).colour, DisplayScheme::Screen().line[0]);
}

TEST(FormulaMarksRange, CountsThePricesOfTheMarksOnShowOnly) {
    FormulaDrawing stick = MarkDrawing(FormulaDrawingKind::StickLine),
                   number = MarkDrawing(FormulaDrawingKind::Number);
    const std::vector<FormulaDrawing> drawings{stick, number, MarkDrawing(FormulaDrawingKind::Polyline)};
    const std::vector<FormulaMark> marks{{2, 2, 1000, 0}, {5, 0, 10, -30}, {6, 1, 40, 9999}, {7, 2, 25, 0},
                                         {7, 9, 500, 0},  {20, 0, 60, 12}, {21, 2, -500, 0}, {30, 1, 1, 1}};
    const std::optional<FormulaMarksExtent> extent = FormulaMarksRange(marks, drawings, 5, 20);
    ASSERT_TRUE(extent.has_value());
    EXPECT_EQ(extent->low, -30.0) << "a column's P2";
    EXPECT_EQ(extent->high, 60.0) << "not DRAWNUMBER's X, nor a mark of no statement";
    EXPECT_FALSE(FormulaMarksRange(marks, drawings, 8, 19).has_value());
    EXPECT_FALSE(FormulaMarksRange({}, drawings, 0, 100).has_value());
}

TEST(FormulaPaneMarks, APanesRangeTakesItsMarksInAndDrawsThemOverTheOutputs) {
    const BarSeries bars = test::KLineDays(50);
    const FormulaCompileResult compiled = CompileFormula("C; ENTERLONG:C*100;");
    ASSERT_TRUE(compiled.formula);
    FormulaRun run;
    ASSERT_TRUE(run.Run(*compiled.formula, bars));
    FormulaDrawing icon;
    icon.kind = FormulaDrawingKind::Icon;
    icon.icon = FormulaIcon::Circle;
    const std::vector<FormulaDrawing> drawings{icon};
    const std::vector<FormulaMark> marks{{30, 0, 500, 0}, {45, 0, 20, 0}};

    const DisplayScheme scheme = DisplayScheme::Screen();
    PaneStyle style;
    FormulaPaneRequest request;
    request.pane = {0, 300, 800, 420};
    request.window = MakeIndicatorWindow(49, 50, 50);
    request.barWidth = 14.0f;
    request.scheme = &scheme;
    request.style = &style;
    request.content.title = "T";
    request.content.outputs = &compiled.formula->Outputs();
    request.content.run = &run;
    const std::optional<PaneScale> without = FormulaPaneScale(request);
    ASSERT_TRUE(without.has_value());
    EXPECT_LT(without->top, 200.0f) << "closes about 100; a system's signal is no line";
    request.content.drawings = &drawings;
    request.content.marks = marks;
    const std::optional<PaneScale> with = FormulaPaneScale(request);
    ASSERT_TRUE(with.has_value());
    EXPECT_GE(with->top, 500.0f);
    EXPECT_LE(with->bottom, 20.0f);

    RecordingCanvas canvas(1000, 600);
    DrawFormulaPane(canvas, request);
    EXPECT_EQ(canvas.Of(DrawOp::Polyline).size(), 1u);
    const std::vector<DrawRecord> circles = canvas.Of(DrawOp::Ellipse);
    ASSERT_EQ(circles.size(), 2u);
    EXPECT_EQ((circles[0].rect.left + circles[0].rect.right) / 2, TruncatePixel(7.0f + 30 * 14.0f));
    const int top = with->Y(500.0);
    EXPECT_EQ((circles[0].rect.top + circles[0].rect.bottom) / 2, top);
    EXPECT_EQ(circles[0].clip, (Rect{0, 300, 740, 421})) << "left of the value axis";
}

}  // namespace
}  // namespace qelt
