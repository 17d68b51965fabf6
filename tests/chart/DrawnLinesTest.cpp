// Drawn lines on the main pane: anchors and pixels, clipping, each kind's drawing with its
// levels and labels, and the hit tests.
#include <gtest/gtest.h>

#include "chart/LineAnchors.h"
#include "chart/LineClipping.h"
#include "chart/MyLineDrawing.h"
#include "gfx/RecordingCanvas.h"
#include "support/SamplePane.h"

namespace qelt {
namespace {

MainPaneGeometry Pane() { return test::SamplePane(); }

const LinePens kPens{Pen::Solid(1, 0x00FFFF), Pen::Solid(1, 0xFF00FF), Pen::Solid(1, 0x0000FF)};

CMyLine Line(std::string_view kind, std::vector<CKLinePoint> anchors, int unit = 6) {
    return CMyLine{std::string(kind), unit, std::move(anchors)};
}

/// The lines a kind draws (records of DrawOp::Line) as {from, to} pairs.
std::vector<std::pair<Point, Point>> Lines(const RecordingCanvas& canvas) {
    std::vector<std::pair<Point, Point>> out;
    for (const DrawRecord& r : canvas.Of(DrawOp::Line)) {
        if (r.points.size() < 2) {
            ADD_FAILURE() << "a line record without two ends";
            continue;
        }
        out.emplace_back(r.points[0], r.points[1]);
    }
    return out;
}

std::vector<int> Ys(const RecordingCanvas& canvas, PenStyle style) {
    std::vector<int> ys;
    for (const DrawRecord& r : canvas.Of(DrawOp::Line)) {
        if (r.pen.style != style) continue;
        if (r.points.empty()) {
            ADD_FAILURE() << "a line record without points";
            continue;
        }
        ys.push_back(r.points[0].y);
    }
    return ys;
}

RecordingCanvas Draw(const CMyLine& line, bool selected = false, const MainPaneGeometry& g = Pane()) {
    RecordingCanvas canvas(800, 600);
    DrawMyLine(canvas, line, PixelPointsOf(line, g), selected, g.PlotClip(), kPens);
    return canvas;
}

TEST(LineAnchors, AnchorsAndPixelsCountFromTheSameOriginThroughZoomAndScroll) {
    const MainPaneGeometry g = Pane();
    // Bar 120 is slot 20 from the origin: x = 6 * 20 + 3; 251 lies 102 pixels above 200.
    EXPECT_EQ(AnchorToPixel(g, {120, 251.0f}), (Point{123, 328}));
    EXPECT_EQ(PixelToAnchor(g, {123, 328}), (CKLinePoint{120, 251.0f}));
    EXPECT_EQ(PixelToAnchor(g, {125, 328}).index, 120) << "anywhere in the slot";

    MainPaneGeometry zoomed = g;  // twice the width, scrolled 50 bars on: the anchor is off-screen left
    zoomed.barWidth = 12.0f;
    zoomed.lastVisible = 250;
    const Point far = AnchorToPixel(zoomed, {120, 251.0f});
    EXPECT_EQ(far.x, -354);
    EXPECT_EQ(PixelToAnchor(zoomed, far).index, 120) << "and comes back to the same bar";
    EXPECT_EQ(AnchorToPixel(g, {2000000000, 1e30f}).x, 1 << 24) << "far-off anchors stay within bounds";

    EXPECT_FLOAT_EQ(ShiftPrice(g, 251.0f, 10), 246.0f) << "ten pixels down";
    MainPaneGeometry log = g;  // 100 to 400 over 400 rows: 200 rows double a price
    log.scale.logarithmic = true;
    log.scale.axisMin = 100.0f;
    EXPECT_EQ(AnchorToPixel(log, {120, 200.0f}).y, 230);
    EXPECT_NEAR(ShiftPrice(log, 200.0f, -200), 400.0f, 1e-3) << "a line dragged up keeps its ratios";
    EXPECT_NEAR(PixelToAnchor(log, {0, 230}).price, 200.0f, 1e-3);
}

TEST(LineClipping, SegmentsAreCutAtTheEdgesOrRejected) {
    const Rect clip{0, 30, 740, 430};
    Point a{700, 100}, b{800, 100};
    ASSERT_TRUE(ClipSegment(a, b, clip));
    EXPECT_EQ(b, (Point{740, 100}));

    a = {-100, 0};  // the line y = x + 100 enters through the left edge
    b = {100, 200};
    ASSERT_TRUE(ClipSegment(a, b, clip));
    EXPECT_EQ(a, (Point{0, 100}));
    EXPECT_EQ(b, (Point{100, 200}));

    a = {10, 10};  // above the top, both ends
    b = {500, 0};
    EXPECT_FALSE(ClipSegment(a, b, clip));
    EXPECT_EQ(a, (Point{0, 0}));
    EXPECT_EQ(b, (Point{0, 0}));
    a = {-50, 400};  // left of the pane and below it: the segment passes under the corner
    b = {20, 500};
    EXPECT_FALSE(ClipSegment(a, b, clip));
}

TEST(LineClipping, ExtendedLinesRunEdgeToEdgeEvenThroughACorner) {
    const Rect clip{0, 30, 740, 430};
    auto ends = ExtendLine({100, 100}, {200, 200}, clip);
    ASSERT_TRUE(ends);
    EXPECT_EQ(ends->first, (Point{30, 30}));
    EXPECT_EQ(ends->second, (Point{430, 430}));
    ends = ExtendLine({100, 100}, {100, 200}, clip);
    ASSERT_TRUE(ends) << "vertical: top and bottom";
    EXPECT_EQ(ends->first, (Point{100, 30}));
    EXPECT_EQ(ends->second, (Point{100, 430}));
    // Through the top-left corner: left and top edges both give (0, 30); the far end is the bottom.
    ends = ExtendLine({0, 30}, {10, 40}, clip);
    ASSERT_TRUE(ends);
    EXPECT_EQ(ends->first, (Point{0, 30}));
    EXPECT_EQ(ends->second, (Point{400, 430}));
    EXPECT_FALSE(ExtendLine({5, 5}, {5, 5}, clip)) << "one point makes no line";
    EXPECT_FALSE(ExtendLine({-10, 0}, {0, -10}, clip)) << "misses the pane";
}

TEST(DrawnLineDrawing, SegmentLineParallelAndRectangleStayInsideThePane) {
    // Segment from bar 120 at 251 to bar 150 at 265 (x 123 -> 303, y 328 -> 300).
    RecordingCanvas segment = Draw(Line(kLineSegment, {{120, 251.0f}, {150, 265.0f}}));
    ASSERT_EQ(Lines(segment).size(), 1u);
    EXPECT_EQ(Lines(segment)[0], std::make_pair(Point{123, 328}, Point{303, 300}));
    EXPECT_EQ(segment.Of(DrawOp::Line)[0].pen, kPens.normal);
    EXPECT_EQ(segment.Of(DrawOp::Line)[0].clip, (Rect{0, 30, 740, 430}))
        << "never over the axis or another pane";
    EXPECT_FALSE(segment.Clip()) << "the clip in effect before comes back";

    // A straight line through the same points runs from the left edge to the right one.
    RecordingCanvas line = Draw(Line(kLineStraight, {{120, 251.0f}, {150, 265.0f}}));
    ASSERT_EQ(Lines(line).size(), 1u);
    EXPECT_EQ(Lines(line)[0].first.x, 0);
    EXPECT_EQ(Lines(line)[0].second.x, 740);

    // Parallel: the second line through p2 with the direction p0 - p1.
    RecordingCanvas para = Draw(Line(kLineParallel, {{110, 300.0f}, {130, 300.0f}, {120, 250.0f}}));
    ASSERT_EQ(Lines(para).size(), 2u);
    EXPECT_EQ(Lines(para)[0].first.y, 230);
    EXPECT_EQ(Lines(para)[1].first.y, 330);
    EXPECT_EQ(Lines(para)[1].second.x - Lines(para)[1].first.x, 740);

    // A rectangle reaching past the right edge is cut there; its right side is not drawn.
    RecordingCanvas rect = Draw(Line(kLineRect, {{200, 300.0f}, {300, 250.0f}}));
    const auto edges = Lines(rect);
    ASSERT_EQ(edges.size(), 3u);
    EXPECT_EQ(edges[0].second.x, 740);
    EXPECT_TRUE(Draw(Line("curve", {{120, 251.0f}, {150, 265.0f}})).Records().empty()) << "an unknown kind";
    EXPECT_TRUE(Draw(Line(kLineSegment, {})).Records().empty()) << "no points";
}

TEST(DrawnLineDrawing, WaveLevelsAreIntegerEighthsAndCollapseUnderEightPixels) {
    // p0 at y 330 (250.00), p1 at y 250 (290.00): d = -10.
    RecordingCanvas wave = Draw(Line(kLineWave, {{120, 250.0f}, {150, 290.0f}}));
    EXPECT_EQ(Ys(wave, PenStyle::Solid), (std::vector<int>{330, 250}));
    EXPECT_EQ(Ys(wave, PenStyle::Dot), (std::vector<int>{320, 310, 300, 290, 280, 270, 260}));
    EXPECT_EQ(wave.Texts(),
              (std::vector<std::string>{"12.5%", "25.0%", "37.5%", "50.0%", "62.5%", "75.0%", "87.5%"}));
    const DrawRecord label = wave.TextsEqual("12.5%").at(0);
    ASSERT_FALSE(label.points.empty());
    EXPECT_EQ(label.points[0], (Point{5, 308})) << "clip left + 5, level - 12";
    EXPECT_EQ(label.colour, kLineTextColour);
    EXPECT_EQ(label.font, (Font{"宋体", 12, 600}));
    ASSERT_GE(wave.Of(DrawOp::Line).size(), 3u);
    EXPECT_EQ(wave.Of(DrawOp::Line)[2].pen.colour, kLineTextColour);

    // Seven pixels apart: d = 0, every level on p0.
    RecordingCanvas tight = Draw(Line(kLineWave, {{120, 250.0f}, {150, 253.5f}}));
    EXPECT_EQ(Ys(tight, PenStyle::Dot), std::vector<int>(7, 330));
    EXPECT_EQ(tight.Texts().size(), 7u);
}

TEST(DrawnLineDrawing, GoldenLevelsBeyondTheSecondPointStopAtThePane) {
    // p0 at y 300 (265.00), p1 at y 150 (340.00): levels at 300 - ratio * 150 down to the top (30).
    RecordingCanvas gold = Draw(Line(kLineGold, {{120, 265.0f}, {150, 340.0f}}));
    EXPECT_EQ(Ys(gold, PenStyle::Dot), (std::vector<int>{264, 242, 225, 207, 178, 92, 57}));
    EXPECT_EQ(gold.Texts(),
              (std::vector<std::string>{"23.6%", "38.2%", "50.0%", "61.8%", "80.9%", "138.2%", "161.8%"}))
        << "200% would lie at y 0, above the pane: it and every level after it are left out";
    const std::vector<Point> points = PixelPointsOf(Line(kLineGold, {{120, 265.0f}, {150, 340.0f}}), Pane());
    ASSERT_EQ(points.size(), 2u);
    EXPECT_EQ(points[1], (Point{123, 150})) << "the second handle sits under the first";
}

TEST(DrawnLineDrawing, CycleLinesKeepTheirUnitThroughZoomingAndSnapToIt) {
    // Created at w = 6, then zoomed to w = 10: the step stays a whole number of 6-pixel units.
    const CMyLine period = Line(kLinePeriod, {{120, 250.0f}, {128, 250.0f}}, 6);
    MainPaneGeometry zoomed = Pane();
    zoomed.barWidth = 10.0f;
    RecordingCanvas canvas = Draw(period, false, zoomed);
    // p0.x = 205 -> x0 = 204; p1.x = 285 -> g = 6 * truncate(81 / 6) = 78.
    std::vector<int> xs;
    for (const auto& [from, to] : Lines(canvas)) {
        EXPECT_EQ(from.y, 30);
        EXPECT_EQ(to.y, 430);
        xs.push_back(from.x);
    }
    EXPECT_EQ(xs, (std::vector<int>{204, 282, 360, 438, 516, 594, 672}));
    for (int x : xs) EXPECT_EQ(x % 6, 0) << x;
    EXPECT_EQ(PixelPointsOf(period, zoomed), (std::vector<Point>{{204, 330}, {282, 330}}));

    EXPECT_TRUE(Draw(Line(kLinePeriod, {{120, 250.0f}, {128, 250.0f}}, 0)).Records().empty()) << "no unit";
    RecordingCanvas same = Draw(Line(kLinePeriod, {{120, 250.0f}, {120, 260.0f}}));
    EXPECT_EQ(Lines(same).size(), 1u) << "p0.x = p1.x: only the first line";
}

TEST(DrawnLineDrawing, ASelectedLineShowsHandlesOnlyInsideThePane) {
    RecordingCanvas canvas = Draw(Line(kLineSegment, {{120, 251.0f}, {300, 265.0f}}), true);
    ASSERT_FALSE(canvas.Of(DrawOp::Line).empty());
    EXPECT_EQ(canvas.Of(DrawOp::Line)[0].pen, kPens.selected);
    const auto handles = canvas.Of(DrawOp::Rectangle);
    ASSERT_EQ(handles.size(), 1u) << "bar 300 lies beyond the right edge";
    EXPECT_EQ(handles[0].rect, (Rect{121, 326, 125, 330}));
    EXPECT_EQ(handles[0].brush, Brush::Solid(0xFFFFFF));
    EXPECT_EQ(handles[0].pen, kPens.handle);
    RecordingCanvas wave = Draw(Line(kLineWave, {{120, 250.0f}, {150, 290.0f}}), true);
    EXPECT_EQ(wave.TextsEqual("50.0%").at(0).colour, kSelectedTextColour);
}

TEST(DrawnLineHitTest, EachKindByItsTolerance) {
    const std::vector<Point> p{{100, 100}, {200, 100}, {150, 200}};
    const auto hit = [&p](std::string_view kind, Point at) { return HitTestMyLine(Line(kind, {}), p, at); };
    const CMyLine segment = Line(kLineSegment, {});
    const std::vector<Point> diagonal{{100, 100}, {200, 200}};
    EXPECT_TRUE(HitTestMyLine(segment, diagonal, {150, 160})) << "7.07 pixels off";
    EXPECT_FALSE(HitTestMyLine(segment, diagonal, {150, 162})) << "8.49 pixels off";
    EXPECT_FALSE(HitTestMyLine(segment, diagonal, {210, 210})) << "on the extension, beyond the 5-pixel box";
    EXPECT_TRUE(HitTestMyLine(segment, diagonal, {204, 204}));
    EXPECT_TRUE(HitTestMyLine(Line(kLineSegment, {}), {{50, 50}, {50, 50}}, {55, 54}))
        << "a point-sized segment";
    EXPECT_TRUE(hit(kLineStraight, {700, 105})) << "a straight line is hit along its whole length";
    EXPECT_TRUE(hit(kLineParallel, {600, 196})) << "the parallel through p2";
    EXPECT_FALSE(hit(kLineParallel, {600, 150}));
    // Rectangle {100, 100}-{200, 100}: its edges, not their extensions across the chart.
    EXPECT_TRUE(HitTestMyLine(Line(kLineRect, {}), {{100, 100}, {200, 160}}, {198, 130}));
    EXPECT_FALSE(HitTestMyLine(Line(kLineRect, {}), {{100, 100}, {200, 160}}, {600, 100}));
    EXPECT_TRUE(hit(kLineWave, {10, 101}));
    EXPECT_FALSE(hit(kLineWave, {10, 102}));
    EXPECT_TRUE(hit(kLineGold, {700, 101}));
    EXPECT_FALSE(hit(kLineGold, {700, 98}));
    EXPECT_TRUE(hit(kLinePeriod, {201, 400}));
    EXPECT_FALSE(hit(kLinePeriod, {202, 400}));
    EXPECT_FALSE(hit("curve", {150, 100}));
    EXPECT_EQ(HandleAt(p, {202, 98}), 1);
    EXPECT_EQ(HandleAt(p, {203, 98}), -1);
}

}  // namespace
}  // namespace qelt
