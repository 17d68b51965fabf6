// VALUEWHEN, FILTER, BARSCOUNT, BARSSINCE and BARSLASTCOUNT: one number carried from bar to
// bar (FormulaSeries.h).
#include "formula/FormulaArithmetic.h"
#include "formula/FormulaSeries.h"

namespace qelt::formula {
namespace {

bool IsTrueAt(const double* x, int i) { return HasValue(x[i]) && x[i] != 0.0; }

}  // namespace

void ValueWhen(const double* c, const double* x, double* out, int n, int from, SeriesState& state) {
    double taken = from > 0 ? state.y : kNoValue;
    for (int i = from; i < n; ++i) {
        if (i == n - 1) state.y = taken;
        if (IsTrueAt(c, i)) taken = x[i];
        out[i] = taken;
    }
}

void Filter(const double* x, double* out, int n, int quiet, int from, SeriesState& state) {
    int signalled = from > 0 ? state.count : -1;
    for (int i = from; i < n; ++i) {
        if (i == n - 1) state.count = signalled;
        // A signal at bar s silences bars s+1 .. s+quiet.
        const bool signal = IsTrueAt(x, i) && (signalled < 0 || i - signalled > quiet);
        if (signal) signalled = i;
        out[i] = Truth(signal);
    }
}

void BarsFromFirst(const double* x, double* out, int n, bool truth, int from, SeriesState& state) {
    int first = from > 0 ? state.count : -1;
    for (int i = from; i < n; ++i) {
        if (i == n - 1) state.count = first;
        if (first < 0 && (truth ? IsTrueAt(x, i) : HasValue(x[i]))) first = i;
        if (first < 0) {
            out[i] = kNoValue;
        } else {
            out[i] = static_cast<double>(i - first + (truth ? 0 : 1));
        }
    }
}

void BarsLastCount(const double* x, double* out, int n, int from, SeriesState& state) {
    int run = from > 0 ? state.count : 0;
    for (int i = from; i < n; ++i) {
        if (i == n - 1) state.count = run;
        run = IsTrueAt(x, i) ? run + 1 : 0;
        out[i] = run;
    }
}

}  // namespace qelt::formula
