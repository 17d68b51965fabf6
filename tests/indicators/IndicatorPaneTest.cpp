// The pane painter's shared rules: title items and colours, bar positions, the cursor
// read-out, codes without an indicator; and the cache that lets a view skip recomputing.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <set>
#include <tuple>

#include "PaneTestSupport.h"
#include "indicators/IndicatorCache.h"

namespace qelt {
namespace {

using test::Bars;
using test::Closes;
using test::Compute;
using test::PaneDrawing;

BarSeries Wave(int n) {
    std::vector<double> closes;
    for (int i = 0; i < n; ++i) closes.push_back(10 + (i % 7) - (i % 3) * 0.5);
    return Closes(closes);
}

TEST(PaneTitle, PrintingTakesTheTitleAndLineColoursOfThePrintScheme) {
    PaneDrawing d;
    d.scheme = DisplayScheme::Print();
    d.Draw(21, Wave(60));
    const DrawRecord* title = d.TextStarting("MACD(");
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->text, "MACD(12,26,9)");
    EXPECT_EQ(title->points[0], (Point{5, 103}));
    EXPECT_EQ(title->colour, Rgb(150, 150, 150));
    const struct {
        const char* prefix;
        int x;
        Colour colour;
    } items[] = {
        {"DIF:", 120, Rgb(0, 0, 0)}, {"DEA:", 200, Rgb(155, 155, 0)}, {"MACD:", 280, Rgb(255, 0, 255)}};
    for (const auto& item : items) {
        const DrawRecord* text = d.TextStarting(item.prefix);
        ASSERT_NE(text, nullptr) << item.prefix;
        EXPECT_EQ(text->points[0], (Point{item.x, 103})) << item.prefix;
        EXPECT_EQ(text->colour, item.colour) << item.prefix << " black, olive, magenta";
    }
    const auto lines = d.Polylines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].pen, Pen::Solid(1, Rgb(0, 0, 0))) << "DIF in black on paper, not the screen's white";
    EXPECT_EQ(lines[1].pen, Pen::Solid(1, Rgb(155, 155, 0)));
}

TEST(PaneTitle, ItemsClampTheCursorIntoEachLineAndFormatPerIndicator) {
    std::vector<test::TestBar> bars;
    for (int i = 1; i <= 12; ++i) bars.push_back({1, 2, 2, 1, 10LL * i});
    PaneDrawing d;
    d.cursor = 0;  // before MA10's first value, which belongs to bar 9
    d.Draw(1, Bars(bars));
    EXPECT_EQ(d.TextStarting("VOLUME:")->text, "VOLUME:10");
    EXPECT_EQ(d.TextStarting("MA10:")->text, "MA10:55");
    EXPECT_EQ(d.TextStarting("MA10:")->colour, d.scheme.line[1]);
    EXPECT_EQ(d.TextStarting("MA5:")->text, "MA5:30");
    d.cursor = 40;  // beyond the series: the last values
    d.Draw(1, Bars(bars));
    EXPECT_EQ(d.TextStarting("VOLUME:")->text, "VOLUME:0");
    EXPECT_EQ(d.TextStarting("MA10:")->text, "MA10:75");

    d.cursor = 0;
    d.Draw(43, Bars({{5, 8, 10, 0}}));
    EXPECT_EQ(d.TextStarting("K:")->text, "K:60") << "KDJ items have no decimals";
    EXPECT_EQ(d.TextStarting("D:")->text, "D:53");
}

