// SAR, JS and CDP of the trend group.
#include <algorithm>

#include "common/FloatLanes.h"
#include "indicators/Averages.h"
#include "indicators/ComputeSupport.h"
#include "indicators/IndicatorComputations.h"

namespace qelt {

using namespace compute;

void ComputeSar(BarColumns& bars, const IndicatorWindow& window, const IndicatorParameters& table,
                IndicatorResult& result) {
    const int days = table[param::kSarPeriod];
    // The factors are kept in hundredths; the step sits before the initial factor in the table.
    const float step = static_cast<float>(table[param::kSarStep]) / 100.0f;
    const float initial = static_cast<float>(table[param::kSarInitial]) / 100.0f;
    const float ceiling = static_cast<float>(table[param::kSarCeiling]) / 100.0f;
    // The rule looks two bars back from bar N: N below 2 would read before the first bar.
    if (days < 2) return Reset(result, 1, false);
    const int n = bars.Size();
    const Span s = Clip(window, n);
    Reset(result, 1, true, true);
    if (s.Empty() || days >= n) {
        result.rising.clear();
        return;
    }
    const int last = std::max(s.l, days - 1);
    const int to = std::max(s.l, days) + 1;
    bars.Read(kOpen | kClose | kHigh | kLow, 0, to);
    const float* open = bars.Open(0, to);
    const float* close = bars.Close(0, to);
    const float* high = bars.High(0, to);
    const float* low = bars.Low(0, to);

    IndicatorLine& line = Place(result.lines[0], days - 1, last);
    result.rising.resize(line.values.size());
    IndicatorCheckpoint& checkpoint = result.checkpoint;
    const int from = ResumeBar(result, last, days);
    bool rising = checkpoint.rising;
    float sar = from > 0 ? checkpoint.sums[0] : 0.0f;
    float factor = checkpoint.sums[1];
    if (from == 0) {
        rising = open[0] < close[days - 1];
        sar = open[days];
        for (int i = 0; i < days; ++i) sar = rising ? std::min(sar, low[i]) : std::max(sar, high[i]);
        factor = initial;
        line.values[0] = sar;
        result.rising[0] = rising;
    }
    for (int i = std::max(from, days); i <= last; ++i) {
        if (i == last) checkpoint.sums[0] = sar, checkpoint.sums[1] = factor, checkpoint.rising = rising;
        const float previous = sar;
        if (factor < ceiling) factor += step;  // may pass the ceiling by less than one step
        // Rising: follows a new high of the bar before; falling: a new low.
        const float extreme = rising ? high[i - 1] : low[i - 1];
        const bool follows = rising ? high[i - 2] < high[i - 1] : low[i - 2] > low[i - 1];
        // Masked in a vector register: the bit mask through an integer register would add two
        // moves to the chain every bar waits on.
        const lanes::Ints keep = lanes::Ints{} - static_cast<std::int32_t>(follows);
        sar = previous + lanes::KeepWhere(lanes::Same((extreme - previous) * factor), keep)[0];
        if (rising ? close[i] < sar : close[i] > sar) {
            factor = initial;
            rising = !rising;
            for (int j = i - days + 1; j <= i; ++j)
                sar = rising ? std::min(sar, low[j]) : std::max(sar, high[j]);
        }
        const std::size_t k = static_cast<std::size_t>(i - days + 1);
        line.values[k] = sar;
        result.rising[k] = rising;
    }
    checkpoint.bar = last;
}

void ComputeJs(BarColumns& bars, const IndicatorWindow& window, const IndicatorParameters& table,
               IndicatorResult& result) {
    const int days = table[param::kJsPeriod];
    const int a1 = table[param::kJsAverage1], a2 = table[param::kJsAverage2], a3 = table[param::kJsAverage3];
    if (!AllAtLeast(1, {days, a1, a2, a3})) return Reset(result, 4, false);
    const Span s = Clip(window, bars.Size());
    Reset(result, 4);
    if (s.Empty()) return;
    const int start = BarAt(std::int64_t{s.f} - std::max({a1, a2, a3}), s.l);
    const std::int64_t back1 = days;
    const std::int64_t back2 = std::int64_t{days} * days;  // N times N bars back
    const float* open = bars.Open(0, 1);
    // N*N >= N: the closes from the farther reference on cover the nearer one too.
    const float* close = bars.Close(BarAt(start - back2, s.l), s.l + 1);
    IndicatorLine& js = Place(result.lines[0], start, s.l);
    for (int i = start; i <= s.l; ++i) {
        // A reference bar before the series is stood in for by the first bar's open.
        const float r1 = i - back1 >= 0 ? close[i - back1] : open[0];
        const float r2 = i - back2 >= 0 ? close[i - back2] : open[0];
        js.values[static_cast<std::size_t>(i - start)] = (close[i] - r1) / r2;  // r2 = 0: not finite
    }
    PartialWindowAverage(js, a1, result.lines[1]);
    PartialWindowAverage(js, a2, result.lines[2]);
    PartialWindowAverage(js, a3, result.lines[3]);
}

void ComputeCdp(BarColumns& bars, const IndicatorWindow& window, const IndicatorParameters&,
                IndicatorResult& result) {
    const Span s = Clip(window, bars.Size());
    Reset(result, 5);
    if (s.Empty()) return;
    const int from = std::max(s.f - 1, 0);
    bars.Read(kHigh | kLow | kClose, from, s.l + 1);
    const float* high = bars.High(from, s.l + 1);
    const float* low = bars.Low(from, s.l + 1);
    const float* close = bars.Close(s.f, s.l + 1);
    for (auto& line : result.lines) Place(line, s.f, s.l);
    for (int i = s.f; i <= s.l; ++i) {
        const float cdp = (high[i] + low[i] + close[i]) / 3.0f;
        const float range = i > 0 ? high[i - 1] - low[i - 1] : 0.0f;  // the previous bar's range
        const std::size_t k = static_cast<std::size_t>(i - s.f);
        result.lines[0].values[k] = cdp;
        result.lines[1].values[k] = cdp + range;
        result.lines[2].values[k] = cdp - range;
        result.lines[3].values[k] = 2.0f * cdp - low[i];
        result.lines[4].values[k] = 2.0f * cdp - high[i];
    }
}

}  // namespace qelt
