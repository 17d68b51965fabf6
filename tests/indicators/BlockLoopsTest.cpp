// BOLL, DMI, ROC, EXPMA, MACD and PVT go in blocks with their divisions and roots four at a time; here
// they meet the plain loops that go one bar after the other, bit for bit, for periods around
// the block and lane sizes, series from one bar to a few blocks, and windows that end before
// the newest bar.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "TestBars.h"
#include "indicators/BarColumns.h"

namespace qelt {
namespace {

struct Line {
    int first = 0;
    std::vector<double> values;
};

::testing::AssertionResult Same(const IndicatorLine& actual, const Line& expected) {
    if (actual.first != expected.first || actual.values.size() != expected.values.size())
        return ::testing::AssertionFailure()
               << "placed at " << actual.first << " with " << actual.values.size() << " values, expected "
               << expected.first << " with " << expected.values.size();
    for (std::size_t k = 0; k < actual.values.size(); ++k) {
        if (std::bit_cast<std::uint64_t>(actual.values[k]) !=
            std::bit_cast<std::uint64_t>(expected.values[k]))
            return ::testing::AssertionFailure()
                   << "value " << k << ": " << actual.values[k] << ", expected " << expected.values[k];
    }
    return ::testing::AssertionSuccess();
}

float Abs(float v) { return std::fabs(v); }

/// BOLL one bar after the other.
std::vector<Line> PlainBoll(const float* close, int n, int period, int l) {
    std::vector<Line> lines(3);
    if (period > n) return lines;
    const int count = std::max(l - period + 2, 0);
    lines[0] = {period - 1, std::vector<double>(static_cast<std::size_t>(n - period + 1))};
    lines[1] = lines[2] = {period - 1, std::vector<double>(static_cast<std::size_t>(count))};
    const float p = static_cast<float>(period);
    float sum = 0.0f, squares = 0.0f, previous = 0.0f;
    for (int i = 0; i < period - 1; ++i) sum += close[i];
    for (int k = 0; k + period - 1 < n; ++k) {
        const int i = k + period - 1;
        sum += close[i];
        float average = sum / p;
        if (IsZeroValue(average)) average = 0.0f;
        lines[0].values[static_cast<std::size_t>(k)] = average;
        sum -= close[k];
        if (k >= count) continue;
        const float d = close[i] - average;
        if (Abs(d) > 0.001f) squares += d * d;
        if (k >= period - 1) {
            const float e =
                close[k] - static_cast<float>(lines[0].values[static_cast<std::size_t>(k - period + 1)]);
            if (Abs(e) > 0.001f) squares -= e * e;
            if (squares < 0.001f) squares = 0.0f;
        }
        const float terms = static_cast<float>(k + 1 < period ? k + 1 : period);
        const float deviation = std::sqrt(squares / terms);
        const float centre = k == 0 ? average : previous;
        previous = average;
        lines[1].values[static_cast<std::size_t>(k)] = centre + 2.0f * deviation;
        lines[2].values[static_cast<std::size_t>(k)] = centre - 2.0f * deviation;
    }
    return lines;
}

float SlideClamped(float sum, float value, bool full, float leaving) {
    sum += value;
    if (full) {
        sum -= leaving;
        if (Abs(sum) < 0.001f) sum = 0.0f;
    }
    return sum;
}

/// DMI one bar after the other, bars start .. l.
std::vector<Line> PlainDmi(const float* open, const float* high, const float* low, int start, int l,
                           int period, int average) {
    const std::size_t count = static_cast<std::size_t>(l - start + 1), p = static_cast<std::size_t>(period),
                      q = static_cast<std::size_t>(average);
    std::vector<Line> lines(4, Line{start, std::vector<double>(count)});
    std::vector<float> plus(count), minus(count), range(count);
    for (std::size_t j = 0; j < count; ++j) {
        const int i = start + static_cast<int>(j);
        const float up = i > 0 ? high[i] - high[i - 1] : 0.0f;
        const float down = i > 0 ? low[i - 1] - low[i] : 0.0f;
        plus[j] = up > Abs(down) ? up : 0.0f;
        minus[j] = down > Abs(up) ? down : 0.0f;
        range[j] = std::max(std::max(Abs(high[i] - low[i]), Abs(high[i] - open[i])), Abs(low[i] - open[i]));
    }
    float sumPlus = 0, sumMinus = 0, sumRange = 0, sumPdi = 0, sumMdi = 0, previousAdx = 0;
    for (std::size_t j = 0; j < count; ++j) {
        const bool fullP = j >= p, fullQ = j >= q;
        sumPlus = SlideClamped(sumPlus, plus[j], fullP, fullP ? plus[j - p] : 0.0f);
        sumMinus = SlideClamped(sumMinus, minus[j], fullP, fullP ? minus[j - p] : 0.0f);
        sumRange = SlideClamped(sumRange, range[j], fullP, fullP ? range[j - p] : 0.0f);
        const float pdi = sumRange == 0.0f ? 0.0f : 100.0f * sumPlus / sumRange;
        const float mdi = sumRange == 0.0f ? 0.0f : 100.0f * sumMinus / sumRange;
        sumPdi = SlideClamped(sumPdi, pdi, fullQ, fullQ ? static_cast<float>(lines[0].values[j - q]) : 0.0f);
        sumMdi = SlideClamped(sumMdi, mdi, fullQ, fullQ ? static_cast<float>(lines[1].values[j - q]) : 0.0f);
        const float denominator = sumPdi + sumMdi;
        const float adx = denominator == 0.0f ? 0.0f : 100.0f * Abs(sumPdi - sumMdi) / denominator;
        lines[3].values[j] = (previousAdx + adx) / 2.0f;
        previousAdx = adx;
        lines[0].values[j] = pdi;
        lines[1].values[j] = mdi;
        lines[2].values[j] = adx;
    }
    if (count > 0) lines[3].values[0] = lines[2].values[0];
    return lines;
}

/// ROC's rate line one bar after the other, bars f .. l.
Line PlainRoc(const float* close, int f, int l, int period) {
    Line roc{f, {}};
    for (int i = f; i <= l; ++i) {
        const float reference = i - period >= 0 ? close[i - period] : close[0];
        roc.values.push_back(reference == 0.0f ? 0.0f : (close[i] - reference) * 100.0f / reference);
    }
    return roc;
}

/// EXPMA one bar after the other, bars f .. l.
std::vector<Line> PlainExpma(const float* open, const float* close, int f, int l, float w1, float w2) {
    std::vector<Line> lines(2, Line{f, {}});
    float e1 = open[f], e2 = open[f];
    for (int i = f; i <= l; ++i) {
        e1 = e1 + (close[i] - e1) * w1;
        e2 = e2 + (close[i] - e2) * w2;
        lines[0].values.push_back(e1);
        lines[1].values.push_back(e2);
    }
    return lines;
}

/// MACD one bar after the other, over the whole series.
std::vector<Line> PlainMacd(const float* high, const float* low, const float* close, int n, int fast,
                            int slow, int signal) {
    std::vector<Line> lines(3, Line{0, {}});
    auto keep = [](int period) {
        return (static_cast<float>(period) - 1.0f) / (static_cast<float>(period) + 1.0f);
    };
    auto take = [](int period) { return 2.0f / (static_cast<float>(period) + 1.0f); };
    float emaFast = 0.0f, emaSlow = 0.0f, signalLine = 0.0f;
    for (int i = 0; i < n; ++i) {
        const float typical = (high[i] + low[i] + 2.0f * close[i]) / 4.0f;
        const float count = static_cast<float>(i);
        emaFast = i < fast ? (emaFast * count + typical) / (count + 1.0f)
                           : emaFast * keep(fast) + typical * take(fast);
        emaSlow = i < slow ? (emaSlow * count + typical) / (count + 1.0f)
                           : emaSlow * keep(slow) + typical * take(slow);
        const float difference = emaFast - emaSlow;
        signalLine = signalLine * keep(signal) + difference * take(signal);
        lines[0].values.push_back(difference);
        lines[1].values.push_back(signalLine);
        lines[2].values.push_back(2.0f * (difference - signalLine));
    }
    return lines;
}

/// A walk in cents with flat stretches (deviations and moves of exactly 0), zero closes
/// and, with `infinite`, one close too large for a float.
BarSeries Walk(int n, unsigned seed, bool infinite = false) {
    std::mt19937 random(seed);
    std::vector<test::TestBar> bars;
    double price = 3000.0;
    for (int i = 0; i < n; ++i) {
        const bool flat = (i / 9) % 5 == 2;
        if (!flat)
            price =
                std::max(0.0, price + static_cast<double>(static_cast<int>(random() % 4001) - 2000) / 100);
        test::TestBar bar;
        bar.open = flat ? price : price + static_cast<double>(random() % 300) / 100;
        bar.close = i % 37 == 11 ? 0.0 : price;
        bar.high = std::max(bar.open, bar.close) + (flat ? 0.0 : static_cast<double>(random() % 500) / 100);
        bar.low = std::min(bar.open, bar.close) - (flat ? 0.0 : static_cast<double>(random() % 500) / 100);
        bar.num = flat ? 0 : static_cast<long long>(random() % 20000);
        bars.push_back(bar);
    }
    if (infinite && n > 3) bars[static_cast<std::size_t>(n / 3)].close = 1e39;
    return test::Bars(bars);
}

/// Series lengths around the blocks (64 bars) and the lanes (4), and windows ending at the
/// newest bar or before it.
struct Case {
    int n;
    int last;  ///< -1: the newest
    int visible;
};

std::vector<Case> Cases() {
    std::vector<Case> cases;
    for (int n : {1, 2, 3, 5, 8, 63, 64, 65, 127, 128, 129, 200, 333}) {
        cases.push_back({n, -1, n});
        cases.push_back({n, -1, 17});
        if (n > 10) cases.push_back({n, n / 2, 30});
        if (n > 70) cases.push_back({n, 66, 60});
    }
    return cases;
}

TEST(BlockLoops, BollMatchesThePlainLoopBitForBit) {
    for (bool infinite : {false, true}) {
        for (const Case& c : Cases()) {
            const BarSeries bars = Walk(c.n, 11u + static_cast<unsigned>(c.n), infinite);
            BarColumns columns(bars);
            const float* close = columns.Close(0, c.n);
            for (int period : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 19, 20, 21, 63, 64, 65, 66, 130}) {
                IndicatorParameters table;
                table[param::kBoll] = period;
                const IndicatorWindow window = MakeIndicatorWindow(c.last, c.visible, c.n);
                const IndicatorResult result = ComputeIndicator(23, columns, window, table);
                const std::vector<Line> plain = PlainBoll(close, c.n, period, std::min(window.last, c.n - 1));
                if (period > c.n) {
                    for (const IndicatorLine& line : result.lines) EXPECT_TRUE(line.values.empty());
                    continue;
                }
                for (std::size_t k = 0; k < 3; ++k)
                    ASSERT_TRUE(Same(result.lines[k], plain[k]))
                        << "line " << k << ", " << c.n << " bars, last " << c.last << ", P " << period
                        << (infinite ? ", an infinite close" : "");
            }
        }
    }
}

TEST(BlockLoops, DmiMatchesThePlainLoopBitForBit) {
    for (const Case& c : Cases()) {
        const BarSeries bars = Walk(c.n, 23u + static_cast<unsigned>(c.n));
        BarColumns columns(bars);
        const float* open = columns.Open(0, c.n);
        const float* high = columns.High(0, c.n);
        const float* low = columns.Low(0, c.n);
        for (int period : {1, 2, 5, 14, 63, 64, 65}) {
            for (int average : {1, 3, 6, 64, 70}) {
                IndicatorParameters table;
                table[param::kDmiPeriod] = period;
                table[param::kDmiAverage] = average;
                const IndicatorWindow window = MakeIndicatorWindow(c.last, c.visible, c.n);
                const IndicatorResult result = ComputeIndicator(22, columns, window, table);
                const int l = std::min(window.last, c.n - 1), f = std::clamp(window.first, 0, l);
                const std::vector<Line> plain =
                    PlainDmi(open, high, low, std::clamp(f - period, 0, l), l, period, average);
                for (std::size_t k = 0; k < 4; ++k)
                    ASSERT_TRUE(Same(result.lines[k], plain[k]))
                        << "line " << k << ", " << c.n << " bars, last " << c.last << ", P " << period
                        << ", Q " << average;
            }
        }
    }
}

TEST(BlockLoops, RocAndExpmaMatchThePlainLoopsBitForBit) {
    for (bool infinite : {false, true}) {
        for (const Case& c : Cases()) {
            const BarSeries bars = Walk(c.n, 31u + static_cast<unsigned>(c.n), infinite);
            BarColumns columns(bars);
            const float* open = columns.Open(0, c.n);
            const float* close = columns.Close(0, c.n);
            const IndicatorWindow window = MakeIndicatorWindow(c.last, c.visible, c.n);
            const int l = std::min(window.last, c.n - 1), f = std::clamp(window.first, 0, l);
            for (int period : {1, 3, 4, 5, 12, 100}) {
                IndicatorParameters table;
                table[param::kRocPeriod] = period;
                table[param::kExpma1] = period;
                const IndicatorResult roc = ComputeIndicator(42, columns, window, table);
                ASSERT_TRUE(Same(roc.lines[0], PlainRoc(close, f, l, period)))
                    << "ROC, " << c.n << " bars, last " << c.last << ", N " << period;
                const IndicatorResult expma = ComputeIndicator(27, columns, window, table);
                const std::vector<Line> plain =
                    PlainExpma(open, close, f, l, 2.0f / (static_cast<float>(period) + 1.0f),
                               2.0f / (static_cast<float>(table[param::kExpma2]) + 1.0f));
                for (std::size_t k = 0; k < 2; ++k)
                    ASSERT_TRUE(Same(expma.lines[k], plain[k]))
                        << "EXPMA line " << k << ", " << c.n << " bars, last " << c.last << ", N " << period;
            }
        }
    }
}

TEST(BlockLoops, MacdMatchesThePlainLoopBitForBit) {
    for (const Case& c : Cases()) {
        const BarSeries bars = Walk(c.n, 41u + static_cast<unsigned>(c.n));
        BarColumns columns(bars);
        const float* high = columns.High(0, c.n);
        const float* low = columns.Low(0, c.n);
        const float* close = columns.Close(0, c.n);
        for (const auto& [fast, slow] :
             {std::pair{12, 26}, std::pair{26, 12}, std::pair{1, 1}, std::pair{3, 70}}) {
            IndicatorParameters table;
            table[param::kMacdFast] = fast;
            table[param::kMacdSlow] = slow;
            const IndicatorResult result =
                ComputeIndicator(21, columns, MakeIndicatorWindow(c.last, c.visible, c.n), table);
            const std::vector<Line> plain =
                PlainMacd(high, low, close, c.n, fast, slow, table[param::kMacdSignal]);
            for (std::size_t k = 0; k < 3; ++k)
                ASSERT_TRUE(Same(result.lines[k], plain[k]))
                    << "line " << k << ", " << c.n << " bars, F " << fast << ", S " << slow;
        }
    }
}

TEST(BlockLoops, PvtMatchesThePlainLoopBitForBit) {
    for (const Case& c : Cases()) {
        const BarSeries bars = Walk(c.n, 53u + static_cast<unsigned>(c.n));
        BarColumns columns(bars);
        const float* close = columns.Close(0, c.n);
        const std::int32_t* num = columns.Num(0, c.n);
        const IndicatorWindow window = MakeIndicatorWindow(c.last, c.visible, c.n);
        const IndicatorResult result = ComputeIndicator(5, columns, window, IndicatorParameters{});
        const int l = std::min(window.last, c.n - 1);
        Line plain{0, {0.0}};
        float value = 0.0f;
        for (int i = 1; i <= l; ++i) {
            value = value + static_cast<float>(num[i]) * (close[i] / close[i - 1] - 1.0f);
            plain.values.push_back(value);
        }
        ASSERT_TRUE(Same(result.lines[0], plain)) << c.n << " bars, last " << c.last;
    }
}

}  // namespace
}  // namespace qelt
