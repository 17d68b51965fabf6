#pragma once
/// Drawn-line anchors on the K-line view's main pane, as its last paint laid it out.
///
/// Anchor to pixel: x = pane left + w * (bar - (L - N)) + w / 2, y = the price's row on the
/// pane's scale (linear: bottom - (price - axis minimum) / price per pixel), both truncated.
/// Pixel to anchor: bar = truncate(x / w + L - N), price = the price of that row. Both count
/// bars from the same origin L - N, so an anchor stays on its bar slot through every zoom and
/// scroll, and follows the logarithmic scale when it is on.
#include "chart/MainPaneGeometry.h"
#include "data/CMyLine.h"
#include "gfx/GfxTypes.h"

namespace qelt {

/// The client pixel of an anchor; far-off anchors give far-off but bounded pixels.
Point AnchorToPixel(const MainPaneGeometry& geometry, CKLinePoint anchor);
/// The anchor under a client pixel.
CKLinePoint PixelToAnchor(const MainPaneGeometry& geometry, Point pixel);
/// `price` moved by `dy` pixels downwards (a whole line dragged up or down): by dy price steps
/// on a linear scale, by the ratio of dy rows on a logarithmic one.
float ShiftPrice(const MainPaneGeometry& geometry, float price, int dy);

}  // namespace qelt
