#pragma once
/// A formula used as a condition: true at a bar when its first output (in statement order,
/// drawn or NODRAW) has a value there and that value is not 0. Any formula can be one; its
/// other outputs are shown beside the verdict.
#include "formula/Formula.h"

namespace qelt {

/// A condition's value read as a verdict: no value (NaN) and 0 are false.
inline bool IsConditionTrue(double value) { return HasFormulaValue(value) && value != 0.0; }

/// The condition computed by `run` at `bar`: false outside the series and when the run
/// holds no output (a run that failed on its constant arguments has no values).
inline bool ConditionAt(const FormulaRun& run, int bar) {
    const std::span<const double> first = run.Column(0);
    if (bar < 0 || static_cast<std::size_t>(bar) >= first.size()) return false;
    return IsConditionTrue(first[static_cast<std::size_t>(bar)]);
}

}  // namespace qelt
