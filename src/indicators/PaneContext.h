#pragma once
/// The state of one pane while it is drawn, and the rules the panes share (internal to the
/// pane painter: the pane rules and IndicatorPane.cpp).
#include <optional>
#include <string>
#include <vector>

#include "indicators/IndicatorPane.h"
#include "indicators/IndicatorTable.h"

namespace qelt {

/// Axis label text colour and the cursor read-out colours.
inline constexpr Colour kAxisLabelColour = Rgb(255, 0, 0);
inline constexpr Colour kReadoutText = Rgb(255, 255, 255);
inline constexpr Colour kReadoutBackground = Rgb(0, 0, 255);

/// The value axis's ticks and the boxes of the labels beside them. Ticks are drawn once every
/// label of the pane (the axis's and the reference lines') has its place, each one stopping
/// short of any label on its row: a tick that ran into "1504.26" made it read "-1504.26".
struct AxisMarks {
    struct Tick {
        int y;
        int from;
        int to;  ///< the end (LineTo's, not drawn)
    };
    std::vector<Tick> ticks;
    std::vector<Rect> labels;  ///< where each label may cover (the font's full height)
};

/// Blank pixels at least between a tick's end and a label; the shortest tick an axis label
/// leaves room for (a longer label is drawn smaller).
inline constexpr int kTickGap = 3;
inline constexpr int kShortestTick = 4;

struct PaneContext {
    Canvas& canvas;
    const PaneRequest& request;
    const IndicatorDefinition& definition;
    const IndicatorResult& result;
    BarColumns& columns;
    const DisplayScheme& scheme;
    const PaneStyle& style;
    const IndicatorParameters& parameters;
    int n = 0;   ///< series length
    int f = 0;   ///< first visible bar
    int l = -1;  ///< last visible bar (below n)
    int visible = 1;
    int left = 0, top = 0, right = 0, bottom = 0;
    int xAxis = 0;               ///< right - 60, where the value axis column starts
    int plotHeight = 0;          ///< h: the pane height less the title strip
    AxisMarks* marks = nullptr;  ///< the chart layer's ticks and labels (DrawTicks draws them)

