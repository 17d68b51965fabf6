#include "PixelWriter.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <utility>

#include "LineStepping.h"
#include "SegmentPlans.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// Sanitizers check stores the compiler emits, not those of a string instruction.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define QELT_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer) || __has_feature(memory_sanitizer)
#define QELT_SANITIZED 1
#endif
#endif

namespace qelt {
namespace {

using namespace stepping;

/// Fills `count` pixels from `at` with `pixel`. A long run is one string store: the processor
/// writes whole cache lines without reading them first, which fills a dense surface in a
/// little over half the time of a loop of vector stores (0.47 against 0.85 ms for 3840 x 2160
/// pixels here), and leaves the lines cached as the loop does, so that the lines and texts
/// drawn next still find their pixels there (stores past the caches made the dense repaint a
/// seventh slower). Sanitized builds take the loop.
void FillPixels(std::uint32_t* at, int count, std::uint32_t pixel) {
#if defined(__x86_64__) && !defined(QELT_SANITIZED)
    if (count >= 256) {
        if (reinterpret_cast<std::uintptr_t>(at) % 8 != 0) {
            *at++ = pixel;
            --count;
        }
        const std::uint64_t two = (static_cast<std::uint64_t>(pixel) << 32) | pixel;
        std::size_t pairs = static_cast<std::size_t>(count) / 2;
        asm volatile("rep stosq" : "+D"(at), "+c"(pairs) : "a"(two) : "memory");
        if (count % 2 != 0) *at = pixel;
        return;
    }
#endif
#if defined(__SSE2__)
    const __m128i four = _mm_set1_epi32(static_cast<int>(pixel));
    for (; count >= 4; count -= 4, at += 4) _mm_storeu_si128(reinterpret_cast<__m128i*>(at), four);
#endif
    std::fill(at, at + count, pixel);
}

/// The device pixels a plot covers: `scale` × `scale` from the pixel stepped, tested against
/// the clip or not (`checked`). The scale is known when compiling, so that a line's every
/// pixel does not ask it again.
template <int kScale>
struct PixelTarget {
    static constexpr int scale = kScale;
    std::uint32_t* bits;
    std::ptrdiff_t stride;
    Rect clip;
    std::uint32_t pixel;

