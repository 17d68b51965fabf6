#pragma once
/// Where the K-line view's main pane (pane 0) draws, as its last paint laid it out: the pane,
/// the bar slots and the price scale, with the conversions the view itself uses. Whatever
/// draws into the main pane or reads the mouse there (the drawn analysis lines) takes its
/// coordinates from here, so it follows zoom, scroll and the logarithmic scale.
///
/// Bars: slot k (k = 0 at the pane's left edge) shows bar L - N + 1 + k and starts at
/// x = k × w. Drawn-line anchors use the origin L - N instead (one slot further right), the
/// same for the pixel of an anchor and for the anchor under the mouse, so an anchor stays on
/// its slot under every zoom and scroll.
#include "chart/PixelTrunc.h"
#include "chart/PriceScale.h"
#include "gfx/GfxTypes.h"

namespace qelt {

struct MainPaneGeometry {
    Rect pane;              ///< pane 0: left 0, top 30, the chart's right edge, its bottom
    int axisX = 0;          ///< pane.right - 60: the price axis; the bars and lines stay left of it
    float barWidth = 0.0f;  ///< w: pixels per bar slot, (axisX - pane.left) / N, at most 100
    int lastVisible = -1;   ///< L: the right-most visible bar
    int visibleCount = 0;   ///< N: bar slots across the pane
    int seriesLength = 0;   ///< n: bars in the displayed series
    PriceScale scale;       ///< axis min and max, price per pixel, logarithmic or not

    /// A pane with bars to map: the conversions below need it.
    bool Valid() const { return seriesLength > 0 && visibleCount > 0 && barWidth > 0.0f; }

    double PricePerPixel() const { return scale.pricePerPixel; }
    double PriceMinimum() const { return scale.axisMin; }
    bool Logarithmic() const { return scale.logarithmic; }
    /// The clip of everything drawn over the bars: the pane without its axis column.
    Rect PlotClip() const { return {pane.left, pane.top, axisX, pane.bottom}; }

    /// Price to pixel row and back (linear: bottom - (p - min) / price per pixel, truncated).
    int PriceToY(double price) const { return scale.Y(price); }
    double YToPrice(int y) const { return scale.PriceAt(y); }

    /// x of the left edge of `bar`'s slot, (bar - (L - N + 1)) × w, from the pane's left edge.
    float SlotLeft(int bar) const {
        return static_cast<float>(bar - (lastVisible - visibleCount + 1)) * barWidth;
    }
    /// x of the centre of `bar`'s slot, truncated: where the candles' wicks and the moving
    /// averages' points sit. Inline, as every visible bar goes through it.
    int BarCentreX(int bar) const { return pane.left + TruncToPixel(SlotLeft(bar) + barWidth / 2); }
    /// The bar the cursor takes at client x: truncate(x / w + L - N + 1), at most n - 1 (may
    /// be negative left of the first bar); -1 when the pane has no bars.
    int CursorBarAtX(int x) const;

    /// A drawn line's anchor bar under client x: truncate(x / w + L - N).
    int AnchorBarAtX(int x) const;
    /// The client x of anchor bar `bar`: pane.left + w × (bar - (L - N)) + w / 2, truncated.
    int AnchorX(int bar) const;
};

}  // namespace qelt
