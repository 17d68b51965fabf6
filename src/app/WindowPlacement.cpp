#include "app/WindowPlacement.h"

#include <algorithm>

namespace qelt {
namespace {

/// One axis: the client's start and length within [areaStart, areaEnd) less the frame's
/// `before` and `after`.
std::pair<int, int> Fit(int start, int length, int areaStart, int areaEnd, int before, int after,
                        int minimum) {
    const int room = areaEnd - areaStart - before - after;
    length = std::max(std::min(length, room), minimum);
    const int first = areaStart + before;
    const int last = areaEnd - after - length;  // the last start that keeps the window inside
    start = last < first ? first : std::clamp(start, first, last);
    return {start, length};
}

}  // namespace

Rect PlaceWithin(const Rect& wanted, const Rect& available, const FrameMargins& frame, Size minimum) {
    const auto [x, width] = Fit(wanted.left, wanted.Width(), available.left, available.right, frame.left,
                                frame.right, minimum.cx);
    const auto [y, height] = Fit(wanted.top, wanted.Height(), available.top, available.bottom, frame.top,
                                 frame.bottom, minimum.cy);
    return {x, y, x + width, y + height};
}

}  // namespace qelt
