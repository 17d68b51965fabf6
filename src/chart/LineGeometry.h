#pragma once
/// Where the drawn lines sit: the K-line view's main pane as it was last painted, and the
/// conversions between a line's anchors (bar index, price) and client pixels.
///
/// Anchor to pixel: x = pane left + w * (bar - (L - N)) + w / 2, y = pane bottom - (price -
/// axis minimum) / price per pixel, both truncated. Pixel to anchor: bar = truncate((x -
/// pane left) / w + L - N), price = (pane bottom - y) * price per pixel + axis minimum. Both
/// count bars from the same origin L - N, so an anchor stays on its bar slot through every
/// zoom and scroll.
#include "data/CMyLine.h"
#include "gfx/GfxTypes.h"

namespace qelt {

/// The price axis at the right of the main pane; lines are clipped short of it.
inline constexpr int kPriceAxisWidth = 60;

struct LineGeometry {
    Rect pane;                   ///< pane 0, the main chart, axis included
    float barWidth = 0.0f;       ///< w: pixels per bar slot
    int origin = 0;              ///< L - N
    float pricePerPixel = 1.0f;  ///< on a logarithmic scale: decimal logarithm units per pixel
    float priceMin = 0.0f;       ///< the axis minimum (a price on either scale)
    bool logScale = false;

    /// False while there is nothing to draw on (no bars: no bar width, no scale).
    bool Valid() const;
    /// The main pane without its price axis: what lines are clipped to.
    Rect Clip() const { return {pane.left, pane.top, pane.right - kPriceAxisWidth, pane.bottom}; }
    /// Inside the main pane, axis included (where clicks edit lines).
    bool InPane(Point p) const {
        return p.x >= pane.left && p.x < pane.right && p.y >= pane.top && p.y < pane.bottom;
    }

    /// Client pixel of an anchor; far-off anchors give far-off (but bounded) pixels.
    Point ToPixel(CKLinePoint anchor) const;
    /// Anchor under a client pixel.
    CKLinePoint ToAnchor(Point pixel) const;
    /// `price` moved by `dy` pixels downwards (a whole line dragged up or down).
    float ShiftPrice(float price, int dy) const;

  private:
    double YOf(double price) const;
    double PriceAt(double y) const;
};

}  // namespace qelt
