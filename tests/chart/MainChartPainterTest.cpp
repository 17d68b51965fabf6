// The main pane drawn on a recording canvas: axis and grid, candles, the American line, OX
// columns, the labels of the extremes and the crosshair's price.
#include <gtest/gtest.h>

#include <algorithm>

#include "chart/MainChartPainter.h"
#include "common/Numbers.h"
#include "gfx/RecordingCanvas.h"

namespace qelt {
namespace {

CBarRow OhlcBar(std::string_view open, std::string_view close, std::string_view high, std::string_view low,
                std::string_view due = "200706") {
    return CBarRow{"20070102", open, close, high, low, "10", "0", "0", "0", due};
}

class MainChart : public ::testing::Test {
  protected:
    MainChart() {
        style.grid = Pen{PenStyle::User, 1, kRed, {1, 5}, true};
        style.axis = Pen::Solid(1, kRed);
    }
    void Draw() {
        columns = ReadPriceColumns(bars);
        input.bars = &bars;
        input.prices = columns.View();
        input.lastVisible = static_cast<int>(bars.size()) - 1;
        input.visibleCount = static_cast<int>(bars.size());
        input.goodsName = "桑蚕丝-0706";
        SeriesWindow window;
        window.lastVisible = input.lastVisible;
        window.visibleCount = input.visibleCount;
        input.extremes = FindVisibleExtremes(bars, window);
        geometry = LayOutMainChart(input, pane);
        canvas.Clear();
        DrawMainChartBody(canvas, input, geometry, style);
        DrawMainChartLabels(canvas, input, geometry, style);
    }
    std::vector<DrawRecord> WithPen(DrawOp op, Colour colour) const {
        std::vector<DrawRecord> out;
        for (const DrawRecord& r : canvas.Of(op))
            if (r.pen.colour == colour) out.push_back(r);
        return out;
    }
    BarSeries bars;
    OwnedPriceColumns columns;
    MainChartInput input;
    KLineStyle style;
    Rect pane{0, 30, 560, 330};  // axis at 500; five bars get 100-pixel slots
    MainPaneGeometry geometry;
    RecordingCanvas canvas{800, 600};
};

TEST_F(MainChart, AxisTicksLabelsAndDottedGridFollowTheNiceStep) {
    // Range 40: 4 -> 0.04, and 0.04 + 0.01 kept in single precision truncates back to 4.
    bars = {OhlcBar("100", "110", "120", "80"), OhlcBar("110", "100", "115", "95")};
    Draw();
    EXPECT_NEAR(geometry.scale.step, 4.0f, 1e-5);
    EXPECT_NEAR(geometry.scale.axisMin, 78.0f, 1e-4);
    const std::vector<std::string> texts = canvas.Texts();
    EXPECT_EQ(texts[0], "82.00") << "the first label is one step above the axis minimum";
    const auto label = canvas.TextsEqual("82.00")[0];
    EXPECT_EQ(label.align.h, HAlign::Right);
    EXPECT_EQ(label.points[0].x, 558);
    EXPECT_EQ(label.colour, kRed);
    auto lines = canvas.Of(DrawOp::Line);
    EXPECT_EQ(lines[0].points, (std::vector<Point>{{500, 0}, {500, 330}}))
        << "the axis line from the client top";
    const auto grid = std::count_if(lines.begin(), lines.end(),
                                    [](const DrawRecord& r) { return r.pen.style == PenStyle::User; });
    EXPECT_GE(grid, 10) << "levels 82 .. 118 lie inside the pane";
    EXPECT_LE(grid, 11) << "nothing above the pane's top";
    EXPECT_EQ(canvas.TextsEqual("商品:桑蚕丝-0706(日线)").size(), 1u);
    EXPECT_EQ(canvas.TextsEqual("商品:桑蚕丝-0706(日线)")[0].font, (Font{"宋体", 16, 400}));
}

TEST_F(MainChart, CandlesAreHollowWhenRisingFilledWhenFallingAndALineWhenFlat) {
    bars = {OhlcBar("100", "110", "120", "90"), OhlcBar("110", "100", "115", "95"),
            OhlcBar("105", "105", "108", "102")};
    Draw();
    ASSERT_FLOAT_EQ(geometry.barWidth, 100.0f);
    const auto bodies = canvas.Of(DrawOp::Rectangle);
    ASSERT_EQ(bodies.size(), 2u);
    EXPECT_EQ(bodies[0].pen.colour, kRisingBar);
    EXPECT_EQ(bodies[0].brush.colour, style.scheme.background) << "rising bodies are hollow";
    EXPECT_EQ(bodies[0].rect.left, 0);
    EXPECT_EQ(bodies[0].rect.right, 90) << "0.9 of the slot";
    EXPECT_EQ(bodies[0].rect.top, geometry.PriceToY(110));
    EXPECT_EQ(bodies[0].rect.bottom, geometry.PriceToY(100));
    EXPECT_EQ(bodies[1].pen.colour, kFallingBar);
    EXPECT_EQ(bodies[1].brush.colour, kFallingBar);
    EXPECT_EQ(bodies[1].rect.left, 100);
    // The flat bar: a horizontal and a vertical line in line colour 1.
    const auto flat = WithPen(DrawOp::Line, style.scheme.line[0]);
    ASSERT_EQ(flat.size(), 2u);
    EXPECT_EQ(flat[0].points[0], (Point{200, geometry.PriceToY(105)}));
    EXPECT_EQ(flat[1].points[0], (Point{245, geometry.PriceToY(108)}));
}

TEST_F(MainChart, AmericanLineHasNoOpenTickAndGoodsWithoutMonthsSkipUntradedDays) {
    input.chartType = kChartAmerican;
    bars = {OhlcBar("100", "110", "120", "90"), OhlcBar("0", "100", "115", "95", ""),
            OhlcBar("110", "100", "115", "95", "")};
    Draw();
    const auto rising = WithPen(DrawOp::Line, kRisingBar);
    ASSERT_EQ(rising.size(), 2u);
    EXPECT_EQ(rising[0].points,
              (std::vector<Point>{{0, geometry.PriceToY(120)}, {0, geometry.PriceToY(90)}}));
    EXPECT_EQ(rising[1].points,
              (std::vector<Point>{{0, geometry.PriceToY(110)}, {90, geometry.PriceToY(110)}}));
    EXPECT_EQ(WithPen(DrawOp::Line, kFallingBar).size(), 2u)
        << "the untraded second day keeps its slot empty";
    EXPECT_EQ(WithPen(DrawOp::Line, kFallingBar)[0].points[0].x, 200);
    EXPECT_TRUE(canvas.Of(DrawOp::Rectangle).empty());
}

TEST_F(MainChart, PointAndFigureColumnsAreXsAndOsAndABoxOfZeroLeavesANote) {
    input.chartType = kChartOX;
    input.oxBox = 1.0f;
    std::vector<int> boxes{3, -2};
    input.oxBoxes = &boxes;
    bars = {OhlcBar("10.5", "12.5", "13", "10"), OhlcBar("11.5", "10.5", "12", "10")};
    Draw();
    EXPECT_EQ(WithPen(DrawOp::Line, kRisingBar).size(), 6u) << "three X boxes of two diagonals";
    const auto os = canvas.Of(DrawOp::Ellipse);
    ASSERT_EQ(os.size(), 2u);
    EXPECT_EQ(os[0].pen.colour, kFallingBar);
    EXPECT_EQ(os[0].rect.Height(), static_cast<int>(1.0f / geometry.scale.pricePerPixel)) << "one box high";
    // The price scale is in 万元: the box reads in 元, with its unit.
    EXPECT_EQ(canvas.TextsEqual("OX格值:10000元").size(), 1u);
    EXPECT_EQ(canvas.TextsEqual("OX格值:10000元")[0].points[0], (Point{290, 3}));
    input.goodsNo = "0009";
    Draw();
    EXPECT_EQ(canvas.TextsEqual("OX格值:1.00点").size(), 1u) << "the index's box in points";

    input.oxBox = 0.0f;
    input.note = kZeroBoxNote;
    Draw();
    EXPECT_TRUE(canvas.Of(DrawOp::Ellipse).empty());
    EXPECT_TRUE(WithPen(DrawOp::Line, kRisingBar).empty());
    EXPECT_EQ(canvas.TextsEqual(kZeroBoxNote).size(), 1u);
}

TEST_F(MainChart, PointAndFigureDrawsWhatThePaneCanShowWhateverTheBoxCount) {
    // A silk contract near 158,000 with a box of 0.05 yuan (元生丝 500): two columns of
    // 62,000 and 61,000 boxes, each box a two-hundredth of a pixel. Each column is one block
    // of its colour from its first box to its last.
    input.chartType = kChartOX;
    input.oxBox = 0.05f;
    std::vector<int> boxes{62000, -61000};
    input.oxBoxes = &boxes;
    bars = {OhlcBar("155000.025", "158099.975", "158100", "155000"),
            OhlcBar("158049.975", "155000.025", "158100", "155000")};
    Draw();
    const auto blocks = canvas.Of(DrawOp::Rectangle);
    ASSERT_EQ(blocks.size(), 2u);
    EXPECT_EQ(blocks[0].pen.colour, kRisingBar);
    EXPECT_EQ(blocks[0].brush.colour, kRisingBar);
    EXPECT_EQ(blocks[1].pen.colour, kFallingBar);
    EXPECT_EQ(blocks[1].brush.colour, kFallingBar);
    EXPECT_EQ(blocks[0].rect.left, 0);
    EXPECT_EQ(blocks[0].rect.right, 90) << "the slot of a bar";
    EXPECT_NEAR(blocks[0].rect.bottom, geometry.PriceToY(155000.0), 1);
    EXPECT_NEAR(blocks[0].rect.top, geometry.PriceToY(158100.0), 1);
    EXPECT_NEAR(blocks[1].rect.top, geometry.PriceToY(158050.0), 1);
    EXPECT_TRUE(canvas.Of(DrawOp::Ellipse).empty());
    EXPECT_TRUE(WithPen(DrawOp::Line, kRisingBar).empty());

    // Boxes of two pixels and more are drawn one by one, but only those in the pane: a
    // column running 30,000 boxes past its top costs no more than one that stops there.
    input.oxBox = 1.0f;
    bars = {OhlcBar("10.5", "12.5", "13", "10"), OhlcBar("11.5", "10.5", "12", "10")};
    boxes = {3, -2};
    Draw();
    const std::size_t drawn = canvas.Records().size();
    boxes = {30000, -30000};
    Draw();
    const double boxPixels = 1.0 / geometry.scale.pricePerPixel;
    EXPECT_LE(static_cast<double>(WithPen(DrawOp::Line, kRisingBar).size()), 2 * (300 / boxPixels + 3));
    EXPECT_LE(static_cast<double>(canvas.Of(DrawOp::Ellipse).size()), 300 / boxPixels + 3);
    EXPECT_LE(canvas.Records().size(), drawn + 20);
}

TEST_F(MainChart, ExtremeLabelsPointInwardAndTheLowWaitsForATradedNewestBar) {
    bars = {OhlcBar("100", "110", "130", "90"), OhlcBar("110", "100", "115", "95"),
            OhlcBar("105", "106", "108", "102"), OhlcBar("105", "106", "108", "80"),
            OhlcBar("105", "106", "108", "102")};
    Draw();
    const auto high = canvas.TextsEqual("←130.00");
    ASSERT_EQ(high.size(), 1u) << "the high sits left of the middle";
    EXPECT_EQ(high[0].points[0], (Point{50, geometry.PriceToY(130) - 12}));
    EXPECT_EQ(high[0].colour, style.scheme.line[0]);
    const auto low = canvas.TextsEqual("80.00→");
    ASSERT_EQ(low.size(), 1u);
    EXPECT_EQ(low[0].align.h, HAlign::Right);
    EXPECT_EQ(low[0].points[0], (Point{350, geometry.PriceToY(80) - 4}));
    bars.back() = OhlcBar("0", "106", "108", "102", "");
    Draw();
    EXPECT_TRUE(canvas.TextsEqual("80.00→").empty());
}

TEST_F(MainChart, CrosshairPriceReadsThePriceUnderThePointerAsTheAxisDoesOnlyInsideThePane) {
    bars = {OhlcBar("100", "110", "120", "90"), OhlcBar("110", "100", "115", "95")};
    Draw();
    // The dotted grid line of each labelled level: the pointer on its row reads that level
    // (to within the price of one pixel row), from the bottom of the pane to its top.
    std::vector<int> rows;
    for (const DrawRecord& r : canvas.Of(DrawOp::Line))
        if (r.pen.style == PenStyle::User) rows.push_back(r.points[0].y);
    std::vector<std::string> levels;
    for (const DrawRecord& r : canvas.Of(DrawOp::Text))
        if (r.align.h == HAlign::Right) levels.push_back(r.text);
    ASSERT_EQ(rows.size(), levels.size());
    ASSERT_GE(rows.size(), 5u);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (rows[i] <= pane.top) continue;  // the pane's top row itself belongs to the title
        canvas.Clear();
        DrawCrosshairPrice(canvas, geometry, {100, rows[i]}, style);
        ASSERT_EQ(canvas.Texts().size(), 1u);
        EXPECT_NEAR(LeadingDouble(canvas.Texts()[0]), LeadingDouble(levels[i]), geometry.scale.pricePerPixel)
            << "the row of " << levels[i];
    }
    canvas.Clear();
    DrawCrosshairPrice(canvas, geometry, {100, 180}, style);
    const DrawRecord label = canvas.Of(DrawOp::Text)[0];
    EXPECT_EQ(label.points[0], (Point{501, 170}));
    EXPECT_EQ(label.bkColour, kBlue);
    EXPECT_EQ(label.bkMode, BkMode::Opaque);
    canvas.Clear();
    DrawCrosshairPrice(canvas, geometry, {100, 330}, style);
    DrawCrosshairPrice(canvas, geometry, {560, 180}, style);
    EXPECT_TRUE(canvas.Texts().empty()) << "not over the lower panes nor right of the chart";