TEST(PaneTitle, AValueThatIsNotFiniteReadsAsTwoDashes) {
    // PVT divides by the previous close, JS by the close N x N bars back: a zero close makes
    // PVT and its average infinite or undefined from there on, and JS where it is the
    // reference.
    PaneDrawing d;
    d.cursor = 19;
    std::vector<double> closes(20, 10.0);
    closes[5] = 0.0;
    d.Draw(5, Closes(closes));
    for (const char* prefix : {"PVT:", "MAPVT:"}) {
        const DrawRecord* item = d.TextStarting(prefix);
        ASSERT_NE(item, nullptr) << prefix;
        EXPECT_EQ(item->text, std::string(prefix) + "--");
    }
    closes.assign(40, 10.0);
    closes[14] = 0.0;  // 25 bars before the newest: the reference of JS(5) there
    d.cursor = 39;
    d.Draw(25, Closes(closes));
    ASSERT_NE(d.TextStarting("JS:"), nullptr);
    EXPECT_EQ(d.TextStarting("JS:")->text, "JS:--");
    for (const DrawRecord& r : d.canvas.Of(DrawOp::Text)) {
        EXPECT_EQ(r.text.find("inf"), std::string::npos) << r.text;
        EXPECT_EQ(r.text.find("nan"), std::string::npos) << r.text;
    }
    d.cursor = 38;  // a finite value still reads as a number
    d.Draw(25, Closes(closes));
    EXPECT_EQ(d.TextStarting("JS:")->text, "JS:0.00");
}

TEST(PaneGeometry, LinesRunThroughTheCentresOfTheVisibleBarsOnly) {
    PaneDrawing d;
    d.barWidth = 10.0f;
    d.pane = {0, 100, 660, 300};
    d.Draw(27, Wave(30), 8, 24);  // bars 17..24
    const auto lines = d.Polylines();
    ASSERT_EQ(lines.size(), 2u);
    ASSERT_EQ(lines[0].points.size(), 8u);
    EXPECT_EQ(lines[0].points.front().x, 5);
    EXPECT_EQ(lines[0].points.back().x, 75);
    for (const Point& p : lines[0].points) {
        EXPECT_GT(p.y, 100 + 20 - 10) << "within the plot (half a step of margin)";
        EXPECT_LE(p.y, 300);
    }
}

TEST(PaneGeometry, EveryPaneKeepsItsBarsAndLinesInsideItself) {
    // Values far outside what the range rule looks at (DMI ranges from bars left of the
    // window, ADTM over the whole series): whatever a rule misses is cut at the pane's edges.
    std::vector<test::TestBar> bars;
    for (int i = 0; i < 80; ++i) {
        const double c = i < 40 ? 5000 - i : 10 + (i % 5);
        bars.push_back({c, c + (i % 2), c + 2, c - 2, 100 + 1000LL * (i % 9)});
    }
    const BarSeries series = Bars(bars);
    for (const IndicatorDefinition& indicator : IndicatorDefinitions()) {
        PaneDrawing d;
        d.Draw(indicator.code, series, 30);
        for (const DrawRecord& r : d.canvas.Records()) {
            if (r.op != DrawOp::Polyline && r.op != DrawOp::Rectangle && r.op != DrawOp::Ellipse) continue;
            ASSERT_TRUE(r.clip.has_value()) << indicator.key;
            EXPECT_GE(r.clip->left, d.pane.left) << indicator.key;
            EXPECT_GE(r.clip->top, d.pane.top) << indicator.key;
            EXPECT_LE(r.clip->right, d.pane.right) << indicator.key;
            EXPECT_LE(r.clip->bottom, d.pane.bottom + 1) << indicator.key << ": the bottom edge, not below";
        }
    }
    // An outer clip (a view drawing part of its surface) is narrowed, never widened.
    PaneDrawing d;
    d.canvas.SetClip({0, 0, 100, 150});
    d.Draw(21, series, 30);
    for (const DrawRecord& r : d.canvas.Of(DrawOp::Polyline)) EXPECT_EQ(r.clip, (Rect{0, 100, 100, 150}));
    EXPECT_EQ(d.canvas.Clip(), (Rect{0, 0, 100, 150})) << "and given back";
}

/// Ticks (lines in the tick pen inside the axis column) and the boxes of the texts there.
struct AxisDrawing {
    std::vector<DrawRecord> ticks;
    std::vector<Rect> labels;
};

