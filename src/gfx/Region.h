#pragma once
/// A polygonal region with the winding fill rule, for hit tests of shaped controls (tabs).
#include <vector>

#include "GfxTypes.h"

namespace qelt {

class Region {
  public:
    Region() = default;
    explicit Region(std::vector<Point> polygon) : m_polygon(std::move(polygon)) {}

    const std::vector<Point>& Polygon() const { return m_polygon; }

    /// True when `p` lies inside by the non-zero winding rule. Points on the left or top edge
    /// count as inside, on the right or bottom edge as outside, as a filled rectangle.
    bool Contains(Point p) const;

    Rect Bounds() const;

  private:
    std::vector<Point> m_polygon;
};

}  // namespace qelt
