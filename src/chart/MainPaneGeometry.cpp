#include "chart/MainPaneGeometry.h"

#include <algorithm>
#include <cmath>

namespace qelt {
int MainPaneGeometry::CursorBarAtX(int x) const {
    if (!Valid()) return -1;
    const int bar =
        TruncToPixel(static_cast<float>(x) / barWidth + static_cast<float>(lastVisible - visibleCount + 1));
    return std::min(bar, seriesLength - 1);
}

int MainPaneGeometry::AnchorBarAtX(int x) const {
    if (!(barWidth > 0.0f)) return 0;
    return TruncToPixel(static_cast<float>(x) / barWidth + static_cast<float>(lastVisible - visibleCount));
}

int MainPaneGeometry::AnchorX(int bar) const {
    return pane.left +
           TruncToPixel(barWidth * static_cast<float>(bar - (lastVisible - visibleCount)) + barWidth / 2);
}

}  // namespace qelt
