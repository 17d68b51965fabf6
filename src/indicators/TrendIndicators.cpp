// MACD, DMI, BOLL and EXPMA of the trend group.
#include <cmath>

#include "common/Numbers.h"
#include "indicators/Averages.h"
#include "indicators/ComputeSupport.h"
#include "indicators/IndicatorComputations.h"

namespace qelt {

using namespace compute;

void ComputeMacd(BarColumns& bars, const IndicatorWindow&, const IndicatorParameters& table,
                 IndicatorResult& result) {
    const int fast = table[param::kMacdFast];
    const int slow = table[param::kMacdSlow];
    const int signal = table[param::kMacdSignal];
    const int n = bars.Size();
    Reset(result, 3);
    if (n == 0) return;
    bars.Read(kHigh | kLow | kClose, 0, n);
    const float* high = bars.High(0, n);
    const float* low = bars.Low(0, n);
    const float* close = bars.Close(0, n);
    IndicatorLine& dif = Place(result.lines[0], 0, n - 1);
    IndicatorLine& dea = Place(result.lines[1], 0, n - 1);
    IndicatorLine& macd = Place(result.lines[2], 0, n - 1);
    // The weights (F - 1)/(F + 1) and 2/(F + 1) (0.8 and 0.2 for the signal's default 9).
    auto keep = [](int period) {
        return (static_cast<float>(period) - 1.0f) / (static_cast<float>(period) + 1.0f);
    };
    auto take = [](int period) { return 2.0f / (static_cast<float>(period) + 1.0f); };
    const float keepFast = keep(fast), takeFast = take(fast), keepSlow = keep(slow), takeSlow = take(slow);
    const float keepSignal = keep(signal), takeSignal = take(signal);
    IndicatorCheckpoint& checkpoint = result.checkpoint;
    const int from = ResumeBar(result, n - 1);
    float emaFast = 0.0f, emaSlow = 0.0f, signalLine = 0.0f;
    if (from > 0) emaFast = checkpoint.sums[0], emaSlow = checkpoint.sums[1], signalLine = checkpoint.sums[2];
    for (int i = from; i < n; ++i) {
        if (i == n - 1) checkpoint.sums = {emaFast, emaSlow, signalLine, 0.0f};
        const float typical = (high[i] + low[i] + 2.0f * close[i]) / 4.0f;
        const float count = static_cast<float>(i);
        // The first F (S) bars take the plain mean of all bars so far.
        emaFast =
            i < fast ? (emaFast * count + typical) / (count + 1.0f) : emaFast * keepFast + typical * takeFast;
        emaSlow =
            i < slow ? (emaSlow * count + typical) / (count + 1.0f) : emaSlow * keepSlow + typical * takeSlow;
        const float difference = emaFast - emaSlow;
        // The signal line has no warm-up: it starts from 0 at bar 0.
        signalLine = signalLine * keepSignal + difference * takeSignal;
        const std::size_t k = static_cast<std::size_t>(i);
        dif.values[k] = difference;
        dea.values[k] = signalLine;
        macd.values[k] = 2.0f * (difference - signalLine);
    }
    checkpoint.bar = n - 1;
}

namespace {

/// A running sum: the new value comes in; from `period` elements on `leaving` goes out, and
/// a magnitude below 0.001 left after that becomes 0.
inline float SlideClamped(float sum, float value, bool full, float leaving) {
    sum += value;
    if (full) {
        sum -= leaving;
        if (Abs(sum) < 0.001f) sum = 0.0f;
    }
    return sum;
}

}  // namespace

void ComputeDmi(BarColumns& bars, const IndicatorWindow& window, const IndicatorParameters& table,
                IndicatorResult& result) {
    const int period = table[param::kDmiPeriod];
    const int average = table[param::kDmiAverage];
    if (!AllAtLeast(1, {period, average})) return Reset(result, 4, false);
    const Span s = Clip(window, bars.Size());
    Reset(result, 4);
    if (s.Empty()) return;
    const int start = BarAt(std::int64_t{s.f} - period, s.l);
    const int from = std::max(start - 1, 0);
    bars.Read(kOpen | kHigh | kLow, from, s.l + 1);
    const float* open = bars.Open(from, s.l + 1);
    const float* high = bars.High(from, s.l + 1);
    const float* low = bars.Low(from, s.l + 1);
    const std::size_t count = static_cast<std::size_t>(s.l - start + 1);
    const std::size_t p = static_cast<std::size_t>(period), q = static_cast<std::size_t>(average);
    for (auto& line : result.lines) Place(line, start, s.l);
    // +DM, -DM and the true range of every computed bar, kept until they leave the sums.
    std::vector<float>& plus = Scratch(0, count);
    std::vector<float>& minus = Scratch(1, count);
    std::vector<float>& range = Scratch(2, count);
    for (std::size_t j = 0; j < count; ++j) {
        const int i = start + static_cast<int>(j);
        const float up = i > 0 ? high[i] - high[i - 1] : 0.0f;
        const float down = i > 0 ? low[i - 1] - low[i] : 0.0f;
        plus[j] = Keep(up, up > Abs(down));
        minus[j] = Keep(down, down > Abs(up));
        // The range of the bar itself, against its own open rather than the previous close.
        range[j] = std::max(std::max(Abs(high[i] - low[i]), Abs(high[i] - open[i])), Abs(low[i] - open[i]));
    }
    // PDI and MDI leave their sums as they were stored (floats, exact in the lines).
    double* outPdi = result.lines[0].values.data();
    double* outMdi = result.lines[1].values.data();
    double* outAdx = result.lines[2].values.data();
    double* outAdxr = result.lines[3].values.data();
    float sumPlus = 0.0f, sumMinus = 0.0f, sumRange = 0.0f, sumPdi = 0.0f, sumMdi = 0.0f;
    float previousAdx = 0.0f;
    // One bar; FullP / FullQ: P (Q) bars are in, so the oldest leaves with each new one.
    auto step = [&]<bool FullP, bool FullQ>(std::size_t j) {
        sumPlus = SlideClamped(sumPlus, plus[j], FullP, FullP ? plus[j - p] : 0.0f);
        sumMinus = SlideClamped(sumMinus, minus[j], FullP, FullP ? minus[j - p] : 0.0f);
        sumRange = SlideClamped(sumRange, range[j], FullP, FullP ? range[j - p] : 0.0f);
        const float pdi = sumRange == 0.0f ? 0.0f : 100.0f * sumPlus / sumRange;
        const float mdi = sumRange == 0.0f ? 0.0f : 100.0f * sumMinus / sumRange;
        sumPdi = SlideClamped(sumPdi, pdi, FullQ, FullQ ? static_cast<float>(outPdi[j - q]) : 0.0f);
        sumMdi = SlideClamped(sumMdi, mdi, FullQ, FullQ ? static_cast<float>(outMdi[j - q]) : 0.0f);
        const float denominator = sumPdi + sumMdi;
        const float adx = denominator == 0.0f ? 0.0f : 100.0f * Abs(sumPdi - sumMdi) / denominator;
        outAdxr[j] = (previousAdx + adx) / 2.0f;
        previousAdx = adx;
        outPdi[j] = pdi;
        outMdi[j] = mdi;
        outAdx[j] = adx;
    };
    std::size_t j = 0;
    for (; j < count && (j < p || j < q); ++j) {
        if (j < p && j < q)
            step.template operator()<false, false>(j);
        else if (j < p)
            step.template operator()<false, true>(j);
        else
            step.template operator()<true, false>(j);
    }
    for (; j < count; ++j) step.template operator()<true, true>(j);
    if (count > 0) outAdxr[0] = outAdx[0];  // the first bar has no ADX before it
}

void ComputeBoll(BarColumns& bars, const IndicatorWindow& window, const IndicatorParameters& table,
                 IndicatorResult& result) {
    const int period = table[param::kBoll];
    if (period < 1) return Reset(result, 3, false);
    const int n = bars.Size();
    Reset(result, 3);
    const Span s = Clip(window, n);
    if (s.Empty()) return;
    const float* close = bars.Close(0, n);
    IndicatorLine& mid = result.lines[0];
    if (period > n) return;
    // MID is the bar-field moving average of the close over the whole series; the
    // deviations run alongside it up to the last visible bar (k = 0 .. while bar k + P - 1
    // <= l), a running sum of squares of the last P of them.
    Place(mid, period - 1, n - 1);
    const int count = std::max(s.l - period + 2, 0);
    IndicatorLine& upper = Place(result.lines[1], period - 1, period - 2 + count);
    IndicatorLine& lower = Place(result.lines[2], period - 1, period - 2 + count);
    double* middle = mid.values.data();
    auto midAt = [&](int k) { return static_cast<float>(middle[k]); };
    const float p = static_cast<float>(period);
    // Picked up only where the deviations ran to the last bar, now as then.
    IndicatorCheckpoint& checkpoint = result.checkpoint;
    const bool toTheEnd = count == n - period + 1;
    const int from = toTheEnd ? ResumeBar(result, n - 1, period) : ResumeBar(result, -1);
    float sum = 0.0f, squares = 0.0f, previous = 0.0f;
    if (from > 0) sum = checkpoint.sums[0], squares = checkpoint.sums[1], previous = checkpoint.sums[2];
    for (int i = 0; from == 0 && i < period - 1; ++i) sum += close[i];
    for (int k = std::max(from - period + 1, 0); k + period - 1 < n; ++k) {
        const int i = k + period - 1;
        if (i == n - 1) checkpoint.sums = {sum, squares, previous, 0.0f};
        sum += close[i];
        float average = sum / p;
        if (IsZeroValue(average)) average = 0.0f;
        middle[k] = average;
        sum -= close[k];
        if (k >= count) continue;
        const float d = close[i] - average;
        if (Abs(d) > 0.001f) squares += d * d;
        if (k >= period - 1) {
            const float e = close[k] - midAt(k - period + 1);
            if (Abs(e) > 0.001f) squares -= e * e;
            if (squares < 0.001f) squares = 0.0f;
        }
        const float terms = static_cast<float>(k + 1 < period ? k + 1 : period);
        const float deviation = std::sqrt(squares / terms);
        // The bands of a bar are centred on the previous bar's average.
        const float centre = k == 0 ? average : previous;
        previous = average;
        upper.values[static_cast<std::size_t>(k)] = centre + 2.0f * deviation;
        lower.values[static_cast<std::size_t>(k)] = centre - 2.0f * deviation;
    }
    if (toTheEnd) checkpoint.bar = n - 1;
}

void ComputeExpma(BarColumns& bars, const IndicatorWindow& window, const IndicatorParameters& table,
                  IndicatorResult& result) {
    // The weights 2/(P1 + 1) and 2/(P2 + 1): 2/13 and 2/51 with the defaults.
    const float w1 = 2.0f / (static_cast<float>(table[param::kExpma1]) + 1.0f);
    const float w2 = 2.0f / (static_cast<float>(table[param::kExpma2]) + 1.0f);
    const Span s = Clip(window, bars.Size());
    Reset(result, 2);
    if (s.Empty()) return;
    const float* open = bars.Open(s.f, s.f + 1);
    const float* close = bars.Close(s.f, s.l + 1);
    IndicatorLine& exp1 = Place(result.lines[0], s.f, s.l);
    IndicatorLine& exp2 = Place(result.lines[1], s.f, s.l);
    // Both averages restart at the first visible bar's open: scrolling changes every value.
    float e1 = open[s.f], e2 = open[s.f];
    for (int i = s.f; i <= s.l; ++i) {
        e1 = e1 + (close[i] - e1) * w1;
        e2 = e2 + (close[i] - e2) * w2;
        exp1.values[static_cast<std::size_t>(i - s.f)] = e1;
        exp2.values[static_cast<std::size_t>(i - s.f)] = e2;
    }
}

}  // namespace qelt
