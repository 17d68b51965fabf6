// No look-ahead: a formula computed over the first k bars of a series gives, at every bar
// below k, exactly the values computed over the whole series, for every function of the
// language, on plain series and on series with gaps. Screening at a past date, the alarms
// and the system tests rest on it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <string>
#include <vector>

#include "AnalysisTestSupport.h"
#include "formula/FormulaNames.h"
#include "formula/FormulaText.h"

namespace qelt {
namespace {

/// One use of each function, its input X either the close or a series with gaps (no value
/// where the close fell), so the rules about bars without a value are held too.
struct Use {
    const char* function;
    const char* call;  ///< with X for the input
};

constexpr Use kUses[] = {
    {"MA", "MA(X,4)"},
    {"EMA", "EMA(X,5)"},
    {"SMA", "SMA(X,5,2)"},
    {"DMA", "DMA(X,0.3)"},
    {"REF", "REF(X,2)"},
    {"HHV", "HHV(X,4)"},
    {"HHV", "HHV(X,0)"},
    {"LLV", "LLV(X,4)"},
    {"LLV", "LLV(X,0)"},
    {"SUM", "SUM(X,4)"},
    {"SUM", "SUM(X,0)"},
    {"COUNT", "COUNT(X>REF(C,1),4)"},
    {"COUNT", "COUNT(X>REF(C,1),0)"},
    {"STD", "STD(X,4)"},
    {"STDP", "STDP(X,4)"},
    {"AVEDEV", "AVEDEV(X,4)"},
    {"ABS", "ABS(X-1000)"},
    {"SQRT", "SQRT(X-1000)"},
    {"LN", "LN(X-1000)"},
    {"MAX", "MAX(X,O)"},
    {"MIN", "MIN(X,O)"},
    {"IF", "IF(X>O,X,O)"},
    {"CROSS", "CROSS(X,MA(C,3))"},
    {"BARSLAST", "BARSLAST(X>O)"},
    {"WMA", "WMA(X,4)"},
    {"SLOPE", "SLOPE(X,4)"},
    {"FORCAST", "FORCAST(X,4)"},
    {"VALUEWHEN", "VALUEWHEN(X>O,X)"},
    {"FILTER", "FILTER(X>O,3)"},
    {"EXIST", "EXIST(X>O,4)"},
    {"EXIST", "EXIST(X>REF(C,1),0)"},
    {"EVERY", "EVERY(X>=O,3)"},
    {"EVERY", "EVERY(X>0,0)"},
    {"BARSCOUNT", "BARSCOUNT(X)"},
    {"BARSSINCE", "BARSSINCE(X>O)"},
    {"BARSLASTCOUNT", "BARSLASTCOUNT(X>O)"},
    {"HHVBARS", "HHVBARS(X,4)"},
    {"HHVBARS", "HHVBARS(X,0)"},
    {"LLVBARS", "LLVBARS(X,4)"},
    {"LLVBARS", "LLVBARS(X,0)"},
    {"POW", "POW(X-1000,0.5)"},
    {"EXP", "EXP(X/1000)"},
    {"LOG", "LOG(X-1000)"},
    {"SIGN", "SIGN(X-O)"},
};

bool Agree(double part, double whole) { return test::SameValue(part, whole); }

constexpr const char* kInputs[] = {"X:=C;", "X:=IF(C>=REF(C,1),C,C/0);"};

TEST(PrefixProperty, EveryFunctionOverTheFirstKBarsGivesTheWholeSeriesValuesBelowK) {
    const BarSeries whole = test::Walk(90, 5);
    for (const char* input : kInputs) {
        for (const Use& use : kUses) {
            const std::string text = std::string(input) + "OUT:" + use.call + ";";
            const CompiledFormula formula = test::MustCompile(text);
            FormulaRun all;
            ASSERT_TRUE(all.Run(formula, whole));
            for (int k : {1, 2, 3, 4, 5, 9, 30, 61, 89}) {
                const BarSeries first(whole.begin(), whole.begin() + k);
                FormulaRun part;
                ASSERT_TRUE(part.Run(formula, first));
                for (int bar = 0; bar < k; ++bar) {
                    const double a = part.Column(0)[static_cast<std::size_t>(bar)];
                    const double b = all.Column(0)[static_cast<std::size_t>(bar)];
                    EXPECT_TRUE(Agree(a, b))
                        << text << " over " << k << " bars, bar " << bar << ": " << a << " against " << b;
                }
            }
        }
    }
}

TEST(PrefixProperty, TheCasesAboveUseEveryFunctionTheLanguageKnows) {
    std::set<std::string> used;
    for (const Use& use : kUses) {
        ASSERT_NE(formula::FindFunction(formula::UpperAscii(use.function)), nullptr) << use.function;
        used.insert(use.function);
    }
    for (int f = 0; f <= static_cast<int>(formula::kLastFunction); ++f) {
        const std::string_view name = formula::InfoOf(static_cast<formula::Function>(f)).name;
        EXPECT_TRUE(used.count(std::string(name))) << name << " has no case";
    }
}

}  // namespace
}  // namespace qelt
