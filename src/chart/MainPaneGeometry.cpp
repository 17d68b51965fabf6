#include "chart/MainPaneGeometry.h"

#include <algorithm>
#include <cmath>

namespace qelt {
namespace {

/// Truncation toward zero of a coordinate far off the pane without overflowing an int.
int TruncateCoordinate(float value) {
    constexpr float kLimit = 1 << 24;
    if (!(value > -kLimit)) return -(1 << 24);
    if (value > kLimit) return 1 << 24;
    return static_cast<int>(value);
}

}  // namespace

float MainPaneGeometry::SlotLeft(int bar) const {
    return static_cast<float>(bar - (lastVisible - visibleCount + 1)) * barWidth;
}

int MainPaneGeometry::BarCentreX(int bar) const {
    return pane.left + TruncateCoordinate(SlotLeft(bar) + barWidth / 2);
}

int MainPaneGeometry::CursorBarAtX(int x) const {
    if (!Valid()) return -1;
    const int bar = TruncateCoordinate(static_cast<float>(x) / barWidth +
                                       static_cast<float>(lastVisible - visibleCount + 1));
    return std::min(bar, seriesLength - 1);
}

int MainPaneGeometry::AnchorBarAtX(int x) const {
    if (!(barWidth > 0.0f)) return 0;
    return TruncateCoordinate(static_cast<float>(x) / barWidth +
                              static_cast<float>(lastVisible - visibleCount));
}

int MainPaneGeometry::AnchorX(int bar) const {
    return pane.left + TruncateCoordinate(barWidth * static_cast<float>(bar - (lastVisible - visibleCount)) +
                                          barWidth / 2);
}

}  // namespace qelt
