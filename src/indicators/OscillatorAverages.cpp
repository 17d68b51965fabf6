// ADTM, BBI, AMV and CCI: the oscillators built on averages.
#include <algorithm>

#include "indicators/Averages.h"
#include "indicators/ComputeSupport.h"
#include "indicators/IndicatorComputations.h"

namespace qelt {

using namespace compute;

IndicatorResult ComputeAdtm(BarColumns& bars, const IndicatorWindow&, const IndicatorParameters& table) {
    const int period = table[param::kAdtmPeriod];
    const int average = table[param::kAdtmAverage];
    if (!AllAtLeast(1, {period, average})) return EmptyResult(2, false);
    const int n = bars.Size();
    IndicatorResult result = EmptyResult(2);
    if (n == 0) return result;
    const float* open = bars.Open(0, n);
    const float* high = bars.High(0, n);
    const float* low = bars.Low(0, n);
    std::vector<float> rise(static_cast<std::size_t>(n)), fall(static_cast<std::size_t>(n));
    IndicatorLine& adtm = result.lines[0] = LineOver(0, n - 1);
    float riseSum = 0.0f, fallSum = 0.0f;
    for (int i = 0; i < n; ++i) {
        const std::size_t k = static_cast<std::size_t>(i);
        if (i > 0) {
            const float previousOpen = open[i - 1];
            rise[k] = open[i] <= previousOpen ? 0.0f : std::max(high[i] - open[i], open[i] - previousOpen);
            fall[k] = open[i] >= previousOpen ? 0.0f : std::max(open[i] - low[i], open[i] - previousOpen);
        }
        riseSum += rise[k];
        fallSum += fall[k];
        if (i >= period) {
            riseSum -= rise[k - static_cast<std::size_t>(period)];
            fallSum -= fall[k - static_cast<std::size_t>(period)];
        }
        const float difference = riseSum - fallSum;
        adtm.values[k] = difference > 0.001f ? difference / riseSum : difference < -0.001f ? difference / fallSum : 0.0f;
    }
    result.lines[1] = SeriesMovingAverage(adtm, average);
    return result;
}

IndicatorResult ComputeBbi(BarColumns& bars, const IndicatorWindow&, const IndicatorParameters& table) {
    const int periods[4] = {table[param::kBbi1], table[param::kBbi2], table[param::kBbi3], table[param::kBbi4]};
    // Every bar of the line needs all four averages: the fourth period must be the longest.
    const bool longestLast = periods[3] >= std::max({periods[0], periods[1], periods[2]});
    if (!AllAtLeast(1, {periods[0], periods[1], periods[2], periods[3]}) || !longestLast) {
        return EmptyResult(1, false);
    }
    const int n = bars.Size();
    IndicatorResult result = EmptyResult(1);
    if (n == 0 || periods[3] > n) return result;
    const float* avg = bars.Avg(0, n);  // the average price, not the close
    IndicatorLine averages[4];
    for (int k = 0; k < 4; ++k) averages[k] = BarFieldMovingAverage(avg, n, periods[k]);
    IndicatorLine& bbi = result.lines[0] = LineOver(periods[3] - 1, n - 1);
    for (int i = periods[3] - 1; i < n; ++i) {
        float sum = 0.0f;
        for (int k = 0; k < 4; ++k) sum += static_cast<float>(averages[k].values[static_cast<std::size_t>(i - averages[k].first)]);
        bbi.values[static_cast<std::size_t>(i - bbi.first)] = sum / 4.0f;
    }
    return result;
}

IndicatorResult ComputeAmv(BarColumns& bars, const IndicatorWindow& window, const IndicatorParameters& table) {
    const int periods[4] = {table[param::kAmv1], table[param::kAmv2], table[param::kAmv3], table[param::kAmv4]};
    if (!AllAtLeast(1, {periods[0], periods[1], periods[2], periods[3]})) return EmptyResult(4, false);
    const Span s = Clip(window, bars.Size());
    IndicatorResult result = EmptyResult(4);
    if (s.Empty()) return result;
    const int start = BarAt(std::int64_t{s.l} - s.visible - periods[3] + 2, s.l);
    const float* open = bars.Open(start, s.l + 1);
    const float* close = bars.Close(start, s.l + 1);
    const std::int32_t* num = bars.Num(start, s.l + 1);
    const std::size_t count = static_cast<std::size_t>(s.l - start + 1);
    std::vector<float> weight(count), amount(count);
    for (std::size_t j = 0; j < count; ++j) {
        const int i = start + static_cast<int>(j);
        weight[j] = num[i] == 0 ? 1.0f : static_cast<float>(num[i]);  // a bar without volume weighs 1
        amount[j] = weight[j] * (open[i] + close[i]) / 2.0f;
    }
    for (int k = 0; k < 4; ++k) {
        IndicatorLine& line = result.lines[static_cast<std::size_t>(k)] = LineOver(start, s.l);
        const std::size_t period = static_cast<std::size_t>(periods[k]);
        float amounts = 0.0f, weights = 0.0f;
        for (std::size_t j = 0; j < count; ++j) {
            amounts += amount[j];
            weights += weight[j];
            if (j >= period) {
                amounts -= amount[j - period];
                weights -= weight[j - period];
            }
            line.values[j] = amounts / weights;
        }
    }
    return result;
}

IndicatorResult ComputeCci(BarColumns& bars, const IndicatorWindow& window, const IndicatorParameters& table) {
    const int period = table[param::kCci];
    if (period < 1) return EmptyResult(1, false);
    const Span s = Clip(window, bars.Size());
    IndicatorResult result = EmptyResult(1);
    if (s.Empty()) return result;
    const int back = BarAt(std::int64_t{s.f} - period, s.l);
    const float* high = bars.High(s.f, s.l + 1);
    const float* low = bars.Low(s.f, s.l + 1);
    const float* close = bars.Close(back, s.l + 1);
    // The average is of the close (not the typical price), from the first visible bar on.
    IndicatorLine closes = LineOver(s.f, s.l);
    for (int i = s.f; i <= s.l; ++i) closes.values[static_cast<std::size_t>(i - s.f)] = close[i];
    const IndicatorLine average = PartialWindowAverage(closes, period);
    // Signed deviations: the j-th average less the close of the j-th bar from `back` on.
    IndicatorLine terms = LineOver(s.f, s.l);
    for (std::size_t j = 0; j < terms.values.size(); ++j) {
        terms.values[j] = static_cast<float>(average.values[j]) - close[back + static_cast<int>(j)];
    }
    const IndicatorLine deviation = PartialWindowAverage(terms, period);
    IndicatorLine& cci = result.lines[0] = LineOver(s.f, s.l);
    for (int i = s.f; i <= s.l; ++i) {
        const std::size_t j = static_cast<std::size_t>(i - s.f);
        const float typical = (high[i] + low[i] + close[i]) / 3.0f;
        const float md = static_cast<float>(deviation.values[j]);
        const float distance = typical - static_cast<float>(average.values[j]);
        // 0.15, not the textbook 0.015: this system's CCI runs ten times smaller.
        cci.values[j] = Abs(md) > 0.01f ? distance / (0.15f * md) : distance / 0.0015f;
    }
    return result;
}

}  // namespace qelt
