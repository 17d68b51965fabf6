// MACD and EXPMA of the trend group (DMI: DirectionalMovement.cpp, BOLL: BollingerBands.cpp).
#include <algorithm>
#include <cmath>

#include "common/Numbers.h"
#include "indicators/Averages.h"
#include "indicators/BlockQuotients.h"
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
    auto typicalAt = [&](int i) { return (high[i] + low[i] + 2.0f * close[i]) / 4.0f; };
    auto keepLines = [&](int i, float difference, float signalValue) {
        const std::size_t k = static_cast<std::size_t>(i);
        dif.values[k] = difference;
        dea.values[k] = signalValue;
        macd.values[k] = 2.0f * (difference - signalValue);
    };
    // The first F (S) bars take the plain mean of all bars so far.
    int i = from;
    for (; i < n && i < std::max(fast, slow); ++i) {
        if (i == n - 1) checkpoint.sums = {emaFast, emaSlow, signalLine, 0.0f};
        const float typical = typicalAt(i);
        const float count = static_cast<float>(i);
        emaFast =
            i < fast ? (emaFast * count + typical) / (count + 1.0f) : emaFast * keepFast + typical * takeFast;
        emaSlow =
            i < slow ? (emaSlow * count + typical) / (count + 1.0f) : emaSlow * keepSlow + typical * takeSlow;
        const float difference = emaFast - emaSlow;
        // The signal line has no warm-up: it starts from 0 at bar 0.
        signalLine = signalLine * keepSignal + difference * takeSignal;
        keepLines(i, difference, signalLine);
    }
    // Then the three averages run bar after bar, a block at a time: the typical prices before
    // them and the widening to the lines' doubles after them go four at a time.
    alignas(16) float typical[kQuotientBlock], differences[kQuotientBlock], signals[kQuotientBlock];
    for (int begin = i; begin < n; begin += kQuotientBlock) {
        const int count = std::min(kQuotientBlock, n - begin);
        int k = 0;
        for (; k + lanes::kWidth <= count; k += lanes::kWidth) {
            const int b = begin + k;
            const lanes::Floats sum =
                lanes::Load(high + b) + lanes::Load(low + b) + 2.0f * lanes::Load(close + b);
            lanes::Store(typical + k, sum / 4.0f);
        }
        for (; k < count; ++k) typical[k] = typicalAt(begin + k);
        auto step = [&](int j) __attribute__((always_inline)) {
            emaFast = emaFast * keepFast + typical[j] * takeFast;
            emaSlow = emaSlow * keepSlow + typical[j] * takeSlow;
            const float difference = emaFast - emaSlow;
            signalLine = signalLine * keepSignal + difference * takeSignal;
            differences[j] = difference;
            signals[j] = signalLine;
        };
        const int plain = begin + count == n ? count - 1 : count;  // bar n - 1 apart: the checkpoint
        for (k = 0; k < plain; ++k) step(k);
        if (plain < count) {
            checkpoint.sums = {emaFast, emaSlow, signalLine, 0.0f};
            step(plain);
        }
        for (k = 0; k + lanes::kWidth <= count; k += lanes::kWidth) {
            const std::size_t at = static_cast<std::size_t>(begin + k);
            const lanes::Floats d = lanes::Load(differences + k), s = lanes::Load(signals + k);
            lanes::StoreDoubles(dif.values.data() + at, d);
            lanes::StoreDoubles(dea.values.data() + at, s);
            lanes::StoreDoubles(macd.values.data() + at, 2.0f * (d - s));
        }
        for (; k < count; ++k) keepLines(begin + k, differences[k], signals[k]);
    }
    checkpoint.bar = n - 1;
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
    // Each step waits on the one before; the floats are widened to the lines' doubles a
    // block at a time, four at once, so that nothing else stands in the averages' way.
    float e1 = open[s.f], e2 = open[s.f];
    alignas(16) float block1[kQuotientBlock], block2[kQuotientBlock];
    for (int begin = s.f; begin <= s.l; begin += kQuotientBlock) {
        const int count = std::min(kQuotientBlock, s.l + 1 - begin);
        for (int k = 0; k < count; ++k) {
            const float c = close[begin + k];
            e1 = e1 + (c - e1) * w1;
            e2 = e2 + (c - e2) * w2;
            block1[k] = e1;
            block2[k] = e2;
        }
        double* out1 = exp1.values.data() + (begin - s.f);
        double* out2 = exp2.values.data() + (begin - s.f);
        int k = 0;
        for (; k + lanes::kWidth <= count; k += lanes::kWidth) {
            lanes::StoreDoubles(out1 + k, lanes::Load(block1 + k));
            lanes::StoreDoubles(out2 + k, lanes::Load(block2 + k));
        }
        for (; k < count; ++k) out1[k] = block1[k], out2[k] = block2[k];
    }
}

}  // namespace qelt