    input.logarithmic = true;
    Draw();
    canvas.Clear();
    DrawCrosshairPrice(canvas, geometry, {100, geometry.PriceToY(100)}, style);
    EXPECT_NEAR(LeadingDouble(canvas.Texts()[0]), 100.0, 0.2)
        << "a logarithmic scale reads the price at the row";
}

TEST_F(MainChart, SixDigitPricesAreLabelledToTheCent) {
    // Every cent from 166,230.00 to 166,329.99 as the window's high and its low 20 below:
    // the extreme labels print the bars' own prices.
    for (int cents = 0; cents < 10000; cents += 3) {
        const double h = 166230.0 + cents / 100.0;
        const std::string high = FormatFixed2(h), low = FormatFixed2(h - 20);
        bars = {OhlcBar(FormatFixed2(h - 5), FormatFixed2(h - 6), high, low),
                OhlcBar(FormatFixed2(h - 6), FormatFixed2(h - 5), FormatFixed2(h - 4), FormatFixed2(h - 7))};
        Draw();
        ASSERT_EQ(canvas.TextsEqual("←" + high).size(), 1u) << high;
        ASSERT_EQ(canvas.TextsEqual("←" + low).size(), 1u) << low;
    }
    // The axis of a narrow six-digit range: 166,220.10 to 166,240.55 steps by 3 from
    // 166,218.60, so every level ends in .60.
    bars = {OhlcBar("166225", "166226", "166240.55", "166220.10"),
            OhlcBar("166226", "166225", "166230", "166225")};
    Draw();
    ASSERT_DOUBLE_EQ(geometry.scale.step, 3.0);
    int levels = 0;
    for (const DrawRecord& r : canvas.Of(DrawOp::Text)) {
        if (r.align.h != HAlign::Right) continue;
        ++levels;
        EXPECT_EQ(r.text.substr(r.text.size() - 3), ".60") << r.text;
    }
    EXPECT_GE(levels, 5);
}

TEST_F(MainChart, DeliveryMonthListDrawsAClosingLineAndAnEmptySeriesOnlyItsFrame) {
    input.closeLine = true;
    bars = {OhlcBar("100", "110", "120", "90"), OhlcBar("110", "100", "115", "95")};
    Draw();
    const auto polylines = canvas.Of(DrawOp::Polyline);
    ASSERT_EQ(polylines.size(), 1u);
    EXPECT_EQ(polylines[0].pen, Pen::Solid(2, kCloseLine));
    EXPECT_EQ(polylines[0].points[0], (Point{50, geometry.PriceToY(110)}));
    EXPECT_TRUE(canvas.Of(DrawOp::Rectangle).empty());

    input.closeLine = false;
    bars.clear();
    Draw();
    EXPECT_EQ(canvas.Of(DrawOp::Line).size(), 1u) << "the axis line only";
    EXPECT_EQ(canvas.Texts(), (std::vector<std::string>{"商品:桑蚕丝-0706(日线)"}));
}

}  // namespace
}  // namespace qelt
