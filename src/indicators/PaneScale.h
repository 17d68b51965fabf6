#pragma once
/// The vertical scale of an indicator pane: which values its top and bottom stand for, how
/// a value becomes a pixel row and back, and which axis levels it labels.
#include <array>
#include <cstdint>

#include "common/FloatLanes.h"

namespace qelt {

/// The scale-rounding rule shared by most panes. Given the range T (top) and B (bottom) and
/// a number of divisions d, returns the label step and widens the range by half a step on
/// both sides:
/// - T = B: the range opens to B - 0.05 .. T + 0.05 and step = (T - B) / d as it is;
/// - otherwise the raw step (T - B) / d is divided by 10 (k times) until below 0.1, then
///   0.01 is added and the sum kept as a 32-bit float, which is multiplied by 100,
///   truncated and divided by 100, then multiplied by 10 k times again: one significant
///   digit, usually one above the raw step's first digit (a normalised 0.02 stays 0.02).
/// Examples: 37.3 / 12.1 / 5 gives step 6, range 9.1 .. 40.3; 10 / 10 / 5 gives 0.02 and
/// 9.94 .. 10.06; 100 / 0 / 5 keeps 20, range -10 .. 110. Ranges that are not finite, or
/// whose step is not positive, are left as they are and give a step of 0.
float RoundScale(float& top, float& bottom, int divisions);

/// A float pixel coordinate truncated toward zero, kept within a range an int holds safely
/// (values far off the pane still draw off the pane, never overflow). Inline, as Y is: a
/// pane's lines map every visible bar through them.
inline int TruncatePixel(float coordinate) {
    constexpr float kLimit = 1 << 24;
    if (!(coordinate > -kLimit)) return -(1 << 24);  // also NaN
    if (coordinate > kLimit) return 1 << 24;
    return static_cast<int>(coordinate);
}

/// TruncatePixel of four coordinates.
inline lanes::Ints TruncatePixels(lanes::Floats coordinates) {
    constexpr float kLimit = 1 << 24;
    // Within the limits first (NaN to the lower one), then truncated: no lane overflows.
    coordinates = lanes::Select(coordinates > -kLimit, coordinates, lanes::Same(-kLimit));
    coordinates = lanes::Select(coordinates > kLimit, lanes::Same(kLimit), coordinates);
    return __builtin_convertvector(coordinates, lanes::Ints);
}

/// What a pane's values map to. Plain data; the pane rules fill it, the painter reads it.
struct PaneScale {
    enum class Axis {
        Levels,       ///< grid lines at whole multiples of the step (or of 2, 5, 10... steps) within B..T
        ValueLevels,  ///< grid lines at fixed values (valueLevels) that lie within B..T
        Volume,       ///< VOL and CCL: three major and minor ticks, labels g, 2g, 3g
        Macd,         ///< labels -T/2, 0, T/2 at a quarter, half and three quarters
        Cci,          ///< three levels and the reference lines at 100 and -100
    };

    float top = 0.0f;     ///< T, the value at the top of the plot
    float bottom = 0.0f;  ///< B, the value at the pane's bottom edge
    float step = 0.0f;    ///< label step
    float unitsPerPixel = 1.0f;
    /// VOL and CCL map through pixels per unit instead (0 draws every bar flat).
    bool byPixelsPerUnit = false;
    float pixelsPerUnit = 0.0f;
    int baseY = 0;       ///< the pane's bottom edge
    int plotHeight = 0;  ///< h

    Axis axis = Axis::Levels;
    /// Decimals of the labels at the least (a finer step shows as many as it needs).
    int labelDecimals = 2;
    /// A pane of sticks from 0: its 0 line is drawn across the plot whenever 0 is in range.
    bool zeroLine = false;
    std::array<int, 4> valueLevels{};
    int valueLevelCount = 0;
    std::int64_t volumeStep = 0;  ///< g of the volume panes

    /// y = bottom - (v - B) / u (VOL, CCL: bottom - v * pixels per unit), truncated.
    int Y(double value) const {
        const float v = static_cast<float>(value);
        if (byPixelsPerUnit) return TruncatePixel(static_cast<float>(baseY) - v * pixelsPerUnit);
        return TruncatePixel(static_cast<float>(baseY) - (v - bottom) / unitsPerPixel);
    }
    /// Y of four values.
    lanes::Ints Y(const double* values) const {
        const lanes::Floats v = lanes::FromDoubles(values);
        const lanes::Floats base = lanes::Same(static_cast<float>(baseY));
        if (byPixelsPerUnit) return TruncatePixels(base - v * pixelsPerUnit);
        return TruncatePixels(base - (v - bottom) / unitsPerPixel);
    }
    /// The value at row y: B + (bottom - y) * u (VOL, CCL: (bottom - y) / pixels per unit).
    double ValueAt(int y) const;
};

}  // namespace qelt
