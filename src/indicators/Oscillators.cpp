// RSI, ROC, KDJ, EMV and WR of the oscillator group.
#include <algorithm>

#include "common/FloatLanes.h"
#include "indicators/Averages.h"
#include "indicators/ComputeSupport.h"
#include "indicators/IndicatorComputations.h"

namespace qelt {

using namespace compute;

namespace {

/// Highest high and lowest low of the last `window` bars (fewer at the start of the series)
/// for each bar from..to, at a cost per bar independent of the window: the bars from the
/// first one needed are cut into blocks of `window`; every window then spans the end of one
/// block and the start of the next, whose running extremes are kept from both sides.
void WindowExtremes(const float* high, const float* low, int from, int to, int window, float* highest,
                    float* lowest) {
    const int begin = BarAt(std::int64_t{from} - window + 1, from);
    const std::size_t count = static_cast<std::size_t>(to - begin + 1);
    const std::size_t block = static_cast<std::size_t>(window);
    std::vector<float>& headHigh = Scratch(4, count);
    std::vector<float>& headLow = Scratch(5, count);
    std::vector<float>& tailHigh = Scratch(6, count);
    std::vector<float>& tailLow = Scratch(7, count);
    high += begin;
    low += begin;
    for (std::size_t k = 0, inBlock = 0; k < count; ++k, inBlock = inBlock + 1 == block ? 0 : inBlock + 1) {
        headHigh[k] = inBlock == 0 ? high[k] : std::max(headHigh[k - 1], high[k]);
        headLow[k] = inBlock == 0 ? low[k] : std::min(headLow[k - 1], low[k]);
    }
    // Backwards: inBlock is k's place in its block; a block's last bar starts its tail.
    for (std::size_t k = count, inBlock = (count - 1) % block; k-- > 0;
         inBlock = inBlock == 0 ? block - 1 : inBlock - 1) {
        const bool blockEnd = k + 1 == count || inBlock == block - 1;
        tailHigh[k] = blockEnd ? high[k] : std::max(tailHigh[k + 1], high[k]);
        tailLow[k] = blockEnd ? low[k] : std::min(tailLow[k + 1], low[k]);
    }
    for (int i = from; i <= to; ++i) {
        const std::size_t k = static_cast<std::size_t>(i - begin), out = static_cast<std::size_t>(i - from);
        if (k + 1 < block) {  // clipped at the first bar of the series: the head of block 0
            highest[out] = headHigh[k];
            lowest[out] = headLow[k];
            continue;
        }
        const std::size_t oldest = k + 1 - block;
        highest[out] = std::max(tailHigh[oldest], headHigh[k]);
        lowest[out] = std::min(tailLow[oldest], headLow[k]);
    }
}

/// The bars a stochastic line (KDJ, WR) over `period` bars covers in the span, with each
/// bar's highest high and lowest low of its window and the closes they are compared with.
struct StochasticRange {
    int start = 0;
    const float* close = nullptr;
    std::vector<float>* highest = nullptr;
    std::vector<float>* lowest = nullptr;
};

StochasticRange StochasticOver(BarColumns& bars, const Span& s, int period) {
    StochasticRange range;
    range.start = BarAt(std::int64_t{s.f} - period, s.l);
    const int from = BarAt(std::int64_t{range.start} - period + 1, s.l);
    bars.Read(kHigh | kLow | kClose, from, s.l + 1);
    const float* high = bars.High(from, s.l + 1);
    const float* low = bars.Low(from, s.l + 1);
    range.close = bars.Close(range.start, s.l + 1);
    const std::size_t count = static_cast<std::size_t>(s.l - range.start + 1);
    range.highest = &Scratch(0, count);
    range.lowest = &Scratch(1, count);
    WindowExtremes(high, low, range.start, s.l, period, range.highest->data(), range.lowest->data());
    return range;
}

}  // namespace

void ComputeRsi(BarColumns& bars, const IndicatorWindow& window, const IndicatorParameters& table,
                IndicatorResult& result) {
    const int periods[3] = {table[param::kRsi1], table[param::kRsi2], table[param::kRsi3]};
    if (!AllAtLeast(1, {periods[0], periods[1], periods[2]})) return Reset(result, 3, false);
    const Span s = Clip(window, bars.Size());
    Reset(result, 3);
    if (s.Empty()) return;
    // Differences are taken back from the last visible bar far enough for the third period.
    const int lowest = BarAt(std::int64_t{s.l} - periods[2] - s.visible + 2, s.l);
    const float* close = bars.Close(std::max(lowest - 1, 0), s.l + 1);
    const float* open = bars.Open(0, 1);
    // Each difference split once into its rise (not below 0) and its fall (not above 0).
    const std::size_t count = static_cast<std::size_t>(s.l - lowest + 1);
    std::vector<float>& rises = Scratch(0, count);
    std::vector<float>& falls = Scratch(1, count);
    auto split = [&](std::size_t k, float change) {
        rises[k] = Keep(change, change > 0.0f);
        falls[k] = change - rises[k];  // the change itself, or 0 for a rise: no branch
    };
    std::size_t k = 0;
    if (lowest == 0) split(k++, close[0] - open[0]);  // the first bar against its own open
    for (; k < count; ++k) {
        const int i = lowest + static_cast<int>(k);
        split(k, close[i] - close[i - 1]);
    }
    auto rise = [&](int i) { return rises[static_cast<std::size_t>(i - lowest)]; };
    auto fall = [&](int i) { return falls[static_cast<std::size_t>(i - lowest)]; };
    // Simple sums of the rises (up) and falls (down) over the last N bars. The three lines
    // advance together, each sum in its own register.
    struct Sums {
        float up = 0.0f, down = 0.0f;
        int period = 0;
        double* out = nullptr;
    };
    Sums sums[3];
    for (int line = 0; line < 3; ++line) {
        Sums& w = sums[line];
        w.period = periods[line];
        for (int i = std::max(BarAt(std::int64_t{s.l} - w.period + 1, s.l), lowest); i <= s.l; ++i) {
            w.up += rise(i);
            w.down += fall(i);
        }
        w.out = Place(result.lines[static_cast<std::size_t>(line)], s.f, s.l).values.data();
    }
    auto slide = [&](Sums& w, int i) {
        w.out[i - s.f] = w.up == w.down ? 0.0f : 100.0f * w.up / (w.up - w.down);
        w.up -= rise(i);
        w.down -= fall(i);
        if (std::int64_t{i} - w.period >= lowest) {
            w.up += rise(i - w.period);
            w.down += fall(i - w.period);
        }
    };
    Sums first = sums[0], second = sums[1], third = sums[2];
    for (int i = s.l; i >= s.f; --i) {
        slide(first, i);
        slide(second, i);
        slide(third, i);
    }
}

void ComputeRoc(BarColumns& bars, const IndicatorWindow& window, const IndicatorParameters& table,
                IndicatorResult& result) {
    const int period = table[param::kRocPeriod];
    const int average = table[param::kRocAverage];
    if (!AllAtLeast(1, {period, average})) return Reset(result, 2, false);
    const Span s = Clip(window, bars.Size());
    Reset(result, 2);
    if (s.Empty()) return;
    const float* close = bars.Close(BarAt(std::int64_t{s.f} - period, s.l), s.l + 1);
    const float first = bars.CloseAt(0);  // read alone: no need for the closes in between
    IndicatorLine& roc = Place(result.lines[0], s.f, s.l);
    // Before the series the first close is the reference; a reference of 0 gives 0. Each
    // bar on its own: four at a time where the four references are closes.
    auto one = [&](int i) {
        const float reference = std::int64_t{i} - period >= 0 ? close[i - period] : first;
        const float value = reference == 0.0f ? 0.0f : (close[i] - reference) * 100.0f / reference;
        roc.values[static_cast<std::size_t>(i - s.f)] = value;
    };
    int i = s.f;
    for (; i <= s.l && std::int64_t{i} - period < 0; ++i) one(i);
    for (; i + lanes::kWidth - 1 <= s.l; i += lanes::kWidth) {
        const lanes::Floats reference = lanes::Load(close + (i - period));
        const lanes::Floats value = (lanes::Load(close + i) - reference) * 100.0f / reference;
        lanes::StoreDoubles(roc.values.data() + (i - s.f), lanes::KeepWhere(value, reference != 0.0f));
    }
    for (; i <= s.l; ++i) one(i);
    PartialWindowAverage(roc, average, result.lines[1]);
}

void ComputeKdj(BarColumns& bars, const IndicatorWindow& window, const IndicatorParameters& table,
                IndicatorResult& result) {
    const int period = table[param::kKdj1];
    const int m1 = table[param::kKdj2], m2 = table[param::kKdj3];
    if (!AllAtLeast(1, {period, m1, m2})) return Reset(result, 3, false);
    const Span s = Clip(window, bars.Size());
    Reset(result, 3);
    if (s.Empty()) return;
    const StochasticRange range = StochasticOver(bars, s, period);
    const int start = range.start;
    const float* close = range.close;
    const std::vector<float>& highest = *range.highest;
    const std::vector<float>& lowest = *range.lowest;
    for (auto& line : result.lines) Place(line, start, s.l);
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
}

void ComputeEmv(BarColumns& bars, const IndicatorWindow& window, const IndicatorParameters& table,
                IndicatorResult& result) {
    const int period = table[param::kEmvPeriod];
    const int average = table[param::kEmvAverage];
    if (!AllAtLeast(1, {period, average})) return Reset(result, 2, false);
    const Span s = Clip(window, bars.Size());
    Reset(result, 2);
    if (s.Empty()) return;
    const int from = std::max(s.f - 1, 0);
    bars.Read(kHigh | kLow | kAvg | kNum, from, s.l + 1);
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
    PartialWindowAverage(raw, period, result.lines[0]);
    PartialWindowAverage(result.lines[0], average, result.lines[1]);
}

void ComputeWr(BarColumns& bars, const IndicatorWindow& window, const IndicatorParameters& table,
               IndicatorResult& result) {
    const int periods[2] = {table[param::kWr1], table[param::kWr2]};
    if (!AllAtLeast(1, {periods[0], periods[1]})) return Reset(result, 2, false);
    const Span s = Clip(window, bars.Size());
    Reset(result, 2);
    if (s.Empty()) return;
    for (int line = 0; line < 2; ++line) {
        const int period = periods[line];
        const StochasticRange range = StochasticOver(bars, s, period);
        const int start = range.start;
        const float* close = range.close;
        const std::vector<float>& highest = *range.highest;
        const std::vector<float>& lowest = *range.lowest;
        IndicatorLine& wr = Place(result.lines[static_cast<std::size_t>(line)], start, s.l);
        for (int i = start; i <= s.l; ++i) {
            const std::size_t j = static_cast<std::size_t>(i - start);
            const float span = highest[j] - lowest[j];
            float fall = highest[j] - close[i];
            if (Abs(fall) < 0.001f) fall = 0.0f;
            wr.values[j] = Abs(span) < 0.001f ? 0.0f : 100.0f * fall / span;
        }
    }
}

}  // namespace qelt
