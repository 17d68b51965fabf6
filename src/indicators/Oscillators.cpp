// RSI, ROC, KDJ, EMV and WR of the oscillator group.
#include <algorithm>

#include "indicators/Averages.h"
#include "indicators/ComputeSupport.h"
#include "indicators/IndicatorComputations.h"

namespace qelt {

using namespace compute;

namespace {

/// Highest high and lowest low of the last `window` bars (fewer at the start of the series)
/// for each bar from..to. Short windows are scanned; long ones use monotone queues, so a
/// large period costs no more per bar than a small one.
void WindowExtremes(const float* high, const float* low, int from, int to, int window, std::vector<float>& highest,
                    std::vector<float>& lowest) {
    const std::size_t count = static_cast<std::size_t>(to - from + 1);
    highest.resize(count);
    lowest.resize(count);
    const int begin = BarAt(std::int64_t{from} - window + 1, from);
    if (window <= 32) {
        for (int i = from; i <= to; ++i) {
            const int b = std::max(begin, i - window + 1);
            float hh = high[b], ll = low[b];
            for (int j = b + 1; j <= i; ++j) {
                hh = std::max(hh, high[j]);
                ll = std::min(ll, low[j]);
            }
            highest[static_cast<std::size_t>(i - from)] = hh;
            lowest[static_cast<std::size_t>(i - from)] = ll;
        }
        return;
    }
    std::vector<int> maxQueue, minQueue;  // bar numbers; values decreasing / increasing
    std::size_t maxHead = 0, minHead = 0;
    for (int i = begin; i <= to; ++i) {
        while (maxQueue.size() > maxHead && high[maxQueue.back()] <= high[i]) maxQueue.pop_back();
        while (minQueue.size() > minHead && low[minQueue.back()] >= low[i]) minQueue.pop_back();
        maxQueue.push_back(i);
        minQueue.push_back(i);
        while (std::int64_t{maxQueue[maxHead]} <= std::int64_t{i} - window) ++maxHead;
        while (std::int64_t{minQueue[minHead]} <= std::int64_t{i} - window) ++minHead;
        if (i < from) continue;
        highest[static_cast<std::size_t>(i - from)] = high[maxQueue[maxHead]];
        lowest[static_cast<std::size_t>(i - from)] = low[minQueue[minHead]];
    }
}

}  // namespace

IndicatorResult ComputeRsi(BarColumns& bars, const IndicatorWindow& window, const IndicatorParameters& table) {
    const int periods[3] = {table[param::kRsi1], table[param::kRsi2], table[param::kRsi3]};
    if (!AllAtLeast(1, {periods[0], periods[1], periods[2]})) return EmptyResult(3, false);
    const Span s = Clip(window, bars.Size());
    IndicatorResult result = EmptyResult(3);
    if (s.Empty()) return result;
    // Differences are taken back from the last visible bar far enough for the third period.
    const int lowest = BarAt(std::int64_t{s.l} - periods[2] - s.visible + 2, s.l);
    const float* close = bars.Close(std::max(lowest - 1, 0), s.l + 1);
    const float* open = bars.Open(0, 1);
    std::vector<float> change(static_cast<std::size_t>(s.l - lowest + 1));
    for (int i = lowest; i <= s.l; ++i) {
        change[static_cast<std::size_t>(i - lowest)] = i == 0 ? close[0] - open[0] : close[i] - close[i - 1];
    }
    auto d = [&](int i) { return change[static_cast<std::size_t>(i - lowest)]; };
    for (int line = 0; line < 3; ++line) {
        const int period = periods[line];
        // Simple sums of the rises (up) and falls (down, not above 0) over the last N bars.
        float up = 0.0f, down = 0.0f;
        auto add = [&](float v, float sign) { (v > 0 ? up : down) += sign * v; };
        for (int i = BarAt(std::int64_t{s.l} - period + 1, s.l); i <= s.l; ++i) {
            if (i >= lowest) add(d(i), 1.0f);
        }
        IndicatorLine& rsi = result.lines[static_cast<std::size_t>(line)] = LineOver(s.f, s.l);
        for (int i = s.l; i >= s.f; --i) {
            rsi.values[static_cast<std::size_t>(i - s.f)] = up == down ? 0.0f : 100.0f * up / (up - down);
            add(d(i), -1.0f);
            if (std::int64_t{i} - period >= lowest) add(d(i - period), 1.0f);
        }
    }
    return result;
}

IndicatorResult ComputeRoc(BarColumns& bars, const IndicatorWindow& window, const IndicatorParameters& table) {
    const int period = table[param::kRocPeriod];
    const int average = table[param::kRocAverage];
    if (!AllAtLeast(1, {period, average})) return EmptyResult(2, false);
    const Span s = Clip(window, bars.Size());
    IndicatorResult result = EmptyResult(2);
    if (s.Empty()) return result;
    const float* close = bars.Close(BarAt(std::int64_t{s.f} - period, s.l), s.l + 1);
    bars.Close(0, 1);
    IndicatorLine& roc = result.lines[0] = LineOver(s.f, s.l);
    for (int i = s.f; i <= s.l; ++i) {
        // Before the series the first close is the reference; a reference of 0 gives 0.
        const float reference = std::int64_t{i} - period >= 0 ? close[i - period] : close[0];
        const float value = reference == 0.0f ? 0.0f : (close[i] - reference) * 100.0f / reference;
        roc.values[static_cast<std::size_t>(i - s.f)] = value;
    }
    result.lines[1] = PartialWindowAverage(roc, average);
    return result;
}

IndicatorResult ComputeKdj(BarColumns& bars, const IndicatorWindow& window, const IndicatorParameters& table) {
    const int period = table[param::kKdj1];
    const int m1 = table[param::kKdj2], m2 = table[param::kKdj3];
    if (!AllAtLeast(1, {period, m1, m2})) return EmptyResult(3, false);
    const Span s = Clip(window, bars.Size());
    IndicatorResult result = EmptyResult(3);
    if (s.Empty()) return result;
    const int start = BarAt(std::int64_t{s.f} - period, s.l);
    const int from = BarAt(std::int64_t{start} - period + 1, s.l);
    const float* high = bars.High(from, s.l + 1);
    const float* low = bars.Low(from, s.l + 1);
    const float* close = bars.Close(start, s.l + 1);
    std::vector<float> highest, lowest;
    WindowExtremes(high, low, start, s.l, period, highest, lowest);
    for (auto& line : result.lines) line = LineOver(start, s.l);
    const float w1 = static_cast<float>(m1), w2 = static_cast<float>(m2);
    float k = 50.0f, d = 50.0f;
    for (int i = start; i <= s.l; ++i) {
        const std::size_t j = static_cast<std::size_t>(i - start);
        const float span = highest[j] - lowest[j];
        float rsv = Abs(span) < 0.001f ? 0.0f : 100.0f * (close[i] - lowest[j]) / span;
        if (Abs(rsv) < 0.001f) rsv = 0.0f;
        k = (k * (w1 - 1.0f) + rsv) / w1;
        d = (d * (w2 - 1.0f) + k) / w2;
        result.lines[0].values[j] = k;
        result.lines[1].values[j] = d;
        result.lines[2].values[j] = 3.0f * k - 2.0f * d;
    }
    return result;
}

IndicatorResult ComputeEmv(BarColumns& bars, const IndicatorWindow& window, const IndicatorParameters& table) {
    const int period = table[param::kEmvPeriod];
    const int average = table[param::kEmvAverage];
    if (!AllAtLeast(1, {period, average})) return EmptyResult(2, false);
    const Span s = Clip(window, bars.Size());
    IndicatorResult result = EmptyResult(2);
    if (s.Empty()) return result;
    const int from = std::max(s.f - 1, 0);
    const float* high = bars.High(from, s.l + 1);
    const float* low = bars.Low(from, s.l + 1);
    const float* avg = bars.Avg(s.f, s.l + 1);
    const std::int32_t* num = bars.Num(s.f, s.l + 1);
    IndicatorLine raw = LineOver(s.f, s.l);
    for (int i = s.f; i <= s.l; ++i) {
        const float mid = (high[i] + low[i]) / 2.0f;
        const float previous = i > 0 ? (high[i - 1] + low[i - 1]) / 2.0f : 0.0f;
        const float amount = static_cast<float>(num[i]) * avg[i];  // volume times average price
        raw.values[static_cast<std::size_t>(i - s.f)] =
            amount == 0.0f ? 0.0f : 100.0f * (mid - previous) * (high[i] - low[i]) / amount;
    }
    result.lines[0] = PartialWindowAverage(raw, period);
    result.lines[1] = PartialWindowAverage(result.lines[0], average);
    return result;
}

IndicatorResult ComputeWr(BarColumns& bars, const IndicatorWindow& window, const IndicatorParameters& table) {
    const int periods[2] = {table[param::kWr1], table[param::kWr2]};
    if (!AllAtLeast(1, {periods[0], periods[1]})) return EmptyResult(2, false);
    const Span s = Clip(window, bars.Size());
    IndicatorResult result = EmptyResult(2);
    if (s.Empty()) return result;
    std::vector<float> highest, lowest;
    for (int line = 0; line < 2; ++line) {
        const int period = periods[line];
        const int start = BarAt(std::int64_t{s.f} - period, s.l);
        const int from = BarAt(std::int64_t{start} - period + 1, s.l);
        const float* high = bars.High(from, s.l + 1);
        const float* low = bars.Low(from, s.l + 1);
        const float* close = bars.Close(start, s.l + 1);
        WindowExtremes(high, low, start, s.l, period, highest, lowest);
        IndicatorLine& wr = result.lines[static_cast<std::size_t>(line)] = LineOver(start, s.l);
        for (int i = start; i <= s.l; ++i) {
            const std::size_t j = static_cast<std::size_t>(i - start);
            const float span = highest[j] - lowest[j];
            float fall = highest[j] - close[i];
            if (Abs(fall) < 0.001f) fall = 0.0f;
            wr.values[j] = Abs(span) < 0.001f ? 0.0f : 100.0f * fall / span;
        }
    }
    return result;
}

}  // namespace qelt
