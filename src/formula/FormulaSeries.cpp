#include "formula/FormulaSeries.h"

#include <algorithm>

#include "formula/FormulaArithmetic.h"

namespace qelt::formula {
namespace {

/// The window's sum as MA and SUM keep it: values up to kHugeLimit as they are, huge ones
/// apart and scaled, each cleared when it holds no value (no rounding left behind).
struct WindowSums {
    SeriesState& state;

    void Add(double v, int sign) {
        state.count += sign;
        if (IsHuge(v)) {
            state.huge += sign;
            state.hugeSum.Add(sign * v * kHugeScale);
        } else {
            state.sum.Add(sign * v);
        }
        if (state.huge == 0) state.hugeSum.Clear();
        if (state.count == state.huge) state.sum.Clear();
    }
    /// The sum divided by `divisor` (1 for SUM), no value when beyond a double.
    double Quotient(double divisor) const {
        const double small = state.sum.Value() / divisor;
        return Valued(state.huge > 0 ? small + state.hugeSum.Value() / divisor * kHugeUnscale : small);
    }
};

}  // namespace

void MovingAverage(const double* x, double* out, int n, int window, int from, SeriesState& state) {
    SeriesState running = from > 0 ? state : SeriesState{};
    WindowSums sums{running};
    for (int i = from; i < n; ++i) {
        if (i == n - 1) state = running;
        if (HasValue(x[i])) sums.Add(x[i], +1);
        if (i >= window && HasValue(x[i - window])) sums.Add(x[i - window], -1);
        out[i] = running.count == window ? sums.Quotient(window) : kNoValue;
    }
}

void Recursive(const double* x, double* out, int n, const Recursion& recursion, int from,
               SeriesState& state) {
    // One bar after the other, as the recursion reads: a regrouping of the sums (four bars
    // at a time) rounds otherwise, and a flat 5 would average to 4.999999999999999, or a
    // flat -1.79e308 to -inf.
    bool started = from > 0 && state.started;
    double y = started ? state.y : 0.0;
    for (int i = from; i < n; ++i) {
        if (i == n - 1) state.started = started, state.y = y;
        if (!HasValue(x[i])) {
            out[i] = kNoValue;
            continue;
        }
        const double next = started ? recursion.take * x[i] + recursion.keep * y : x[i];
        if (HasValue(Valued(next))) {
            y = next;
            started = true;
            out[i] = y;
        } else {
            out[i] = kNoValue;
        }
    }
}

void Reference(const double* x, double* out, int n, int back, int from) {
    for (int i = from; i < n; ++i) out[i] = i >= back ? x[i - back] : kNoValue;
}

namespace {

/// HHV's and LLV's queue; `bars`: the distance to the extreme's bar instead of its value.
/// Equal values leave for the newer one, so the extreme's bar is the latest of equals.
void ExtremeQueue(const double* x, double* out, int n, int window, bool highest, bool bars, int from,
                  SeriesState& state, SeriesScratch& scratch) {
    // Every bar enters the queue at most once, so a plain array with a head and a tail
    // holds it without wrapping.
    std::vector<QueueEntry>& queue = scratch.queue;
    queue.clear();
    if (from > 0) queue.assign(state.queue.begin(), state.queue.end());
    queue.resize(queue.size() + static_cast<std::size_t>(n - from));
    QueueEntry* q = queue.data();
    int head = 0, tail = from > 0 ? static_cast<int>(state.queue.size()) : 0;
    for (int i = from; i < n; ++i) {
        if (i == n - 1) state.queue.assign(q + head, q + tail);
        if (window > 0)
            while (head < tail && q[head].bar <= i - window) ++head;
        const double v = x[i];
        if (HasValue(v)) {
            // Bars that can no longer be the extreme while v is in the window leave.
            if (highest) {
                while (head < tail && q[tail - 1].value <= v) --tail;
            } else {
                while (head < tail && q[tail - 1].value >= v) --tail;
            }
            q[tail++] = QueueEntry{i, v};
        }
        if (head == tail) {
            out[i] = kNoValue;
        } else {
            out[i] = bars ? static_cast<double>(i - q[head].bar) : q[head].value;
        }
    }
}

}  // namespace

void Extreme(const double* x, double* out, int n, int window, bool highest, int from, SeriesState& state,
             SeriesScratch& scratch) {
    ExtremeQueue(x, out, n, window, highest, false, from, state, scratch);
}

void ExtremeBars(const double* x, double* out, int n, int window, bool highest, int from, SeriesState& state,
                 SeriesScratch& scratch) {
    ExtremeQueue(x, out, n, window, highest, true, from, state, scratch);
}

void WindowSum(const double* x, double* out, int n, int window, int from, SeriesState& state) {
    SeriesState running = from > 0 ? state : SeriesState{};
    WindowSums sums{running};
    for (int i = from; i < n; ++i) {
        if (i == n - 1) state = running;
        if (HasValue(x[i])) sums.Add(x[i], +1), running.started = true;
        if (window > 0 && i >= window && HasValue(x[i - window])) sums.Add(x[i - window], -1);
        out[i] = running.started ? sums.Quotient(1.0) : kNoValue;
    }
}

void WindowCount(const double* x, double* out, int n, int window, CountOutput what, int from,
                 SeriesState& state) {
    auto isTrue = [&](int i) { return HasValue(x[i]) && x[i] != 0.0; };
    int count = from > 0 ? state.count : 0;
    for (int i = from; i < n; ++i) {
        if (i == n - 1) state.count = count;
        count += isTrue(i);
        if (window > 0 && i >= window) count -= isTrue(i - window);
        switch (what) {
            case CountOutput::Count:
                out[i] = count;
                break;
            case CountOutput::Exist:
                out[i] = Truth(count > 0);
                break;
            case CountOutput::Every:
                // The window's bars so far: N once there are N, all of them for N = 0.
                out[i] = Truth(count == (window > 0 ? window : i + 1));
                break;
        }
    }
}

void Cross(const double* a, const double* b, double* out, int n, int from) {
    if (from == 0 && n > 0) out[0] = 0.0;
    for (int i = std::max(from, 1); i < n; ++i) {
        // NaN compares false both ways, so a missing value among the four gives 0.
        const bool above = a[i] > b[i];
        const bool before = a[i - 1] <= b[i - 1];
        out[i] = Truth(above && before);
    }
}

void BarsLast(const double* x, double* out, int n, int from, SeriesState& state) {
    int last = from > 0 ? state.count : -1;
    for (int i = from; i < n; ++i) {
        if (i == n - 1) state.count = last;
        if (HasValue(x[i]) && x[i] != 0.0) last = i;
        out[i] = last < 0 ? kNoValue : static_cast<double>(i - last);
    }
}

}  // namespace qelt::formula
