#pragma once
/// The functions over the series: windows, recursions, the bar before. Each takes its input
/// column x (NaN: no value) and writes bars `from`..n-1 of `out`, which must not be x. The
/// window of N at bar i is bars i-N+1 .. i.
///
/// A pass may start at a later bar than 0 (a live quote changed the last bar): `state` then
/// holds the running values as they stood before bar `from`, and x must hold its values from
/// bar from - N on (REF, the windows that drop a leaving bar, CROSS's bar before). Every pass
/// leaves in `state` the running values as they stand before bar n-1, the bar the next
/// quote changes, and gives the same values as a pass from bar 0 would, bit for bit.
///
/// Every windowed function costs the same per bar whatever N is:
/// - MA and SUM keep a running sum, compensated (FormulaSums.h) so that a large value that
///   has left the window leaves no rounding behind; COUNT keeps a running count (exact);
/// - HHV and LLV keep a monotonic queue of the bars (and their values) that can still be
///   the extreme;
/// - STD and STDP keep compensated sums of the deviations from a reference value and of
///   their squares. The reference is set to the window's mean (two passes over the window)
///   whenever the window is full again, and again when the window's mean has moved so far
///   from it, measured in the window's own deviation, that the squares lose digits (prices
///   near 1e9 that move by 1; a spike that has just left), at most once per N bars: N more
///   steps per N bars, still O(1) per bar;
/// - WMA, SLOPE and FORCAST keep compensated sums of the window's values and of each value
///   times its bar's distance from a base bar (LineState), from which the weighted sum and
///   the least-squares line follow in O(1);
/// - EXIST and EVERY keep COUNT's running count; HHVBARS and LLVBARS HHV's queue;
/// - AVEDEV sums a short window's deviations straight (at most 256 steps a bar) and keeps a
///   longer window's values in a search tree (FormulaAvedev.cpp): O(log N) a bar.
/// Values near the limit of a double are summed apart, scaled (FormulaSums.h), so no sum
/// overflows for good.
#include <utility>
#include <vector>

#include "formula/FormulaSums.h"

