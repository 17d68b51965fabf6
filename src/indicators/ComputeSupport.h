#pragma once
/// Small helpers shared by the indicator computations (not part of the interface).
#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <vector>

#include "indicators/IndicatorLines.h"

namespace qelt::compute {

/// The window clipped to a series of n bars. Empty() when there is nothing to compute.
struct Span {
    int n = 0;
    int f = 0;        ///< first visible bar
    int l = -1;       ///< last visible bar, below n
    int visible = 1;  ///< V, at least l - f + 1
    bool Empty() const { return l < 0; }
};

inline Span Clip(const IndicatorWindow& window, int n) {
    Span s;
    s.n = n;
    s.l = std::min(window.last, n - 1);
    if (s.l < 0) return s;
    s.f = std::clamp(window.first, 0, s.l);
    // V covers at least f..l: the rules that reach back V bars from l then start at or
    // before f, whatever the caller's three numbers.
    s.visible = std::max(window.visible, s.l - s.f + 1);
    return s;
}

/// A bar number computed in 64 bits (periods reach the int range), not below 0 and not
/// beyond `limit`.
inline int BarAt(std::int64_t bar, int limit) {
    return static_cast<int>(std::clamp<std::int64_t>(bar, 0, std::max(limit, 0)));
}

inline bool AllAtLeast(int minimum, std::initializer_list<int> values) {
    return std::all_of(values.begin(), values.end(), [&](int v) { return v >= minimum; });
}

/// A line over bars first..last (nothing when last < first), values 0.
inline IndicatorLine LineOver(int first, int last) {
    IndicatorLine line;
    line.first = first;
    if (last >= first) line.values.assign(static_cast<std::size_t>(last - first + 1), 0.0);
    return line;
}

/// `line` placed over bars first..last, keeping its storage. The values are left as they
/// were: the computation writes every one of them.
inline IndicatorLine& Place(IndicatorLine& line, int first, int last) {
    line.first = first;
    line.values.resize(last >= first ? static_cast<std::size_t>(last - first + 1) : 0u);
    return line;
}

/// `count` empty lines, valid or refused, keeping their storage.
inline void Reset(IndicatorResult& result, int count, bool valid = true) {
    result.valid = valid;
    result.lines.resize(static_cast<std::size_t>(count));
    for (IndicatorLine& line : result.lines) {
        line.first = 0;
        line.values.clear();
    }
    result.rising.clear();
}

inline float Abs(float v) { return std::fabs(v); }

/// `value` when `keep`, else +0, without a branch: up or down moves of a market are a coin
/// toss that a predicted branch loses half the time.
inline float Keep(float value, bool keep) {
    return std::bit_cast<float>(std::bit_cast<std::uint32_t>(value) &
                                (0u - static_cast<std::uint32_t>(keep)));
}

/// Working storage of a computation: at least `count` floats in buffer `slot` (0..7) of this thread,
/// kept between computations so that repaints do not allocate (and fault in) fresh memory
/// for every pane. Contents are unspecified; a computation owns its slots until it returns
/// and never hands them out.
std::vector<float>& Scratch(int slot, std::size_t count);

}  // namespace qelt::compute
