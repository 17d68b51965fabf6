#include "indicators/IndicatorLines.h"

#include <algorithm>
#include <cstring>

namespace qelt {

IndicatorWindow MakeIndicatorWindow(int lastVisible, int visibleCount, int seriesLength) {
    IndicatorWindow window;
    window.visible = std::max(visibleCount, 1);
    if (seriesLength <= 0) return window;
    window.last = lastVisible < 0 || lastVisible >= seriesLength ? seriesLength - 1 : lastVisible;
    window.first =
        static_cast<int>(std::max<long long>(0, static_cast<long long>(window.last) - window.visible + 1));
    return window;
}

namespace {

/// Values compare bit for bit, so that a cached NaN equals a recomputed one.
bool SameValues(const std::vector<double>& a, const std::vector<double>& b) {
    return a.size() == b.size() &&
           (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(double)) == 0);
}

}  // namespace

bool operator==(const IndicatorResult& a, const IndicatorResult& b) {
    if (a.valid != b.valid || a.rising != b.rising || a.lines.size() != b.lines.size()) return false;
    for (std::size_t i = 0; i < a.lines.size(); ++i) {
        const IndicatorLine& x = a.lines[i];
        const IndicatorLine& y = b.lines[i];
        if (x.name != y.name || x.first != y.first || !SameValues(x.values, y.values)) return false;
    }
    return true;
}

}  // namespace qelt
