#pragma once
/// Drawing one indicator pane. The K-line view lays out its panes and, for each one below
/// the main chart, draws the pane's bottom border, calls DrawIndicatorPane and then draws
/// the axis separator at right - 60; the painter draws everything in between:
/// - the title (at left + 5, top + 3, title colour) and the value items at their offsets,
///   item i in line colour i of the request's scheme, each the line's value at the cursor
///   bar (before the line's first value: the first; beyond its last: the last);
/// - the indicator's axis (grid lines in the grid pen, ticks in the tick pen, labels in
///   (255,0,0) right-aligned 3 pixels inside the right edge) and its lines, line i a
///   polyline in a solid 1-pixel pen of the scheme's line colour i through the bar centres
///   x = left + w/2 + k*w (k = 0 at the first visible bar);
/// - the cursor read-out when the mouse is inside the pane and left of the chart's right
///   edge: the value at the mouse height in (255,255,255) on (0,0,255), 49 pixels left of
///   the right edge and 10 above the mouse.
/// Bars and lines are clipped to the pane (its bottom edge included): a value the range rule
/// did not look at never draws into the next pane or the date strip.
/// An empty series draws nothing (VOL and CCL still draw their ticks and labels); refused
/// parameters draw the title only; values that are not finite are neither ranged nor drawn
/// (a line continues after them with a new stroke). Unknown codes draw nothing.
#include <array>

#include "data/Bar.h"
#include "data/settings/DisplayScheme.h"
#include "data/settings/IndicatorParameters.h"
#include "gfx/Canvas.h"
#include "indicators/BarColumns.h"
#include "indicators/IndicatorLines.h"

namespace qelt {

/// The view's pens and font for the panes.
struct PaneStyle {
    Pen grid;     ///< grid lines
    Pen tick;     ///< axis ticks, MACD's zero line
    Pen border;   ///< CCI's own separator at right - 60
    Pen rising;   ///< rising VOL/CCL bars and MACD bars above zero
    Pen falling;  ///< other VOL/CCL bars and MACD bars below zero
    Font font;

    /// Solid 1-pixel pens in the scheme's five line colours: the pens of lines 1 to 5 (the
    /// panes' and the main chart's moving averages), made from the scheme of each paint.
    static std::array<Pen, 5> LinePens(const DisplayScheme& scheme);
};

/// What of a pane to draw. A view that keeps its chart in a bitmap between paints draws the
/// part that follows the data once (Chart) and the part that follows the cursor bar and the
/// mouse (Cursor: the title with its value items and the read-out) at every paint over it.
enum class PaneLayer {
    All,     ///< everything, in the order above
    Chart,   ///< axis, grid, bars and lines: no title and no read-out
    Cursor,  ///< the title and its items, and the read-out when the mouse is inside the pane
    Titles,  ///< the title and its items only: a printed chart shows no read-out of the mouse
};

/// Where a pane of the K-line view is and what it is drawn with, whatever it shows (a
/// built-in indicator or the user's formula).
struct PaneFrame {
    Rect pane;               ///< left, top, right, bottom in view pixels
    IndicatorWindow window;  ///< f, l, V of the view (MakeIndicatorWindow)
    float barWidth = 1.0f;   ///< w, pixels per bar slot
    int cursor = -1;         ///< the view's cursor bar, -1 none
    Point mouse;             ///< the view's last mouse position
    int chartRight = 0;      ///< the chart's right edge (the read-out shows left of it)
    /// The colours of this paint (the screen's or the paper's): title, items, lines, the
    /// background the VOL bars are hollowed with.
    const DisplayScheme* scheme = nullptr;
    const PaneStyle* style = nullptr;
    /// Optional: numbers of the bars read once for all panes of a paint (or kept by an
    /// IndicatorCache while the series is unchanged). Made afresh when null.
    BarColumns* columns = nullptr;
    PaneLayer layer = PaneLayer::All;
};

/// Everything one pane needs. All pointers must be set except `columns` and `result`.
struct PaneRequest : PaneFrame {
    int code = 0;  ///< indicator code (1-5, 21-27, 41-49)
    const BarSeries* bars = nullptr;
    const IndicatorParameters* parameters = nullptr;
    /// Optional: the lines already computed for exactly this code, series, window and
    /// parameters (IndicatorCache). Computed afresh when null.
    const IndicatorResult* result = nullptr;
};

void DrawIndicatorPane(Canvas& canvas, const PaneRequest& request);

}  // namespace qelt
