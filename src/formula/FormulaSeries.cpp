#include "formula/FormulaSeries.h"

#include "formula/FormulaArithmetic.h"
#include "formula/FormulaSums.h"

namespace qelt::formula {
void MovingAverage(const double* x, double* out, int n, int window, SeriesScratch& scratch) {
    double scale;
    x = Tamed(x, n, scratch.scaled, scale);
    CompensatedSum sum;
    int values = 0;
    for (int i = 0; i < n; ++i) {
        if (HasValue(x[i])) sum.Add(x[i]), ++values;
        if (i >= window && HasValue(x[i - window])) sum.Add(-x[i - window]), --values;
        if (values == 0) sum.Clear();
        out[i] = values == window ? Valued(sum.Value() / window * scale) : kNoValue;
    }
}

void Recursive(const double* x, double* out, int n, double take, double keep) {
    int i = 0;
    while (i < n && !HasValue(x[i])) out[i++] = kNoValue;
    if (i == n) return;
    double y = x[i];
    out[i++] = y;
    // Four bars at a time: y(i+j) = P(j) + keep^j * y(i), where P(j) folds in x(i+1..i+j)
    // without y. The chain from one block's y to the next is then one multiply and one add
    // for four bars instead of for each bar; P(j) runs beside it.
    const double keep2 = keep * keep, keep3 = keep2 * keep, keep4 = keep3 * keep;
    while (i < n) {
        if (i + 4 <= n && HasValue(x[i]) && HasValue(x[i + 1]) && HasValue(x[i + 2]) && HasValue(x[i + 3])) {
            const double p1 = take * x[i];
            const double p2 = take * x[i + 1] + keep * p1;
            const double p3 = take * x[i + 2] + keep * p2;
            const double p4 = take * x[i + 3] + keep * p3;
            out[i] = p1 + keep * y;
            out[i + 1] = p2 + keep2 * y;
            out[i + 2] = p3 + keep3 * y;
            y = p4 + keep4 * y;
            out[i + 3] = y;
            i += 4;
            continue;
        }
        if (HasValue(x[i])) {
            y = take * x[i] + keep * y;
            out[i] = y;
        } else {
            out[i] = kNoValue;
        }
        ++i;
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
    double scale;
    x = Tamed(x, n, scratch.scaled, scale);
    CompensatedSum sum;
    int values = 0;
    bool started = false;
    for (int i = 0; i < n; ++i) {
        if (HasValue(x[i])) sum.Add(x[i]), ++values, started = true;
        if (window > 0 && i >= window && HasValue(x[i - window])) sum.Add(-x[i - window]), --values;
        if (values == 0) sum.Clear();
        out[i] = started ? Valued(sum.Value() * scale) : kNoValue;
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
