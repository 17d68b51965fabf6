#include "PixelWriter.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace qelt {
namespace {

/// A fill of this many pixels or more (16 MB) goes past the caches: a surface of tens of
/// megabytes filled whole would only push everything else out of them.
constexpr long long kStreamingPixels = 4 << 20;

/// Fills `count` pixels from `at` with `pixel`, four at a time where the processor can, past
/// the caches when `streaming`.
void FillPixels(std::uint32_t* at, int count, std::uint32_t pixel, bool streaming) {
#if defined(__SSE2__)
    const __m128i four = _mm_set1_epi32(static_cast<int>(pixel));
    if (streaming) {
        for (; count > 0 && reinterpret_cast<std::uintptr_t>(at) % 16 != 0; --count) *at++ = pixel;
        for (; count >= 4; count -= 4, at += 4) _mm_stream_si128(reinterpret_cast<__m128i*>(at), four);
    }
    for (; count >= 4; count -= 4, at += 4) _mm_storeu_si128(reinterpret_cast<__m128i*>(at), four);
#else
    (void)streaming;
#endif
    std::fill(at, at + count, pixel);
}

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

int SwapCaps(int caps) { return (caps & kCapBegin ? kCapEnd : 0) | (caps & kCapEnd ? kCapBegin : 0); }

/// 65536 / b truncated, for the lengths most segments of a chart have.
struct Reciprocals {
    static constexpr int kCount = 1024;
    int of[kCount];
    constexpr Reciprocals() : of{} {
        for (int b = 1; b < kCount; ++b) of[b] = 65536 / b;
    }
};
constexpr Reciprocals kReciprocals;

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

/// The device pixels a plot covers: `scale` × `scale` from the pixel stepped, tested against
/// the clip or not (`checked`).
struct PixelTarget {
    std::uint32_t* bits;
    std::ptrdiff_t stride;
    int scale;
    Rect clip;
    std::uint32_t pixel;

