#pragma once
/// Clipping the drawn lines to the main pane: segments by the Cohen-Sutherland method, and
/// straight lines extended across the pane. The clip rectangle's four sides are the edges
/// themselves: a point on its right or bottom side counts as inside.
#include <optional>
#include <utility>

#include "gfx/GfxTypes.h"

namespace qelt {

/// Cohen-Sutherland outcode bits of a point against `clip`.
enum OutCode : int { kOutLeft = 1, kOutRight = 2, kOutBelow = 4, kOutAbove = 8 };
int OutCodeOf(double x, double y, const Rect& clip);

/// Clips the segment a-b to `clip` in place; false (and both ends (0, 0)) when no part of it
/// lies inside.
bool ClipSegment(Point& a, Point& b, const Rect& clip);

/// The straight line through a and b across `clip`: its crossings with the left, top, right
/// and bottom edges (each crossing counting when it lies within that edge's span), the first
/// two distinct ones, clipped. Nothing when a equals b or the line misses the rectangle.
std::optional<std::pair<Point, Point>> ExtendLine(Point a, Point b, const Rect& clip);

}  // namespace qelt
