#include "chart/PriceScale.h"

#include <cmath>

namespace qelt {
namespace {

constexpr float kPixelLimit = 1 << 24;

int Truncate(float coordinate) {
    if (!(coordinate > -kPixelLimit)) return -(1 << 24);  // also NaN
    if (coordinate > kPixelLimit) return 1 << 24;
    return static_cast<int>(coordinate);
}

void SetPricePerPixel(PriceScale& scale) {
    const int height = scale.bottom - scale.top;
    const float perPixel = height > 0 ? (scale.axisMax - scale.axisMin) / static_cast<float>(height) : 0.0f;
    scale.pricePerPixel = perPixel > 0.0f && std::isfinite(perPixel) ? perPixel : 1.0f;
}

PriceScale Frame(int top, int bottom) {
    PriceScale scale;
    scale.top = top;
    scale.bottom = bottom;
    return scale;
}

}  // namespace

int PriceScale::Y(double price) const {
    if (logarithmic) {
        const double span = std::log(static_cast<double>(axisMax) / axisMin);
        if (!(price > 0.0) || !(span > 0.0)) return bottom;
        const double rows = std::log(price / axisMin) / span * (bottom - top);
        return Truncate(static_cast<float>(bottom - rows));
    }
    return Truncate(static_cast<float>(bottom) - (static_cast<float>(price) - axisMin) / pricePerPixel);
}

double PriceScale::PriceAt(int y) const {
    if (logarithmic && bottom > top) {
        const double fraction = static_cast<double>(bottom - y) / (bottom - top);
        return axisMin * std::exp(fraction * std::log(static_cast<double>(axisMax) / axisMin));
    }
    return static_cast<double>(static_cast<float>(bottom - y) * pricePerPixel + axisMin);
}

PriceScale StandardPriceScale(float high, float low, int top, int bottom) {
    PriceScale scale = Frame(top, bottom);
    if (!std::isfinite(high) || !std::isfinite(low) || !std::isfinite(high - low)) {
        scale.axisMax = 1.0f;
        SetPricePerPixel(scale);
        return scale;
    }
    float step = 0.0f;
    if (high == low) {
        low = high - 0.05f;
        high = high + 0.05f;
        step = (high - low) / 10;
    } else {
        step = (high - low) / 10;
        int n = 0;
        while (step >= 0.1f && n < 64) {
            step /= 10;
            ++n;
        }
        // The sum is kept in single precision before it is scaled and truncated, as the
        // indicator panes round theirs: a normalised 0.02 stays 0.02.
        const float sum = step + 0.01f;
        step = static_cast<float>(static_cast<int>(static_cast<double>(sum) * 100.0)) / 100.0f;
        for (int i = 0; i < n; ++i) step *= 10;
    }
    scale.step = step;
    scale.axisMin = low - step / 2;
    scale.axisMax = high + step / 2;
    SetPricePerPixel(scale);
    return scale;
}

PriceScale OXPriceScale(float high, float low, float box, int top, int bottom) {
    PriceScale scale = Frame(top, bottom);
    if (!(box > 0.0f) || !std::isfinite(high / box) || !std::isfinite(low / box)) {
        scale.axisMax = 1.0f;
        SetPricePerPixel(scale);
        return scale;
    }
    scale.axisMax = std::trunc(high / box) * box + 2 * box;
    scale.axisMin = std::trunc(low / box) * box - box;
    scale.step = box + std::trunc((scale.axisMax - scale.axisMin) / (10 * box)) * box;
    SetPricePerPixel(scale);
    return scale;
}

void MakeLogarithmic(PriceScale& scale) {
    scale.logarithmic = scale.axisMin > 0.0f && scale.axisMax > scale.axisMin && std::isfinite(scale.axisMax);
}

}  // namespace qelt
