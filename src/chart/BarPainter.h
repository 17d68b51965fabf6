#pragma once
/// The bars of the main pane: hollow rising and filled falling candles, the American line
/// (high-low bar with a close tick), point-and-figure columns of X and O boxes, and the close
/// line of the delivery-month list.
#include "chart/MainChartPainter.h"

namespace qelt {

/// The slot of one bar: left = truncate(x), right = truncate(x + 0.9 w), one less when that
/// reaches the next slot (truncate(x + w)) or leaves no half width; mid = (left + right) / 2.
struct BarSlot {
    int left = 0;
    int right = 0;
    int mid = 0;
};
BarSlot SlotAt(float x, float w);

/// Draws the visible bars: slot k from x = k steps of w from the pane's left edge shows bar
/// L - N + 1 + k. A bar without a delivery month whose open or close is below 0.00001 keeps
/// its slot empty.
void DrawBars(Canvas& canvas, const MainChartInput& input, const MainPaneGeometry& geometry,
              const KLineStyle& style);

}  // namespace qelt
