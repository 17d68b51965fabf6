#pragma once
/// How the pixel writer steps a one-pixel line, segment by segment, as the raster painter
/// does: 26.6 fixed-point ends (whole pixels here), 16.16 steps along the minor axis, square
/// caps at a polyline's ends, and the joins (no pixel written twice where two segments meet,
/// the corner pixel a turn would leave open). Planning a segment is kept apart from writing
/// it, so that plans can be worked out once and looked up (SegmentPlans.h). Internal to the
/// pixel writer.
#include <climits>
#include <cstdlib>
#include <utility>

namespace qelt::stepping {

// Directions of the last segment drawn, as bits: the two vertical ones share a mask, the two
// horizontal ones another, so a reversal is one exclusive-or away.
enum Direction : int {
    kNoDirection = 0,
    kTopToBottom = 1,
    kBottomToTop = 2,
    kLeftToRight = 4,
    kRightToLeft = 8,
    kVerticalMask = 3,
    kHorizontalMask = 12,
};

enum Caps : int { kNoCaps = 0, kCapBegin = 1, kCapEnd = 2 };

inline int SwapCaps(int caps) { return (caps & kCapBegin ? kCapEnd : 0) | (caps & kCapEnd ? kCapBegin : 0); }

/// 65536 / b truncated, for the lengths most segments of a chart have.
struct Reciprocals {
    static constexpr int kCount = 1024;
    int of[kCount];
    constexpr Reciprocals() : of{} {
        for (int b = 1; b < kCount; ++b) of[b] = 65536 / b;
    }
};
inline constexpr Reciprocals kReciprocals;

/// a / b in 16.16 fixed point, truncated toward zero (in 32 bits where the product fits), b
/// positive. A chart's segments step at most one pixel sideways: for those the quotient is
/// ±65536 / b, looked up instead of divided.
inline int FixedDiv(int a, int b) {
    if (a == 0) return 0;
    if ((a == 1 || a == -1) && b < Reciprocals::kCount) return a * kReciprocals.of[b];
    if (std::abs(a) <= 0x7FFF) return a * 65536 / b;
    return static_cast<int>(static_cast<long long>(a) * 65536 / b);
}

struct DevicePixel {
    int x = INT_MIN;
    int y = INT_MIN;
    friend bool operator==(const DevicePixel&, const DevicePixel&) = default;
};

/// Where the last segment of a polyline ended and which way it went: a segment leaves out a
/// pixel its predecessor already wrote, adds the corner pixel a turn would leave open, and
/// caps the end it turns back on.
struct StepState {
    DevicePixel last;
    int lastDir = kNoDirection;
    bool lastAxisAligned = false;
};

/// One segment's rows along its major axis, top to bottom (or left to right): the first row,
/// one past the last, and the minor coordinate in 16.16 fixed point with its step per row.
struct Run {
    int ys, ye;
    int x, xinc;
    bool swapped;             ///< drawn upwards (or leftwards): the first pixel drawn is the last row's
    DevicePixel first, last;  ///< in drawing order, in the segment's axes
};

/// Fits the run's ends to where the previous segment ended (`previous`, in the run's axes).
inline void JoinPrevious(const StepState& state, int dir, bool axisAligned, const DevicePixel& previous,
                         Run& run) {
    if (previous.x == INT_MIN) return;
    const int dx = std::abs(previous.x - run.first.x), dy = std::abs(previous.y - run.first.y);
    if (run.first == previous) {
        // Written by the previous segment already.
        if (run.swapped) {
            --run.ye;
        } else {
            ++run.ys;
            run.x += run.xinc;
        }
    } else if (state.lastDir != dir &&
               ((axisAligned && state.lastAxisAligned && dx != 0 && dy != 0) || dx > 1 || dy > 1)) {
        // A turn would leave the corner open: one more pixel at the start.
        if (run.swapped) {
            ++run.ye;
        } else {
            --run.ys;
            run.x -= run.xinc;
        }
    } else if (state.lastDir == dir && dx <= 1 && dy > 1) {
        run.x += run.xinc >> 1;
        run.last.x = run.swapped ? run.x >> 16 : (run.x + (run.ye - run.ys - 1) * run.xinc) >> 16;
    }
}

/// Plans one segment along its major axis (y when `vertical`; the arguments named as for
/// that case) between the device pixels (x1, y1) and (x2, y2), y1 != y2: one pixel per row,
/// the minor coordinate advancing in 16.16 fixed point. (The painter works in 26.6 fixed
/// point; for ends on whole pixels its steps come to these.) Moves `state` past the segment
/// and returns the rows to write.
template <bool vertical>
inline Run PlanSegment(StepState& state, int x1, int y1, int x2, int y2, int caps) {
    const bool swapped = y1 > y2;
    if (swapped) {
        std::swap(y1, y2);
        std::swap(x1, x2);
        caps = SwapCaps(caps);
    }
    const int dir = (vertical ? kTopToBottom : kLeftToRight) << (swapped ? 1 : 0);
    const int xinc = FixedDiv(x2 - x1, y2 - y1);
    // Turning straight back: the end where it turns gets a cap, so the tip is covered.
    if ((state.lastDir ^ (vertical ? kVerticalMask : kHorizontalMask)) == dir)
        caps |= swapped ? kCapEnd : kCapBegin;
    // The first row's minor coordinate: sampled at the middle of the row when the line goes
    // right, at its top otherwise; a cap at the start moves it half a step back.
    Run run{y1, caps & kCapEnd ? y2 + 1 : y2, 0, xinc, swapped, {}, {}};
    run.x = x1 * 65536 + (xinc > 0 ? (caps & kCapBegin ? xinc - (xinc >> 1) : xinc >> 1) : 0);
    run.first = {run.x >> 16, run.ys};
    run.last = {(run.x + (run.ye - run.ys - 1) * xinc) >> 16, run.ye - 1};
    if (swapped) std::swap(run.first, run.last);
    const bool axisAligned = std::abs(xinc) < (1 << 14);
    JoinPrevious(state, dir, axisAligned, vertical ? state.last : DevicePixel{state.last.y, state.last.x},
                 run);
    state.lastDir = dir;
    state.lastAxisAligned = axisAligned;
    state.last = vertical ? run.last : DevicePixel{run.last.y, run.last.x};
    return run;
}

/// Plans the segment from (x1, y1) to (x2, y2), not both equal, on the surface's axes;
/// `vertical` tells which axis is its major one.
inline Run PlanAnySegment(StepState& state, int x1, int y1, int x2, int y2, int caps, bool& vertical) {
    vertical = std::abs(x2 - x1) < std::abs(y2 - y1);
    return vertical ? PlanSegment<true>(state, x1, y1, x2, y2, caps)
                    : PlanSegment<false>(state, y1, x1, y2, x2, caps);
}

}  // namespace qelt::stepping
