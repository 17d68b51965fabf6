#pragma once
/// Fewer points for a polyline of more points than pixel columns (a chart of thousands of
/// bars): consecutive points in one column join by vertical segments that cover the column
/// from its lowest to its highest point, so the first, the extremes and the last point of
/// such a run cover the same pixels with at most three segments.
#include <vector>

#include "GfxTypes.h"

namespace qelt {

/// Writes to `out` (cleared first) the points of `points` with every run of two or more
/// consecutive points sharing an x reduced to its first point, its extremes (the one nearer
/// the first point first, so the run still ends where it ended) and its last point.
void KeepColumnExtremes(const std::vector<Point>& points, std::vector<Point>& out);

}  // namespace qelt
