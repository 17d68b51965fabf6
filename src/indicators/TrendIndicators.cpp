// MACD, DMI, BOLL and EXPMA of the trend group.
#include <cmath>

#include "indicators/Averages.h"
#include "indicators/ComputeSupport.h"
#include "indicators/IndicatorComputations.h"

namespace qelt {

using namespace compute;

IndicatorResult ComputeMacd(BarColumns& bars, const IndicatorWindow&, const IndicatorParameters& table) {
    const int fast = table[param::kMacdFast];
    const int slow = table[param::kMacdSlow];
    const int signal = table[param::kMacdSignal];
    const int n = bars.Size();
    IndicatorResult result = EmptyResult(3);
    if (n == 0) return result;
    const float* high = bars.High(0, n);
    const float* low = bars.Low(0, n);
    const float* close = bars.Close(0, n);
    IndicatorLine& dif = result.lines[0] = LineOver(0, n - 1);
    IndicatorLine& dea = result.lines[1] = LineOver(0, n - 1);
    IndicatorLine& macd = result.lines[2] = LineOver(0, n - 1);
    const float f = static_cast<float>(fast), sl = static_cast<float>(slow), m = static_cast<float>(signal);
    float emaFast = 0.0f, emaSlow = 0.0f, signalLine = 0.0f;
    for (int i = 0; i < n; ++i) {
        const float typical = (high[i] + low[i] + 2.0f * close[i]) / 4.0f;
        const float count = static_cast<float>(i);
        // The first F (S) bars take the plain mean of all bars so far.
        emaFast = i < fast ? (emaFast * count + typical) / (count + 1.0f)
                           : emaFast * (f - 1.0f) / (f + 1.0f) + typical * 2.0f / (f + 1.0f);
        emaSlow = i < slow ? (emaSlow * count + typical) / (count + 1.0f)
                           : emaSlow * (sl - 1.0f) / (sl + 1.0f) + typical * 2.0f / (sl + 1.0f);
        const float difference = emaFast - emaSlow;
        // The signal line has no warm-up: it starts from 0 at bar 0.
        signalLine = signalLine * (m - 1.0f) / (m + 1.0f) + difference * 2.0f / (m + 1.0f);
        const std::size_t k = static_cast<std::size_t>(i);
        dif.values[k] = difference;
        dea.values[k] = signalLine;
        macd.values[k] = 2.0f * (difference - signalLine);
    }
    return result;
}

namespace {

/// A running sum over the last `period` elements: accumulates until `period` are in, then
/// drops the element `period` back; after a drop a magnitude below 0.001 becomes 0.
struct ClampedWindowSum {
    const std::vector<float>& elements;
    int period;
    float sum = 0.0f;
    float Add(std::size_t j) {
        sum += elements[j];
        if (j >= static_cast<std::size_t>(period)) {
            sum -= elements[j - static_cast<std::size_t>(period)];
            if (Abs(sum) < 0.001f) sum = 0.0f;
        }
        return sum;
    }
};

}  // namespace

IndicatorResult ComputeDmi(BarColumns& bars, const IndicatorWindow& window, const IndicatorParameters& table) {
    const int period = table[param::kDmiPeriod];
    const int average = table[param::kDmiAverage];
    if (!AllAtLeast(1, {period, average})) return EmptyResult(4, false);
    const Span s = Clip(window, bars.Size());
    IndicatorResult result = EmptyResult(4);
    if (s.Empty()) return result;
    const int start = BarAt(std::int64_t{s.f} - period, s.l);
    const int from = std::max(start - 1, 0);
    const float* open = bars.Open(from, s.l + 1);
    const float* high = bars.High(from, s.l + 1);
    const float* low = bars.Low(from, s.l + 1);
    const std::size_t count = static_cast<std::size_t>(s.l - start + 1);
    std::vector<float> plusDm(count), minusDm(count), trueRange(count), pdi(count), mdi(count);
    for (std::size_t j = 0; j < count; ++j) {
        const int i = start + static_cast<int>(j);
        const float up = i > 0 ? high[i] - high[i - 1] : 0.0f;
        const float down = i > 0 ? low[i - 1] - low[i] : 0.0f;
        plusDm[j] = up > Abs(down) ? up : 0.0f;
        minusDm[j] = down > Abs(up) ? down : 0.0f;
        // The range of the bar itself, against its own open rather than the previous close.
        trueRange[j] = std::max({Abs(high[i] - low[i]), Abs(high[i] - open[i]), Abs(low[i] - open[i])});
    }
    ClampedWindowSum plus{plusDm, period}, minus{minusDm, period}, range{trueRange, period};
    ClampedWindowSum plusIndex{pdi, average}, minusIndex{mdi, average};
    result.lines[0] = LineOver(start, s.l);
    result.lines[1] = LineOver(start, s.l);
    result.lines[2] = LineOver(start, s.l);
    result.lines[3] = LineOver(start, s.l);
    float previousAdx = 0.0f;
    for (std::size_t j = 0; j < count; ++j) {
        const float sp = plus.Add(j), sm = minus.Add(j), st = range.Add(j);
        pdi[j] = st == 0.0f ? 0.0f : 100.0f * sp / st;
        mdi[j] = st == 0.0f ? 0.0f : 100.0f * sm / st;
        const float sumPdi = plusIndex.Add(j), sumMdi = minusIndex.Add(j);
        const float denominator = sumPdi + sumMdi;
        const float adx = denominator == 0.0f ? 0.0f : 100.0f * Abs(sumPdi - sumMdi) / denominator;
        const float adxr = j == 0 ? adx : (previousAdx + adx) / 2.0f;
        previousAdx = adx;
        result.lines[0].values[j] = pdi[j];
        result.lines[1].values[j] = mdi[j];
        result.lines[2].values[j] = adx;
        result.lines[3].values[j] = adxr;
    }
    return result;
}

IndicatorResult ComputeBoll(BarColumns& bars, const IndicatorWindow& window, const IndicatorParameters& table) {
    const int period = table[param::kBoll];
    if (period < 1) return EmptyResult(3, false);
    const int n = bars.Size();
    IndicatorResult result = EmptyResult(3);
    const Span s = Clip(window, n);
    if (s.Empty()) return result;
    const float* close = bars.Close(0, n);
    IndicatorLine& mid = result.lines[0] = BarFieldMovingAverage(close, n, period);
    if (mid.Empty()) return result;
    // Deviations of the last P bars up to the last visible bar, as a running sum of squares.
    const int count = s.l - period + 2;  // k = 0 .. while bar k + P - 1 <= l
    if (count <= 0) return result;
    auto midAt = [&](int k) { return static_cast<float>(mid.values[static_cast<std::size_t>(k)]); };
    IndicatorLine& upper = result.lines[1] = LineOver(period - 1, period - 2 + count);
    IndicatorLine& lower = result.lines[2] = LineOver(period - 1, period - 2 + count);
    float squares = 0.0f;
    for (int k = 0; k < count; ++k) {
        const float d = close[k + period - 1] - midAt(k);
        if (Abs(d) > 0.001f) squares += d * d;
        if (k >= period - 1) {
            const float e = close[k] - midAt(k - period + 1);
            if (Abs(e) > 0.001f) squares -= e * e;
            if (squares < 0.001f) squares = 0.0f;
        }
        const float terms = static_cast<float>(k + 1 < period ? k + 1 : period);
        const float deviation = std::sqrt(squares / terms);
        // The bands of a bar are centred on the previous bar's average.
        const float centre = midAt(k == 0 ? 0 : k - 1);
        upper.values[static_cast<std::size_t>(k)] = centre + 2.0f * deviation;
        lower.values[static_cast<std::size_t>(k)] = centre - 2.0f * deviation;
    }
    return result;
}

IndicatorResult ComputeExpma(BarColumns& bars, const IndicatorWindow& window, const IndicatorParameters& table) {
    const float p1 = static_cast<float>(table[param::kExpma1]);
    const float p2 = static_cast<float>(table[param::kExpma2]);
    const Span s = Clip(window, bars.Size());
    IndicatorResult result = EmptyResult(2);
    if (s.Empty()) return result;
    const float* open = bars.Open(s.f, s.f + 1);
    const float* close = bars.Close(s.f, s.l + 1);
    IndicatorLine& exp1 = result.lines[0] = LineOver(s.f, s.l);
    IndicatorLine& exp2 = result.lines[1] = LineOver(s.f, s.l);
    // Both averages restart at the first visible bar's open: scrolling changes every value.
    float e1 = open[s.f], e2 = open[s.f];
    for (int i = s.f; i <= s.l; ++i) {
        e1 = e1 + (close[i] - e1) * 2.0f / (p1 + 1.0f);
        e2 = e2 + (close[i] - e2) * 2.0f / (p2 + 1.0f);
        exp1.values[static_cast<std::size_t>(i - s.f)] = e1;
        exp2.values[static_cast<std::size_t>(i - s.f)] = e2;
    }
    return result;
}

}  // namespace qelt
