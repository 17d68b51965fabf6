// ADTM, BBI, AMV and CCI: the oscillators built on averages.
#include <algorithm>

#include "common/Numbers.h"
#include "indicators/Averages.h"
#include "indicators/ComputeSupport.h"
#include "indicators/IndicatorComputations.h"

namespace qelt {

using namespace compute;

void ComputeAdtm(BarColumns& bars, const IndicatorWindow&, const IndicatorParameters& table,
                 IndicatorResult& result) {
    const int period = table[param::kAdtmPeriod];
    const int average = table[param::kAdtmAverage];
    if (!AllAtLeast(1, {period, average})) return Reset(result, 2, false);
    const int n = bars.Size();
    Reset(result, 2);
    if (n == 0) return;
    bars.Read(kOpen | kHigh | kLow, 0, n);
    const float* open = bars.Open(0, n);
    const float* high = bars.High(0, n);
    const float* low = bars.Low(0, n);
    // DTM and DBM of a bar, worked out again when it leaves the sums (cheaper than keeping them).
    auto rise = [&](int i) {
        return i == 0 ? 0.0f
                      : Keep(std::max(high[i] - open[i], open[i] - open[i - 1]), open[i] > open[i - 1]);
    };
    auto fall = [&](int i) {
        return i == 0 ? 0.0f : Keep(std::max(open[i] - low[i], open[i] - open[i - 1]), open[i] < open[i - 1]);
    };
    IndicatorCheckpoint& checkpoint = result.checkpoint;
    const int from = ResumeBar(result, n - 1);
    IndicatorLine& adtm = Place(result.lines[0], 0, n - 1);
    float riseSum = from ? checkpoint.sums[0] : 0.0f, fallSum = from ? checkpoint.sums[1] : 0.0f;
    for (int i = from; i < n; ++i) {
        if (i == n - 1) checkpoint.sums[0] = riseSum, checkpoint.sums[1] = fallSum;
        riseSum += rise(i);
        fallSum += fall(i);
        if (i >= period) {
            riseSum -= rise(i - period);
            fallSum -= fall(i - period);
        }
        const float difference = riseSum - fallSum;
        adtm.values[static_cast<std::size_t>(i)] = difference > 0.001f    ? difference / riseSum
                                                   : difference < -0.001f ? difference / fallSum
                                                                          : 0.0f;
    }
    checkpoint.sums[2] =
        SeriesAverageFrom(adtm, average, from, from ? checkpoint.sums[2] : 0.0f, result.lines[1]);
    checkpoint.bar = n - 1;
}

void ComputeBbi(BarColumns& bars, const IndicatorWindow&, const IndicatorParameters& table,
                IndicatorResult& result) {
    const int periods[4] = {table[param::kBbi1], table[param::kBbi2], table[param::kBbi3],
                            table[param::kBbi4]};
    // Every bar of the line needs all four averages: the fourth period must be the longest.
    const bool longestLast = periods[3] >= std::max({periods[0], periods[1], periods[2]});
    if (!AllAtLeast(1, {periods[0], periods[1], periods[2], periods[3]}) || !longestLast) {
        return Reset(result, 1, false);
    }
    const int n = bars.Size();
    Reset(result, 1);
    if (n == 0 || periods[3] > n) return;
    const float* avg = bars.Avg(0, n);  // the average price, not the close
    // The four bar-field moving averages advance together, each running sum in its own
    // register (one after the other, each would wait on its own additions).
    IndicatorCheckpoint& checkpoint = result.checkpoint;
    const int from = ResumeBar(result, n - 1);
    float sums[4] = {0.0f, 0.0f, 0.0f, 0.0f}, averages[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    if (from > 0) std::copy(checkpoint.sums.begin(), checkpoint.sums.end(), sums);
    float divisors[4];
    for (int k = 0; k < 4; ++k) divisors[k] = static_cast<float>(periods[k]);
    IndicatorLine& bbi = Place(result.lines[0], periods[3] - 1, n - 1);
    for (int i = from; i < n; ++i) {
        if (i == n - 1) std::copy(sums, sums + 4, checkpoint.sums.begin());
        for (int k = 0; k < 4; ++k) {
            sums[k] += avg[i];
            if (i < periods[k] - 1) continue;
            const float average = sums[k] / divisors[k];
            averages[k] = IsZeroValue(average) ? 0.0f : average;
            sums[k] -= avg[i - periods[k] + 1];
        }
        if (i < periods[3] - 1) continue;
        float sum = 0.0f;
        for (float average : averages) sum += average;
        bbi.values[static_cast<std::size_t>(i - bbi.first)] = sum / 4.0f;
    }
    checkpoint.bar = n - 1;
}

void ComputeAmv(BarColumns& bars, const IndicatorWindow& window, const IndicatorParameters& table,
                IndicatorResult& result) {
    const int periods[4] = {table[param::kAmv1], table[param::kAmv2], table[param::kAmv3],
                            table[param::kAmv4]};
    if (!AllAtLeast(1, {periods[0], periods[1], periods[2], periods[3]})) return Reset(result, 4, false);
    const Span s = Clip(window, bars.Size());
    Reset(result, 4);
    if (s.Empty()) return;
    const int start = BarAt(std::int64_t{s.l} - s.visible - periods[3] + 2, s.l);
    bars.Read(kOpen | kClose | kNum, start, s.l + 1);
    const float* open = bars.Open(start, s.l + 1);
    const float* close = bars.Close(start, s.l + 1);
    const std::int32_t* num = bars.Num(start, s.l + 1);
    const std::size_t count = static_cast<std::size_t>(s.l - start + 1);
    std::vector<float>& weight = Scratch(0, count);
    std::vector<float>& amount = Scratch(1, count);
    for (std::size_t j = 0; j < count; ++j) {
        const int i = start + static_cast<int>(j);
        weight[j] = num[i] == 0 ? 1.0f : static_cast<float>(num[i]);  // a bar without volume weighs 1
        amount[j] = weight[j] * (open[i] + close[i]) / 2.0f;
    }
    for (int k = 0; k < 4; ++k) {
        IndicatorLine& line = Place(result.lines[static_cast<std::size_t>(k)], start, s.l);
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
}

void ComputeCci(BarColumns& bars, const IndicatorWindow& window, const IndicatorParameters& table,
                IndicatorResult& result) {
    const int period = table[param::kCci];
    if (period < 1) return Reset(result, 1, false);
    const Span s = Clip(window, bars.Size());
    Reset(result, 1);
    if (s.Empty()) return;
    const int back = BarAt(std::int64_t{s.f} - period, s.l);
    bars.Read(kHigh | kLow | kClose, back, s.l + 1);
    const float* high = bars.High(s.f, s.l + 1);
    const float* low = bars.Low(s.f, s.l + 1);
    const float* close = bars.Close(back, s.l + 1);
    // Two partial-window averages in one pass: MA of the close (not the typical price) from
    // the first visible bar on, and MD of the signed terms MA - (the close P bars before).
    const std::size_t count = static_cast<std::size_t>(s.l - s.f + 1);
    const std::size_t p = static_cast<std::size_t>(period);
    std::vector<float>& terms = Scratch(0, count);
    IndicatorLine& cci = Place(result.lines[0], s.f, s.l);
    float closes = 0.0f, deviations = 0.0f;
    for (std::size_t j = 0; j < count; ++j) {
        const int i = s.f + static_cast<int>(j);
        closes += close[i];
        if (j >= p) closes -= close[i - period];
        const float average = closes / static_cast<float>(j < p ? j + 1 : p);
        terms[j] = average - close[back + static_cast<int>(j)];
        deviations += terms[j];
        if (j >= p) deviations -= terms[j - p];  // leaves exactly as it entered
        const float md = deviations / static_cast<float>(j < p ? j + 1 : p);
        const float typical = (high[i] + low[i] + close[i]) / 3.0f;
        const float distance = typical - average;
        // 0.15, not the textbook 0.015: this system's CCI runs ten times smaller.
        cci.values[j] = Abs(md) > 0.01f ? distance / (0.15f * md) : distance / 0.0015f;
    }
}

}  // namespace qelt