AxisDrawing AxisOf(const test::PaneDrawing& d) {
    const int xAxis = d.pane.right - 60;
    AxisDrawing axis;
    RecordingCanvas measure;
    for (const DrawRecord& r : d.canvas.Records()) {
        if (r.op == DrawOp::Line && r.pen == d.style.tick && std::min(r.points[0].x, r.points[1].x) >= xAxis)
            axis.ticks.push_back(r);
        if (r.op != DrawOp::Text || r.points[0].x <= xAxis) continue;
        measure.SelectFont(r.font);
        const Size size = measure.TextExtent(r.text);
        EXPECT_EQ(r.align.h, HAlign::Right) << r.text;
        axis.labels.push_back(
            {r.points[0].x - size.cx, r.points[0].y, r.points[0].x, r.points[0].y + size.cy});
    }
    return axis;
}

TEST(PaneAxis, TicksNeverTouchTheLabelsEvenWithSixDigitValues) {
    // Six-digit prices swinging by a third, volumes in the hundreds of millions: labels such
    // as MACD's "-10000.00" or "165000.00" fill the axis column.
    std::vector<test::TestBar> bars;
    for (int i = 0; i < 120; ++i) {
        const double c = 150000 + 60000 * std::sin(i / 6.0);
        bars.push_back({c - 300, c, c + 900, c - 900, 100000000LL + 7000000LL * (i % 11), c,
                        200000LL + 900 * i, 300000});
    }
    const BarSeries series = Bars(bars);
    for (const IndicatorDefinition& indicator : IndicatorDefinitions()) {
        test::PaneDrawing d;
        d.Draw(indicator.code, series, 80);
        const AxisDrawing axis = AxisOf(d);
        EXPECT_FALSE(axis.ticks.empty()) << indicator.key;
        for (const DrawRecord& tick : axis.ticks) {
            const int y = tick.points[0].y;
            const int first = std::min(tick.points[0].x, tick.points[1].x);
            const int last = std::max(tick.points[0].x, tick.points[1].x) - 1;  // LineTo leaves its end
            for (const Rect& label : axis.labels) {
                const bool apart =
                    y < label.top || y >= label.bottom || last + 1 < label.left || first >= label.right;
                EXPECT_TRUE(apart) << indicator.key << ": tick " << first << ".." << last << " on row " << y
                                   << " against a label from x " << label.left;
            }
        }
    }
}

TEST(PaneAxis, ShortLabelsLeaveTheTicksTheirFullLength) {
    test::PaneDrawing d;
    d.Draw(27, Wave(60));  // EXPMA: labels like "12.30", ticks 18 pixels
    const AxisDrawing axis = AxisOf(d);
    ASSERT_FALSE(axis.ticks.empty());
    for (const DrawRecord& tick : axis.ticks) EXPECT_EQ(tick.points[1].x - tick.points[0].x, 18);
    d.Draw(21, Wave(60));  // MACD: three ticks of 8
    for (const DrawRecord& tick : AxisOf(d).ticks) EXPECT_EQ(tick.points[1].x - tick.points[0].x, 8);
}

TEST(PaneReadout, TheValueAtTheMouseShowsOnlyInsideThePaneAndLeftOfTheChartEdge) {
    PaneDrawing d;
    d.mouse = {100, 200};
    d.Draw(45, Wave(30));  // WR: 0 at the bottom (300), 100 at the top of the plot (120)
    const DrawRecord readout = d.canvas.Of(DrawOp::Text).back();
    EXPECT_EQ(readout.text, "55.56");
    EXPECT_EQ(readout.points[0], (Point{660 - 49, 190}));
    EXPECT_EQ(readout.colour, Rgb(255, 255, 255));
    EXPECT_EQ(readout.bkColour, Rgb(0, 0, 255));
    EXPECT_EQ(readout.bkMode, BkMode::Opaque);
    EXPECT_EQ(d.canvas.BkColour(), d.scheme.background) << "the background colour is restored";

    for (Point elsewhere : {Point{100, 350}, Point{100, 100}, Point{660, 200}}) {
        d.mouse = elsewhere;
        d.Draw(45, Wave(30));
        for (const DrawRecord& r : d.canvas.Of(DrawOp::Text)) {
            EXPECT_NE(r.bkColour, Rgb(0, 0, 255)) << elsewhere.x << "," << elsewhere.y;
        }
    }
}

