// The labels of every pane's value axis, tall and short: at round levels, none cut by the
// pane's borders, none touching another; a short pane shows fewer of them; the formula panes'
// shared axis shows its 0 line for sticks.
#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "PaneTestSupport.h"
#include "indicators/PaneParts.h"
#include "support/AxisLabels.h"

namespace qelt {
namespace {

using test::Bars;
using test::PaneDrawing;

/// Prices round 3000 with swings and volume, so every indicator has values to range over.
BarSeries Market(int n, double base, double swing) {
    std::vector<test::TestBar> bars;
    for (int i = 0; i < n; ++i) {
        const double c = base + swing * std::sin(i / 5.0) + swing * 0.3 * std::sin(i / 1.7);
        const double o = c - swing * 0.1 * std::cos(i / 2.3);
        bars.push_back({o, c, std::max(o, c) + swing * 0.05, std::min(o, c) - swing * 0.05,
                        1000 + 37LL * (i % 13), c, 5000 + 11LL * i, 9000 + 7LL * (i % 17)});
    }
    return Bars(bars);
}

/// The indicators whose axis labels the rounded scale's levels.
const std::set<int> kRoundedPanes = {3, 4, 5, 22, 23, 24, 25, 26, 27, 42, 44, 46, 47, 48};

TEST(PaneAxisLabels, EveryPaneTallOrShortLabelsRoundLevelsClearOfItsBordersAndOfEachOther) {
    const std::vector<BarSeries> series = {Market(160, 3000, 120), Market(160, 2.5, 0.9),
                                           Market(160, 150000, 40000)};
    for (const BarSeries& bars : series) {
        for (int height : {220, 110, 86, 60, 45}) {
            for (const IndicatorDefinition& indicator : IndicatorDefinitions()) {
                PaneDrawing d;
                d.pane = {0, 100, 660, 100 + height};
                d.Draw(indicator.code, bars, 80);
                const std::string where = std::string(indicator.key) + " in a pane " + FormatInt(height) +
                                          " high over " + std::string(bars[0][kBarClose]);
                for (const std::string& fault : test::AxisLabelFaults(d.canvas, d.pane))
                    ADD_FAILURE() << where << ": " << fault;
                if (!kRoundedPanes.count(indicator.code)) continue;
                std::vector<test::AxisLabel> levels;
                for (const test::AxisLabel& label : test::AxisLabelsOf(d.canvas, d.pane))
                    if (label.colour == Rgb(255, 0, 0)) levels.push_back(label);
                std::string shown;
                for (const test::AxisLabel& label : levels) shown += label.text + " ";
                EXPECT_TRUE(test::AtRoundLevels(levels)) << where << ": " << shown;
                // Room for two (a plot of 60 rows or more) shows two at least, unless the
                // rounding's step of 0.01 at the least spans the whole range (EMV's tiny values).
                if (height >= 110 && indicator.code != 44)
                    EXPECT_GE(levels.size(), 2u) << where << ": " << shown;
            }
        }
    }
}

TEST(PaneAxisLabels, AShortPaneShowsFewerLabelsAndKdjDropsItsHundredBeforeItTouchesEighty) {
    const BarSeries bars = Market(160, 3000, 120);
    PaneDrawing tall, low;
    tall.pane = {0, 100, 660, 400};
    low.pane = {0, 100, 660, 186};       // a lower pane of four in 1024 x 600
    for (int code : {23, 25, 27, 48}) {  // BOLL, JS, EXPMA, AMV
        tall.Draw(code, bars, 80);
        low.Draw(code, bars, 80);
        const std::size_t many = test::AxisLabelsOf(tall.canvas, tall.pane).size();
        const std::size_t few = test::AxisLabelsOf(low.canvas, low.pane).size();
        EXPECT_LT(few, many) << code;
        EXPECT_GE(few, 2u) << code;
    }
    low.Draw(43, bars, 80);  // KDJ: 20, 50, 80, 100 by importance
    std::vector<std::string> texts;
    for (const test::AxisLabel& label : test::AxisLabelsOf(low.canvas, low.pane)) texts.push_back(label.text);
    EXPECT_NE(std::find(texts.begin(), texts.end(), "80"), texts.end());
    EXPECT_EQ(std::find(texts.begin(), texts.end(), "100"), texts.end()) << "no room beside 80";
    tall.Draw(43, bars, 80);
    texts.clear();
    for (const test::AxisLabel& label : test::AxisLabelsOf(tall.canvas, tall.pane))
        texts.push_back(label.text);
    EXPECT_EQ(texts, (std::vector<std::string>{"20", "50", "80", "100"})) << "all four where there is room";
}

TEST(PaneAxisLabels, LevelsAreMultiplesOfTheStepWithZeroAmongThemAndAFinerStepShowsItsDecimals) {
    PaneDrawing d;
    RecordingCanvas& canvas = d.canvas;
    canvas.SelectFont(d.style.font);
    const Rect pane{0, 100, 660, 300};
    // From -2.73 to 2.27 the old labels read 2.27, 1.27, 0.27, -0.73 ...
    PaneScale scale = RoundedPaneScale(pane, 2.27f, -2.73f, 5);
    DrawPaneAxis(canvas, pane, scale, d.style);
    std::vector<std::string> texts;
    for (const test::AxisLabel& label : test::AxisLabelsOf(canvas, pane)) texts.push_back(label.text);
    EXPECT_EQ(texts, (std::vector<std::string>{"-3.00", "-2.00", "-1.00", "0.00", "1.00", "2.00"}));
    for (const DrawRecord& r : canvas.Of(DrawOp::Line))
        EXPECT_FALSE(r.pen == d.style.tick && r.points[0].x == pane.left) << "no 0 line without sticks";

    // Sticks: the 0 line across the plot in the tick pen.
    canvas.Clear();
    scale = RoundedPaneScale(pane, 40.0f, 0.0f, 5);
    scale.zeroLine = true;
    DrawPaneAxis(canvas, pane, scale, d.style);
    bool zeroLine = false;
    for (const DrawRecord& r : canvas.Of(DrawOp::Line))
        zeroLine |= r.pen == d.style.tick && r.points[0] == Point{0, scale.Y(0.0)} &&
                    r.points[1] == Point{600, scale.Y(0.0)};
    EXPECT_TRUE(zeroLine);
    EXPECT_TRUE(test::AxisLabelFaults(canvas, pane).empty());

    // Labels of whole numbers on a step of 0.5 show the half: "0", "0", "1" would mislead.
    canvas.Clear();
    scale = RoundedPaneScale(pane, 1.2f, -1.0f, 5);
    ASSERT_FLOAT_EQ(scale.step, 0.5f);
    scale.labelDecimals = 0;
    DrawPaneAxis(canvas, pane, scale, d.style);
    texts.clear();
    for (const test::AxisLabel& label : test::AxisLabelsOf(canvas, pane)) texts.push_back(label.text);
    EXPECT_EQ(texts, (std::vector<std::string>{"-1.0", "-0.5", "0.0", "0.5", "1.0"}));

    // A flat range (T = B) divided by three: its raw step of 0.0333... is rounded up to 0.04.
    canvas.Clear();
    scale = RoundedPaneScale(pane, 7.0f, 7.0f, 3);
    DrawPaneAxis(canvas, pane, scale, d.style);
    const std::vector<test::AxisLabel> flat = test::AxisLabelsOf(canvas, pane);
    texts.clear();
    for (const test::AxisLabel& label : flat) texts.push_back(label.text);
    EXPECT_EQ(texts, (std::vector<std::string>{"6.96", "7.00", "7.04"}));
}

}  // namespace
}  // namespace qelt
