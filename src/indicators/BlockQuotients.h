#pragma once
/// Loops that end each bar's value with a division nothing later waits on (an average, a
/// ratio): the running sums advance one bar after the other, as they must for their rounding,
/// and the divisions of a block of bars go four at a time (common/FloatLanes.h).
#include <algorithm>

#include "common/FloatLanes.h"

namespace qelt::compute {

inline constexpr int kQuotientBlock = 64;

/// Keeps every quotient as it is.
inline lanes::Floats Quotient(lanes::Floats quotient, lanes::Floats /*numerator*/) { return quotient; }

/// For bars [from, to) in order, `step(i, numerator, denominator)` sets the two floats of bar
/// i; `out[i - from]` becomes finish(numerator / denominator, numerator), widened to a double.
template <typename Step, typename Finish = decltype(&Quotient)>
void DivideByBlocks(int from, int to, double* out, Step step, Finish finish = &Quotient) {
    alignas(16) float numerators[kQuotientBlock];
    alignas(16) float denominators[kQuotientBlock];
    for (int begin = from; begin < to; begin += kQuotientBlock) {
        const int count = std::min(kQuotientBlock, to - begin);
        for (int k = 0; k < count; ++k) step(begin + k, numerators[k], denominators[k]);
        for (int k = count; k % lanes::kWidth != 0; ++k) numerators[k] = 0.0f, denominators[k] = 1.0f;
        double* values = out + (begin - from);
        for (int k = 0; k < count; k += lanes::kWidth) {
            const lanes::Floats numerator = lanes::Load(numerators + k);
            const lanes::Floats quotient = finish(numerator / lanes::Load(denominators + k), numerator);
            if (count - k >= lanes::kWidth) {
                lanes::StoreDoubles(values + k, quotient);
            } else {
                for (int j = 0; j < count - k; ++j) values[k + j] = static_cast<double>(quotient[j]);
            }
        }
    }
}

}  // namespace qelt::compute
