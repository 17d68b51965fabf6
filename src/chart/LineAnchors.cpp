#include "chart/LineAnchors.h"

#include <cmath>

namespace qelt {

Point AnchorToPixel(const MainPaneGeometry& geometry, CKLinePoint anchor) {
    return {geometry.AnchorX(anchor.index), geometry.PriceToY(anchor.price)};
}

CKLinePoint PixelToAnchor(const MainPaneGeometry& geometry, Point pixel) {
    return {geometry.AnchorBarAtX(pixel.x), static_cast<float>(geometry.YToPrice(pixel.y))};
}

float ShiftPrice(const MainPaneGeometry& geometry, float price, int dy) {
    const PriceScale& scale = geometry.scale;
    if (scale.logarithmic && scale.bottom > scale.top) {
        const double ratio = scale.axisMax / scale.axisMin;
        return static_cast<float>(price *
                                  std::pow(ratio, -static_cast<double>(dy) / (scale.bottom - scale.top)));
    }
    return static_cast<float>(price - dy * scale.pricePerPixel);
}

}  // namespace qelt
