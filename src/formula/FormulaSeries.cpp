#include "formula/FormulaSeries.h"

#include "formula/FormulaArithmetic.h"
#include "formula/FormulaSums.h"

namespace qelt::formula {
void MovingAverage(const double* x, double* out, int n, int window, SeriesScratch& scratch) {
    int exponent;
    x = Tamed(x, n, scratch.scaled, exponent);
    CompensatedSum sum;
    int values = 0;
    for (int i = 0; i < n; ++i) {
        if (HasValue(x[i])) sum.Add(x[i]), ++values;
        if (i >= window && HasValue(x[i - window])) sum.Add(-x[i - window]), --values;
        if (values == 0) sum.Clear();
        out[i] = values == window ? Valued(std::ldexp(sum.Value() / window, exponent)) : kNoValue;
    }
}

void Recursive(const double* x, double* out, int n, double take, double keep) {
    int i = 0;
    while (i < n && !HasValue(x[i])) out[i++] = kNoValue;
    if (i == n) return;
    double y = x[i];
    out[i++] = y;
    for (; i < n; ++i) {
        const double v = x[i];
        if (!HasValue(v)) {
            out[i] = kNoValue;
            continue;
        }
        y = take * v + keep * y;
        out[i] = y;
    }
}

void Reference(const double* x, double* out, int n, int back) {
    for (int i = 0; i < n; ++i) out[i] = i >= back ? x[i - back] : kNoValue;
}

void Extreme(const double* x, double* out, int n, int window, bool highest, SeriesScratch& scratch) {
    // Every bar enters the queue at most once, so a plain array with a head and a tail
    // holds it without wrapping.
    scratch.queue.resize(static_cast<std::size_t>(n));
    int* queue = scratch.queue.data();
    int head = 0, tail = 0;
    for (int i = 0; i < n; ++i) {
        if (window > 0)
            while (head < tail && queue[head] <= i - window) ++head;
        const double v = x[i];
        if (HasValue(v)) {
            // Bars that can no longer be the extreme while v is in the window leave.
            if (highest) {
                while (head < tail && x[queue[tail - 1]] <= v) --tail;
            } else {
                while (head < tail && x[queue[tail - 1]] >= v) --tail;
            }
            queue[tail++] = i;
        }
        out[i] = head < tail ? x[queue[head]] : kNoValue;
    }
}

void WindowSum(const double* x, double* out, int n, int window, SeriesScratch& scratch) {
    int exponent;
    x = Tamed(x, n, scratch.scaled, exponent);
    CompensatedSum sum;
    int values = 0;
    bool started = false;
    for (int i = 0; i < n; ++i) {
        if (HasValue(x[i])) sum.Add(x[i]), ++values, started = true;
        if (window > 0 && i >= window && HasValue(x[i - window])) sum.Add(-x[i - window]), --values;
        if (values == 0) sum.Clear();
        out[i] = started ? Valued(std::ldexp(sum.Value(), exponent)) : kNoValue;
    }
}

void WindowCount(const double* x, double* out, int n, int window) {
    auto isTrue = [&](int i) { return HasValue(x[i]) && x[i] != 0.0; };
    int count = 0;
    for (int i = 0; i < n; ++i) {
        count += isTrue(i);
        if (window > 0 && i >= window) count -= isTrue(i - window);
        out[i] = count;
    }
}

void Cross(const double* a, const double* b, double* out, int n) {
    if (n > 0) out[0] = 0.0;
    for (int i = 1; i < n; ++i) {
        // NaN compares false both ways, so a missing value among the four gives 0.
        const bool above = a[i] > b[i];
        const bool before = a[i - 1] <= b[i - 1];
        out[i] = Truth(above && before);
    }
}

void BarsLast(const double* x, double* out, int n) {
    int last = -1;
    for (int i = 0; i < n; ++i) {
        if (HasValue(x[i]) && x[i] != 0.0) last = i;
        out[i] = last < 0 ? kNoValue : static_cast<double>(i - last);
    }
}

}  // namespace qelt::formula
