// The weighted mean, the least-squares line, the signal functions, the bars-since functions
// and the power functions against values computed by hand: first bars, window edges, bars
// without a value, flat stretches; their constant ranges; the line functions against a
// direct computation over long random series.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "FormulaTestSupport.h"

namespace qelt {
namespace {

using test::CloseBars;
using test::Compute;
using test::kNone;
using test::SameColumn;

// Bars 0 to 9, as the other function tests use them.
const std::vector<double> kLineCloses = {10, 11, 12, 11, 13, 14, 12, 15, 16, 14};

std::vector<double> Closes(const std::string& text, const std::vector<double>& closes = kLineCloses) {
    return Compute(text, CloseBars(closes));
}

// A close of 0 is a bar without a value.
const std::string kGappy = "X:=IF(C=0,1/0,C); ";

TEST(FormulaLines, WeightedMeansSlopesAndForecastsAtTheStartAndAtTheWindowEdge) {
    // WMA(C,3) = (x0 + 2x1 + 3x2)/6: bar 2 (10+22+36)/6, bar 3 (11+24+33)/6, ...
    EXPECT_TRUE(SameColumn(Closes("WMA(C,3)"), {kNone, kNone, 68.0 / 6, 68.0 / 6, 73.0 / 6, 79.0 / 6,
                                                77.0 / 6, 83.0 / 6, 15, 89.0 / 6}));
    EXPECT_TRUE(SameColumn(Closes("WMA(C,1)"), kLineCloses));
    std::vector<double> last(10, kNone);
    last[9] =
        (1 * 10 + 2 * 11 + 3 * 12 + 4 * 11 + 5 * 13 + 6 * 14 + 7 * 12 + 8 * 15 + 9 * 16 + 10 * 14) / 55.0;
    EXPECT_TRUE(SameColumn(Closes("WMA(C,10)"), last)) << "a window as long as the series";
    EXPECT_TRUE(SameColumn(Closes("WMA(C,11)"), std::vector<double>(10, kNone)));

    // Over three bars the slope is (x2 - x0)/2 and the line's value at the last bar the mean
    // plus the slope.
    EXPECT_TRUE(SameColumn(Closes("SLOPE(C,3)"), {kNone, kNone, 1, 0, 0.5, 1.5, -0.5, 0.5, 2, -0.5}));
    EXPECT_TRUE(SameColumn(Closes("FORCAST(C,3)"),
                           {kNone, kNone, 12, 34.0 / 3, 12.5, 85.0 / 6, 12.5, 85.0 / 6, 49.0 / 3, 14.5}));
    // Two bars: the difference, and the line through both ends at the close.
    EXPECT_TRUE(SameColumn(Closes("SLOPE(C,2)"), {kNone, 1, 1, -1, 2, 1, -2, 3, 1, -2}));
    std::vector<double> closes = kLineCloses;
    closes[0] = kNone;
    EXPECT_TRUE(SameColumn(Closes("FORCAST(C,2)"), closes));

    // A bar without a value keeps every window holding it from having one.
    const std::vector<double> gaps = {1, 2, 0, 4, 5, 6, 7};
    EXPECT_TRUE(SameColumn(Closes(kGappy + "WMA(X,2)", gaps),
                           {kNone, 5.0 / 3, kNone, kNone, 14.0 / 3, 17.0 / 3, 20.0 / 3}));
    EXPECT_TRUE(SameColumn(Closes(kGappy + "SLOPE(X,3)", gaps), {kNone, kNone, kNone, kNone, kNone, 1, 1}));
    EXPECT_TRUE(SameColumn(Closes(kGappy + "FORCAST(X,3)", gaps), {kNone, kNone, kNone, kNone, kNone, 6, 7}));
}

TEST(FormulaLines, AFlatWindowGivesItsValueAndSlopeZeroExactly) {
    EXPECT_TRUE(SameColumn(Closes("SLOPE(C,3)", {5, 5, 5, 5, 7, 7, 7}), {kNone, kNone, 0, 0, 1, 1, 0}, 0));
    EXPECT_TRUE(SameColumn(Closes("WMA(C,3)", {5, 5, 5, 5, 7, 7, 7}), {kNone, kNone, 5, 5, 6, 20.0 / 3, 7}));
    // Values no sum holds exactly, after a move: the line over the flat window is the value
    // itself, not a rounding of it.
    std::vector<double> flat = {0.3, 0.7, 1e5 / 3};
    flat.insert(flat.end(), 20, 0.1);
    for (const char* text : {"SLOPE(C,5)", "WMA(C,5)", "FORCAST(C,5)"}) {
        const std::vector<double> values = Closes(text, flat);
        const double expected = std::string(text) == "SLOPE(C,5)" ? 0.0 : 0.1;
        for (std::size_t i = 7; i < values.size(); ++i)
            EXPECT_EQ(values[i], expected) << text << " bar " << i;
    }
}

TEST(FormulaLines, SpikesHugeValuesAndPricesNearABillionLeaveNoRoundingBehind) {
    // 1e17 has left the two-bar window: the small prices' line is theirs alone.
    const std::vector<double> spike = {1e17, 1, 2, 4, 7};
    EXPECT_TRUE(SameColumn(Closes("SLOPE(C,2)", spike), {kNone, 1 - 1e17, 1, 2, 3}, 1e-15));
    EXPECT_TRUE(SameColumn(Closes("WMA(C,2)", spike), {kNone, (1e17 + 2) / 3, 5.0 / 3, 10.0 / 3, 6}, 1e-15));
    // The spike is the newest bar when the sums are made afresh (bars 0, 3, 6, ...): the
    // windows after it (from bar 6) owe it nothing.
    const std::vector<double> slopes = Closes("SLOPE(C,3)", {5, 6, 7, 1e17, 1, 2, 4, 7, 11});
    EXPECT_TRUE(SameColumn({slopes.begin() + 6, slopes.end()}, {1.5, 2.5, 3.5}, 1e-15));
    EXPECT_TRUE(SameColumn({slopes.begin(), slopes.begin() + 4}, {kNone, kNone, 1, 5e16}, 1e-15));
    // Near the largest double the sums are taken scaled.
    const std::vector<double> huge = {1e306, 1e306, 3e306, 1e306};
    EXPECT_TRUE(SameColumn(Closes("WMA(C,2)", huge), {kNone, 1e306, 7e306 / 3, 5e306 / 3}, 1e-12));
    EXPECT_TRUE(SameColumn(Closes("SLOPE(C,2)", huge), {kNone, 0, 2e306, -2e306}, 1e-12));
    // A slope beyond the largest double has none; the next windows have theirs.
    EXPECT_TRUE(
        SameColumn(Closes("SLOPE(C,2)", {-1.5e308, 1.5e308, 1, 3}), {kNone, kNone, -1.5e308, 2}, 1e-15));
    // Prices near 1e9 that move by 1: their moves, not the billions, make the slope.
    EXPECT_TRUE(SameColumn(Closes("SLOPE(C,4)", {1e9 + 1, 1e9 + 2, 1e9 + 3, 1e9 + 5, 1e9 + 4}),
                           {kNone, kNone, kNone, 1.3, 0.8}, 1e-12));
}

/// WMA, SLOPE and FORCAST as their definitions read, in long double over the whole window.
double DirectLine(const std::string& function, const std::vector<double>& x, int i, int n) {
    if (i < n - 1) return kNone;
    long double sum = 0, weighted = 0, moment = 0;
    const long double centre = (n - 1) / 2.0L;
    for (int u = 0; u < n; ++u) {
        const double v = x[static_cast<std::size_t>(i - n + 1 + u)];
        if (std::isnan(v)) return kNone;
        sum += v, weighted += (u + 1) * static_cast<long double>(v), moment += (u - centre) * v;
    }
    const long double slope = moment / (n * (static_cast<long double>(n) * n - 1) / 12);
    if (function == "WMA") return static_cast<double>(weighted / (n * (n + 1) / 2.0L));
    if (function == "SLOPE") return static_cast<double>(slope);
    return static_cast<double>(sum / n + slope * centre);
}

TEST(FormulaLines, LongRandomSeriesWithGapsAgreeWithTheDirectComputation) {
    // Prices about 3000 on a random walk with fractions; in the first 1000 bars a bar without
    // a value every thirteenth bar and a run of five. The running sums, made afresh every N
    // bars, stay within a few units in the last place of a direct sum.
    std::mt19937 random(7);
    std::uniform_int_distribution<int> step(-30, 30);
    std::vector<double> closes, x;
    double price = 3000;
    for (int i = 0; i < 3000; ++i) {
        price += step(random) / 8.0;
        const bool gap = i < 1000 && (i % 13 == 5 || (i >= 200 && i < 205));
        closes.push_back(gap ? 0 : price);
        x.push_back(gap ? kNone : price);
    }
    const BarSeries bars = CloseBars(closes);
    for (const std::string function : {"WMA", "SLOPE", "FORCAST"}) {
        for (int n : {2, 3, 12, 400, 1999, 2001}) {
            std::vector<double> expected;
            for (int i = 0; i < 3000; ++i) expected.push_back(DirectLine(function, x, i, n));
            const std::string text = kGappy + function + "(X," + std::to_string(n) + ")";
            EXPECT_TRUE(SameColumn(Compute(text, bars), expected, function == "SLOPE" ? 1e-13 : 1e-14))
                << text;
        }
    }
}

TEST(FormulaSignals, ValueWhenBeforeTheFirstSignalAndWhereTheValueIsMissing) {
    // C > 12 at bars 4, 5, 7, 8, 9: nothing before bar 4, then the close of the latest one.
    EXPECT_TRUE(
        SameColumn(Closes("VALUEWHEN(C>12,C)"), {kNone, kNone, kNone, kNone, 13, 14, 14, 15, 16, 14}));
    // X has no value where C is 14 (bars 5 and 9): neither has VALUEWHEN until the next signal.
    EXPECT_TRUE(SameColumn(Closes("VALUEWHEN(C>12,IF(C=14,1/0,C))"),
                           {kNone, kNone, kNone, kNone, 13, kNone, kNone, 15, 16, kNone}));
    // A condition without a value is no signal: the last value stays.
    EXPECT_TRUE(SameColumn(Closes(kGappy + "VALUEWHEN(X,O*10)", {1, 0, 3}), {10, 10, 30}));
}

TEST(FormulaSignals, FilterSilencesTheBarsAfterEachSignalOnly) {
    // C > 10 from bar 1 to the end: a signal every third bar with N = 2, every other with 1;
    // the silenced true bars do not prolong the silence.
    EXPECT_TRUE(SameColumn(Closes("FILTER(C>10,2)"), {0, 1, 0, 0, 1, 0, 0, 1, 0, 0}));
    EXPECT_TRUE(SameColumn(Closes("FILTER(C>10,1)"), {0, 1, 0, 1, 0, 1, 0, 1, 0, 1}));
    EXPECT_TRUE(SameColumn(Closes("FILTER(C>10,20)"), {0, 1, 0, 0, 0, 0, 0, 0, 0, 0}));
    // A true first bar signals; bars without a value are false and always give 0.
    EXPECT_TRUE(SameColumn(Closes(kGappy + "FILTER(X,1)", {1, 2, 0, 4, 0, 6}), {1, 0, 0, 1, 0, 1}));
}

TEST(FormulaSignals, ExistAndEveryOverClippedWholeAndFullWindows) {
    // C > 14 at bars 7 and 8.
    EXPECT_TRUE(SameColumn(Closes("EXIST(C>14,3)"), {0, 0, 0, 0, 0, 0, 0, 1, 1, 1}));
    EXPECT_TRUE(SameColumn(Closes("EXIST(C>15,2)"), {0, 0, 0, 0, 0, 0, 0, 0, 1, 1}));
    EXPECT_TRUE(SameColumn(Closes("EXIST(C>15,0)"), {0, 0, 0, 0, 0, 0, 0, 0, 1, 1}));
    EXPECT_TRUE(SameColumn(Closes("EXIST(C>15,1)"), {0, 0, 0, 0, 0, 0, 0, 0, 1, 0}));
    // C > 10 from bar 1: EVERY needs N bars, so bars 0 to 2 give 0 (bar 0 is false besides).
    EXPECT_TRUE(SameColumn(Closes("EVERY(C>10,3)"), {0, 0, 0, 1, 1, 1, 1, 1, 1, 1}));
    EXPECT_TRUE(SameColumn(Closes("EVERY(C>=10,3)"), {0, 0, 1, 1, 1, 1, 1, 1, 1, 1}));
    EXPECT_TRUE(SameColumn(Closes("EVERY(C>10,0)"), std::vector<double>(10, 0)));
    EXPECT_TRUE(SameColumn(Closes("EVERY(C>=10,0)"), std::vector<double>(10, 1))) << "from bar 0 on";
    EXPECT_TRUE(SameColumn(Closes("EVERY(C>=10,1)"), std::vector<double>(10, 1)));
    EXPECT_TRUE(SameColumn(Closes(kGappy + "EVERY(X,2)", {1, 2, 0, 4, 5}), {0, 1, 0, 0, 1}));
    EXPECT_TRUE(SameColumn(Closes(kGappy + "EXIST(X,2)", {0, 0, 3, 0, 0}), {0, 0, 1, 1, 0}));
}

TEST(FormulaSignals, BarsCountedFromTheFirstValueTheFirstSignalAndInARow) {
    EXPECT_TRUE(SameColumn(Closes("BARSCOUNT(C)"), {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
    // X has its first value at bar 2; the gap at bar 4 still counts.
    EXPECT_TRUE(SameColumn(Closes(kGappy + "BARSCOUNT(X)", {0, 0, 5, 6, 0, 7}), {kNone, kNone, 1, 2, 3, 4}));
    EXPECT_TRUE(SameColumn(Closes("BARSSINCE(C>12)"), {kNone, kNone, kNone, kNone, 0, 1, 2, 3, 4, 5}));
    EXPECT_TRUE(SameColumn(Closes("BARSSINCE(C>=10)"), {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
    // C > 11 at bars 2 and 4 to 9.
    EXPECT_TRUE(SameColumn(Closes("BARSLASTCOUNT(C>11)"), {0, 0, 1, 0, 1, 2, 3, 4, 5, 6}));
    EXPECT_TRUE(SameColumn(Closes(kGappy + "BARSLASTCOUNT(X>0)", {1, 2, 0, 4, 5}), {1, 2, 0, 1, 2}));
}

TEST(FormulaSignals, BarsSinceTheWindowsExtremeTakeTheLatestOfEqualValues) {
    EXPECT_TRUE(SameColumn(Closes("HHVBARS(C,3)"), {0, 0, 0, 1, 0, 0, 1, 0, 0, 1}));
    // Bar 3: 11 at bars 1 and 3, the latest counts.
    EXPECT_TRUE(SameColumn(Closes("LLVBARS(C,3)"), {0, 1, 2, 0, 1, 2, 0, 1, 2, 0}));
    EXPECT_TRUE(SameColumn(Closes("HHVBARS(C,3)", {5, 5, 5, 5}), {0, 0, 0, 0}));
    EXPECT_TRUE(SameColumn(Closes("LLVBARS(C,0)", {3, 1, 4, 1, 5}), {0, 0, 1, 0, 1}));
    EXPECT_TRUE(SameColumn(Closes("HHVBARS(C,0)", {3, 1, 3, 2}), {0, 1, 0, 1}));
    // Gaps are passed over; a window of gaps has no value.
    EXPECT_TRUE(SameColumn(Closes(kGappy + "HHVBARS(X,2)", {4, 0, 0, 1, 0}), {0, 1, kNone, 0, 1}));
}

TEST(FormulaPowers, PowersExponentialsLogarithmsAndSigns) {
    const std::vector<double> v = {-8, -1, 0, 1, 100};
    EXPECT_TRUE(SameColumn(Closes("POW(C,2)", v), {64, 1, 0, 1, 10000}));
    EXPECT_TRUE(SameColumn(Closes("POW(C,1/3)", v), {kNone, kNone, 0, 1, std::cbrt(100.0)}))
        << "a negative to a fraction has no value";
    EXPECT_TRUE(SameColumn(Closes("POW(C,-1)", v), {-0.125, -1, kNone, 1, 0.01})) << "1/0 has none";
    EXPECT_TRUE(SameColumn(Closes("POW(10,C*400)", v), {0, 0, 1, kNone, kNone})) << "beyond a double";
    EXPECT_TRUE(SameColumn(Closes("POW(IF(C>0,C,1/0),0)", v), {kNone, kNone, kNone, 1, 1}))
        << "no value to the power 0 is still none";
    EXPECT_TRUE(
        SameColumn(Closes("EXP(C)", v), {std::exp(-8.0), std::exp(-1.0), 1, std::exp(1.0), std::exp(100.0)}));
    EXPECT_TRUE(
        SameColumn(Closes("EXP(C*10)", v), {std::exp(-80.0), std::exp(-10.0), 1, std::exp(10.0), kNone}));
    EXPECT_TRUE(SameColumn(Closes("LOG(C)", v), {kNone, kNone, kNone, 0, 2}));
    EXPECT_TRUE(SameColumn(Closes("SIGN(C)", v), {-1, -1, 0, 1, 1}));
    EXPECT_TRUE(SameColumn(Closes(kGappy + "SIGN(X-2)", {1, 0, 3}), {-1, kNone, 1}));
    // Of numbers only, they are computed once, as the constants' arithmetic.
    EXPECT_TRUE(SameColumn(Closes("A:POW(2,10)+LOG(1000)+SIGN(-3)+EXP(0)", {1, 2}), {1027, 1027}));
}

std::string CompileError(const std::string& text) {
    const FormulaCompileResult result = CompileFormula(text);
    return result.formula ? "compiles" : result.error.Describe();
}

TEST(FormulaLinesAndSignals, ConstantArgumentsOutOfRangeAreErrorsAtTheirPlace) {
    EXPECT_EQ(CompileError("A:SLOPE(C,1)"), "1:11: N 必须在 2 到 1000000 之间");
    EXPECT_EQ(CompileError("A:FORCAST(C,1.9)"), "1:13: N 必须在 2 到 1000000 之间");
    EXPECT_EQ(CompileError("A:WMA(C,0)"), "1:9: N 必须在 1 到 1000000 之间");
    EXPECT_EQ(CompileError("A:FILTER(C>O,0)"), "1:14: N 必须在 1 到 1000000 之间");
    EXPECT_EQ(CompileError("A:EXIST(C,-1)"), "1:11: N 必须在 0 到 1000000 之间");
    EXPECT_EQ(CompileError("A:C;\nB:EVERY(C,1000001)"), "2:11: N 必须在 0 到 1000000 之间");
    EXPECT_EQ(CompileError("A:LLVBARS(C,-1.5)"), "1:13: N 必须在 0 到 1000000 之间");
    EXPECT_EQ(CompileError("A:HHVBARS(C,C)"), "1:13: N 必须是常数");
    EXPECT_EQ(CompileError("A:MA(C,POW(2,1)+LOG(10))"), "1:8: N 必须是常数") << "a function is no constant";
    EXPECT_EQ(CompileError("A:VALUEWHEN(C)"), "1:3: VALUEWHEN 需要 2 个参数");
    EXPECT_EQ(CompileError("A:pow(C)"), "1:3: POW 需要 2 个参数");
    EXPECT_EQ(CompileError("A:SIGN(C,1)"), "1:3: SIGN 需要 1 个参数");
    EXPECT_EQ(CompileError("A:HHVBARS(C,0)+LLVBARS(C,1000000)+EVERY(C,0)+EXIST(C,0)+SLOPE(C,2)"), "compiles");

    // A parameter within its range can still take N out of it: the run says where.
    const std::vector<FormulaParameter> parameters = {{"N", 5, 1, 10}};
    const FormulaCompileResult compiled = CompileFormula("A:SLOPE(C,N-3)", parameters);
    ASSERT_TRUE(compiled.formula) << compiled.error.Describe();
    FormulaRun run;
    EXPECT_FALSE(run.Run(*compiled.formula, CloseBars({1, 2, 3}), {4}));
    ASSERT_TRUE(run.Error());
    EXPECT_EQ(run.Error()->Describe(), "1:11: N 必须在 2 到 1000000 之间");
    EXPECT_TRUE(run.Run(*compiled.formula, CloseBars({1, 2, 3}), {5}));
    EXPECT_TRUE(SameColumn(std::vector<double>(run.Column(0).begin(), run.Column(0).end()), {kNone, 1, 1}));
}

}  // namespace
}  // namespace qelt
