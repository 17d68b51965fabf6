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
/// sum of squares, and leave it infinite for good. Such a column is scaled by 2^-exponent
/// (exact: only the exponent changes) into `scaled` so that no magnitude exceeds 2^400;
/// the caller scales its result back by 2^exponent. Returns x itself (exponent 0) when
/// nothing needs scaling, which is every real series.
inline const double* Tamed(const double* x, int n, std::vector<double>& scaled, int& exponent) {
    double largest = 0.0;
    for (int i = 0; i < n; ++i) largest = std::fmax(largest, std::fabs(x[i]));  // fmax passes NaN over
    exponent = 0;
    if (!(largest > std::ldexp(1.0, 400))) return x;
    exponent = std::ilogb(largest) - 400;
    scaled.resize(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) scaled[static_cast<std::size_t>(i)] = std::ldexp(x[i], -exponent);
    return scaled.data();
}

}  // namespace qelt::formula
