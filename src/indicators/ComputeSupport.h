#pragma once
/// Small helpers shared by the indicator computations (not part of the interface).
#include <algorithm>
#include <bit>
#include <climits>
#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <utility>
#include <vector>

#include "indicators/BarColumns.h"
#include "indicators/IndicatorLines.h"

namespace qelt::compute {

/// The fields a computation reads, asked for together (BarColumns::Read).
inline constexpr unsigned kOpen = BarColumns::Field(kBarOpen);
inline constexpr unsigned kClose = BarColumns::Field(kBarClose);
inline constexpr unsigned kHigh = BarColumns::Field(kBarHigh);
inline constexpr unsigned kLow = BarColumns::Field(kBarLow);
inline constexpr unsigned kAvg = BarColumns::Field(kBarAvg);
inline constexpr unsigned kNum = BarColumns::Field(kBarNum);

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

/// `first` of a line that Reset left and no computation has placed since.
inline constexpr int kUnplaced = INT32_MIN;

/// `line` placed over bars first..last, keeping its storage and the values it had for the
/// same bars (a computation that resumes keeps the ones before its checkpoint). Values it
/// did not have are 0 until written: the computation writes every one of them.
inline IndicatorLine& Place(IndicatorLine& line, int first, int last) {
    line.first = first;
    line.values.resize(last >= first ? static_cast<std::size_t>(last - first + 1) : 0u);
    return line;
}

/// `count` lines, valid or refused, each empty unless the computation places it again
/// (their storage and values stay for that: a result reused paint after paint is not filled
/// anew). SAR's trends are kept only when `keepTrends` says so. FinishLines ends the pass.
inline void Reset(IndicatorResult& result, int count, bool valid = true, bool keepTrends = false) {
    result.valid = valid;
    std::vector<IndicatorLine>& lines = result.lines;
    while (lines.size() > static_cast<std::size_t>(count)) {
        result.spare.push_back(std::move(lines.back()));
        lines.pop_back();
    }
    while (lines.size() < static_cast<std::size_t>(count)) {
        if (result.spare.empty()) {
            lines.emplace_back();
            continue;
        }
        lines.push_back(std::move(result.spare.back()));
        result.spare.pop_back();
    }
    for (IndicatorLine& line : result.lines) line.first = kUnplaced;
    if (!keepTrends) result.rising.clear();
}

/// Empties the lines the computation did not place.
inline void FinishLines(IndicatorResult& result) {
    for (IndicatorLine& line : result.lines) {
        if (line.first != kUnplaced) continue;
        line.first = 0;
        line.values.clear();
    }
}

/// The bar a computation over the whole series starts at: the bar its checkpoint was
/// offered for (UpdateIndicator) when that lies within `minimum`..`end`, the checkpoint's
/// values then being the state before it; 0 (from the first bar) otherwise. A computation
/// that picks up must place its lines where they were, and saves a new checkpoint (`bar`)
/// when it is done; one that returns early leaves none.
inline int ResumeBar(IndicatorResult& result, int end, int minimum = 1) {
    IndicatorCheckpoint& checkpoint = result.checkpoint;
    const int offered = checkpoint.offered;
    checkpoint.offered = -1;
    return offered >= minimum && offered <= end ? offered : 0;
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
