#pragma once
// A reference for the values of the formula language: each operator and function computed
// bar by bar straight from its definition (a window summed over all its bars at every bar,
// in long double), from the parser's checked tree, sharing nothing with the compiler and the
// column kernels. Meant for short series (its windows cost N a bar): the fuzz target and the
// random-formula test compare the engine's outputs with it.
//
// Every value carries how far the engine's may lie from it (`err`: the windowed sums round
// otherwise than the reference, and what is made of them inherits it) and whether a decision
// on it was too close to call (`fragile`: a comparison of two values within their errors, a
// division by a value that may be 0); a fragile value is not compared. A value without error
// must be the engine's exactly.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "data/Bar.h"
#include "formula/Formula.h"

namespace qelt::test {

struct ReferenceValue {
    double v;          ///< NaN: no value
    double err = 0.0;  ///< the engine's value lies within err of v
    bool fragile = false;
};
using ReferenceColumn = std::vector<ReferenceValue>;

/// A drawing statement's columns: a mark is due at each bar where `condition` is true and
/// `p1` and `p2` have values (`p2` is 0 at every bar for the drawings with one value).
struct ReferenceDrawing {
    ReferenceColumn condition, p1, p2;
};

struct ReferenceResult {
    bool compiled = false;                   ///< the text and parameters compile
    bool constantsOk = false;                ///< the constant arguments lie in their ranges at `values`
    std::vector<ReferenceColumn> outputs;    ///< in statement order, when both hold
    std::vector<ReferenceDrawing> drawings;  ///< likewise
};

/// The outputs of `text` over `bars` with the parameters' `values` (their defaults where not
/// given).
ReferenceResult ReferenceOutputs(std::string_view text, const std::vector<FormulaParameter>& parameters,
                                 const std::vector<double>& values, const BarSeries& bars);

/// The first place the engine's run differs from the reference beyond what the reference
/// allows ("output 1, bar 7: 120 against 70", "drawing 0, bar 3: no mark"), or nothing. The
/// marks must come in bar order, then statement order.
std::optional<std::string> DifferenceFromReference(const ReferenceResult& reference, bool ran,
                                                   const FormulaRun& run);

}  // namespace qelt::test
