#pragma once
/// Small helpers shared by the indicator computations (not part of the interface).
#include <algorithm>
#include <cstdint>
#include <initializer_list>

#include "indicators/IndicatorLines.h"

namespace qelt::compute {

/// The window clipped to a series of n bars. Empty() when there is nothing to compute.
struct Span {
    int n = 0;
    int f = 0;        ///< first visible bar
    int l = -1;       ///< last visible bar, below n
    int visible = 1;  ///< V, at least 1
    bool Empty() const { return l < 0; }
};

inline Span Clip(const IndicatorWindow& window, int n) {
    Span s;
    s.n = n;
    s.l = std::min(window.last, n - 1);
    if (s.l < 0) return s;
    s.f = std::clamp(window.first, 0, s.l);
    s.visible = std::max(window.visible, 1);
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

/// `count` empty lines, valid or refused.
inline IndicatorResult EmptyResult(int count, bool valid = true) {
    IndicatorResult result;
    result.valid = valid;
    result.lines.resize(static_cast<std::size_t>(count));
    return result;
}

inline float Abs(float v) { return v < 0 ? -v : v; }

}  // namespace qelt::compute
