// The engine against a reference that computes every function straight from its definition
// (tests/fuzz/FormulaReference.h): random formulas of the whole language over random bars,
// with the parameter's default and with other values, and a few cases written out.
#include <gtest/gtest.h>

#include <random>

#include "../fuzz/FormulaReference.h"
#include "FormulaTestSupport.h"
#include "RandomFormulas.h"

namespace qelt {
namespace {

/// The engine's outputs of `text` over `bars` against the reference's; also counts the
/// values the reference could decide (`compared`).
::testing::AssertionResult AgreesWithTheReference(const std::string& text, const BarSeries& bars,
                                                  const std::vector<double>& values, int& compared) {
    const std::vector<FormulaParameter>& parameters = test::RandomFormulaParameters();
    const FormulaCompileResult compiled = CompileFormula(text, parameters);
    if (!compiled.formula) return ::testing::AssertionFailure() << compiled.error.Describe();
    const test::ReferenceResult reference = test::ReferenceOutputs(text, parameters, values, bars);
    if (!reference.compiled) return ::testing::AssertionFailure() << "the reference did not compile it";
    FormulaRun run;
    const bool ran = run.Run(*compiled.formula, bars, values);
    if (const std::optional<std::string> difference = test::DifferenceFromReference(reference, ran, run))
        return ::testing::AssertionFailure() << *difference;
    for (const test::ReferenceColumn& column : reference.outputs)
        for (const test::ReferenceValue& v : column) compared += !v.fragile;
    return ::testing::AssertionSuccess();
}

TEST(FormulaReference, RandomFormulasOverRandomBarsGiveTheDefinitionsValues) {
    std::mt19937 random(1234);
    test::RandomFormulaMaker maker(random);
    int compared = 0, total = 0;
    for (int f = 0; f < 1000; ++f) {
        BarSeries bars;
        double price = 20;
        const int n = std::uniform_int_distribution<int>(1, 80)(random);
        for (int i = 0; i < n; ++i)
            bars.push_back(test::RandomBar(random, i, price = test::RandomPrice(random, price)));
        const std::string text = maker.Text();
        const std::vector<double> values = {static_cast<double>(f % 4)};  // 0 puts some N out of range
        for (const std::vector<double>& v : {std::vector<double>{}, values}) {
            ASSERT_TRUE(AgreesWithTheReference(text, bars, v, compared)) << text;
            total += static_cast<int>(
                         CompileFormula(text, test::RandomFormulaParameters()).formula->Outputs().size()) *
                     n;
        }
    }
    EXPECT_GT(compared, total / 2) << "most values are decided, not passed over";
}

TEST(FormulaReference, ConstantOutputsFlatMarketsAndDeviationsAgree) {
    const BarSeries bars = test::CloseBars({5, 5, 5, 5, 5, 5, 5, 5, 6, 7, 5, 5});
    int compared = 0;
    for (const char* text : {"M:100/2;UP:M+20;", "K:MA(C,5);上轨:P*10;下轨:100-上轨;", "CROSS(C,EMA(C,2))",
                             "A:EMA(C,2);B:SMA(C,3,1);D:DMA(C,0.3);", "X:AVEDEV(C,3)+STD(C,4)*2;"})
        EXPECT_TRUE(AgreesWithTheReference(text, bars, {}, compared)) << text;
}

}  // namespace
}  // namespace qelt
