#include "indicators/Averages.h"

#include <array>

#include "common/Numbers.h"
#include "indicators/ComputeSupport.h"

namespace qelt {

std::vector<float>& compute::Scratch(int slot, std::size_t count) {
    thread_local std::array<std::vector<float>, 8> buffers;
    std::vector<float>& buffer = buffers[static_cast<std::size_t>(slot)];
    if (buffer.size() < count) buffer.resize(count);
    return buffer;
}

namespace compute {

template <typename T>
float FieldAverageFrom(const T* field, int n, int period, int from, float sum, IndicatorLine& out) {
    if (period > n) {  // nothing yet; the sum still runs for a series that grows
        out.first = 0;
        out.values.clear();
    } else {
        Place(out, period - 1, n - 1);
    }
    double* values = out.values.data();
    const float p = static_cast<float>(period);
    float before = sum;
    for (int i = from; i < n; ++i) {
        if (i == n - 1) before = sum;
        sum += static_cast<float>(field[i]);
        if (i < period - 1) continue;
        const float average = sum / p;
        values[i - period + 1] = IsZeroValue(average) ? 0.0 : average;
        sum -= static_cast<float>(field[i - period + 1]);
    }
    return before;
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
    const double* in = input.values.data();
    double* values = out.values.data();
    const float p = static_cast<float>(period);
    float before = sum;
    for (int i = from; i < n; ++i) {
        if (i == n - 1) before = sum;
        sum += static_cast<float>(in[i]);
        if (i < period - 1) continue;
        values[i - period + 1] = sum / p;
        sum -= static_cast<float>(in[i - period + 1]);
    }
    return before;
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