    template <bool checked>
    void Plot(int x, int y) const {
        if (!checked && scale == 1) {
            bits[y * stride + x] = pixel;
            return;
        }
        if (!checked && scale == 2) {
            std::uint32_t* at = bits + y * stride + x;
            at[0] = at[1] = at[stride] = at[stride + 1] = pixel;
            return;
        }
        int left = x, right = x + scale, top = y, bottom = y + scale;
        if (checked) {
            left = std::max(left, clip.left), right = std::min(right, clip.right);
            top = std::max(top, clip.top), bottom = std::min(bottom, clip.bottom);
        }
        for (int row = top; row < bottom; ++row)
            for (int column = left; column < right; ++column) bits[row * stride + column] = pixel;
    }
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

/// Writes the run's pixels, one a row (at least one).
template <bool vertical, bool checked>
inline void WriteRun(const PixelTarget& target, Run run) {
    if (!checked && target.scale == 1) {
        // A pointer that walks the rows (or the columns).
        std::uint32_t* at = vertical ? target.bits + run.ys * target.stride : target.bits + run.ys;
        const std::ptrdiff_t step = vertical ? target.stride : 1;
        do {
            at[vertical ? run.x >> 16 : (run.x >> 16) * target.stride] = target.pixel;
            at += step;
            run.x += run.xinc;
        } while (++run.ys < run.ye);
        return;
    }
    if (checked && target.scale == 1) {
        // A line along a pane's edge keeps within a pixel of the clip, so this is most
        // lines': rows outside the clip are skipped whole, each row left tests one bound.
        const Rect& clip = target.clip;
        const int majorFirst = vertical ? clip.top : clip.left,
                  majorEnd = vertical ? clip.bottom : clip.right;
        const int minorFirst = vertical ? clip.left : clip.top,
                  minorEnd = vertical ? clip.right : clip.bottom;
        // At least one pixel, as below.
        const int end = std::min(std::max(run.ye, run.ys + 1), majorEnd);
        if (run.ys < majorFirst) {
            run.x += static_cast<int>(static_cast<long long>(majorFirst - run.ys) * run.xinc);
            run.ys = majorFirst;
        }
        for (; run.ys < end; ++run.ys, run.x += run.xinc) {
            const int minor = run.x >> 16;
            if (minor < minorFirst || minor >= minorEnd) continue;
            if (vertical)
                target.bits[run.ys * target.stride + minor] = target.pixel;
            else
                target.bits[minor * target.stride + run.ys] = target.pixel;
        }
        return;
    }
    do {
        if (vertical)
            target.Plot<checked>(run.x >> 16, run.ys);
        else
            target.Plot<checked>(run.ys, run.x >> 16);
        run.x += run.xinc;
    } while (++run.ys < run.ye);
}

/// One segment along its major axis (y when `vertical`; the arguments named as for that
/// case) between the device pixels (x1, y1) and (x2, y2), y1 != y2: one pixel per row, the
/// minor coordinate advancing in 16.16 fixed point. (The painter works in 26.6 fixed point;
/// for ends on whole pixels its steps come to these.)
template <bool vertical, bool checked>
inline void StepSegment(const PixelTarget& target, StepState& state, int x1, int y1, int x2, int y2,
                        int caps) {
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
    WriteRun<vertical, checked>(target, run);
}

/// Steps the segments of a polyline of two or more points, square caps at both ends.
template <bool checked>
void StepPolyline(const PixelTarget& target, const Point* points, std::size_t count) {
    StepState state;
    const int scale = target.scale;
    for (std::size_t i = 1; i < count; ++i) {
        const int caps = (i == 1 ? kCapBegin : kNoCaps) | (i + 1 == count ? kCapEnd : kNoCaps);
        const int x1 = points[i - 1].x * scale, y1 = points[i - 1].y * scale;
        const int x2 = points[i].x * scale, y2 = points[i].y * scale;
        if (std::abs(x2 - x1) < std::abs(y2 - y1))
            StepSegment<true, checked>(target, state, x1, y1, x2, y2, caps);
        else if (x1 != x2)
            StepSegment<false, checked>(target, state, y1, x1, y2, x2, caps);
    }
}

}  // namespace

PixelWriter::PixelWriter(const PixelSurface& surface, int scale, const Rect& deviceClip)
    : m_surface(surface), m_scale(scale) {
    m_clip = {std::max(deviceClip.left, 0), std::max(deviceClip.top, 0),
              std::min(deviceClip.right, surface.width), std::min(deviceClip.bottom, surface.height)};
}

void PixelWriter::FillRect(const Rect& r, std::uint32_t pixel) const {
    const int left = std::max(r.left * m_scale, m_clip.left);
    const int right = std::min(r.right * m_scale, m_clip.right);
    const int top = std::max(r.top * m_scale, m_clip.top);
    const int bottom = std::min(r.bottom * m_scale, m_clip.bottom);
    if (left >= right || top >= bottom) return;
    std::uint32_t* row = m_surface.bits + static_cast<std::ptrdiff_t>(top) * m_surface.stride + left;
    if (right - left <= 4) {
        // Candles' wicks, volume bars, one-pixel lines: a few pixels a row.
        for (int y = top; y < bottom; ++y, row += m_surface.stride)
            for (int x = 0; x < right - left; ++x) row[x] = pixel;
        return;
    }
    const bool streaming = static_cast<long long>(right - left) * (bottom - top) >= kStreamingPixels;
    for (int y = top; y < bottom; ++y, row += m_surface.stride)
        FillPixels(row, right - left, pixel, streaming);
#if defined(__SSE2__)
    if (streaming) _mm_sfence();
#endif
}

bool PixelWriter::Polyline(const Point* points, std::size_t count, std::uint32_t pixel) const {
    if (count < 2 || points[0] == points[count - 1]) return false;
    // A last segment of one or two device pixels drawn against the stepping direction (up,
    // or to the left) ends differently in the painter: leave such a polyline to it.
    const int dx = (points[count - 1].x - points[count - 2].x) * m_scale;
    const int dy = (points[count - 1].y - points[count - 2].y) * m_scale;
    const bool vertical = std::abs(dx) < std::abs(dy);
    if (count > 2 && (vertical ? dy : dx) < 0 && std::max(std::abs(dx), std::abs(dy)) <= 2) return false;
    Rect bounds{points[0].x, points[0].y, points[0].x, points[0].y};
    for (std::size_t i = 1; i < count; ++i) {
        bounds.left = std::min(bounds.left, points[i].x), bounds.right = std::max(bounds.right, points[i].x);
        bounds.top = std::min(bounds.top, points[i].y), bounds.bottom = std::max(bounds.bottom, points[i].y);
    }
    // The painter clips lines that leave the surface its own way.
    if (bounds.left < 0 || bounds.top < 0 || (bounds.right + 1) * m_scale > m_surface.width ||
        (bounds.bottom + 1) * m_scale > m_surface.height)
        return false;
    const PixelTarget target{m_surface.bits, m_surface.stride, m_scale, m_clip, pixel};
    // Every pixel lies within a device pixel of the points (a corner filled at a turn, a
    // cap): a polyline that keeps that far inside the clip needs no test per pixel.
    if (bounds.left * m_scale - 1 >= m_clip.left && bounds.top * m_scale - 1 >= m_clip.top &&
        (bounds.right + 1) * m_scale + 1 <= m_clip.right &&
        (bounds.bottom + 1) * m_scale + 1 <= m_clip.bottom)
        StepPolyline<false>(target, points, count);
    else
        StepPolyline<true>(target, points, count);
    return true;
}

}  // namespace qelt