namespace qelt::formula {

/// A bar of HHV's and LLV's queue.
struct QueueEntry {
    int bar;
    double value;
};

/// STD's sums of the deviations from a reference value and of their squares, over the
/// window's values at one scale.
struct DeviationSums {
    CompensatedSum deviations;
    CompensatedSum squares;
    double reference = 0.0;
    int count = 0;
    int credit = 0;        ///< bars since the reference was last moved, up to N
    bool refilled = true;  ///< the window was not full: the reference is set again when it is
    bool active = false;   ///< (the scaled sums) kept up to date
};

/// WMA's, SLOPE's and FORCAST's sums over the window's values at one scale: of their
/// deviations d from the reference value, and of t·d, t the bar's distance from the base bar.
struct LineSums {
    CompensatedSum deviations;
    CompensatedSum moments;
    int count = 0;
};

/// What WMA, SLOPE and FORCAST keep before a bar. The sums are made afresh from the window
/// every N bars (the base bar then moves to the window's start, the reference to the newest
/// bar's value), so t stays below 2N and whatever rounding the running sums gathered lives N bars
/// at most.
struct LineState {
    LineSums parts[2];  ///< values up to kHugeLimit; huge ones, scaled by kHugeScale
    double reference = 0.0;
    int base = 0;
    int rebuilt = -1;  ///< the bar the sums were last made from the window at
    int values = 0;    ///< values in the window
    int same = 0;      ///< bars in a row, ending at the bar before, holding `last`
    double last = 0.0;
};

/// The running values of a series function before a bar, kept between passes: each
/// function uses the members its comment names.
struct SeriesState {
    CompensatedSum sum;      ///< MA, SUM: the window's values up to kHugeLimit
    CompensatedSum hugeSum;  ///< MA, SUM: the window's huge values, scaled by kHugeScale
    /// STD: the window's values up to kHugeLimit; and all of them, scaled, kept while a huge
    /// one is in the full window.
    DeviationSums deviations[2];
    double y = 0.0;  ///< EMA, SMA, DMA: the last Y; VALUEWHEN: X at the last bar C was true
    /// MA, SUM, STD: values in the window; COUNT, EXIST, EVERY: true bars in it; BARSLAST, FILTER:
    /// the last true (FILTER: signalling) bar; BARSCOUNT, BARSSINCE: the first bar with a value (a
    /// true one); BARSLASTCOUNT: true bars in a row
    int count = 0;
    int huge = 0;                   ///< MA, SUM, STD: huge values in the window
    bool started = false;           ///< EMA, SMA, DMA, SUM: x has had a value
    std::vector<QueueEntry> queue;  ///< HHV, LLV, HHVBARS, LLVBARS: the queue
    LineState line;                 ///< WMA, SLOPE, FORCAST
};

/// A node of AVEDEV's tree: a bar of the window, ordered by value (then bar).
struct TreeNode {
    double value = 0.0;
    double sum = 0.0;  ///< of the values in the node's subtree
    int count = 0;     ///< nodes in the subtree
    int bar = 0;
    int left = -1, right = -1;
    unsigned priority = 0;
};

/// Working memory of the series functions, kept between evaluations.
struct SeriesScratch {
    std::vector<QueueEntry> queue;  ///< HHV/LLV: the monotonic queue
    std::vector<TreeNode> nodes;    ///< AVEDEV: the tree's nodes
    std::vector<int> freeNodes;     ///< AVEDEV: nodes to use again
    std::vector<double> scaled;     ///< AVEDEV: a window of huge values, scaled
    std::vector<double> inputs[2];  ///< a resumed pass's inputs: kept tails and new bars
};

/// The weights of EMA, SMA and DMA: Y = take·X + keep·Y′ (EMA: 2/(N+1) and (N−1)/(N+1);
/// SMA: M/N and (N−M)/N; DMA: A and 1−A).
struct Recursion {
    double take;
    double keep;
};

/// MA: the mean where the window holds N values, else no value.
void MovingAverage(const double* x, double* out, int n, int window, int from, SeriesState& state);

/// EMA, SMA, DMA: at x's first value Y = x, then the recursion. A bar without x has no
/// value and the next one continues from the last Y; so does a bar whose result is not
/// finite (it has no value, and is no Y to go on from).
void Recursive(const double* x, double* out, int n, const Recursion& recursion, int from, SeriesState& state);

/// REF: x at bar i − back, no value before bar `back`.
void Reference(const double* x, double* out, int n, int back, int from);

/// HHV (highest) and LLV: the extreme of x's values over the window (bars 0..i while fewer
/// than N exist; N = 0: always bars 0..i); no value where the window holds none.
void Extreme(const double* x, double* out, int n, int window, bool highest, int from, SeriesState& state,
             SeriesScratch& scratch);

/// HHVBARS (highest) and LLVBARS: bars since the extreme of the window as HHV's, the latest
/// of equal values; no value where the window holds none.
void ExtremeBars(const double* x, double* out, int n, int window, bool highest, int from, SeriesState& state,
                 SeriesScratch& scratch);

/// SUM: the sum of x's values over the window as HHV's; no value before x's first value.
void WindowSum(const double* x, double* out, int n, int window, int from, SeriesState& state);

/// What a window's count of true bars gives: COUNT the count, EXIST whether it is above 0,
/// EVERY whether the window holds its N bars (N = 0: every bar so far) and all are true.
enum class CountOutput : unsigned char { Count, Exist, Every };

/// COUNT, EXIST, EVERY: bars of the window (as HHV's) where x is true; a bar without x is
/// false.
void WindowCount(const double* x, double* out, int n, int window, CountOutput what, int from,
                 SeriesState& state);

/// What WMA, SLOPE and FORCAST take from the window's sums.
enum class LineOutput : unsigned char { Weighted, Slope, Forecast };

/// WMA (weights 1 .. N, the newest N), SLOPE (of the least-squares line of x against the bar
/// index) and FORCAST (that line at bar i) where the window holds N values. A window of one
/// value throughout gives it (and slope 0) exactly. FormulaLines.cpp.
void LeastSquares(const double* x, double* out, int n, int window, LineOutput what, int from,
                  SeriesState& state);

/// STD (sample: divisor N−1) and STDP (divisor N) where the window holds N values.
void Deviation(const double* x, double* out, int n, int window, bool sample, int from, SeriesState& state);

/// AVEDEV over windows up to this long sums the window's deviations straight (N steps a bar,
/// in four lanes); longer ones keep a tree.
inline constexpr int kDirectWindow = 256;

/// AVEDEV: the mean absolute deviation from the window's mean where it holds N values. Up
/// to kDirectWindow bars, Σ|x − m| straight from the window. Beyond, Σ|x − m| = (m·k − S₋) +
/// (S₊ − m·(N − k)), where k values with sum S₋ lie at or below the mean m and the others
/// sum to S₊: the window's values sit in a search tree that gives k and S₋ in one walk,
/// O(log N) a bar. A pass that resumes builds the tree again from the window before `from`;
/// the tree's shape, and so every sum in it, depends only on the window's bars, as a short
/// window's sums do.
void MeanAbsoluteDeviation(const double* x, double* out, int n, int window, int from, SeriesScratch& scratch);

/// CROSS: 1 where a > b and, at the bar before, a <= b, all four with values; otherwise 0
/// (also at bar 0).
void Cross(const double* a, const double* b, double* out, int n, int from);

/// BARSLAST: bars since x was last true (0 where it is); no value before it first was.
void BarsLast(const double* x, double* out, int n, int from, SeriesState& state);

// The signal functions (FormulaSignals.cpp); each keeps one number between passes.

/// VALUEWHEN: x at the last bar c was true (no value where x had none there); no value
/// before c was first true.
void ValueWhen(const double* c, const double* x, double* out, int n, int from, SeriesState& state);

/// FILTER: 1 where x is true and none of the `quiet` bars before gave 1; otherwise 0.
void Filter(const double* x, double* out, int n, int quiet, int from, SeriesState& state);

/// BARSCOUNT (`truth` false: from x's first value, 1 there) and BARSSINCE (`truth`: since x
/// was first true, 0 there); no value before.
void BarsFromFirst(const double* x, double* out, int n, bool truth, int from, SeriesState& state);

/// BARSLASTCOUNT: true bars of x in a row ending at the bar; 0 where x is false or has no
/// value.
void BarsLastCount(const double* x, double* out, int n, int from, SeriesState& state);

}  // namespace qelt::formula
