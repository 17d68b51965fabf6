// VOL, CCL, VR, OBV and PVT: the volume and position group.
#include <algorithm>

#include "common/FloatLanes.h"
#include "indicators/Averages.h"
#include "indicators/BlockQuotients.h"
#include "indicators/ComputeSupport.h"
#include "indicators/IndicatorComputations.h"

namespace qelt {

using namespace compute;

namespace {

/// VOL and CCL: the field itself over the whole series and its averages over 5 and 10 bars.
void FieldWithAverages(const std::int32_t* field, int n, IndicatorResult& result) {
    Reset(result, 3);
    if (n <= 0) return;
    IndicatorCheckpoint& checkpoint = result.checkpoint;
    const int from = ResumeBar(result, n - 1);
    Place(result.lines[0], 0, n - 1);
    for (int i = from; i < n; ++i) result.lines[0].values[static_cast<std::size_t>(i)] = field[i];
    const float sum5 = FieldAverageFrom(field, n, 5, from, from ? checkpoint.sums[0] : 0.0f, result.lines[1]);
    const float sum10 =
        FieldAverageFrom(field, n, 10, from, from ? checkpoint.sums[1] : 0.0f, result.lines[2]);
    checkpoint.bar = n - 1;
    checkpoint.sums = {sum5, sum10, 0.0f, 0.0f};
}

}  // namespace

void ComputeVol(BarColumns& bars, const IndicatorWindow&, const IndicatorParameters&,
                IndicatorResult& result) {
    const int n = bars.Size();
    FieldWithAverages(bars.Num(0, n), n, result);
}

void ComputeCcl(BarColumns& bars, const IndicatorWindow&, const IndicatorParameters&,
                IndicatorResult& result) {
    const int n = bars.Size();
    FieldWithAverages(bars.Pure(0, n), n, result);
}

void ComputeVr(BarColumns& bars, const IndicatorWindow& window, const IndicatorParameters& table,
               IndicatorResult& result) {
    const int period = table[param::kVrPeriod];
    const int average = table[param::kVrAverage];
    if (!AllAtLeast(1, {period, average})) return Reset(result, 2, false);
    const Span s = Clip(window, bars.Size());
    Reset(result, 2);
    if (s.Empty()) return;
    const int start = BarAt(std::int64_t{s.f} - period, s.l);
    bars.Read(kOpen | kClose | kNum, start, s.l + 1);
    const float* open = bars.Open(start, s.l + 1);
    const float* close = bars.Close(start, s.l + 1);
    const std::int32_t* num = bars.Num(start, s.l + 1);
    // Volume sums of the last N bars by the bar's own direction: rising, falling, flat.
    std::int64_t sums[3] = {0, 0, 0};
    auto kind = [&](int i) { return int{open[i] > close[i]} + 2 * int{open[i] == close[i]}; };
    IndicatorLine& vr = Place(result.lines[0], s.f, s.l);
    for (int i = start; i <= s.l; ++i) {
        sums[kind(i)] += num[i];
        if (std::int64_t{i} - period >= start) sums[kind(i - period)] -= num[i - period];
        if (i < s.f) continue;
        float value = 100.0f;
        if (sums[1] != 0 || sums[2] != 0) {
            float halfFlat = static_cast<float>(sums[2]) / 2.0f;
            value =
                100.0f * (static_cast<float>(sums[0]) + halfFlat) / (static_cast<float>(sums[1]) + halfFlat);
        }
        vr.values[static_cast<std::size_t>(i - s.f)] = value;
    }
    PartialWindowAverage(vr, average, result.lines[1]);
}

void ComputeObv(BarColumns& bars, const IndicatorWindow& window, const IndicatorParameters&,
                IndicatorResult& result) {
    const Span s = Clip(window, bars.Size());
    Reset(result, 1);
    if (s.Empty()) return;
    IndicatorCheckpoint& checkpoint = result.checkpoint;
    const int from = ResumeBar(result, s.l);
    bars.Read(kOpen | kClose | kNum, 0, s.l + 1);
    const float* open = bars.Open(0, s.l + 1);
    const float* close = bars.Close(0, s.l + 1);
    const std::int32_t* num = bars.Num(0, s.l + 1);
    IndicatorLine& obv = Place(result.lines[0], 0, s.l);
    std::int64_t total = from ? checkpoint.total : 0;
    for (int i = from; i <= s.l; ++i) {
        if (i == s.l) checkpoint.total = total;
        const std::int64_t sign = 1 - 2 * std::int64_t{open[i] > close[i]};  // falling bars subtract
        total += sign * num[i];
        obv.values[static_cast<std::size_t>(i)] = static_cast<double>(total);
    }
    checkpoint.bar = s.l;
}

void ComputePvt(BarColumns& bars, const IndicatorWindow& window, const IndicatorParameters& table,
                IndicatorResult& result) {
    const int average = table[param::kPvtAverage];
    if (average < 1) return Reset(result, 2, false);
    const Span s = Clip(window, bars.Size());
    Reset(result, 2);
    if (s.Empty()) return;
    IndicatorCheckpoint& checkpoint = result.checkpoint;
    const int from = ResumeBar(result, s.l);
    bars.Read(kClose | kNum, 0, s.l + 1);
    const float* close = bars.Close(0, s.l + 1);
    const std::int32_t* num = bars.Num(0, s.l + 1);
    IndicatorLine& pvt = Place(result.lines[0], 0, s.l);
    float value = from ? checkpoint.sums[0]
                       : 0.0f;  // a previous close of 0 makes this and every later value non-finite
    if (from == 0) pvt.values[0] = 0.0;
    // The running value goes bar after bar; each bar's term before it, and the widening to the
    // line's doubles after it, go four at a time a block at a time.
    alignas(16) float terms[kQuotientBlock], values[kQuotientBlock];
    for (int begin = std::max(from, 1); begin <= s.l; begin += kQuotientBlock) {
        const int count = std::min(kQuotientBlock, s.l + 1 - begin);
        int k = 0;
        for (; k + lanes::kWidth <= count; k += lanes::kWidth) {
            const int i = begin + k;
            const lanes::Floats ratio = lanes::Load(close + i) / lanes::Load(close + i - 1);
            lanes::Store(terms + k, lanes::FromInts(num + i) * (ratio - 1.0f));
        }
        for (; k < count; ++k) {
            const int i = begin + k;
            terms[k] = static_cast<float>(num[i]) * (close[i] / close[i - 1] - 1.0f);
        }
        const int plain = begin + count > s.l ? count - 1 : count;  // bar l apart: the checkpoint
        for (k = 0; k < plain; ++k) values[k] = value = value + terms[k];
        if (plain < count) {
            checkpoint.sums[0] = value;
            values[plain] = value = value + terms[plain];
        }
        double* out = pvt.values.data() + begin;
        for (k = 0; k + lanes::kWidth <= count; k += lanes::kWidth)
            lanes::StoreDoubles(out + k, lanes::Load(values + k));
        for (; k < count; ++k) out[k] = values[k];
    }
    checkpoint.sums[1] =
        SeriesAverageFrom(pvt, average, from, from ? checkpoint.sums[1] : 0.0f, result.lines[1]);
    checkpoint.bar = s.l;
}

}  // namespace qelt
