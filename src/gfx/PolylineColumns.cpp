#include "PolylineColumns.h"

#include <algorithm>
#include <cstdlib>

namespace qelt {

void KeepColumnExtremes(const std::vector<Point>& points, std::vector<Point>& out) {
    // A run of three points becomes four: the most any run grows.
    out.resize(points.size() + points.size() / 3 + 1);
    std::size_t kept = 0;
    for (std::size_t i = 0; i < points.size();) {
        const int x = points[i].x, first = points[i].y;
        std::size_t end = i + 1;
        if (end == points.size() || points[end].x != x) {
            out[kept++] = points[i];
            i = end;
            continue;
        }
        int low = first, high = first;
        for (; end < points.size() && points[end].x == x; ++end) {
            low = std::min(low, points[end].y);
            high = std::max(high, points[end].y);
        }
        const int last = points[end - 1].y;
        out[kept++] = {x, first};
        if (end - i > 2) {
            // Towards the nearer extreme first, so the run still ends where it ended.
            const bool downFirst = std::abs(first - low) <= std::abs(first - high);
            out[kept++] = {x, downFirst ? low : high};
            out[kept++] = {x, downFirst ? high : low};
        }
        out[kept++] = {x, last};
        i = end;
    }
    out.resize(kept);
}

}  // namespace qelt
