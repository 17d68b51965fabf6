#pragma once
/// The main pane of the K-line view: price scale, axis, ticks, labels and dotted grid, the
/// title, the bars in one of the three chart types, the point-and-figure header, the labels
/// of the visible extremes, and the crosshair's price label.
///
/// The view draws in this order: DrawMainChartBody, its moving-average lines, then
/// DrawMainChartLabels (all of them once per change of data, layout or window); the price
/// label follows the pointer at every paint.
#include <string>
#include <vector>

#include "chart/KLineStyle.h"
#include "chart/MainPaneGeometry.h"
#include "chart/SeriesWindow.h"
#include "chart/WindowNavigation.h"
#include "data/Bar.h"
#include "gfx/Canvas.h"

namespace qelt {

/// Prices of the displayed bars as numbers, indexed by bar number; the visible bars must be
/// readable. The view reads them once per series (the indicator panes share them).
struct BarPriceColumns {
    const float* open = nullptr;
    const float* close = nullptr;
    const float* high = nullptr;
    const float* low = nullptr;
};

/// Number columns of bars [from, to), from the rows' numbers (for callers without shared columns).
struct OwnedPriceColumns {
    std::vector<float> open, close, high, low;
    BarPriceColumns View() const { return {open.data(), close.data(), high.data(), low.data()}; }
};
OwnedPriceColumns ReadPriceColumns(const BarSeries& bars);

struct MainChartInput {
    const BarSeries* bars = nullptr;
    BarPriceColumns prices;
    /// Box counts per point-and-figure column (+n rising X, -n falling O); OX only.
    const std::vector<int>* oxBoxes = nullptr;
    int chartType = kChartCandles;
    int period = kPeriodDay;
    float oxBox = 0.0f;
    int lastVisible = -1;  ///< L, as FindVisibleExtremes left it
    int visibleCount = 0;  ///< N
    VisibleExtremes extremes;
    std::string goodsName;
    std::string goodsNo;
    /// The delivery-month list ("0003") shows a close line instead of bars.
    bool closeLine = false;
    /// 对数坐标: candles and the American line on a logarithmic price scale.
    bool logarithmic = false;
    /// Shown instead of the bars when not empty (a point-and-figure box of 0).
    std::string note;
};

/// The note of a point-and-figure chart whose box size is 0 (the automatic box of a quiet
/// index): no level can be computed, so no column is drawn.
inline constexpr const char* kZeroBoxNote = "OX格值为0,无法绘制点数图";

/// The pane's geometry: bar width and the price scale from the visible extremes (the
/// point-and-figure scale for OX; no scale without bars or with a box of 0).
MainPaneGeometry LayOutMainChart(const MainChartInput& input, const Rect& pane);

/// "日线", "周线" or "月线".
std::string PeriodText(int period);

/// Axis line at right - 60 from the client top, ticks, "%.2f" labels and the dotted grid,
/// the title "商品:%s(%s)" at (5, 3), and the bars (candles, American line, OX columns, or the
/// close line), or the input's note instead of them.
void DrawMainChartBody(Canvas& canvas, const MainChartInput& input, const MainPaneGeometry& geometry,
                       const KLineStyle& style);

/// After the moving averages: the point-and-figure header "OX格值:..." with its unit ("OX格值:2100元",
/// the index's "OX格值:15.00点") and the labels of the
/// window's high ("←%.2f" / "%.2f→" 12 pixels over it) and low (4 pixels over it, only when
/// the newest bar has an open and a close).
void DrawMainChartLabels(Canvas& canvas, const MainChartInput& input, const MainPaneGeometry& geometry,
                         const KLineStyle& style);

/// The crosshair's price, white on blue at (right - 59, y - 10), for a pointer inside pane 0
/// and left of the chart's right edge: the price of the pointer's row on the pane's scale
/// (linear or logarithmic), as the axis reads it.
void DrawCrosshairPrice(Canvas& canvas, const MainPaneGeometry& geometry, Point pointer,
                        const KLineStyle& style);

}  // namespace qelt
