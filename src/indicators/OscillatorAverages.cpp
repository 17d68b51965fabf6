// ADTM, BBI, AMV and CCI: the oscillators built on averages.
#include <algorithm>

#include "common/FloatLanes.h"
#include "common/Numbers.h"
#include "indicators/Averages.h"
#include "indicators/BlockQuotients.h"
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
    IndicatorCheckpoint& checkpoint = result.checkpoint;
    const int from = ResumeBar(result, n - 1);
    IndicatorLine& adtm = Place(result.lines[0], 0, n - 1);
    // DTM and DBM of every bar that enters or leaves the sums, four bars at a time: each
    // depends on its bar and the one before only.
    const int start = std::max(from - period, 0);
    float* rise = Scratch(0, static_cast<std::size_t>(n)).data();
    float* fall = Scratch(1, static_cast<std::size_t>(n)).data();
    rise[0] = fall[0] = 0.0f;
    int i = std::max(start, 1);
    for (; i + lanes::kWidth <= n; i += lanes::kWidth) {
        const lanes::Floats o = lanes::Load(open + i), before = lanes::Load(open + i - 1);
        const lanes::Floats move = o - before;
        lanes::Store(rise + i, lanes::KeepWhere(lanes::Max(lanes::Load(high + i) - o, move), o > before));
        lanes::Store(fall + i, lanes::KeepWhere(lanes::Max(o - lanes::Load(low + i), move), o < before));
    }
    for (; i < n; ++i) {
        rise[i] = Keep(std::max(high[i] - open[i], open[i] - open[i - 1]), open[i] > open[i - 1]);
        fall[i] = Keep(std::max(open[i] - low[i], open[i] - open[i - 1]), open[i] < open[i - 1]);
    }
    float riseSum = from ? checkpoint.sums[0] : 0.0f, fallSum = from ? checkpoint.sums[1] : 0.0f;
    // ADTM is (STM - SBM) / STM when STM is ahead by more than 0.001, (STM - SBM) / SBM when
    // behind by more, else 0: the divisor is picked without a branch, the division done in
    // blocks and the near ties made 0 after it.
    DivideByBlocks(
        from, n, adtm.values.data() + from,
        [&](int i, float& numerator, float& denominator) {
            if (i == n - 1) checkpoint.sums[0] = riseSum, checkpoint.sums[1] = fallSum;
            riseSum += rise[i];
            fallSum += fall[i];
            if (i >= period) {
                riseSum -= rise[i - period];
                fallSum -= fall[i - period];
            }
            const float difference = riseSum - fallSum;
            numerator = difference;
            denominator = difference > 0.001f ? riseSum : fallSum;
        },
        [](lanes::Floats quotient, lanes::Floats difference) {
            return lanes::KeepWhere(quotient, (difference > 0.001f) | (difference < -0.001f));
        });
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
    // The four bar-field moving averages advance together, one in each lane: every lane adds
    // and subtracts exactly what its own average would, and the four divisions cost one.
    IndicatorCheckpoint& checkpoint = result.checkpoint;
    const int from = ResumeBar(result, n - 1);
    lanes::Floats sums = lanes::Same(0.0f), averages = lanes::Same(0.0f);
    if (from > 0) sums = lanes::Load(checkpoint.sums.data());
    const lanes::Floats divisors = {static_cast<float>(periods[0]), static_cast<float>(periods[1]),
                                    static_cast<float>(periods[2]), static_cast<float>(periods[3])};
    IndicatorLine& bbi = Place(result.lines[0], periods[3] - 1, n - 1);
    auto enter = [&](int i) {  // bar i joins every sum
        if (i == n - 1) lanes::Store(checkpoint.sums.data(), sums);
        sums += avg[i];
    };
    // Until the longest average starts, the shorter ones start one by one.
    int i = from;
    for (; i < n && i < periods[3] - 1; ++i) {
        enter(i);
        for (int k = 0; k < 4; ++k) {
            if (i < periods[k] - 1) continue;
            const float average = sums[k] / divisors[k];
            averages[k] = IsZeroValue(average) ? 0.0f : average;
            sums[k] -= avg[i - periods[k] + 1];
        }
    }
    for (; i < n; ++i) {
        enter(i);
        averages = lanes::ZeroSmall(sums / divisors);
        sums -= lanes::Floats{avg[i - periods[0] + 1], avg[i - periods[1] + 1], avg[i - periods[2] + 1],
                              avg[i - periods[3] + 1]};
        const float sum = 0.0f + averages[0] + averages[1] + averages[2] + averages[3];
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
