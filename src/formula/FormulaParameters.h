#pragma once
/// A formula's parameters: 0 to 6 named constants whose values the user sets within their
/// ranges, as for the built-in indicators.
#include <optional>
#include <string>
#include <vector>

#include "formula/FormulaError.h"

namespace qelt {

struct FormulaParameter {
    /// A user's name: ASCII letters, "_", CJK letters and (after the first) digits; not a
    /// data name, a function, an attribute or AND/OR/NOT; unique without case.
    std::string name;
    double defaultValue = 0.0;  ///< minimum <= default <= maximum, all finite (decimals allowed)
    double minimum = 0.0;
    double maximum = 0.0;

    friend bool operator==(const FormulaParameter&, const FormulaParameter&) = default;
};

inline constexpr int kMaxFormulaParameters = 6;

/// The first problem of the list, or nothing: more than kMaxFormulaParameters, a name that
/// is not a user's name or is taken, a bound that is not finite, minimum above maximum, a
/// default outside the range. The error names the parameter by index (FormulaError::parameter).
std::optional<FormulaError> CheckParameters(const std::vector<FormulaParameter>& parameters);

/// The parameter dialog's rule for a value the user typed: nothing when `value` lies within
/// the parameter's range, otherwise the message with the range ("N 的值必须在 1 到 100 之间").
std::optional<std::string> CheckParameterValue(const FormulaParameter& parameter, double value);

/// The values to compute with: `values` where given (extra ones ignored), the defaults for
/// the parameters after them.
std::vector<double> ParameterValues(const std::vector<FormulaParameter>& parameters,
                                    const std::vector<double>& values);

}  // namespace qelt
