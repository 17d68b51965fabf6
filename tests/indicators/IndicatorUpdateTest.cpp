// Lines brought up to date after a change at the end of the series (a live quote rewrites
// the last bar, a new day is appended, the window moves) equal a computation from the first
// bar, bit for bit, for every indicator; and the cache that does so on its own.
#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <string>
#include <vector>

#include "TestBars.h"
#include "indicators/IndicatorCache.h"

namespace qelt {
namespace {

using test::TestBar;

/// Random bars: a walk in cents, now and then a zero close or a zero volume (the
/// computations' non-finite and flat cases).
class RandomBars {
  public:
    explicit RandomBars(unsigned seed) : m_random(seed) {}

    CBarRow Next(int index) {
        m_price =
            std::max(1.0, m_price + static_cast<double>(static_cast<int>(m_random() % 201) - 100) / 100.0);
        TestBar bar;
        bar.open = m_price + static_cast<double>(m_random() % 50) / 100.0;
        bar.close = m_random() % 97 == 0 ? 0.0 : m_price;
        bar.high = std::max(bar.open, bar.close) + static_cast<double>(m_random() % 80) / 100.0;
        bar.low = std::min(bar.open, bar.close) - static_cast<double>(m_random() % 80) / 100.0;
        bar.num = m_random() % 53 == 0 ? 0 : static_cast<long long>(m_random() % 100000);
        bar.avg = (bar.high + bar.low) / 2.0;
        bar.pure = static_cast<long long>(m_random() % 5000);
        return test::Row(bar, index);
    }

    BarSeries Series(int n) {
        BarSeries bars;
        for (int i = 0; i < n; ++i) bars.push_back(Next(i));
        return bars;
    }

  private:
    std::mt19937 m_random;
    double m_price = 3000.0;
};

/// Parameter tables the updates must handle: the defaults, short periods and periods
/// longer than the series at first (the lines start empty and fill as days come in).
std::vector<IndicatorParameters> Tables() {
    IndicatorParameters shortPeriods, longPeriods;
    for (int position = 0; position < kIndicatorParameterCount; ++position) {
        shortPeriods[position] = std::max(2, IndicatorParameters{}[position] / 4);
        longPeriods[position] = IndicatorParameters{}[position] * 6;
    }
    return {IndicatorParameters{}, shortPeriods, longPeriods};
}

/// One step of a live session: how the series changes and where the window goes.
struct Step {
    const char* what;
    bool rewriteLast;
    int append;
    int last;  ///< the window's last visible bar, -1: the newest
};

constexpr Step kSession[] = {
    {"a live quote", true, 0, -1},
    {"another quote", true, 0, -1},
    {"a new day", false, 1, -1},
    {"a quote on the new day", true, 0, -1},
    {"scrolled back", false, 0, 40},
    {"a quote while scrolled back", true, 0, 40},
    {"back to the newest", false, 0, -1},
    {"three days at once and a quote", true, 3, -1},
    {"scrolled into the middle", false, 0, 70},
    {"a day while in the middle", false, 1, 70},
};

TEST(IndicatorUpdate, EveryIndicatorBroughtUpToDateEqualsAFullComputationBitForBit) {
    for (const IndicatorParameters& table : Tables()) {
        for (const IndicatorDefinition& definition : IndicatorDefinitions()) {
            RandomBars random(static_cast<unsigned>(definition.code) * 7919u +
                              static_cast<unsigned>(table[0]));
            BarSeries bars = random.Series(90);
            BarColumns columns(bars);
            const int visible = 30;
            IndicatorResult kept;
            ComputeIndicator(definition.code, columns, MakeIndicatorWindow(-1, visible, 90), table, kept);
            for (const Step& step : kSession) {
                const int oldSize = static_cast<int>(bars.size());
                int changed = INT_MAX;
                if (step.rewriteLast) {
                    bars.back() = random.Next(oldSize - 1);
                    changed = oldSize - 1;
                    columns.Forget(changed);
                }
                for (int k = 0; k < step.append; ++k)
                    bars.push_back(random.Next(static_cast<int>(bars.size())));
                if (step.append > 0) changed = std::min(changed, oldSize);
                const int n = static_cast<int>(bars.size());
                const IndicatorWindow window = MakeIndicatorWindow(step.last, visible, n);
                UpdateIndicator(definition.code, columns, window, table, changed, kept);
                ASSERT_EQ(kept, test::Compute(definition.code, bars, table, visible, step.last))
                    << definition.key << " after " << step.what << " (table " << table[0] << ")";
            }
        }
    }
}

TEST(IndicatorUpdate, TheCacheFollowsLiveQuotesNewDaysAndAReplacedSeries) {
    RandomBars random(2006);
    BarSeries bars = random.Series(150);
    const IndicatorParameters table;
    IndicatorCache cache;
    auto expectAllFresh = [&](const char* what, std::uint64_t generation) {
        const IndicatorWindow window = MakeIndicatorWindow(-1, 50, static_cast<int>(bars.size()));
        for (const IndicatorDefinition& definition : IndicatorDefinitions()) {
            ASSERT_EQ(cache.Result(definition.code, bars, window, table, generation),
                      test::Compute(definition.code, bars, table, 50))
                << definition.key << " after " << what;
        }
    };
    expectAllFresh("the first paint", 0);
    for (int quote = 0; quote < 3; ++quote) {
        bars.back() = random.Next(static_cast<int>(bars.size()) - 1);
        expectAllFresh("a live quote", 0);
    }
    bars.push_back(random.Next(static_cast<int>(bars.size())));
    expectAllFresh("a new day", 0);

    // A view that loads a fresh copy for every quote says so before it swaps the copies: a
    // copy that only continues the old one keeps what was computed...
    BarSeries next = bars;
    next.back() = random.Next(static_cast<int>(next.size()) - 1);
    next.push_back(random.Next(static_cast<int>(next.size())));
    cache.Replacing(bars, 0, next, 1);
    bars = next;
    expectAllFresh("a continuing copy", 1);
    // ... and one that differs before its last bar (a corrected day, another series) does not.
    next = bars;
    next[10] = random.Next(10);
    next.back() = random.Next(static_cast<int>(next.size()) - 1);
    cache.Replacing(bars, 1, next, 2);
    bars = next;
    expectAllFresh("a copy with an earlier day changed", 2);
}

}  // namespace
}  // namespace qelt