    template <bool checked>
    void Plot(int x, int y) const {
        if (!checked && scale == 1) {
            bits[y * stride + x] = pixel;
            return;
        }
        // A block wholly inside the clip, as nearly all of a line's are, needs no clipping.
        if (checked && x >= clip.left && x + scale <= clip.right && y >= clip.top && y + scale <= clip.bottom)
            return Plot<false>(x, y);
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

/// Writes the run's pixels, one a row (at least one).
template <bool vertical, bool checked, class Target>
inline void WriteRun(const Target& target, Run run) {
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
            target.template Plot<checked>(run.x >> 16, run.ys);
        else
            target.template Plot<checked>(run.ys, run.x >> 16);
        run.x += run.xinc;
    } while (++run.ys < run.ye);
}

template <bool checked, class Target>
inline void WriteAnyRun(const Target& target, const Run& run, bool vertical) {
    if (vertical)
        WriteRun<true, checked>(target, run);
    else
        WriteRun<false, checked>(target, run);
}

/// Steps the segments of a polyline of two or more points, square caps at both ends.
template <bool checked, class Target>
void StepPolyline(const Target& target, const Point* points, std::size_t count) {
    StepState state;
    const int scale = target.scale;
    const SegmentPlans& plans = ChartSegmentPlans();
    int join = -1;  // how the next segment joins the last, as the table knows it
    // A segment's pixels lie within a device pixel of its ends, as a polyline's lie within one
    // of its points: a segment that keeps that far inside the clip is written untested, which
    // is most segments of a line that only touches its pane's edge here and there. It does
    // when both its ends lie in the clip shrunk by that margin (a rectangle holds what lies
    // between two of its points).
    const Rect& clip = target.clip;
    const unsigned innerLeft = static_cast<unsigned>(clip.left + 1),
                   innerTop = static_cast<unsigned>(clip.top + 1);
    const int width = clip.right - scale - 2 - clip.left, height = clip.bottom - scale - 2 - clip.top;
    const bool roomy = width >= 0 && height >= 0;
    const unsigned innerWidth = static_cast<unsigned>(width), innerHeight = static_cast<unsigned>(height);
    auto inside = [&](int x, int y) {
        return roomy && static_cast<unsigned>(x) - innerLeft <= innerWidth &&
               static_cast<unsigned>(y) - innerTop <= innerHeight;
    };
    bool startInside = !checked || inside(points[0].x * scale, points[0].y * scale);
    for (std::size_t i = 1; i < count; ++i) {
        const int x1 = points[i - 1].x * scale, y1 = points[i - 1].y * scale;
        const int x2 = points[i].x * scale, y2 = points[i].y * scale;
        const bool endInside = !checked || inside(x2, y2);
        const bool segmentInside = startInside && endInside;
        startInside = endInside;
        if (x1 == x2 && y1 == y2) continue;
        const bool middle = i > 1 && i + 1 < count;
        Run run;
        bool vertical = false;
        if (const int index = middle ? SegmentPlans::IndexOf(join, x2 - x1, y2 - y1) : -1; index >= 0) {
            // The next join first, from the small table: the next segment's lookup need not
            // wait for this plan to come from the large one.
            join = plans.NextJoinAt(index);
            const SegmentPlans::Plan& plan = plans.At(index);
            vertical = plan.flags & SegmentPlans::Plan::kVertical;
            const int major = vertical ? y1 : x1, minor = vertical ? x1 : y1;
            run = Run{major + plan.ys, major + plan.ye, minor * 65536 + plan.x, plan.xinc, false, {}, {}};
            state.last = {x1 + plan.lastX, y1 + plan.lastY};
            state.lastDir = plan.lastDir;
            state.lastAxisAligned = plan.flags & SegmentPlans::Plan::kAxisAligned;
        } else {
            const int caps = (i == 1 ? kCapBegin : kNoCaps) | (i + 1 == count ? kCapEnd : kNoCaps);
            run = PlanAnySegment(state, x1, y1, x2, y2, caps, vertical);
            join = SegmentPlans::JoinOf(state, x2, y2);
        }
        if (segmentInside)
            WriteAnyRun<false>(target, run, vertical);
        else
            WriteAnyRun<true>(target, run, vertical);
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
    // Held here: the pixels written could alias the member as far as the compiler knows, and
    // it would read it again after every row.
    const std::ptrdiff_t stride = m_surface.stride;
    std::uint32_t* row = m_surface.bits + static_cast<std::ptrdiff_t>(top) * stride + left;
    if (right - left == 1) {
        // Candles' wicks, the bars of thousands of bars on show: one pixel a row.
        for (int y = top; y < bottom; ++y, row += stride) *row = pixel;
        return;
    }
    if (right - left == 2) {
        // The same at two device pixels per view pixel.
        for (int y = top; y < bottom; ++y, row += stride) row[0] = row[1] = pixel;
        return;
    }
    if (right - left <= 4) {
        // Narrow bars, lines at a scale above one: a few pixels a row.
        for (int y = top; y < bottom; ++y, row += stride)
            for (int x = 0; x < right - left; ++x) row[x] = pixel;
        return;
    }
    for (int y = top; y < bottom; ++y, row += stride) FillPixels(row, right - left, pixel);
}

void PixelWriter::DashedSpan(const Rect& r, bool horizontal, int origin, std::span<const int> pattern,
                             std::uint32_t pixel) const {
    const int left = std::max(r.left * m_scale, m_clip.left);
    const int right = std::min(r.right * m_scale, m_clip.right);
    const int top = std::max(r.top * m_scale, m_clip.top);
    const int bottom = std::min(r.bottom * m_scale, m_clip.bottom);
    if (left >= right || top >= bottom || pattern.empty()) return;
    // The pattern in device pixels, and where in it the span starts.
    long long period = 0;
    for (const int length : pattern) period += static_cast<long long>(std::max(length, 1)) * m_scale;
    const int from = horizontal ? left : top, to = horizontal ? right : bottom;
    long long into = ((from - static_cast<long long>(origin) * m_scale) % period + period) % period;
    std::size_t piece = 0;
    while (into >= static_cast<long long>(std::max(pattern[piece], 1)) * m_scale)
        into -= static_cast<long long>(std::max(pattern[piece++], 1)) * m_scale;
    std::uint32_t* const first = m_surface.bits + static_cast<std::ptrdiff_t>(top) * m_surface.stride;
    // Run by run: a dash fills its stretch across the line's device rows (or columns).
    for (int at = from; at < to;) {
        const long long remaining = static_cast<long long>(std::max(pattern[piece], 1)) * m_scale - into;
        const int end = static_cast<int>(std::min<long long>(to, at + remaining));
        if (piece % 2 == 0) {
            if (horizontal)
                for (std::uint32_t* row = first;
                     row < first + static_cast<std::ptrdiff_t>(bottom - top) * m_surface.stride;
                     row += m_surface.stride)
                    std::fill(row + at, row + end, pixel);
            else
                for (int y = at; y < end; ++y) {
                    std::uint32_t* row = m_surface.bits + static_cast<std::ptrdiff_t>(y) * m_surface.stride;
                    std::fill(row + left, row + right, pixel);
                }
        }
        at = end;
        into = 0;
        if (++piece == pattern.size()) piece = 0;
    }
}

PixelWriter::Placement PixelWriter::PolylinePlacement(const Point* points, std::size_t count) const {
    if (count < 2 || points[0] == points[count - 1] || m_scale < 1 || m_scale > 3)
        return Placement::kLeftToPainter;
    // A last segment of one or two device pixels drawn against the stepping direction (up,
    // or to the left) ends differently in the painter: leave such a polyline to it.
    const int dx = (points[count - 1].x - points[count - 2].x) * m_scale;
    const int dy = (points[count - 1].y - points[count - 2].y) * m_scale;
    const bool vertical = std::abs(dx) < std::abs(dy);
    if (count > 2 && (vertical ? dy : dx) < 0 && std::max(std::abs(dx), std::abs(dy)) <= 2)
        return Placement::kLeftToPainter;
    Rect bounds{points[0].x, points[0].y, points[0].x, points[0].y};
    for (std::size_t i = 1; i < count; ++i) {
        bounds.left = std::min(bounds.left, points[i].x), bounds.right = std::max(bounds.right, points[i].x);
        bounds.top = std::min(bounds.top, points[i].y), bounds.bottom = std::max(bounds.bottom, points[i].y);
    }
    // The painter clips lines that leave the surface its own way.
    if (bounds.left < 0 || bounds.top < 0 || (bounds.right + 1) * m_scale > m_surface.width ||
        (bounds.bottom + 1) * m_scale > m_surface.height)
        return Placement::kLeftToPainter;
    // Every pixel lies within a device pixel of the points (a corner filled at a turn, a
    // cap): a polyline that keeps that far inside the clip needs no test per pixel.
    const bool inside = bounds.left * m_scale - 1 >= m_clip.left && bounds.top * m_scale - 1 >= m_clip.top &&
                        (bounds.right + 1) * m_scale + 1 <= m_clip.right &&
                        (bounds.bottom + 1) * m_scale + 1 <= m_clip.bottom;
    return inside ? Placement::kInside : Placement::kClipped;
}

bool PixelWriter::Polyline(const Point* points, std::size_t count, std::uint32_t pixel) const {
    const Placement placement = PolylinePlacement(points, count);
    if (placement == Placement::kLeftToPainter) return false;
    PlacedPolyline(points, count, pixel, placement);
    return true;
}

void PixelWriter::PlacedPolyline(const Point* points, std::size_t count, std::uint32_t pixel,
                                 Placement placement) const {
    const auto step = [&](const auto& target) {
        if (placement == Placement::kInside)
            StepPolyline<false>(target, points, count);
        else
            StepPolyline<true>(target, points, count);
    };
    if (m_scale == 1)
        step(PixelTarget<1>{m_surface.bits, m_surface.stride, m_clip, pixel});
    else if (m_scale == 2)
        step(PixelTarget<2>{m_surface.bits, m_surface.stride, m_clip, pixel});
    else
        step(PixelTarget<3>{m_surface.bits, m_surface.stride, m_clip, pixel});
}

}  // namespace qelt
