// Every function of the formula language against values computed by hand, at the first
// bars, in the middle and at the window's edges; the rules for bars without a value; and
// the windowed functions against a direct computation over random series.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "FormulaTestSupport.h"

namespace qelt {
namespace {

using test::CloseBars;
using test::Compute;
using test::kNone;
using test::SameColumn;

// The closes most cases run over, bars 0 to 9.
const std::vector<double> kCloses = {10, 11, 12, 11, 13, 14, 12, 15, 16, 14};

std::vector<double> Over(const std::string& text, const std::vector<double>& closes = kCloses) {
    return Compute(text, CloseBars(closes));
}

TEST(FormulaFunctions, AveragesAtTheStartInTheMiddleAndAtTheWindowEdge) {
    // MA(C,3): no value until three bars exist; then (10+11+12)/3, (11+12+11)/3, ...,
    // (15+16+14)/3.
    EXPECT_TRUE(
        SameColumn(Over("MA(C,3)"), {kNone, kNone, 11, 34.0 / 3, 12, 38.0 / 3, 13, 41.0 / 3, 43.0 / 3, 15}));
    EXPECT_TRUE(SameColumn(Over("MA(C,1)"), kCloses));
    // A window as long as the series has one value (128 / 10), a longer one none.
    std::vector<double> last(10, kNone);
    last[9] = 12.8;
    EXPECT_TRUE(SameColumn(Over("MA(C,10)"), last));
    EXPECT_TRUE(SameColumn(Over("MA(C,11)"), std::vector<double>(10, kNone)));

    // EMA(C,3): Y = (2X + 2Y')/4 from Y = 10: 10.5, 11.25, (22 + 22.5)/4, (26 + 22.25)/4, ...
    const std::vector<double> ema = Over("EMA(C,3)");
    EXPECT_TRUE(SameColumn({ema.begin(), ema.begin() + 6}, {10, 10.5, 11.25, 11.125, 12.0625, 13.03125}));
    EXPECT_TRUE(SameColumn(Over("EMA(C,1)"), kCloses)) << "(2X + 0Y')/2 is X";

    // SMA(C,3,1): Y = (X + 2Y')/3 from 10: 31/3, (12 + 62/3)/3 = 98/9, (11 + 196/9)/3 = 295/27.
    const std::vector<double> sma = Over("SMA(C,3,1)");
    EXPECT_TRUE(SameColumn({sma.begin(), sma.begin() + 4}, {10, 31.0 / 3, 98.0 / 9, 295.0 / 27}));
    EXPECT_TRUE(SameColumn(Over("SMA(C,2,2)"), kCloses)) << "M = N keeps nothing of Y'";

    // DMA(C,0.25): Y = X/4 + 3Y'/4 from 10: 2.75 + 7.5, 3 + 7.6875, 2.75 + 8.015625.
    const std::vector<double> dma = Over("DMA(C,0.25)");
    EXPECT_TRUE(SameColumn({dma.begin(), dma.begin() + 4}, {10, 10.25, 10.6875, 10.765625}));
    EXPECT_TRUE(SameColumn(Over("DMA(C,1)"), kCloses));
}

TEST(FormulaFunctions, ExtremesSumsAndCountsOverClippedAndWholeWindows) {
    const std::vector<double> d = {5, 1, 4, 2, 3, 0, 6, 1};
    // HHV(C,3): bars 0..1 take the bars so far (5, 5), then 0..2 = 5, 1..3 = 4, 2..4 = 4,
    // 3..5 = 3, 4..6 = 6, 5..7 = 6.
    EXPECT_TRUE(SameColumn(Over("HHV(C,3)", d), {5, 5, 5, 4, 4, 3, 6, 6}));
    EXPECT_TRUE(SameColumn(Over("LLV(C,3)", d), {5, 1, 1, 1, 2, 0, 0, 0}));
    // N = 0 and N beyond the series: every bar so far.
    EXPECT_TRUE(SameColumn(Over("HHV(C,0)", d), {5, 5, 5, 5, 5, 5, 6, 6}));
    EXPECT_TRUE(SameColumn(Over("HHV(C,100)", d), {5, 5, 5, 5, 5, 5, 6, 6}));
    EXPECT_TRUE(SameColumn(Over("LLV(C,0)", d), {5, 1, 1, 1, 1, 0, 0, 0}));
    // SUM(C,2): 5, 5+1, 1+4, 4+2, 2+3, 3+0, 0+6, 6+1; SUM(C,0) the running total.
    EXPECT_TRUE(SameColumn(Over("SUM(C,2)", d), {5, 6, 5, 6, 5, 3, 6, 7}));
    EXPECT_TRUE(SameColumn(Over("SUM(C,0)", d), {5, 6, 10, 12, 15, 15, 21, 22}));
    EXPECT_TRUE(SameColumn(Over("SUM(C,100)", d), {5, 6, 10, 12, 15, 15, 21, 22}));
    // C>2 is true at bars 0, 2, 4, 6: three-bar counts 1, 1, 2, 1, 2, 1, 2, 1.
    EXPECT_TRUE(SameColumn(Over("COUNT(C>2,3)", d), {1, 1, 2, 1, 2, 1, 2, 1}));
    EXPECT_TRUE(SameColumn(Over("COUNT(C>2,0)", d), {1, 1, 2, 2, 3, 3, 4, 4}));
}

TEST(FormulaFunctions, DeviationsOverTheWindow) {
    // STD(C,3) at bar 2: 10, 11, 12 about 11: (1 + 0 + 1)/2 = 1. Bar 3: 11, 12, 11 about
    // 34/3: (1/9 + 4/9 + 1/9)/2 = 1/3. Bar 5: 11, 13, 14 about 38/3: (25 + 1 + 16)/9/2 = 7/3.
    const std::vector<double> std3 = Over("STD(C,3)");
    EXPECT_TRUE(SameColumn({std3.begin(), std3.begin() + 6},
                           {kNone, kNone, 1, std::sqrt(1.0 / 3), 1, std::sqrt(7.0 / 3)}));
    EXPECT_DOUBLE_EQ(std3[9], 1.0) << "15, 16, 14";
    // STDP divides by N: bar 2 sqrt(2/3), bar 3 sqrt(2/9), bar 4 (12, 11, 13) sqrt(2/3),
    // bar 5 sqrt(42/27).
    const std::vector<double> stdp3 = Over("STDP(C,3)");
    EXPECT_TRUE(
        SameColumn({stdp3.begin() + 2, stdp3.begin() + 6},
                   {std::sqrt(2.0 / 3), std::sqrt(2.0 / 9), std::sqrt(2.0 / 3), std::sqrt(42.0 / 27)}));
    // AVEDEV(C,3): bar 2 (1 + 0 + 1)/3; bar 3 (1/3 + 2/3 + 1/3)/3 = 4/9; bar 5 (5/3 + 1/3 +
    // 4/3)/3 = 10/9; bar 9 (0 + 1 + 1)/3.
    const std::vector<double> avedev = Over("AVEDEV(C,3)");
    EXPECT_TRUE(SameColumn({avedev.begin(), avedev.begin() + 6},
                           {kNone, kNone, 2.0 / 3, 4.0 / 9, 2.0 / 3, 10.0 / 9}));
    EXPECT_DOUBLE_EQ(avedev[9], 2.0 / 3);
    // The whole series (mean 12.8): squared deviations sum to 33.6, absolute ones to 16.
    EXPECT_NEAR(Over("STD(C,10)")[9], std::sqrt(33.6 / 9), 1e-12);
    EXPECT_NEAR(Over("AVEDEV(C,10)")[9], 1.6, 1e-12);
    EXPECT_TRUE(std::isnan(Over("STD(C,10)")[8]));
    // One-bar windows deviate by nothing; two bars 10, 11 by sqrt(1/2).
    EXPECT_TRUE(SameColumn(Over("STDP(C,1)"), std::vector<double>(10, 0.0)));
    EXPECT_TRUE(SameColumn(Over("AVEDEV(C,1)"), std::vector<double>(10, 0.0)));
    EXPECT_NEAR(Over("STD(C,2)")[1], std::sqrt(0.5), 1e-12);
}

TEST(FormulaFunctions, ReferencesCrossingsAndBarsSince) {
    EXPECT_TRUE(SameColumn(Over("REF(C,2)"), {kNone, kNone, 10, 11, 12, 11, 13, 14, 12, 15}));
    EXPECT_TRUE(SameColumn(Over("REF(C,0)"), kCloses));
    EXPECT_TRUE(SameColumn(Over("REF(C,10)"), std::vector<double>(10, kNone)));
    // C against MA(C,3) (none, none, 11, 11.33, 12, 12.67, 13, 13.67, 14.33, 15): above at
    // bar 4 (13 > 12 after 11 <= 11.33) and bar 7 (15 > 13.67 after 12 <= 13). Bar 2 is
    // above too, but the bar before has no average: no cross.
    EXPECT_TRUE(SameColumn(Over("CROSS(C,MA(C,3))"), {0, 0, 0, 0, 1, 0, 0, 1, 0, 0}));
    EXPECT_TRUE(SameColumn(Over("CROSS(C,10.5)"), {0, 1, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_TRUE(SameColumn(Over("CROSS(C,5)"), std::vector<double>(10, 0.0)))
        << "above from bar 0: never a cross";
    // C = 12 at bars 2 and 6; C >= 15 at bars 7 and 8.
    EXPECT_TRUE(SameColumn(Over("BARSLAST(C=12)"), {kNone, kNone, 0, 1, 2, 3, 0, 1, 2, 3}));
    EXPECT_TRUE(
        SameColumn(Over("BARSLAST(C>=15)"), {kNone, kNone, kNone, kNone, kNone, kNone, kNone, 0, 0, 1}));
}

TEST(FormulaFunctions, PerBarFunctionsAndOperators) {
    EXPECT_TRUE(SameColumn(Over("ABS(C-12)"), {2, 1, 0, 1, 1, 2, 0, 3, 4, 2}));
    const double r2 = std::sqrt(2.0), r3 = std::sqrt(3.0), r5 = std::sqrt(5.0);
    EXPECT_TRUE(SameColumn(Over("SQRT(C-11)"), {kNone, 0, 1, 0, r2, r3, 1, 2, r5, r3}));
    const double l2 = std::log(2.0), l3 = std::log(3.0), l4 = std::log(4.0), l5 = std::log(5.0);
    EXPECT_TRUE(SameColumn(Over("LN(C-11)"), {kNone, kNone, 0, kNone, l2, l3, 0, l4, l5, l3}));
    EXPECT_TRUE(SameColumn(Over("MAX(C,12)"), {12, 12, 12, 12, 13, 14, 12, 15, 16, 14}));
    EXPECT_TRUE(SameColumn(Over("MIN(C,12)"), {10, 11, 12, 11, 12, 12, 12, 12, 12, 12}));
    EXPECT_TRUE(SameColumn(Over("IF(C>12,C,-C)"), {-10, -11, -12, -11, 13, 14, -12, 15, 16, 14}));

    // Precedence, lowest first: OR; AND; comparisons; + -; * /; unary. One level groups
    // from the left.
    const struct {
        const char* text;
        double value;
    } cases[] = {
        {"1+2*3", 7},  {"(1+2)*3", 9},   {"10-4-3", 3},       {"24/4/2", 3},       {"-2*3", -6},
        {"- -2", 2},   {"NOT 0 + 1", 2}, {"2>1=1", 1},        {"1 OR 0 AND 0", 1}, {"NOT 0 AND 0", 0},
        {"3<>2", 1},   {"3!=3", 0},      {"2>=2", 1},         {"1<=0", 0},         {"2<1", 0},
        {"1 && 2", 1}, {"0 || 0", 0},    {"1 and 0 or 1", 1}, {"C*2 > 19", 1},     {"+C", 10},
    };
    for (const auto& c : cases) EXPECT_TRUE(SameColumn(Over(c.text, {10}), {c.value})) << c.text;
}

TEST(FormulaFunctions, ValuesTheSameAtEveryBarMixWithColumnsInEveryOperandPlace) {
    // N = 3 is one value for every bar: on the left, on the right, or on both sides of an
    // operator, and in each place of IF.
    const std::vector<FormulaParameter> n = {{"N", 3, 1, 10}};
    const BarSeries bars = CloseBars({2, 3, 6});
    auto over = [&](const std::string& text) { return Compute(text, bars, 0, n); };
    EXPECT_TRUE(SameColumn(over("N-C"), {1, 0, -3}));
    EXPECT_TRUE(SameColumn(over("C-N"), {-1, 0, 3}));
    EXPECT_TRUE(SameColumn(over("N/C"), {1.5, 1, 0.5}));
    EXPECT_TRUE(SameColumn(over("C/N"), {2.0 / 3, 1, 2}));
    EXPECT_TRUE(SameColumn(over("N<C"), {0, 0, 1}));
    EXPECT_TRUE(SameColumn(over("C<N"), {1, 0, 0}));
    EXPECT_TRUE(SameColumn(over("N*2-1"), {5, 5, 5}));
    EXPECT_TRUE(SameColumn(over("MAX(N,C)+MIN(C,N)"), {5, 6, 9}));
    EXPECT_TRUE(SameColumn(over("IF(C>N,C,N)"), {3, 3, 6}));
    EXPECT_TRUE(SameColumn(over("IF(N>2,C,0)"), {2, 3, 6}));
    EXPECT_TRUE(SameColumn(over("IF(C=3,N,-N)"), {-3, 3, -3}));
    EXPECT_TRUE(SameColumn(over("IF(N,N,C)"), {3, 3, 3}));
    // A windowed function over a uniform value: spread over the bars first.
    EXPECT_TRUE(SameColumn(over("SUM(N,0)"), {3, 6, 9}));
    EXPECT_TRUE(SameColumn(over("REF(N+1,1)"), {kNone, 4, 4}));
}

TEST(FormulaNoValue, RecursiveAveragesContinueAcrossGapsFromTheirLastValue) {
    // X lacks bars 2 and 6 (C = 12 there): EMA(X,3) = (X + Y')/2 from 10: 10.5, none,
    // (11 + 10.5)/2, (13 + 10.75)/2, (14 + 11.875)/2, none, (15 + 12.9375)/2, ...
    const std::vector<double> expected = {10,      10.5,  kNone,    10.75,     11.875,
                                          12.9375, kNone, 13.96875, 14.984375, 14.4921875};
    const std::string x = "X:=IF(C=12,1/0,C);";
    EXPECT_TRUE(SameColumn(Over(x + "EMA(X,3)"), expected));
    EXPECT_TRUE(SameColumn(Over(x + "SMA(X,2,1)"), expected)) << "the same weights";
    EXPECT_TRUE(SameColumn(Over(x + "DMA(X,0.5)"), expected)) << "the same weights";
    // A series that starts late starts its average at its first value: from bar 2 the
    // closes 10, 11, 12, 11, 13, 14, 12, 15 give 10, 10.5, 11.25, 11.125, 12.0625,
    // (14 + 12.0625)/2, (12 + 13.03125)/2, (15 + 12.515625)/2.
    EXPECT_TRUE(SameColumn(Over("EMA(REF(C,2),3)"), {kNone, kNone, 10, 10.5, 11.25, 11.125, 12.0625, 13.03125,
                                                     12.515625, 13.7578125}));
}

TEST(FormulaNoValue, WindowsPassOverGapsOrRefuseThemAsEachFunctionSays) {
    const std::string x = "X:=IF(C=12,1/0,C);";  // 10, 11, none, 11, 13, 14, none, 15, 16, 14
    // MA and the deviations need N values in the window.
    EXPECT_TRUE(
        SameColumn(Over(x + "MA(X,2)"), {kNone, 10.5, kNone, kNone, 12, 13.5, kNone, kNone, 15.5, 15}));
    const double h = std::sqrt(0.5);
    EXPECT_TRUE(SameColumn(Over(x + "STD(X,2)"), {kNone, h, kNone, kNone, 2 * h, h, kNone, kNone, h, 2 * h}));
    EXPECT_TRUE(
        SameColumn(Over(x + "AVEDEV(X,2)"), {kNone, 0.5, kNone, kNone, 1, 0.5, kNone, kNone, 0.5, 1}));
    // HHV and LLV pass over the gaps, and have none only where the window holds none.
    EXPECT_TRUE(SameColumn(Over(x + "HHV(X,2)"), {10, 11, 11, 11, 13, 14, 14, 15, 16, 16}));
    EXPECT_TRUE(SameColumn(Over(x + "LLV(X,1)"), {10, 11, kNone, 11, 13, 14, kNone, 15, 16, 14}));
    EXPECT_TRUE(SameColumn(Over(x + "REF(X,1)"), {kNone, 10, 11, kNone, 11, 13, 14, kNone, 15, 16}));
    // Y has values at bars 0, 5 and 9 only: SUM is 0 over an empty window once Y has begun,
    // COUNT always has a value.
    const std::string y = "Y:=IF(C=10 OR C=14,C,1/0);";
    EXPECT_TRUE(SameColumn(Over(y + "SUM(Y,2)"), {10, 10, 0, 0, 0, 14, 14, 0, 0, 14}));
    EXPECT_TRUE(SameColumn(Over(y + "COUNT(Y,2)"), {1, 1, 0, 0, 0, 1, 1, 0, 0, 1}));
    EXPECT_TRUE(SameColumn(Over("SUM(REF(C,3),2)"), {kNone, kNone, kNone, 10, 21, 23, 23, 24, 27, 26}));
    // A series without any value: nothing to sum or compare, nothing counted.
    const std::string none = "Z:=IF(C>100,C,1/0);";
    EXPECT_TRUE(SameColumn(Over(none + "HHV(Z,3)"), std::vector<double>(10, kNone)));
    EXPECT_TRUE(SameColumn(Over(none + "SUM(Z,0)"), std::vector<double>(10, kNone)));
    EXPECT_TRUE(SameColumn(Over(none + "COUNT(Z,3)"), std::vector<double>(10, 0.0)));
    EXPECT_TRUE(SameColumn(Over(none + "BARSLAST(Z)"), std::vector<double>(10, kNone)));
}

TEST(FormulaNoValue, OperatorsPassTheGapOnAndDivisionByZeroHasNone) {
    const std::string x = "X:=IF(C=12,1/0,C);";
    // C - 12 is 0 at bars 2 and 6: no value, never an infinity.
    EXPECT_TRUE(SameColumn(Over("C/(C-12)"), {-5, -11, kNone, -11, 13, 7, kNone, 5, 4, 7}));
    const std::vector<double> gaps = {1, 1, kNone, 1, 1, 1, kNone, 1, 1, 1};
    EXPECT_TRUE(SameColumn(Over(x + "X>0"), gaps));
    EXPECT_TRUE(SameColumn(Over(x + "X AND 1"), gaps));
    EXPECT_TRUE(SameColumn(Over(x + "1 OR X"), gaps)) << "no value in, no value out, even where 1 decides";
    EXPECT_TRUE(SameColumn(Over(x + "NOT X=0"), gaps));
    EXPECT_TRUE(SameColumn(Over(x + "IF(X,1,2)"), gaps));
    EXPECT_TRUE(SameColumn(Over(x + "MAX(X,0)>0"), gaps));
    // IF needs only the branch it takes.
    EXPECT_TRUE(SameColumn(Over(x + "IF(C=12,0,X)"), {10, 11, 0, 11, 13, 14, 0, 15, 16, 14}));
    for (const char* text : {"0/0", "1e200*1e200", "-1e308-1e308", "LN(0)", "SQRT(-1)", "(C-C)/0"})
        EXPECT_TRUE(SameColumn(Over(text, {10, 11}), {kNone, kNone})) << text;
    // CROSS has a value everywhere: 0 where one of its four values is missing.
    EXPECT_TRUE(SameColumn(Over(x + "CROSS(X,11.5)"), {0, 0, 0, 0, 1, 0, 0, 0, 0, 0}));
}

TEST(FormulaNumerics, AValueThatLeavesTheWindowLeavesNoRoundingBehind) {
    // 1e17 + 1 rounds to 1e17: a plain running sum would lose the small prices for good.
    const std::vector<double> spike = {1e17, 1, 2, 3, 4};
    EXPECT_TRUE(SameColumn(Over("MA(C,2)", spike), {kNone, 5e16, 1.5, 2.5, 3.5}, 1e-15));
    EXPECT_TRUE(SameColumn(Over("SUM(C,2)", spike), {1e17, 1e17, 3, 5, 7}, 1e-15));
    const double h = std::sqrt(0.5);
    EXPECT_TRUE(SameColumn(Over("STD(C,2)", spike), {kNone, 1e17 * h, h, h, h}, 1e-12));
    EXPECT_TRUE(SameColumn(Over("AVEDEV(C,2)", spike), {kNone, 5e16, 0.5, 0.5, 0.5}, 1e-12));
    // Prices near 1e9 that move by 1: the squares must not cancel.
    EXPECT_TRUE(SameColumn(Over("STD(C,3)", {1e9 + 1, 1e9 + 2, 1e9 + 3, 1e9 + 2, 1e9 + 1}),
                           {kNone, kNone, 1, std::sqrt(1.0 / 3), 1}, 1e-9));
    // Values near the largest double: the sums are taken on scaled values.
    const std::vector<double> huge = {1e306, 1e306, 3e306, 1e306};
    EXPECT_TRUE(SameColumn(Over("MA(C,2)", huge), {kNone, 1e306, 2e306, 2e306}, 1e-12));
    EXPECT_TRUE(SameColumn(Over("STDP(C,2)", huge), {kNone, 0, 1e306, 1e306}, 1e-12));
    EXPECT_TRUE(SameColumn(Over("AVEDEV(C,2)", huge), {kNone, 0, 1e306, 1e306}, 1e-12));
    // A sum beyond the largest double has no value, and the next bars recover.
    EXPECT_TRUE(SameColumn(Over("SUM(C,2)", {1e308, 1e308, 1, 2}), {1e308, kNone, 1e308, 3}, 1e-12));
}

/// The windowed functions as their definitions read, bar by bar over the whole window.
double Direct(const std::string& function, const std::vector<double>& x, int i, int n) {
    const int from = n == 0 ? 0 : std::max(0, i - n + 1);
    std::vector<double> values;
    for (int k = from; k <= i; ++k)
        if (!std::isnan(x[static_cast<std::size_t>(k)])) values.push_back(x[static_cast<std::size_t>(k)]);
    const bool full = n > 0 && i >= n - 1 && static_cast<int>(values.size()) == n;
    double sum = 0;
    for (double v : values) sum += v;
    const double mean = values.empty() ? 0 : sum / static_cast<double>(values.size());
    double squares = 0, absolute = 0;
    for (double v : values) squares += (v - mean) * (v - mean), absolute += std::fabs(v - mean);
    if (function == "MA") return full ? mean : kNone;
    if (function == "STD") return full ? std::sqrt(squares / (n - 1)) : kNone;
    if (function == "STDP") return full ? std::sqrt(squares / n) : kNone;
    if (function == "AVEDEV") return full ? absolute / n : kNone;
    if (function == "HHV") return values.empty() ? kNone : *std::max_element(values.begin(), values.end());
    if (function == "LLV") return values.empty() ? kNone : *std::min_element(values.begin(), values.end());
    if (function == "COUNT")
        return static_cast<double>(
            std::count_if(values.begin(), values.end(), [](double v) { return v != 0; }));
    bool started = false;
    for (int k = 0; k <= i; ++k) started = started || !std::isnan(x[static_cast<std::size_t>(k)]);
    return started ? sum : kNone;  // SUM
}

TEST(FormulaNumerics, WindowedFunctionsAgreeWithTheirDefinitionsOverRandomSeriesWithGaps) {
    // Whole prices (ties for HHV and AVEDEV's ranks) on a random walk; a close of 0 marks a
    // bar without a value: every seventh bar and a run of five.
    std::mt19937 random(20060102);
    std::uniform_int_distribution<int> step(-3, 3);
    std::vector<double> closes, x;
    double price = 3000;
    for (int i = 0; i < 300; ++i) {
        price += step(random);
        const bool gap = i % 7 == 3 || (i >= 100 && i < 105);
        closes.push_back(gap ? 0 : price);
        x.push_back(gap ? kNone : price);
    }
    const BarSeries bars = CloseBars(closes);
    for (const std::string function : {"MA", "SUM", "HHV", "LLV", "COUNT", "STD", "STDP", "AVEDEV"}) {
        for (int n : {0, 1, 2, 7, 50, 300, 400}) {
            const bool zeroAllowed =
                function == "SUM" || function == "HHV" || function == "LLV" || function == "COUNT";
            if ((n == 0 && !zeroAllowed) || (n == 1 && function == "STD")) continue;
            const std::string text = "X:=IF(C=0,1/0,C); " + function + "(X," + std::to_string(n) + ")";
            std::vector<double> expected;
            for (int i = 0; i < 300; ++i) expected.push_back(Direct(function, x, i, n));
            EXPECT_TRUE(SameColumn(Compute(text, bars), expected, 1e-9)) << text;
        }
    }
}

TEST(FormulaNumerics, RecursiveAveragesAreTheirRecursionBarAfterBar) {
    // A flat market stays flat: the average never drifts below the price nor crosses it.
    const std::vector<double> flat(12, 5.0);
    for (const char* text : {"EMA(C,2)", "EMA(C,12)", "SMA(C,3,1)", "SMA(C,7,2)", "DMA(C,0.3)"})
        EXPECT_TRUE(SameColumn(Over(text, flat), flat, 0.0)) << text;
    EXPECT_TRUE(SameColumn(Over("CROSS(C,EMA(C,2))", flat), std::vector<double>(12, 0.0)));
    EXPECT_TRUE(SameColumn(Over("CROSS(EMA(C,2),C)", flat), std::vector<double>(12, 0.0)));

    // Over a random walk each value is take·X + keep·Y′ of the value before, to the last bit.
    std::mt19937 random(7);
    std::uniform_real_distribution<double> move(-3.0, 3.0);
    std::vector<double> closes = {3000.5};
    for (int i = 1; i < 61; ++i) closes.push_back(std::round((closes.back() + move(random)) * 100) / 100);
    const auto recursion = [&](double take, double keep) {
        std::vector<double> y = {closes[0]};
        for (std::size_t i = 1; i < closes.size(); ++i) y.push_back(take * closes[i] + keep * y.back());
        return y;
    };
    EXPECT_TRUE(SameColumn(Over("EMA(C,12)", closes), recursion(2.0 / 13, 11.0 / 13), 0.0));
    EXPECT_TRUE(SameColumn(Over("EMA(C,2)", closes), recursion(2.0 / 3, 1.0 / 3), 0.0));
    EXPECT_TRUE(SameColumn(Over("SMA(C,9,2)", closes), recursion(2.0 / 9, 7.0 / 9), 0.0));
    EXPECT_TRUE(SameColumn(Over("DMA(C,0.15)", closes), recursion(0.15, 1 - 0.15), 0.0));

    // Near the largest double the result stays finite; a value is never an infinity.
    for (const char* text : {"EMA(0-1.7976931348623157E308,8)", "DMA(0-1.7976931348623157E308,0.1)",
                             "SMA(1.7976931348623157E308,5,1)"}) {
        for (double v : Over(text, std::vector<double>(9, 1.0)))
            EXPECT_TRUE(std::isfinite(v)) << text << ": " << v;
    }
}

TEST(FormulaNumerics, DeviationsRecoverAfterEverySpikeThatLeavesTheWindow) {
    // Two spikes of 1e17 far apart among prices near 1, each just after a bar without a
    // value: the window fills again with the spike in it, and the sums start from its mean.
    // Once the spike has left, the deviation is the prices' own: the reference is moved to
    // their mean again, the second time as the first.
    std::mt19937 random(11);
    std::uniform_int_distribution<int> price(1, 9);
    std::vector<double> closes, x;
    for (int i = 0; i < 60; ++i) {
        closes.push_back(i == 7 || i == 30 ? 0 : i == 8 || i == 31 ? 1e17 : price(random));
        x.push_back(closes.back() == 0 ? kNone : closes.back());
    }
    for (int n : {3, 5}) {
        for (const std::string function : {"STD", "STDP"}) {
            std::vector<double> expected;
            for (int i = 0; i < 60; ++i) expected.push_back(Direct(function, x, i, n));
            const std::string text = "X:=IF(C=0,1/0,C); " + function + "(X," + std::to_string(n) + ")";
            EXPECT_TRUE(SameColumn(Over(text, closes), expected, 1e-9)) << text;
        }
    }
}

TEST(FormulaNumerics, AHugeValueChangesNoBarBeforeItAndWindowsWithoutItAreThePricesOwn) {
    // A hostile close of 1e300 at bar 330 of prices near 3000: the bars before it are those
    // of the series without it, bit for bit (no function reads a later bar), and a window it
    // has left, or never entered, is the prices' own.
    std::mt19937 random(3);
    std::uniform_int_distribution<int> step(-30, 30);
    std::vector<double> plain;
    for (double price = 3000; plain.size() < 400; price += step(random) / 10.0) plain.push_back(price);
    std::vector<double> spiked = plain;
    spiked[330] = 1e300;
    for (const std::string function : {"MA", "SUM", "STD", "STDP", "AVEDEV"}) {
        for (int n : {5, 60, 300}) {
            const std::string text = function + "(C," + std::to_string(n) + ")";
            const std::vector<double> before = Over(text, plain), after = Over(text, spiked);
            EXPECT_TRUE(
                SameColumn({after.begin(), after.begin() + 330}, {before.begin(), before.begin() + 330}, 0.0))
                << text;
            if (330 + n >= 400) continue;
            std::vector<double> expected;
            for (int i = 330 + n; i < 400; ++i) expected.push_back(Direct(function, spiked, i, n));
            EXPECT_TRUE(SameColumn({after.begin() + 330 + n, after.end()}, expected, 1e-9)) << text;
            EXPECT_TRUE(std::isfinite(after[330])) << text;
        }
    }
}

}  // namespace
}  // namespace qelt
