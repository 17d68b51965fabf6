#include "indicators/PaneScale.h"

#include <cmath>

namespace qelt {

float RoundScale(float& top, float& bottom, int divisions) {
    if (divisions < 1 || !std::isfinite(top) || !std::isfinite(bottom)) return 0.0f;
    const float d = static_cast<float>(divisions);
    if (top == bottom) {
        bottom = bottom - 0.05f;
        top = top + 0.05f;
        const float step = (top - bottom) / d;
        bottom -= step / 2.0f;
        top += step / 2.0f;
        return step;
    }
    float step = (top - bottom) / d;
    if (!(step > 0.0f) || !std::isfinite(step)) return 0.0f;
    int k = 0;
    while (step >= 0.1f) {
        step /= 10.0f;
        ++k;
    }
    // The sum is kept as a 32-bit float before it is scaled and truncated: that is what
    // keeps a normalised 0.02 at 0.02 instead of lifting it to 0.03.
    const float lifted = step + 0.01f;
    step = static_cast<float>(static_cast<int>(static_cast<double>(lifted) * 100.0)) / 100.0f;
    for (int i = 0; i < k; ++i) step *= 10.0f;
    bottom -= step / 2.0f;
    top += step / 2.0f;
    return step;
}

double PaneScale::ValueAt(int y) const {
    const float rows = static_cast<float>(baseY - y);
    if (byPixelsPerUnit) return pixelsPerUnit == 0.0f ? 0.0 : rows / pixelsPerUnit;
    return bottom + rows * unitsPerPixel;
}

}  // namespace qelt
