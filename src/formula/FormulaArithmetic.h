#pragma once
/// The value rules of the operators and the per-bar functions, one bar at a time: shared by
/// the column kernels and by the checker's constant arithmetic, so a constant argument is
/// computed exactly as the same expression over a column.
///
/// "No value" is a quiet NaN. A result that is not finite (a division by zero, an overflow)
/// has no value either; with one operand without a value, the result has none.
#include <cmath>
#include <limits>

namespace qelt::formula {

inline constexpr double kNoValue = std::numeric_limits<double>::quiet_NaN();

inline bool HasValue(double x) { return x == x; }

/// The value itself when finite, otherwise no value. (x - x is 0 exactly for a finite x and
/// NaN for an infinity or a NaN: one subtraction and a compare, which vectorise.)
inline double Valued(double x) { return x - x == 0.0 ? x : kNoValue; }

inline double Truth(bool holds) { return holds ? 1.0 : 0.0; }

inline double AddOp(double a, double b) { return Valued(a + b); }
inline double SubtractOp(double a, double b) { return Valued(a - b); }
inline double MultiplyOp(double a, double b) { return Valued(a * b); }
inline double DivideOp(double a, double b) { return Valued(a / b); }

inline double GreaterOp(double a, double b) { return HasValue(a) && HasValue(b) ? Truth(a > b) : kNoValue; }
inline double LessOp(double a, double b) { return HasValue(a) && HasValue(b) ? Truth(a < b) : kNoValue; }
inline double GreaterEqualOp(double a, double b) {
    return HasValue(a) && HasValue(b) ? Truth(a >= b) : kNoValue;
}
inline double LessEqualOp(double a, double b) {
    return HasValue(a) && HasValue(b) ? Truth(a <= b) : kNoValue;
}
inline double EqualOp(double a, double b) { return HasValue(a) && HasValue(b) ? Truth(a == b) : kNoValue; }
inline double NotEqualOp(double a, double b) { return HasValue(a) && HasValue(b) ? Truth(a != b) : kNoValue; }

inline double AndOp(double a, double b) {
    return HasValue(a) && HasValue(b) ? Truth(a != 0.0 && b != 0.0) : kNoValue;
}
inline double OrOp(double a, double b) {
    return HasValue(a) && HasValue(b) ? Truth(a != 0.0 || b != 0.0) : kNoValue;
}
inline double NotOp(double a) { return HasValue(a) ? Truth(a == 0.0) : kNoValue; }
inline double NegateOp(double a) { return -a; }

inline double AbsOp(double a) { return std::fabs(a); }
inline double SqrtOp(double a) { return a >= 0.0 ? std::sqrt(a) : kNoValue; }
inline double LnOp(double a) { return a > 0.0 ? std::log(a) : kNoValue; }
inline double MaxOp(double a, double b) { return HasValue(a) && HasValue(b) ? (a > b ? a : b) : kNoValue; }
inline double MinOp(double a, double b) { return HasValue(a) && HasValue(b) ? (a < b ? a : b) : kNoValue; }
/// POW: pow(x, 0) is 1 even for a NaN x, so both values are asked for first; a negative
/// to a fraction (NaN) and an overflow have no value.
inline double PowOp(double a, double b) {
    return HasValue(a) && HasValue(b) ? Valued(std::pow(a, b)) : kNoValue;
}
inline double ExpOp(double a) { return Valued(std::exp(a)); }
/// LOG: base 10, no value for x <= 0 as LN.
inline double LogOp(double a) { return a > 0.0 ? std::log10(a) : kNoValue; }
inline double SignOp(double a) { return a > 0.0 ? 1.0 : a < 0.0 ? -1.0 : a == 0.0 ? 0.0 : kNoValue; }
/// IF: only the branch taken needs a value.
inline double IfOp(double x, double a, double b) { return HasValue(x) ? (x != 0.0 ? a : b) : kNoValue; }

}  // namespace qelt::formula
