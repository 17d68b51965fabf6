#pragma once
/// Running sums that survive what a series can hold (private to the series functions).
#include <cmath>

namespace qelt::formula {

/// A running sum that keeps the low-order part each addition rounds away (Neumaier's
/// compensated summation). Adding a value and later its negation leaves the other values'
/// sum exact: after 1e17 has entered and left a window of small prices, their sum is theirs
/// alone, where a plain running sum would have lost them to the rounding of 1e17 + price.
struct CompensatedSum {
    double sum = 0.0;
    double lost = 0.0;

    void Add(double v) {
        const double t = sum + v;
        lost += std::fabs(sum) >= std::fabs(v) ? (sum - t) + v : (v - t) + sum;
        sum = t;
    }
    double Value() const { return sum + lost; }
    void Clear() { sum = lost = 0.0; }
};

/// Values near the limit of a double (a hostile bar of 1e300) would overflow a sum, or a
/// sum of squares, and leave it infinite for good. Such "huge" values, beyond kHugeLimit, are
/// summed apart, scaled by kHugeScale (exact: only the exponent changes), and the results
/// scaled back. Every value a market sends lies far below the limit and is summed as it is,
/// tiny ones included; and a bar's result depends on its own window only, never on a huge
/// value before or after it.
inline constexpr double kHugeLimit = 0x1p400;
inline constexpr double kHugeScale = 0x1p-600;
inline constexpr double kHugeUnscale = 0x1p600;

inline bool IsHuge(double v) { return std::fabs(v) > kHugeLimit; }

}  // namespace qelt::formula
