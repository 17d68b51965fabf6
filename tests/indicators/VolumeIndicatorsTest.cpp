// VOL, CCL, VR, OBV and PVT: computed values and what their panes draw.
#include <gtest/gtest.h>

#include <cmath>

#include "PaneTestSupport.h"
#include "common/Numbers.h"

namespace qelt {
namespace {

using test::Bars;
using test::Compute;
using test::PaneDrawing;

TEST(VolumePane, TheLabelStepFollowsTheVisibleVolumeMaximum) {
    PaneDrawing d;
    d.Draw(1, Bars({{10, 11, 11, 10, 100}, {11, 10, 11, 10, 50}}));
    EXPECT_EQ(d.AxisLabels(), (std::vector<std::string>{"40", "80", "120"})) << "(90 + 30) div 3";
    d.Draw(1, Bars({{10, 11, 11, 10, 60}, {11, 10, 11, 10, 7}, {1, 1, 1, 1, 500}}), 2, 1);
    EXPECT_EQ(d.AxisLabels(), (std::vector<std::string>{"25", "50", "75"}))
        << "(60 + 15) div 3; the bar outside the window does not count";
    // Labels sit h div 12 above the major ticks at h div 3 steps (h = 180).
    const auto labels = d.canvas.TextsEqual("25");
    ASSERT_EQ(labels.size(), 1u);
    EXPECT_EQ(labels[0].points[0], (Point{657, 300 - 60 - 15}));
}

TEST(VolumePane, RisingBarsAreHollowAndUnchangedBarsFillLikeFallingOnes) {
    PaneDrawing d;
    d.Draw(1, Bars({{10, 11, 11, 10, 120}, {10, 10, 11, 9, 60}, {11, 10, 11, 9, 30}}));
    const auto rects = d.canvas.Of(DrawOp::Rectangle);
    ASSERT_EQ(rects.size(), 3u);
    EXPECT_EQ(rects[0].brush, Brush::Solid(d.scheme.background));
    EXPECT_EQ(rects[0].pen, d.style.rising);
    EXPECT_EQ(rects[1].brush, Brush::Solid(Rgb(84, 255, 255))) << "open = close counts as falling";
    EXPECT_EQ(rects[1].pen, d.style.falling);
    // Scale: M = 120 -> g = (120 + 30) div 3 = 50, 180 pixels for 150; bar 0 spans 0 .. 0.9 w.
    EXPECT_EQ(rects[0].rect, (Rect{0, 300 - 144, 5, 300}));
    EXPECT_EQ(rects[1].rect.top, 300 - 72);
    EXPECT_EQ(d.TextStarting("VOLUME:")->text, "VOLUME:0") << "no cursor: outside the series";

    d.cursor = 1;
    d.Draw(1, Bars({{10, 11, 11, 10, 0}, {10, 10, 11, 9, 0}}));
    EXPECT_EQ(d.TextStarting("VOLUME:")->text, "VOLUME:0");
    for (const DrawRecord& r : d.canvas.Of(DrawOp::Rectangle))
        EXPECT_EQ(r.rect.top, 300) << "a zero maximum draws flat";
}

TEST(VolumePane, AnEmptySeriesKeepsTheTicksAndLabelsOfTheVolumePanesOnly) {
    PaneDrawing d;
    const BarSeries none;
    d.Draw(2, none);
    EXPECT_EQ(d.AxisLabels(), (std::vector<std::string>{"5", "10", "15"}));
    EXPECT_EQ(d.canvas.Of(DrawOp::Line).size(), 9u) << "three major, three minor ticks, three grid lines";
    EXPECT_EQ(d.TextStarting("CCL:"), nullptr);
    for (int code : {3, 21, 41, 49}) {
        d.Draw(code, none);
        EXPECT_TRUE(d.canvas.Records().empty()) << code;
    }
}

TEST(Vr, RisingOnlyWindowsAre100AndUnchangedBarsCountHalfOnBothSides) {
    IndicatorParameters table;
    table[param::kVrPeriod] = 3;
    table[param::kVrAverage] = 2;
    IndicatorResult vr = Compute(3, Bars({{1, 2, 2, 1, 10}, {2, 3, 3, 2, 20}, {3, 4, 4, 3, 30}}), table);
    EXPECT_EQ(vr.lines[0].values, (std::vector<double>{100, 100, 100}));
    // rising 100, falling 50, flat 20 over the last three bars: 100 (100 + 10) / (50 + 10).
    vr = Compute(3, Bars({{1, 2, 2, 1, 999}, {1, 2, 2, 1, 100}, {2, 1, 2, 1, 50}, {2, 2, 2, 2, 20}}), table,
                 1);
    EXPECT_EQ(vr.lines[0].first, 3) << "values are kept for the visible bars only";
    EXPECT_NEAR(vr.lines[0].values[0], 183.333, 1e-3) << "the bar three back has left the sums";
    table[param::kVrAverage] = 0;
    EXPECT_FALSE(Compute(3, Bars({{1, 2, 2, 1, 10}}), table).valid);
}

TEST(Obv, TheDirectionIsWithinTheBarAndNegativeTotalsLabelTheirOwnGridLines) {
    // Unchanged bars add their volume; the previous close plays no part.
    IndicatorResult obv = Compute(4, Bars({{5, 5, 5, 5, 10}, {9, 1, 9, 1, 4}, {1, 1, 1, 1, 7}}));
    EXPECT_EQ(obv.lines[0].values, (std::vector<double>{10, 6, 13}));

    PaneDrawing d;
    const BarSeries falling = Bars({{2, 1, 2, 1, 30000}, {2, 1, 2, 1, 20000}, {2, 1, 2, 1, 5000}});
    d.Draw(4, falling);
    const auto labels = d.AxisLabels();
    const auto labelRecords = d.canvas.Of(DrawOp::Text);
    ASSERT_GE(labels.size(), 2u);
    std::vector<int> rows;
    for (const DrawRecord& r : labelRecords) {
        if (r.colour == Rgb(255, 0, 0))
            rows.push_back(r.points[0].y + 8);  // label tops sit 8 above their line
    }
    for (std::size_t i = 0; i < labels.size(); ++i) {
        // The range's top starts at -9999: 0 is the highest level, the others are negative.
        EXPECT_TRUE(labels[i][0] == '-' || labels[i] == "0") << labels[i];
        // The read-out at the grid line's height shows the label's value (within a pixel).
        PaneDrawing probe;
        probe.mouse = {10, rows[i]};
        probe.Draw(4, falling);
        const auto readout = probe.canvas.Of(DrawOp::Text).back();
        ASSERT_EQ(readout.bkColour, Rgb(0, 0, 255));
        EXPECT_NEAR(LeadingDouble(readout.text), LeadingDouble(labels[i]), 55000.0 / 180 + 1) << labels[i];
    }
    EXPECT_EQ(d.TextStarting("OBV:")->text, "OBV:-30000") << "the first value for no cursor, an integer";
}

TEST(Pvt, TheLastVisibleBarTakesPartInTheRangeSoAHeavyDayStaysInThePane) {
    // A quiet month, then a day of heavy volume that drops 10%: PVT falls by 10,000 on the
    // newest bar, which must stay above the pane's bottom edge (and the date strip below).
    std::vector<test::TestBar> bars(29, {10, 10, 10, 10, 100});
    bars.push_back({10, 9, 10, 9, 100000});
    for (int visible : {30, 12}) {
        PaneDrawing d;
        d.Draw(5, Bars(bars), visible);
        const auto lines = d.Polylines();
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(lines[0].points.back().x, d.pane.left + static_cast<int>(3.0f + (visible - 1) * 6.0f));
        for (const DrawRecord& line : lines)
            for (const Point& p : line.points) {
                EXPECT_GE(p.y, d.pane.top + 20) << visible;
                EXPECT_LE(p.y, d.pane.bottom) << visible;
            }
        EXPECT_LT(LeadingDouble(d.AxisLabels().front()), -5000.0) << "the levels reach down to the fall";
    }
}

TEST(Pvt, TheFirstBarIsZeroAndAZeroCloseLeavesValuesThatAreNeitherRangedNorDrawn) {
    IndicatorParameters table;
    table[param::kPvtAverage] = 2;
    IndicatorResult pvt =
        Compute(5, Bars({{10, 10, 10, 10, 5000}, {10, 0, 10, 0, 100}, {0, 5, 5, 0, 100}}), table);
    EXPECT_EQ(pvt.lines[0].values[0], 0.0) << "whatever its volume";
    EXPECT_EQ(pvt.lines[0].values[1], -100.0);
    EXPECT_FALSE(std::isfinite(pvt.lines[0].values[2]));
    EXPECT_EQ(pvt.lines[1].first, 1) << "the average's first value belongs to the M-th bar";
    EXPECT_FALSE(pvt.lines[1].At(2).has_value());

    PaneDrawing d;
    d.table = table;
    d.Draw(5, Bars({{10, 10, 10, 10, 100},
                    {10, 20, 20, 10, 100},
                    {20, 0, 20, 0, 100},
                    {0, 5, 5, 0, 100},
                    {5, 6, 6, 5, 100}}));
    for (const DrawRecord& line : d.Polylines()) {
        for (const Point& p : line.points) EXPECT_GT(p.y, -100000) << "never a stroke toward infinity";
    }
    for (const std::string& label : d.AxisLabels()) EXPECT_EQ(label.find("inf"), std::string::npos) << label;
}

}  // namespace
}  // namespace qelt
