#pragma once
/// The state of one pane while it is drawn, and the rules the panes share (internal to the
/// pane painter: the pane rules and IndicatorPane.cpp).
#include <optional>
#include <string>

#include "indicators/IndicatorPane.h"
#include "indicators/IndicatorTable.h"

namespace qelt {

/// Axis label text colour and the cursor read-out colours.
inline constexpr Colour kAxisLabelColour = Rgb(255, 0, 0);
inline constexpr Colour kReadoutText = Rgb(255, 255, 255);
inline constexpr Colour kReadoutBackground = Rgb(0, 0, 255);

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
    int xAxis = 0;       ///< right - 60, where the value axis column starts
    int plotHeight = 0;  ///< h: the pane height less the title strip

    const IndicatorLine& Line(int i) const { return result.lines[static_cast<std::size_t>(i)]; }
    /// Left edge of bar slot k = bar - f, as a float offset from the pane's left edge.
    float SlotLeft(int bar) const { return static_cast<float>(bar - f) * request.barWidth; }
    /// x of the bar's centre: left + w/2 + k*w, truncated.
    int CentreX(int bar) const;
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

/// A scale over top..bottom (not rounded): u = (T - B) / h, or `fallback` when not positive.
PaneScale LinearScale(const PaneContext& pane, float top, float bottom, float fallback = 1.0f);
/// Moves a scale's range to top..bottom and recomputes u (fallback when not positive).
void SetRange(const PaneContext& pane, PaneScale& scale, float top, float bottom, float fallback = 1.0f);
/// The common rounded scale: nothing without a value; else RoundScale with `divisions`,
/// u = (T - B) / h and axis levels from..to by stride.
std::optional<PaneScale> RoundedScale(const PaneContext& pane, const Extent& extent, int divisions, int from,
                                      int to, int stride = 1, int decimals = 2);

/// An axis label: text right-aligned with its right end at `rightX`, its top at `y`.
void DrawRightAligned(const PaneContext& pane, int rightX, int y, const std::string& text, Colour colour);
/// A grid line from the left edge to the axis column and a tick of `tickLength` into it.
void DrawGridLevel(const PaneContext& pane, int y, int tickLength);
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
