#include "indicators/Averages.h"

#include "common/Numbers.h"

namespace qelt {
namespace {

template <typename T>
IndicatorLine FieldAverage(const T* field, int n, int period) {
    IndicatorLine line;
    if (period < 1 || period > n || n <= 0) return line;
    line.first = period - 1;
    line.values.resize(static_cast<std::size_t>(n - period + 1));
    const float p = static_cast<float>(period);
    float sum = 0.0f;
    for (int i = 0; i < n; ++i) {
        sum += static_cast<float>(field[i]);
        if (i < period - 1) continue;
        float average = sum / p;
        line.values[static_cast<std::size_t>(i - period + 1)] = IsZeroValue(average) ? 0.0 : average;
        sum -= static_cast<float>(field[i - period + 1]);
    }
    return line;
}

}  // namespace

IndicatorLine BarFieldMovingAverage(const float* field, int n, int period) { return FieldAverage(field, n, period); }

IndicatorLine BarFieldMovingAverage(const std::int32_t* field, int n, int period) {
    return FieldAverage(field, n, period);
}

IndicatorLine SeriesMovingAverage(const IndicatorLine& input, int period) {
    IndicatorLine line;
    const int n = static_cast<int>(input.values.size());
    if (period < 1 || period > n) return line;
    line.first = input.first + period - 1;
    line.values.resize(static_cast<std::size_t>(n - period + 1));
    const float p = static_cast<float>(period);
    float sum = 0.0f;
    for (int i = 0; i < n; ++i) {
        sum += static_cast<float>(input.values[static_cast<std::size_t>(i)]);
        if (i < period - 1) continue;
        line.values[static_cast<std::size_t>(i - period + 1)] = sum / p;
        sum -= static_cast<float>(input.values[static_cast<std::size_t>(i - period + 1)]);
    }
    return line;
}

IndicatorLine PartialWindowAverage(const IndicatorLine& input, int period) {
    IndicatorLine line;
    if (period < 1) return line;
    const std::size_t n = input.values.size();
    line.first = input.first;
    line.values.resize(n);
    const std::size_t p = static_cast<std::size_t>(period);
    float sum = 0.0f;
    for (std::size_t j = 0; j < n; ++j) {
        sum += static_cast<float>(input.values[j]);
        if (j < p) {
            line.values[j] = sum / static_cast<float>(j + 1);
            continue;
        }
        sum -= static_cast<float>(input.values[j - p]);
        line.values[j] = sum / static_cast<float>(period);
    }
    return line;
}

}  // namespace qelt
