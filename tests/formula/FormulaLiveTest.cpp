// A formula kept by a pane through a live session: after every quote (the last bar changed,
// a bar added, both, a hostile bar) the run that goes over the changed bars only gives what
// a computation from bar 0 gives, to the last bit.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>

#include "FormulaTestSupport.h"
#include "RandomFormulas.h"

namespace qelt {
namespace {

/// Both columns the same bar for bar, "no value" included, to the last bit.
::testing::AssertionResult Identical(std::span<const double> a, std::span<const double> b) {
    if (a.size() != b.size())
        return ::testing::AssertionFailure() << a.size() << " bars against " << b.size();
    for (std::size_t i = 0; i < a.size(); ++i) {
        const bool same =
            std::isnan(a[i]) ? std::isnan(b[i]) : std::memcmp(&a[i], &b[i], sizeof(double)) == 0;
        if (!same) return ::testing::AssertionFailure() << "bar " << i << ": " << a[i] << " against " << b[i];
    }
    return ::testing::AssertionSuccess();
}

/// One quote of a live session: the bars it leaves, and how many leading bars it kept.
int Quote(std::mt19937& random, BarSeries& bars, double& price) {
    const int n = static_cast<int>(bars.size());
    switch (std::uniform_int_distribution<int>(0, 9)(random)) {
        case 0:  // a new day: the last bar is final, a bar follows
        case 1:
            price = test::RandomPrice(random, price);
            bars.push_back(test::RandomBar(random, n, price));
            return n;
        case 2:  // the last bar moves and a new one follows in the same reply
            bars.back() = test::RandomBar(random, n - 1, test::RandomPrice(random, price));
            price = test::RandomPrice(random, price);
            bars.push_back(test::RandomBar(random, n, price));
            return n - 1;
        case 3: {  // a hostile close near the largest double: sums change their scale
            bars.back() = test::RandomBar(random, n - 1, price);
            bars.back().Set(kBarClose, std::uniform_int_distribution<int>(0, 1)(random) ? "1e300" : "-3e305");
            return n - 1;
        }
        case 4:  // a reload that changed an early bar: no promise beyond it
            bars[static_cast<std::size_t>(n / 2)] = test::RandomBar(random, n / 2, price + 1);
            return n / 2;
        default:  // a trade: the last bar's prices move
            price = test::RandomPrice(random, price);
            bars.back() = test::RandomBar(random, n - 1, price);
            return n - 1;
    }
}

TEST(FormulaLiveSession, EveryQuoteGivesWhatAComputationFromBarZeroGives) {
    std::mt19937 random(20060102);
    test::RandomFormulaMaker maker(random);
    const std::vector<FormulaParameter>& parameters = test::RandomFormulaParameters();
    int formulas = 0;
    while (formulas < 300) {
        const std::string text = maker.Text();
        const FormulaCompileResult compiled = CompileFormula(text, parameters);
        ASSERT_TRUE(compiled.formula) << text << compiled.error.Describe();
        ++formulas;
        BarSeries bars;
        double price = 20;
        const int start = std::uniform_int_distribution<int>(1, 40)(random);
        for (int i = 0; i < start; ++i)
            bars.push_back(test::RandomBar(random, i, price = test::RandomPrice(random, price)));
        FormulaRun live;
        std::vector<double> values;
        live.Run(*compiled.formula, bars, values);
        for (int step = 0; step < 30; ++step) {
            const int unchanged = Quote(random, bars, price);
            // Now and then the user sets another value of P: the run starts from bar 0.
            if (std::uniform_int_distribution<int>(0, 14)(random) == 0)
                values = {static_cast<double>(step % 5 + 1)};
            const bool liveRan = live.Run(*compiled.formula, bars, values, unchanged);
            FormulaRun fresh;
            ASSERT_EQ(liveRan, fresh.Run(*compiled.formula, bars, values)) << text;
            for (int k = 0; k < fresh.OutputCount(); ++k)
                ASSERT_TRUE(Identical(live.Column(k), fresh.Column(k)))
                    << text << "output " << k << " after step " << step << " (" << bars.size()
                    << " bars) unchanged " << unchanged;
        }
    }
}

/// A session of 200 quotes over 300 bars: after each, the run that resumes pays for the
/// changed bars only and gives what a run from bar 0 gives.
void ExpectLiveRunsAsFresh(const std::string& text) {
    const FormulaCompileResult compiled = CompileFormula(text);
    ASSERT_TRUE(compiled.formula) << compiled.error.Describe();
    std::mt19937 random(5);
    BarSeries bars;
    double price = 20;
    for (int i = 0; i < 300; ++i)
        bars.push_back(test::RandomBar(random, i, price = test::RandomPrice(random, price)));
    FormulaRun live;
    ASSERT_TRUE(live.Run(*compiled.formula, bars));
    for (int step = 0; step < 200; ++step) {
        int unchanged = static_cast<int>(bars.size()) - 1;
        price = test::RandomPrice(random, price);
        if (step % 3 == 0) {
            bars.push_back(test::RandomBar(random, static_cast<int>(bars.size()), price));
            unchanged = static_cast<int>(bars.size()) - 1;
        } else {
            bars.back() = test::RandomBar(random, static_cast<int>(bars.size()) - 1, price);
        }
        // The changed bars alone are paid for: the last one and a new one at most.
        const double perBar = FormulaRun().CostOf(*compiled.formula, 1);
        ASSERT_TRUE(live.Run(*compiled.formula, bars, {}, unchanged, FormulaRunControl{2 * perBar}));
        FormulaRun fresh;
        ASSERT_TRUE(fresh.Run(*compiled.formula, bars));
        for (int k = 0; k < fresh.OutputCount(); ++k)
            ASSERT_TRUE(Identical(live.Column(k), fresh.Column(k)))
                << "output " << k << " after quote " << step;
    }
}

TEST(FormulaLiveSession, LongWindowsAndDeepFormulasResumeFromTheirKeptValues) {
    // Windows longer than the series so far, N = 0 windows, recursions over gaps, and the
    // same statement read by several windows.
    ExpectLiveRunsAsFresh(
        "X:=IF(C=0,1/0,C); A:MA(X,50)+SUM(X,0)/1000; B:HHV(X,400)-LLV(X,0)+COUNT(X>20,7);"
        "D:STD(X,60)+STDP(X,3)+AVEDEV(X,45)+AVEDEV(X,280); E:EMA(X,30)+SMA(X,9,2)+DMA(X,0.05)+REF(X,120);"
        "F:CROSS(X,MA(X,5))+BARSLAST(X>25)+CROSS(MA(X,3),REF(X,1));");
}

TEST(FormulaLiveSession, LinesSignalsAndBarCountsResumeFromTheirKeptValues) {
    // The line sums are made afresh from the window every N bars, at a quote too; the queue
    // of HHVBARS; the signal a FILTER silences with; the value VALUEWHEN holds.
    ExpectLiveRunsAsFresh(
        "X:=IF(C=0,1/0,C); A:WMA(X,7)+WMA(X,350)+WMA(C,1); B:SLOPE(X,2)+SLOPE(C,40)+SLOPE(X,301)*100;"
        "D:FORCAST(X,3)+FORCAST(C,120); E:HHVBARS(X,30)+LLVBARS(X,0)*1000+HHVBARS(C,400)*100000;"
        "F:VALUEWHEN(CROSS(X,MA(X,5)),X)+FILTER(X>20,6)+FILTER(C>O,1)*10;"
        "G:EXIST(X>24,9)+EVERY(X>15,12)*10+EVERY(X>5,0)*100+EXIST(X>30,0)*1000;"
        "K:BARSCOUNT(X)+BARSSINCE(X>22)*1000+BARSLASTCOUNT(X>18)*1000000+SIGN(X-20)+POW(X,0.5)+LOG(X)+EXP(X/"
        "100);");
}

}  // namespace
}  // namespace qelt
