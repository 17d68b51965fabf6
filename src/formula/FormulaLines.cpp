// WMA, SLOPE and FORCAST: the weighted sum and the least-squares line over a window from
// two running sums (FormulaSeries.h).
//
// Over the window's bars j = i−N+1 .. i, with u = j − (i−N+1) from 0 (oldest) to N−1 and
// d = x − r for a reference value r:
//   WMA     = r + Σ(u+1)·d / (N(N+1)/2)
//   SLOPE   = Σ(u−ū)·d / (N(N²−1)/12),  ū = (N−1)/2
//   FORCAST = r + Σd/N + SLOPE·ū
// The state keeps S = Σd and T = Σt·d with t = j − base, so Σu·d = T − a·S where a is the
// oldest bar's t. Precision: every sum is compensated (a bar that leaves takes away exactly
// what it brought), the values enter as their deviations from a recent value (a price of
// 3000 that moves by 1 sums its moves, not 3000s), and t stays below 2N because the sums are
// made afresh from the window every N bars (N more steps per N bars: still O(1) a bar), which
// also bounds how long any rounding lives. The reference is the value of the bar the sums are
// made at (0 when it has none or a huge one), a bar every window holds until the next rebuild:
// no d rounds by more than the window's own largest value allows (a spike of 1e17 taken as the
// reference is gone with the window that held it). Rebuilding less often than every N bars
// would break that. What is left is the rounding of T − a·S, a few
// units in the last place of T (about N²·|d|), the same as a direct Σ(u−ū)·x has. A window
// of one value throughout (a flat market) gives that value, and slope 0, exactly.
#include <algorithm>

#include "formula/FormulaArithmetic.h"
#include "formula/FormulaSeries.h"

namespace qelt::formula {
namespace {

/// One bar's value into (sign +1) or out of (-1) the sums; huge values go to the scaled part.
void EnterLine(LineState& state, double v, int bar, int sign) {
    const bool huge = IsHuge(v);
    LineSums& part = state.parts[huge ? 1 : 0];
    const double d = huge ? (v - state.reference) * kHugeScale : v - state.reference;
    const double t = bar - state.base;
    part.count += sign;
    state.values += sign;
    part.deviations.Add(sign * d);
    part.moments.Add(sign * (t * d));
    // An empty part holds nothing: no rounding left behind for the values that come next.
    if (part.count == 0) part.deviations.Clear(), part.moments.Clear();
}

/// The sums made afresh from the window ending at bar i, the base its first bar and the
/// reference bar i's value (0 when it has none or a huge one).
void RebuildLine(const double* x, int i, int window, LineState& state) {
    state.base = i - window + 1;
    state.reference = HasValue(x[i]) && !IsHuge(x[i]) ? x[i] : 0.0;
    state.parts[0] = state.parts[1] = LineSums{};
    state.values = 0;
    for (int j = std::max(state.base, 0); j <= i; ++j)
        if (HasValue(x[j])) EnterLine(state, x[j], j, +1);
    state.rebuilt = i;
}

/// The function's value over the full window ending at bar i, from the sums of one part.
double LinePart(const LineSums& part, double oldest, int window, LineOutput what) {
    const double s = part.deviations.Value(), t = part.moments.Value();
    const double w = window;
    const double centre = (w - 1.0) / 2.0;
    switch (what) {
        case LineOutput::Weighted:
            // Σ(u+1)·d = T − (a−1)·S.
            return (t - (oldest - 1.0) * s) / (w * (w + 1.0) / 2.0);
        case LineOutput::Slope:
            return (t - (oldest + centre) * s) / (w * (w * w - 1.0) / 12.0);
        case LineOutput::Forecast:
            return s / w + (t - (oldest + centre) * s) / (w * (w * w - 1.0) / 12.0) * centre;
    }
    return kNoValue;
}

double LineValue(const LineState& state, int i, int window, LineOutput what, double v) {
    if (state.same >= window) return what == LineOutput::Slope ? 0.0 : v;
    const double oldest = (i - window + 1) - state.base;
    double result = what == LineOutput::Slope ? 0.0 : state.reference;
    result += LinePart(state.parts[0], oldest, window, what);
    if (state.parts[1].count > 0) result += LinePart(state.parts[1], oldest, window, what) * kHugeUnscale;
    return Valued(result);
}

}  // namespace

void LeastSquares(const double* x, double* out, int n, int window, LineOutput what, int from,
                  SeriesState& state) {
    LineState line = from > 0 ? state.line : LineState{};
    for (int i = from; i < n; ++i) {
        if (i == n - 1) state.line = line;
        const double v = x[i];
        if (line.rebuilt < 0 || i - line.rebuilt >= window) {
            RebuildLine(x, i, window, line);
        } else {
            if (HasValue(v)) EnterLine(line, v, i, +1);
            if (i >= window && HasValue(x[i - window])) EnterLine(line, x[i - window], i - window, -1);
        }
        // Bars in a row holding v, this one included.
        line.same = !HasValue(v) ? 0 : line.same > 0 && v == line.last ? line.same + 1 : 1;
        line.last = v;
        out[i] = line.values == window ? LineValue(line, i, window, what, v) : kNoValue;
    }
}

}  // namespace qelt::formula
