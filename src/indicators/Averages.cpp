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

namespace {

template <typename T>
void FieldAverage(const T* field, int n, int period, IndicatorLine& out) {
    out.first = 0;
    out.values.clear();
    if (period < 1 || period > n || n <= 0) return;
    out.first = period - 1;
    out.values.resize(static_cast<std::size_t>(n - period + 1));
    double* values = out.values.data();
    const float p = static_cast<float>(period);
    float sum = 0.0f;
    for (int i = 0; i < period - 1; ++i) sum += static_cast<float>(field[i]);
    for (int i = period - 1; i < n; ++i) {
        sum += static_cast<float>(field[i]);
        const float average = sum / p;
        values[i - period + 1] = IsZeroValue(average) ? 0.0 : average;
        sum -= static_cast<float>(field[i - period + 1]);
    }
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
    out.first = 0;
    out.values.clear();
    const int n = static_cast<int>(input.values.size());
    if (period < 1 || period > n) return;
    out.first = input.first + period - 1;
    out.values.resize(static_cast<std::size_t>(n - period + 1));
    const double* in = input.values.data();
    const float p = static_cast<float>(period);
    float sum = 0.0f;
    for (int i = 0; i < period - 1; ++i) sum += static_cast<float>(in[i]);
    for (int i = period - 1; i < n; ++i) {
        sum += static_cast<float>(in[i]);
        out.values[static_cast<std::size_t>(i - period + 1)] = sum / p;
        sum -= static_cast<float>(in[i - period + 1]);
    }
}

IndicatorLine SeriesMovingAverage(const IndicatorLine& input, int period) {
    return Returned([&](IndicatorLine& out) { SeriesMovingAverage(input, period, out); });
}

void PartialWindowAverage(const IndicatorLine& input, int period, IndicatorLine& out) {
    out.first = input.first;
    out.values.clear();
    if (period < 1) return;
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
