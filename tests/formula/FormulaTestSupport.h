#pragma once
// Bars and columns for the formula tests: series written as numbers, a formula computed in
// one call, columns compared with "no value" (NaN) as a value of its own.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "common/Numbers.h"
#include "data/Bar.h"
#include "formula/Formula.h"

namespace qelt::test {

/// "No value" in an expected column.
inline constexpr double kNone = std::numeric_limits<double>::quiet_NaN();

struct PriceBar {
    double open = 0, high = 0, low = 0, close = 0;
    long long volume = 100;
    double average = 0;
    long long position = 0;
};

/// Bars dated 20060102, 20060103, ... with the given prices as "%.10g" texts.
inline BarSeries PriceBars(const std::vector<PriceBar>& prices) {
    BarSeries bars;
    auto text = [](double v) { return FormatGeneral(v, 10); };
    for (std::size_t i = 0; i < prices.size(); ++i) {
        const PriceBar& p = prices[i];
        bars.push_back(CBarRow{FormatInt(20060102 + static_cast<int>(i)), text(p.open), text(p.close),
                               text(p.high), text(p.low), FormatInt(p.volume), text(p.average),
                               FormatInt(p.position), "0", "200606"});
    }
    return bars;
}

/// Bars whose open, high, low, close and average price are all `closes[i]`.
inline BarSeries CloseBars(const std::vector<double>& closes) {
    std::vector<PriceBar> prices;
    for (double c : closes) prices.push_back({c, c, c, c, 100, c, 0});
    return PriceBars(prices);
}

/// Output `output` of `text` over `bars`; a text that does not compile fails the test and
/// gives an empty column.
inline std::vector<double> Compute(const std::string& text, const BarSeries& bars, int output = 0,
                                   const std::vector<FormulaParameter>& parameters = {},
                                   const std::vector<double>& values = {}) {
    FormulaCompileResult compiled = CompileFormula(text, parameters);
    EXPECT_TRUE(compiled.formula) << text << ": " << compiled.error.Describe();
    if (!compiled.formula) return {};
    FormulaRun run;
    EXPECT_TRUE(run.Run(*compiled.formula, bars, values)) << text;
    std::span<const double> column = run.Column(output);
    return std::vector<double>(column.begin(), column.end());
}

/// Bar by bar: both without a value, or both with values within `tolerance` (relative to
/// the larger magnitude when it exceeds 1).
inline ::testing::AssertionResult SameColumn(const std::vector<double>& actual,
                                             const std::vector<double>& expected, double tolerance = 1e-9) {
    if (actual.size() != expected.size())
        return ::testing::AssertionFailure() << actual.size() << " bars, expected " << expected.size();
    for (std::size_t i = 0; i < actual.size(); ++i) {
        const double a = actual[i], e = expected[i];
        const bool same = std::isnan(a) || std::isnan(e)
                              ? std::isnan(a) && std::isnan(e)
                              : std::fabs(a - e) <= tolerance * std::max({1.0, std::fabs(a), std::fabs(e)});
        if (!same) return ::testing::AssertionFailure() << "bar " << i << ": " << a << ", expected " << e;
    }
    return ::testing::AssertionSuccess();
}

}  // namespace qelt::test
