// The built-in indicators the language can express, written as formulas with their own
// start-up rules, against the built-ins over a random walk: equal within the built-ins'
// 32-bit rounding.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "FormulaTestSupport.h"
#include "data/settings/IndicatorParameters.h"
#include "indicators/IndicatorTable.h"

namespace qelt {
namespace {

/// 400 bars of a random walk near 3000 as the store holds them ("%.2f" prices, whole
/// volumes); every tenth bar opens at its close, so flat bars occur.
BarSeries Walk() {
    std::mt19937 random(7);
    std::uniform_real_distribution<double> move(-30.0, 30.0), wick(0.0, 15.0);
    std::uniform_int_distribution<int> volume(0, 20000);
    std::vector<test::PriceBar> prices;
    double price = 3000.0;
    for (int i = 0; i < 400; ++i) {
        const double open = price, close = i % 10 == 9 ? open : std::max(100.0, price + move(random));
        const double high = std::max(open, close) + wick(random), low = std::min(open, close) - wick(random);
        auto cents = [](double v) { return std::round(v * 100) / 100; };
        prices.push_back({cents(open), cents(high), cents(low), cents(close), volume(random),
                          cents((open + close) / 2), 0});
        price = close;
    }
    return test::PriceBars(prices);
}

/// Every line of built-in `code` (the whole series on show) against output k of `text`:
/// the same bars with a value, values within `tolerance` of the line's largest magnitude
/// (the built-ins round every step to 32 bits: DIF, a difference of two averages near 3000,
/// carries their rounding of about 1e-4 at a scale of 40).
void ExpectSameLines(int code, const std::string& text, const std::vector<FormulaParameter>& parameters,
                     double tolerance = 2e-6) {
    const BarSeries bars = Walk();
    const int n = static_cast<int>(bars.size());
    const IndicatorResult builtIn =
        ComputeIndicator(code, bars, MakeIndicatorWindow(-1, n, n), IndicatorParameters());
    FormulaCompileResult compiled = CompileFormula(text, parameters);
    ASSERT_TRUE(compiled.formula) << compiled.error.Describe();
    FormulaRun run;
    ASSERT_TRUE(run.Run(*compiled.formula, bars));
    ASSERT_EQ(static_cast<std::size_t>(run.OutputCount()), builtIn.lines.size());
    for (std::size_t k = 0; k < builtIn.lines.size(); ++k) {
        const IndicatorLine& line = builtIn.lines[k];
        EXPECT_EQ(compiled.formula->Outputs()[k].name, line.name);
        double scale = 1.0;
        for (double v : line.values) scale = std::max(scale, std::fabs(v));
        std::vector<double> expected(static_cast<std::size_t>(n), test::kNone);
        for (int bar = 0; bar < n; ++bar)
            if (auto v = line.At(bar)) expected[static_cast<std::size_t>(bar)] = *v / scale;
        std::vector<double> actual(run.Column(static_cast<int>(k)).begin(),
                                   run.Column(static_cast<int>(k)).end());
        for (double& v : actual) v /= scale;
        EXPECT_TRUE(test::SameColumn(actual, expected, tolerance)) << line.name;
    }
}

// The bar's number from 1: the start-up rules of the built-ins hang on it.
const std::string kBarNumber = "BARNO:=COUNT(1,0);";

TEST(FormulaIndicators, VolumeGroup) {
    ExpectSameLines(1, "VOLUME:VOL; MA5:MA(VOL,5); MA10:MA(VOL,10);", {});
    // Falling bars take their volume away, all others add it.
    ExpectSameLines(4, "OBV:SUM(IF(O>C,-V,V),0);", {});
    // Volume times the close's relative change, summed from bar 1; its plain average.
    ExpectSameLines(5, kBarNumber + "PVT:SUM(IF(BARNO=1,0,V*(C/REF(C,1)-1)),0); MAPVT:MA(PVT,M);",
                    {{"M", 6, 1, 100}}, 2e-5);
    // Rising, falling and flat volumes over N bars; the average over the bars so far while
    // fewer than M exist.
    ExpectSameLines(3,
                    kBarNumber +
                        "UP:=SUM(IF(C>O,V,0),N); DOWN:=SUM(IF(C<O,V,0),N); FLAT:=SUM(IF(C=O,V,0),N);"
                        "VR:IF(DOWN=0 AND FLAT=0,100,100*(UP+FLAT/2)/(DOWN+FLAT/2));"
                        "MAVR:SUM(VR,M)/MIN(BARNO,M);",
                    {{"N", 26, 1, 100}, {"M", 6, 1, 100}});
}

TEST(FormulaIndicators, TrendGroup) {
    // MACD of the typical price (H + L + 2C)/4: each average is the plain mean of the bars so
    // far for its first F bars, then an EMA from there; the signal line starts from 0.
    ExpectSameLines(21,
                    kBarNumber +
                        "TP:=(H+L+2*C)/4;"
                        "FAST:=IF(BARNO<SHORT,SUM(TP,0)/BARNO,EMA(IF(BARNO>=SHORT,IF(BARNO=SHORT,SUM(TP,0)/"
                        "SHORT,TP),1/0),SHORT));"
                        "SLOW:=IF(BARNO<LONG,SUM(TP,0)/BARNO,EMA(IF(BARNO>=LONG,IF(BARNO=LONG,SUM(TP,0)/"
                        "LONG,TP),1/0),LONG));"
                        "DIF:FAST-SLOW; DEA:EMA(IF(BARNO=1,DIF*2/(MID+1),DIF),MID); MACD:2*(DIF-DEA);",
                    {{"SHORT", 12, 2, 200}, {"LONG", 26, 2, 200}, {"MID", 9, 2, 200}}, 5e-5);
    // BOLL: the average; bands two root-mean-squares of the close's distance from its own
    // average about the previous bar's average. The k-th distance (k from 0) enters a sum
    // divided by k + 1; from k = N - 1 on the oldest one leaves as each new one enters and
    // the sum of N - 1 distances is divided by N.
    ExpectSameLines(23,
                    kBarNumber +
                        "BOLL:MA(C,N); D:=C-BOLL;"
                        "DEV:=SQRT(IF(BARNO-N<N-1,SUM(D*D,N)/(BARNO-N+1),SUM(D*D,N-1)/N));"
                        "CENTRE:=IF(BARNO=N,BOLL,REF(BOLL,1)); UPPER:CENTRE+2*DEV; LOWER:CENTRE-2*DEV;",
                    {{"N", 20, 2, 120}}, 1e-5);
    // EXPMA starts at the first bar on show (here bar 0) from its open.
    ExpectSameLines(
        27,
        kBarNumber +
            "EXP1:EMA(IF(BARNO=1,O+(C-O)*2/(P1+1),C),P1); EXP2:EMA(IF(BARNO=1,O+(C-O)*2/(P2+1),C),P2);",
        {{"P1", 12, 1, 100}, {"P2", 50, 1, 100}});
}

TEST(FormulaIndicators, OscillatorGroup) {
    // RSI: rises over rises and falls of the last N changes; the first bar changes from its
    // own open.
    ExpectSameLines(41,
                    kBarNumber +
                        "D:=IF(BARNO=1,C-O,C-REF(C,1));"
                        "RSI1:IF(SUM(ABS(D),N1)=0,0,100*SUM(MAX(D,0),N1)/SUM(ABS(D),N1));"
                        "RSI2:IF(SUM(ABS(D),N2)=0,0,100*SUM(MAX(D,0),N2)/SUM(ABS(D),N2));"
                        "RSI3:IF(SUM(ABS(D),N3)=0,0,100*SUM(MAX(D,0),N3)/SUM(ABS(D),N3));",
                    {{"N1", 6, 1, 100}, {"N2", 12, 1, 100}, {"N3", 24, 1, 100}}, 1e-5);
    // ROC against the close N bars back (the first close before that); its average over the
    // bars so far while fewer than M exist.
    ExpectSameLines(42,
                    kBarNumber +
                        "FIRST:=SUM(IF(BARNO=1,C,0),0); BACK:=IF(BARNO>N,REF(C,N),FIRST);"
                        "ROC:IF(BACK=0,0,(C-BACK)*100/BACK); MAROC:SUM(ROC,M)/MIN(BARNO,M);",
                    {{"N", 12, 1, 100}, {"M", 6, 1, 100}}, 1e-5);
    // KDJ: K and D start from 50 on the first bar.
    ExpectSameLines(43,
                    kBarNumber +
                        "SPAN:=HHV(H,N)-LLV(L,N); RSV:=IF(ABS(SPAN)<0.001,0,100*(C-LLV(L,N))/SPAN);"
                        "K:SMA(IF(BARNO=1,(50*(M1-1)+RSV)/M1,RSV),M1,1);"
                        "D:SMA(IF(BARNO=1,(50*(M2-1)+K)/M2,K),M2,1); J:3*K-2*D;",
                    {{"N", 9, 1, 100}, {"M1", 3, 1, 100}, {"M2", 3, 1, 100}}, 1e-5);
    ExpectSameLines(45,
                    "WR1:IF(ABS(HHV(H,N1)-LLV(L,N1))<0.001,0,100*(HHV(H,N1)-C)/(HHV(H,N1)-LLV(L,N1)));"
                    "WR2:IF(ABS(HHV(H,N2)-LLV(L,N2))<0.001,0,100*(HHV(H,N2)-C)/(HHV(H,N2)-LLV(L,N2)));",
                    {{"N1", 10, 1, 100}, {"N2", 6, 1, 100}}, 1e-5);
    // BBI averages the average price, not the close.
    ExpectSameLines(47, "BBI:(MA(AVGPRICE,3)+MA(AVGPRICE,6)+MA(AVGPRICE,12)+MA(AVGPRICE,24))/4;", {});
}

}  // namespace
}  // namespace qelt
