#include "chart/LineGeometry.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace qelt {
namespace {

/// Pixels stay within this range: far beyond any screen, yet their products in the
/// clipping arithmetic stay exact in a double and their sums within an int.
constexpr double kPixelBound = 1 << 28;

int ToPixelCoordinate(double value) {
    if (std::isnan(value)) return 0;
    return static_cast<int>(std::clamp(value, -kPixelBound, kPixelBound));
}

int ToBarIndex(double value) {
    if (std::isnan(value)) return 0;
    constexpr double kMax = std::numeric_limits<int>::max();
    return static_cast<int>(std::clamp(value, -kMax, kMax));
}

/// The smallest price a logarithmic scale maps: nothing at or below zero has a logarithm.
constexpr double kLogFloor = 1e-6;

}  // namespace

bool LineGeometry::Valid() const {
    return std::isfinite(barWidth) && barWidth > 0.0f && std::isfinite(pricePerPixel) &&
           pricePerPixel > 0.0f && std::isfinite(priceMin) && pane.Width() > 0 && pane.Height() > 0;
}

double LineGeometry::YOf(double price) const {
    if (!logScale) return pane.bottom - (price - priceMin) / pricePerPixel;
    const double logMin = std::log10(std::max<double>(priceMin, kLogFloor));
    return pane.bottom - (std::log10(std::max(price, kLogFloor)) - logMin) / pricePerPixel;
}

double LineGeometry::PriceAt(double y) const {
    if (!logScale) return (pane.bottom - y) * pricePerPixel + priceMin;
    const double logMin = std::log10(std::max<double>(priceMin, kLogFloor));
    return std::pow(10.0, (pane.bottom - y) * pricePerPixel + logMin);
}

Point LineGeometry::ToPixel(CKLinePoint anchor) const {
    const double x = pane.left +
                     static_cast<double>(barWidth) * (static_cast<double>(anchor.index) - origin) +
                     barWidth / 2.0f;
    return {ToPixelCoordinate(x), ToPixelCoordinate(YOf(anchor.price))};
}

CKLinePoint LineGeometry::ToAnchor(Point pixel) const {
    const double bar = static_cast<double>(pixel.x - pane.left) / barWidth + origin;
    return {ToBarIndex(bar), static_cast<float>(PriceAt(pixel.y))};
}

float LineGeometry::ShiftPrice(float price, int dy) const {
    if (!logScale) return price - static_cast<float>(dy * static_cast<double>(pricePerPixel));
    return static_cast<float>(std::max<double>(price, kLogFloor) *
                              std::pow(10.0, -dy * static_cast<double>(pricePerPixel)));
}

}  // namespace qelt
