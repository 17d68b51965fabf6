#pragma once
/// The main chart's price scale: which prices the pane's bottom and top stand for, the step
/// of its labels, and how a price becomes a pixel row and back.
///
/// Linear (the chart as it has always been drawn): price per pixel = (max - min) / (bottom -
/// top) and y(p) = bottom - (p - min) / price per pixel, truncated. Logarithmic (the 对数坐标
/// option): equal ratios take equal heights between the same min and max; a scale whose
/// minimum is not positive cannot be logarithmic and stays linear.
#include "chart/PixelTrunc.h"

namespace qelt {

struct PriceScale {
    // Prices in double precision: the axis labels and the crosshair print six-digit prices
    // to the cent.
    double axisMin = 0.0;        ///< the price at the pane's bottom edge
    double axisMax = 0.0;        ///< the price at the pane's top edge
    double step = 0.0;           ///< label step
    double pricePerPixel = 1.0;  ///< (max - min) / (bottom - top); 1 for a pane without height
    int top = 0;
    int bottom = 0;
    bool logarithmic = false;

    /// The pixel row of `price`, truncated toward zero and kept within a range an int holds.
    /// Inline: the candles and the averages map every visible bar through it.
    int Y(double price) const {
        if (logarithmic) return LogarithmicY(price);
        return TruncToPixel(bottom - (price - axisMin) / pricePerPixel);
    }
    /// The price at pixel row `y` (the inverse of Y up to the truncation).
    double PriceAt(int y) const;
    /// Step in pixels (linear), the distance of k steps above the bottom for the axis ticks.
    double StepPixels() const { return step / pricePerPixel; }

  private:
    int LogarithmicY(double price) const;
};

/// The nice-step rule with 10 intervals over the visible high and low:
/// - high = low: the range opens to high ± 0.05 and the step is a tenth of it (0.01);
/// - otherwise the step (high - low) / 10 is divided by 10 (n times) until below 0.1, then
///   0.01 is added (kept as a 32-bit float), the sum times 100 truncated and divided by 100,
///   and multiplied by 10 n times again: 123.4 gives 20 (the leading digit rounds up).
/// Then the range widens by half a step on both sides: these are the axis min and max.
/// A range that is not finite gives the pane 0..1 with no step.
PriceScale StandardPriceScale(double high, double low, int top, int bottom);

/// The point-and-figure scale for box size `box` (positive): max = truncate(high / box) × box
/// + 2 boxes, min = truncate(low / box) × box - 1 box, step = box + truncate((max - min) /
/// (10 × box)) × box.
PriceScale OXPriceScale(double high, double low, double box, int top, int bottom);

/// Turns `scale` logarithmic when its minimum is positive; otherwise leaves it linear.
void MakeLogarithmic(PriceScale& scale);

}  // namespace qelt