TEST(PaneCodes, CodesWithoutAnIndicatorDrawNothingAndRefusedPeriodsDrawTheTitleOnly) {
    PaneDrawing d;
    for (int code : {0, 6, 20, 28, 40, 50, -1}) {
        d.Draw(code, Wave(30));
        EXPECT_TRUE(d.canvas.Records().empty()) << code;
    }
    d.table[param::kRsi2] = 0;
    d.Draw(41, Wave(30));
    EXPECT_EQ(d.canvas.Texts(), (std::vector<std::string>{"RSI(6,0,24)"}));
    d.table[param::kRsi2] = -5;
    EXPECT_TRUE(Compute(41, Wave(30), d.table).lines[0].Empty());
}

TEST(IndicatorCache, KeptResultsEqualARecomputationUntilAnythingTheyDependOnChanges) {
    IndicatorCache cache;
    BarSeries bars = Wave(80);
    IndicatorParameters table;
    IndicatorWindow window = MakeIndicatorWindow(-1, 30, 80);
    const IndicatorResult* first = &cache.Result(43, bars, window, table);
    EXPECT_EQ(*first, Compute(43, bars, table, 30));
    EXPECT_EQ(&cache.Result(43, bars, window, table), first) << "nothing changed: kept";

    window = MakeIndicatorWindow(60, 30, 80);
    EXPECT_EQ(cache.Result(43, bars, window, table), Compute(43, bars, table, 30, 60));
    table[param::kKdj1] = 5;
    EXPECT_EQ(cache.Result(43, bars, window, table), Compute(43, bars, table, 30, 60));
    // A live quote rewrites the last bar: same length, new text.
    window = MakeIndicatorWindow(-1, 30, 80);
    cache.Result(43, bars, window, table);
    bars.back().Set(kBarClose, "99");
    bars.back().Set(kBarHigh, "99");
    EXPECT_EQ(cache.Result(43, bars, window, table), Compute(43, bars, table, 30));
    // A reload with the same length and last bar is told by the generation.
    bars.front().Set(kBarLow, "1");
    EXPECT_EQ(cache.Result(43, bars, window, table, 1), Compute(43, bars, table, 30));

    // Drawing from kept lines and columns draws what a fresh computation draws.
    PaneDrawing fresh, kept;
    fresh.Draw(43, bars, 30);
    PaneRequest request = kept.Request(43, bars, 30);
    request.columns = &cache.Columns(bars, 1);
    request.result = &cache.Result(43, bars, request.window, kept.table, 1);
    DrawIndicatorPane(kept.canvas, request);
    EXPECT_EQ(kept.canvas.Texts(), fresh.canvas.Texts());
    EXPECT_EQ(kept.Polylines().size(), fresh.Polylines().size());
    EXPECT_EQ(kept.Polylines()[2].points, fresh.Polylines()[2].points);
}

TEST(IndicatorCache, RecomputingIntoKeptLinesLeavesNothingOfTheEarlierResult) {
    // One result reused across windows, parameters and codes equals a fresh computation.
    const BarSeries bars = Wave(120);
    IndicatorParameters refused;
    refused[param::kVrAverage] = 0;
    refused[param::kSarPeriod] = 1;
    refused[param::kBbi4] = 1;
    refused[param::kBoll] = 200;
    IndicatorResult kept;
    for (const IndicatorDefinition& definition : IndicatorDefinitions()) {
        for (const auto& [last, visible, table] :
             {std::tuple{-1, 100, IndicatorParameters{}}, std::tuple{40, 10, refused},
              std::tuple{119, 120, IndicatorParameters{}}, std::tuple{5, 3, refused}}) {
            BarColumns columns(bars);
            const IndicatorWindow window = MakeIndicatorWindow(last, visible, 120);
            ComputeIndicator(definition.code, columns, window, table, kept);
            EXPECT_EQ(kept, Compute(definition.code, bars, table, visible, last))
                << definition.key << " last " << last << " visible " << visible;
        }
    }
}

