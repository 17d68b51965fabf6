#pragma once
/// Running sums that survive what a series can hold (private to the series functions).
#include <cmath>
#include <vector>

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
/// sum of squares, and leave it infinite for good. Such a column is scaled by a power of two
/// (exact: only the exponent changes) into `scaled` so that no magnitude exceeds 2^400; the
/// caller multiplies its results by `scale` (a power of two as well) to undo it. Returns x
/// itself (scale 1) when nothing needs scaling, which is every real series.
inline const double* Tamed(const double* x, int n, std::vector<double>& scaled, double& scale) {
    double largest = 0.0;
    for (int i = 0; i < n; ++i) {
        const double magnitude = std::fabs(x[i]);
        largest = magnitude > largest ? magnitude : largest;  // a NaN compares false: passed over
    }
    scale = 1.0;
    if (!(largest > std::ldexp(1.0, 400))) return x;
    const int exponent = std::ilogb(largest) - 400;
    scale = std::ldexp(1.0, exponent);
    const double shrink = std::ldexp(1.0, -exponent);
    scaled.resize(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) scaled[static_cast<std::size_t>(i)] = x[i] * shrink;
    return scaled.data();
}

}  // namespace qelt::formula
