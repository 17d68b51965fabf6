#include "Region.h"

#include <algorithm>
#include <climits>

namespace qelt {

bool Region::Contains(Point p) const {
    const size_t n = m_polygon.size();
    if (n < 3) return false;
    // Sample at the pixel centre so that edges follow the half-open convention.
    const double px = p.x + 0.5;
    const double py = p.y + 0.5;
    int winding = 0;
    for (size_t i = 0; i < n; ++i) {
        const Point& a = m_polygon[i];
        const Point& b = m_polygon[(i + 1) % n];
        const double cross = (b.x - a.x) * (py - a.y) - (px - a.x) * (b.y - a.y);
        if (a.y <= py) {
            if (b.y > py && cross > 0) ++winding;
        } else if (b.y <= py && cross < 0) {
            --winding;
        }
    }
    return winding != 0;
}

Rect Region::Bounds() const {
    if (m_polygon.empty()) return {};
    Rect r{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
    for (const Point& p : m_polygon) {
        r.left = std::min(r.left, p.x);
        r.top = std::min(r.top, p.y);
        r.right = std::max(r.right, p.x);
        r.bottom = std::max(r.bottom, p.y);
    }
    return r;
}

}  // namespace qelt
