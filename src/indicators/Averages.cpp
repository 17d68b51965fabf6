#include "indicators/Averages.h"

#include <algorithm>
#include <array>

#include "common/Numbers.h"
#include "indicators/BlockQuotients.h"
#include "indicators/ComputeSupport.h"

namespace qelt {

std::vector<float>& compute::Scratch(int slot, std::size_t count) {
    thread_local std::array<std::vector<float>, 8> buffers;
    std::vector<float>& buffer = buffers[static_cast<std::size_t>(slot)];
    if (buffer.size() < count) buffer.resize(count);
    return buffer;
}

namespace compute {

namespace {

/// The moving average of `period` values of `in` (n of them) from value `from` on, the running
/// sum picked up at `sum`, into `values` (one per value from period - 1 on); `finish` as for
/// DivideByBlocks. Returns the sum before the last value. The sum runs value after value, a
/// block at a time; the block's divisions by the period go four at a time.
template <typename T, typename Finish>
float RunningAverageFrom(const T* in, int n, int period, int from, float sum, double* values, Finish finish) {
    float before = sum;
    int i = from;
    for (; i < n && i < period - 1; ++i) {
        if (i == n - 1) before = sum;
        sum += static_cast<float>(in[i]);
    }
    if (i >= n) return before;
    const lanes::Floats p = lanes::Same(static_cast<float>(period));
    alignas(16) float sums[kQuotientBlock];
    for (int begin = i; begin < n; begin += kQuotientBlock) {
        const int count = std::min(kQuotientBlock, n - begin);
        // The value n - 1 apart, so that the loop keeps the sum alone in its register.
        const int plain = begin + count == n ? count - 1 : count;
        for (int k = 0; k < plain; ++k) {
            const int j = begin + k;
            sum += static_cast<float>(in[j]);
            sums[k] = sum;
            sum -= static_cast<float>(in[j - period + 1]);
        }
        if (plain < count) {
            before = sum;
            sum += static_cast<float>(in[n - 1]);
            sums[plain] = sum;
            sum -= static_cast<float>(in[n - period]);
        }
        for (int k = count; k % lanes::kWidth != 0; ++k) sums[k] = 0.0f;
        double* out = values + (begin - period + 1);
        for (int k = 0; k < count; k += lanes::kWidth) {
            const lanes::Floats numerator = lanes::Load(sums + k);
            const lanes::Floats average = finish(numerator / p, numerator);
            if (count - k >= lanes::kWidth) {
                lanes::StoreDoubles(out + k, average);
            } else {
                for (int t = 0; t < count - k; ++t) out[k + t] = static_cast<double>(average[t]);
            }
        }
    }
    return before;
}

}  // namespace

template <typename T>
float FieldAverageFrom(const T* field, int n, int period, int from, float sum, IndicatorLine& out) {
    if (period > n) {  // nothing yet; the sum still runs for a series that grows
        out.first = 0;
        out.values.clear();
    } else {
        Place(out, period - 1, n - 1);
    }
    return RunningAverageFrom(field, n, period, from, sum, out.values.data(),
                              [](lanes::Floats average, lanes::Floats) { return lanes::ZeroSmall(average); });
}

template float FieldAverageFrom(const float*, int, int, int, float, IndicatorLine&);
template float FieldAverageFrom(const std::int32_t*, int, int, int, float, IndicatorLine&);

float SeriesAverageFrom(const IndicatorLine& input, int period, int from, float sum, IndicatorLine& out) {
    const int n = static_cast<int>(input.values.size());
    if (period > n) {
        out.first = 0;
        out.values.clear();
    } else {
        Place(out, input.first + period - 1, input.Last());
    }
    return RunningAverageFrom(input.values.data(), n, period, from, sum, out.values.data(), &Quotient);
}

}  // namespace compute

namespace {

template <typename T>
void FieldAverage(const T* field, int n, int period, IndicatorLine& out) {
    if (period < 1 || n <= 0) {
        out.first = 0;
        out.values.clear();
        return;
    }
    compute::FieldAverageFrom(field, n, period, 0, 0.0f, out);
}

template <typename Run>
IndicatorLine Returned(Run run) {
    IndicatorLine line;
    run(line);
    return line;
}

}  // namespace

void BarFieldMovingAverage(const float* field, int n, int period, IndicatorLine& out) {
    FieldAverage(field, n, period, out);
}

void BarFieldMovingAverage(const std::int32_t* field, int n, int period, IndicatorLine& out) {
    FieldAverage(field, n, period, out);
}

IndicatorLine BarFieldMovingAverage(const float* field, int n, int period) {
    return Returned([&](IndicatorLine& out) { FieldAverage(field, n, period, out); });
}

IndicatorLine BarFieldMovingAverage(const std::int32_t* field, int n, int period) {
    return Returned([&](IndicatorLine& out) { FieldAverage(field, n, period, out); });
}

void SeriesMovingAverage(const IndicatorLine& input, int period, IndicatorLine& out) {
    if (period < 1) {
        out.first = 0;
        out.values.clear();
        return;
    }
    compute::SeriesAverageFrom(input, period, 0, 0.0f, out);
}

IndicatorLine SeriesMovingAverage(const IndicatorLine& input, int period) {
    return Returned([&](IndicatorLine& out) { SeriesMovingAverage(input, period, out); });
}

void PartialWindowAverage(const IndicatorLine& input, int period, IndicatorLine& out) {
    out.first = input.first;
    if (period < 1) {
        out.values.clear();
        return;
    }
    const std::size_t n = input.values.size();
    out.values.resize(n);
    const double* in = input.values.data();
    const std::size_t p = static_cast<std::size_t>(period);
    float sum = 0.0f;
    for (std::size_t j = 0; j < n; ++j) {
        sum += static_cast<float>(in[j]);
        if (j < p) {
            out.values[j] = sum / static_cast<float>(j + 1);
            continue;
        }
        sum -= static_cast<float>(in[j - p]);
        out.values[j] = sum / static_cast<float>(period);
    }
}

IndicatorLine PartialWindowAverage(const IndicatorLine& input, int period) {
    return Returned([&](IndicatorLine& out) { PartialWindowAverage(input, period, out); });
}

}  // namespace qelt
