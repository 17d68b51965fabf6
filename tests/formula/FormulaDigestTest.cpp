// Formula outputs over a long series, bit for bit, as digests: every bar datum and the
// functions over them give the values they gave when the data were read from the bars' texts
// (the digests were taken then, with the recursions going bar after bar and AVEDEV summing over
// its window alone).
#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "formula/Formula.h"
#include "formula/FormulaLibrary.h"
#include "support/DigestSeries.h"

namespace qelt {
namespace {

struct DigestCase {
    std::string text;
    std::vector<FormulaParameter> parameters;
    std::uint64_t digest;
};

std::uint64_t Digest(const FormulaRun& run) {
    test::Digester digester;
    digester.Mix(static_cast<std::uint64_t>(run.OutputCount()));
    for (int k = 0; k < run.OutputCount(); ++k) {
        const std::span<const double> column = run.Column(k);
        digester.Mix(column.size());
        for (double value : column) digester.Mix(std::bit_cast<std::uint64_t>(value));
    }
    return digester.Value();
}

std::vector<DigestCase> Cases() {
    std::vector<DigestCase> cases = {
        {"O1:OPEN;H1:HIGH;L1:LOW;C1:CLOSE;V1:VOL;A1:AVGPRICE;P1:OPI;D1:DATE;", {}, 0x2f061c30de38c19cull},
        {"DIF:EMA(CLOSE,12)-EMA(CLOSE,26);DEA:EMA(DIF,9);MACD:2*(DIF-DEA);", {}, 0x9ed4db39adf6e2c8ull},
        {"RSV:=(CLOSE-LLV(LOW,9))/(HHV(HIGH,9)-LLV(LOW,9))*100;K:SMA(RSV,3,1);D:SMA(K,3,1);J:3*K-2*D;",
         {},
         0x08cc00e15a8cb0dcull},
        {"MID:MA(CLOSE,20);UP:MID+2*STD(CLOSE,20);DN:MID-2*STDP(CLOSE,20);AD:AVEDEV(AVGPRICE,14);",
         {},
         0x8788b71a4be3b358ull},
        {"OB:SUM(IF(CLOSE>REF(CLOSE,1),VOL,IF(CLOSE<REF(CLOSE,1),-VOL,0)),0);PC:OPI-REF(OPI,1);"
         "W:COUNT(HIGH-LOW>20,10);R:MAX(ABS(HIGH-REF(CLOSE,1)),MIN(HIGH,LOW));",
         {},
         0x122b18228222e151ull},
        {"X:IF(CROSS(CLOSE,MA(CLOSE,5)),DATE,0);Y:BARSLAST(VOL=0);Z:LN(CLOSE)+SQRT(VOL)+DMA(OPEN,0.5);",
         {},
         0x4df39aac319a0689ull},
    };
    // The formulas a new formula.txt starts with, at their parameters' defaults.
    const std::uint64_t examples[] = {0x30247e3f2434dbfdull, 0x5fa2c62b51b292dbull, 0xf1441e448610ab43ull};
    std::size_t k = 0;
    for (const StoredFormula& formula : ExampleFormulas())
        cases.push_back({formula.text, formula.parameters, k < 3 ? examples[k++] : 0});
    return cases;
}

TEST(FormulaDigests, EveryBarDatumAndTheFunctionsOverThemKeepTheirValues) {
    const BarSeries bars = test::DigestSeries(3000);
    for (const DigestCase& c : Cases()) {
        FormulaCompileResult compiled = CompileFormula(c.text, c.parameters);
        ASSERT_TRUE(compiled.formula) << c.text << ": " << compiled.error.Describe();
        FormulaRun run;
        ASSERT_TRUE(run.Run(*compiled.formula, bars)) << c.text;
        EXPECT_EQ(Digest(run), c.digest) << c.text << std::hex << " gives 0x" << Digest(run);
        // A live quote rewrote the last bar: a run that reads it alone gives what a fresh one does.
        BarSeries changed = bars;
        changed.back().Set(kBarClose, "2999.99");
        changed.back().Set(kBarNum, "777");
        FormulaRun fresh;
        ASSERT_TRUE(fresh.Run(*compiled.formula, changed));
        ASSERT_TRUE(run.Run(*compiled.formula, changed, {}, static_cast<int>(bars.size()) - 1));
        EXPECT_EQ(Digest(run), Digest(fresh)) << c.text;
    }
}

}  // namespace
}  // namespace qelt
