#pragma once
/// The functions over the series: windows, recursions, the bar before. Each takes its input
/// column x (NaN: no value) and writes bars 0..n-1 of `out`, which must not be x. The
/// window of N at bar i is bars i-N+1 .. i.
///
/// Every windowed function costs the same per bar whatever N is:
/// - MA and SUM keep a running sum, compensated (FormulaSums.h) so that a large value that
///   has left the window leaves no rounding behind; COUNT keeps a running count (exact);
/// - HHV and LLV keep a monotonic queue of the bars that can still be the extreme;
/// - STD and STDP keep compensated sums of the deviations from a reference value and of
///   their squares. The reference is set to the window's mean (two passes over the window)
///   whenever the window is full again, and again when the window's mean has moved so far
///   from it, measured in the window's own deviation, that the squares lose digits (prices
///   near 1e9 that move by 1; a spike that has just left), at most once per N bars: N more
///   steps per N bars, still O(1) per bar;
/// - AVEDEV keeps the window's values in a tree over their ranks (below).
/// Columns with magnitudes near the limit of a double are scaled first (Tamed), so no sum
/// overflows for good.
#include <utility>
#include <vector>

namespace qelt::formula {

/// A node of AVEDEV's rank tree: the window's values in the node's ranks.
struct RankNode {
    double sum = 0.0;
    int count = 0;
};

/// Working memory of the series functions, kept between evaluations.
struct SeriesScratch {
    std::vector<int> queue;                     ///< HHV/LLV: bars in the monotonic queue
    std::vector<std::pair<double, int>> order;  ///< AVEDEV: (value, bar), sorted
    std::vector<double> sorted;                 ///< AVEDEV: the distinct values of x, ascending
    std::vector<int> ranks;                     ///< AVEDEV: each bar's value's place in `sorted`
    std::vector<RankNode> nodes;                ///< AVEDEV: the rank tree
    std::vector<double> scaled;                 ///< a column scaled down by Tamed
};

/// MA: the mean where the window holds N values, else no value.
void MovingAverage(const double* x, double* out, int n, int window, SeriesScratch& scratch);

/// EMA, SMA, DMA: at x's first value Y = x, then Y = take·x + keep·Y′ (EMA: 2/(N+1) and
/// (N−1)/(N+1); SMA: M/N and (N−M)/N; DMA: A and 1−A). A bar without x has no value and
/// the next one continues from the last Y.
void Recursive(const double* x, double* out, int n, double take, double keep);

/// REF: x at bar i − back, no value before bar `back`.
void Reference(const double* x, double* out, int n, int back);

/// HHV (highest) and LLV: the extreme of x's values over the window (bars 0..i while fewer
/// than N exist; N = 0: always bars 0..i); no value where the window holds none.
void Extreme(const double* x, double* out, int n, int window, bool highest, SeriesScratch& scratch);

/// SUM: the sum of x's values over the window as HHV's; no value before x's first value.
void WindowSum(const double* x, double* out, int n, int window, SeriesScratch& scratch);

/// COUNT: bars of the window (as HHV's) where x is true; a bar without x is false.
void WindowCount(const double* x, double* out, int n, int window);

/// STD (sample: divisor N−1) and STDP (divisor N) where the window holds N values.
void Deviation(const double* x, double* out, int n, int window, bool sample, SeriesScratch& scratch);

/// AVEDEV: the mean absolute deviation from the window's mean where it holds N values.
///
/// Σ|x − m| = (m·k − S₋) + (S₊ − m·(N − k)), where k values with sum S₋ lie at or below
/// the mean m and the others sum to S₊. The distinct values of the whole series are sorted
/// once (O(n log n)); a segment tree over their ranks holds, per node, how many of the
/// window's values fall in its ranks and their sum. A value entering or leaving updates one
/// leaf and its ancestors, each recomputed from its two children (so no sum drifts); the
/// mean is the root's sum over N; k and S₋ are one walk down the tree. O(log n) per bar.
void MeanAbsoluteDeviation(const double* x, double* out, int n, int window, SeriesScratch& scratch);

/// CROSS: 1 where a > b and, at the bar before, a <= b, all four with values; otherwise 0
/// (also at bar 0).
void Cross(const double* a, const double* b, double* out, int n);

/// BARSLAST: bars since x was last true (0 where it is); no value before it first was.
void BarsLast(const double* x, double* out, int n);

}  // namespace qelt::formula
