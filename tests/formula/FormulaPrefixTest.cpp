// No look-ahead over the whole language: a random formula computed over the first k bars of
// a series gives, at every bar below k, exactly the bits the whole series gives there. The
// screening at a past date, the alarms and the system tests rest on it.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>

#include "FormulaTestSupport.h"
#include "RandomFormulas.h"

namespace qelt {
namespace {

bool SameBits(double a, double b) {
    return std::isnan(a) ? std::isnan(b) : std::memcmp(&a, &b, sizeof(double)) == 0;
}

TEST(FormulaPrefix, RandomFormulasOverTheFirstKBarsGiveTheWholeSeriesValuesBelowK) {
    std::mt19937 random(19930701);
    test::RandomFormulaMaker maker(random);
    const std::vector<FormulaParameter>& parameters = test::RandomFormulaParameters();
    int compared = 0;
    for (int f = 0; f < 300; ++f) {
        const std::string text = maker.Text();
        const FormulaCompileResult compiled = CompileFormula(text, parameters);
        ASSERT_TRUE(compiled.formula) << text << compiled.error.Describe();
        BarSeries whole;
        double price = 20;
        const int n = std::uniform_int_distribution<int>(2, 90)(random);
        for (int i = 0; i < n; ++i)
            whole.push_back(test::RandomBar(random, i, price = test::RandomPrice(random, price)));
        FormulaRun all;
        ASSERT_TRUE(all.Run(*compiled.formula, whole)) << text;
        for (int k : {1, 2, std::uniform_int_distribution<int>(1, n)(random), n - 1}) {
            const BarSeries first(whole.begin(), whole.begin() + k);
            FormulaRun part;
            ASSERT_TRUE(part.Run(*compiled.formula, first)) << text;
            for (int output = 0; output < all.OutputCount(); ++output) {
                for (int bar = 0; bar < k; ++bar) {
                    const double a = part.Column(output)[static_cast<std::size_t>(bar)];
                    const double b = all.Column(output)[static_cast<std::size_t>(bar)];
                    ASSERT_TRUE(SameBits(a, b)) << text << "output " << output << " over " << k
                                                << " bars, bar " << bar << ": " << a << " against " << b;
                    ++compared;
                }
            }
        }
    }
    EXPECT_GT(compared, 10000);
}

}  // namespace
}  // namespace qelt