TEST(PaneCodes, ExtremeParametersAndWindowsNeverReachOutsideTheSeries) {
    // Every period at the ends of the int range, around 0 and 1, over series of 0 to 30 bars
    // and windows beyond them: computed and drawn (the sanitizer builds watch every read).
    const int values[] = {INT_MIN, -1, 0, 1, 2, 3, 1000, INT_MAX};
    const int windows[][2] = {{-1, 100}, {0, 1}, {5, 1}, {1000, 3}, {-1, INT_MAX}, {2, 0}};
    for (int bars : {0, 1, 2, 3, 30}) {
        std::vector<double> closes;
        for (int i = 0; i < bars; ++i) closes.push_back(i % 4 == 0 ? 0 : 10 + i % 5);  // zero closes too
        const BarSeries series = Closes(closes);
        for (int value : values) {
            PaneDrawing d;
            for (int position = 0; position < kIndicatorParameterCount; ++position) d.table[position] = value;
            for (const auto& window : windows) {
                for (const IndicatorDefinition& definition : IndicatorDefinitions()) {
                    d.cursor = window[0];
                    d.mouse = {10, 200};
                    d.Draw(definition.code, series, window[1], window[0]);
                    const IndicatorResult result =
                        Compute(definition.code, series, d.table, window[1], window[0]);
                    for (const IndicatorLine& line : result.lines) {
                        EXPECT_TRUE(line.Empty() || (line.first >= 0 && line.Last() < bars))
                            << definition.key;
                    }
                    // Three numbers that do not agree: f far left of l - V + 1.
                    const IndicatorWindow odd{0, bars - 1, 1};
                    ComputeIndicator(definition.code, series, odd, d.table);
                }
            }
        }
    }
}

}  // namespace
}  // namespace qelt

namespace qelt {
namespace {

/// A record's drawing, whatever the order it came in.
std::string Describe(const DrawRecord& r) {
    const Colour colour = r.op == DrawOp::Text ? r.colour : r.pen.colour;
    std::string text = std::to_string(static_cast<int>(r.op)) + ":" + r.text + ":" + std::to_string(colour);
    for (const Point& p : r.points) text += "," + std::to_string(p.x) + "/" + std::to_string(p.y);
    return text;
}

TEST(PaneLayers, TheChartAndTheCursorLayerTogetherDrawExactlyTheWholePane) {
    const std::vector<int> codes = {1,  2,  3,  4,  5,  21, 22, 23, 24, 25, 26,
                                    27, 41, 42, 43, 44, 45, 46, 47, 48, 49};
    for (int code : codes) {
        PaneDrawing d;
        d.mouse = {100, 200};
        d.cursor = 20;
        const BarSeries bars = test::Bars([] {
            std::vector<test::TestBar> out;
            for (int i = 0; i < 60; ++i) {
                const double c = 10 + (i % 7) - (i % 3) * 0.5;
                out.push_back({c - 0.3, c, c + 0.8, c - 0.9, 100 + 13 * (i % 5), c, 500 + 7 * i, 900 + i});
            }
            return out;
        }());
        auto layer = [&](PaneLayer which) {
            d.canvas.Clear();
            PaneRequest request = d.Request(code, bars, 40);
            request.layer = which;
            DrawIndicatorPane(d.canvas, request);
            std::multiset<std::string> drawn;
            for (const DrawRecord& r : d.canvas.Records()) drawn.insert(Describe(r));
            return drawn;
        };
        std::multiset<std::string> parts = layer(PaneLayer::Chart);
        const std::multiset<std::string> cursor = layer(PaneLayer::Cursor);
        for (const std::string& s : cursor) {
            EXPECT_EQ(s.rfind(std::to_string(static_cast<int>(DrawOp::Text)) + ":", 0), 0u)
                << code << ": the cursor layer only writes";
        }
        parts.insert(cursor.begin(), cursor.end());
        EXPECT_EQ(parts, layer(PaneLayer::All)) << code;
    }
}

}  // namespace
}  // namespace qelt
