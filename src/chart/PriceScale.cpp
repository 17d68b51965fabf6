#include "chart/PriceScale.h"

#include <cmath>

namespace qelt {
namespace {

void SetPricePerPixel(PriceScale& scale) {
    const int height = scale.bottom - scale.top;
    const double perPixel = height > 0 ? (scale.axisMax - scale.axisMin) / height : 0.0;
    scale.pricePerPixel = perPixel > 0.0 && std::isfinite(perPixel) ? perPixel : 1.0;
}

PriceScale Frame(int top, int bottom) {
    PriceScale scale;
    scale.top = top;
    scale.bottom = bottom;
    return scale;
}

/// The nice step of a range that is not empty: one significant digit, mostly the raw
/// step's leading digit plus one.
double NiceStep(double range) {
    // Normalised in single precision, the sum kept so before it is scaled and truncated, as
    // the indicator panes round theirs: a normalised 0.02 or 0.04 stays as it is. The range
    // itself comes from the prices in double precision.
    float step = static_cast<float>(range / 10);
    int n = 0;
    while (step >= 0.1f && n < 64) {
        step /= 10;
        ++n;
    }
    const float sum = step + 0.01f;
    const int hundredths = static_cast<int>(static_cast<double>(sum) * 100.0);
    double scaleUp = 1.0;
    for (int i = 0; i < n; ++i) scaleUp *= 10;
    return hundredths * scaleUp / 100.0;
}

}  // namespace

int PriceScale::LogarithmicY(double price) const {
    const double span = std::log(axisMax / axisMin);
    if (!(price > 0.0) || !(span > 0.0)) return bottom;
    const double rows = std::log(price / axisMin) / span * (bottom - top);
    return TruncToPixel(bottom - rows);
}

double PriceScale::PriceAt(int y) const {
    if (logarithmic && bottom > top) {
        const double fraction = static_cast<double>(bottom - y) / (bottom - top);
        return axisMin * std::exp(fraction * std::log(axisMax / axisMin));
    }
    return (bottom - y) * pricePerPixel + axisMin;
}

PriceScale StandardPriceScale(double high, double low, int top, int bottom) {
    PriceScale scale = Frame(top, bottom);
    if (!std::isfinite(high) || !std::isfinite(low) || !std::isfinite(high - low)) {
        scale.axisMax = 1.0;
        SetPricePerPixel(scale);
        return scale;
    }
    double step = 0.0;
    if (high == low) {
        low = high - 0.05;
        high = high + 0.05;
        step = (high - low) / 10;
    } else {
        step = NiceStep(high - low);
    }
    scale.step = step;
    scale.axisMin = low - step / 2;
    scale.axisMax = high + step / 2;
    SetPricePerPixel(scale);
    return scale;
}

PriceScale OXPriceScale(double high, double low, double box, int top, int bottom) {
    PriceScale scale = Frame(top, bottom);
    if (!(box > 0.0) || !std::isfinite(high / box) || !std::isfinite(low / box)) {
        scale.axisMax = 1.0;
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
    scale.logarithmic = scale.axisMin > 0.0 && scale.axisMax > scale.axisMin && std::isfinite(scale.axisMax);
}

}  // namespace qelt