    const IndicatorLine& Line(int i) const { return result.lines[static_cast<std::size_t>(i)]; }
    /// Left edge of bar slot k = bar - f, as a float offset from the pane's left edge.
    float SlotLeft(int bar) const { return static_cast<float>(bar - f) * request.barWidth; }
    /// x of the bar's centre: left + w/2 + k*w, truncated.
    int CentreX(int bar) const {
        const float w = request.barWidth;
        return left + TruncatePixel(w / 2.0f + static_cast<float>(bar - f) * w);
    }
    /// CentreX of bars bar .. bar + 3.
    lanes::Ints CentreX4(int bar) const {
        const float w = request.barWidth;
        const std::int32_t k = bar - f;
        const std::int32_t slots[lanes::kWidth] = {k, k + 1, k + 2, k + 3};
        return left + TruncatePixels(w / 2.0f + lanes::FromInts(slots) * w);
    }
};

/// A range search: the top starts at `top` and the bottom at `bottom` ("from -9999 and
/// 9999"); every finite value raises the top or lowers the bottom past it.
struct Extent {
    float top;
    float bottom;
    bool any = false;
    void Add(double value);
    /// Values of `line` at bars from..to that it has.
    void Add(const IndicatorLine& line, int from, int to);
};

/// `extent` widened by every line of the pane's result over bars from..to.
Extent AllLines(const PaneContext& pane, Extent extent, int from, int to);

/// A scale over top..bottom (not rounded): u = (T - B) / h, or `fallback` when not positive.
PaneScale LinearScale(const PaneContext& pane, float top, float bottom, float fallback = 1.0f);
/// Moves a scale's range to top..bottom and recomputes u (fallback when not positive).
void SetRange(const PaneContext& pane, PaneScale& scale, float top, float bottom, float fallback = 1.0f);
/// The common rounded scale: nothing without a value; else RoundScale with `divisions`,
/// u = (T - B) / h, labelled at round levels with `decimals` at the least.
std::optional<PaneScale> RoundedScale(const PaneContext& pane, const Extent& extent, int divisions,
                                      int decimals = 2);

/// A label in the axis column: text right-aligned with its right end at `rightX`, its top at
/// `y`, drawn smaller when wider than the column (less 2 pixels); its box joins the marks.
/// Left out (false) where a border would cut it or it would touch a label already placed.
bool DrawRightAligned(const PaneContext& pane, int rightX, int y, const std::string& text, Colour colour);
/// An axis label right-aligned 3 pixels inside the pane's right edge, its top at `y`, in the
/// axis label colour: drawn smaller when it would leave less than the shortest tick beside it,
/// left out (false) as DrawRightAligned leaves a label out.
bool DrawAxisLabel(const PaneContext& pane, int y, const std::string& text);
/// A tick in the tick pen on row `y` from `from` to `to`, drawn by DrawTicks.
void AddTick(const PaneContext& pane, int y, int from, int to);
/// A grid line from the left edge to the axis column and a tick of `tickLength` into it.
void DrawGridLevel(const PaneContext& pane, int y, int tickLength);
/// Draws the ticks, each cut short kTickGap pixels before any label box on its row.
void DrawTicks(const PaneContext& pane);
/// The grid levels, ticks and labels of the scale's axis kind (PaneAxis.cpp); the ticks wait
/// for DrawTicks. Rounded scales are labelled at whole multiples of their step, or of 2, 5,
/// 10 ... steps where the pane is too short for every one; a level whose label has no room
/// (a border would cut it, it would touch another) is left out with its grid line.
void DrawAxis(const PaneContext& pane, const PaneScale& scale);
/// "%.<decimals>f"; a "-0" (or "-0.00") reads as "0" ("0.00").
std::string FormatLabel(double value, int decimals);

// The pane rules of each indicator (PaneRules*.cpp).
std::optional<PaneScale> ScaleVol(const PaneContext& pane);
std::optional<PaneScale> ScaleCcl(const PaneContext& pane);
std::optional<PaneScale> ScaleVr(const PaneContext& pane);
std::optional<PaneScale> ScaleObv(const PaneContext& pane);
std::optional<PaneScale> ScalePvt(const PaneContext& pane);
std::optional<PaneScale> ScaleMacd(const PaneContext& pane);
std::optional<PaneScale> ScaleDmi(const PaneContext& pane);
std::optional<PaneScale> ScaleBoll(const PaneContext& pane);
std::optional<PaneScale> ScaleSar(const PaneContext& pane);
std::optional<PaneScale> ScaleJs(const PaneContext& pane);
std::optional<PaneScale> ScaleCdp(const PaneContext& pane);
std::optional<PaneScale> ScaleExpma(const PaneContext& pane);
std::optional<PaneScale> ScaleRsi(const PaneContext& pane);
std::optional<PaneScale> ScaleRoc(const PaneContext& pane);
std::optional<PaneScale> ScaleKdj(const PaneContext& pane);
std::optional<PaneScale> ScaleEmv(const PaneContext& pane);
std::optional<PaneScale> ScaleWr(const PaneContext& pane);
std::optional<PaneScale> ScaleAdtm(const PaneContext& pane);
std::optional<PaneScale> ScaleBbi(const PaneContext& pane);
std::optional<PaneScale> ScaleAmv(const PaneContext& pane);
std::optional<PaneScale> ScaleCci(const PaneContext& pane);

void DrawVolumeBars(const PaneContext& pane, const PaneScale& scale);
void DrawMacdBars(const PaneContext& pane, const PaneScale& scale);
void DrawSarChart(const PaneContext& pane, const PaneScale& scale);
void DrawEmvZeroLine(const PaneContext& pane, const PaneScale& scale);
void DrawCciReferences(const PaneContext& pane, const PaneScale& scale);

}  // namespace qelt
