// The formula engine over 100,000 bars: MACD written as a formula against the built-in MACD
// (goal: at most twice its time per bar), compiling a 20-line formula (goal: under 100 us)
// and hostile 64 KB texts (goal: under 10 ms), HHV over 10,000 bars against 10 bars (goal:
// within 2x), and the memory peak of a 16-output formula (goal: under 20 MB).
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

#include "../indicators/BenchBars.h"
#include "../support/AllocationPeak.h"
#include "formula/Formula.h"
#include "indicators/IndicatorTable.h"

namespace qelt {
namespace {

constexpr int kBars = 100000;

const BarSeries& Series() {
    static const BarSeries bars = bench::RandomWalk(kBars);
    return bars;
}

void SetPerBar(benchmark::State& state) {
    state.counters["per_bar"] =
        benchmark::Counter(static_cast<double>(kBars) * static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

CompiledFormula MustCompile(const std::string& text, const std::vector<FormulaParameter>& parameters = {}) {
    FormulaCompileResult compiled = CompileFormula(text, parameters);
    if (!compiled.formula) std::abort();
    return *compiled.formula;
}

const std::string kMacd =
    "DIF:EMA(CLOSE,SHORT)-EMA(CLOSE,LONG); DEA:EMA(DIF,MID); MACD:(DIF-DEA)*2,COLORSTICK;";
const std::vector<FormulaParameter> kMacdParameters = {
    {"SHORT", 12, 2, 200}, {"LONG", 26, 2, 200}, {"MID", 9, 2, 200}};

/// The built-in MACD over the whole series from numbers already read, into the lines of the
/// previous computation: what a pane pays per repaint.
void BM_BuiltInMacd(benchmark::State& state) {
    BarColumns columns(Series());
    columns.High(0, kBars), columns.Low(0, kBars), columns.Close(0, kBars);
    const IndicatorParameters table;
    const IndicatorWindow window = MakeIndicatorWindow(-1, kBars, kBars);
    IndicatorResult result;
    for (auto _ : state) {
        ComputeIndicator(21, columns, window, table, result);
        benchmark::DoNotOptimize(result.lines.data());
    }
    SetPerBar(state);
}
BENCHMARK(BM_BuiltInMacd)->Unit(benchmark::kMicrosecond);

/// MACD as a formula, every bar's close already read (the run's promise that no bar
/// changed): what a pane pays per repaint with its FormulaRun kept.
void BM_FormulaMacd(benchmark::State& state) {
    const CompiledFormula formula = MustCompile(kMacd, kMacdParameters);
    FormulaRun run;
    run.Run(formula, Series());
    for (auto _ : state) {
        run.Run(formula, Series(), {}, kBars);
        benchmark::DoNotOptimize(run.Column(2).data());
    }
    SetPerBar(state);
}
BENCHMARK(BM_FormulaMacd)->Unit(benchmark::kMicrosecond);

/// The same after a live quote: the last bar read again from its text.
void BM_FormulaMacdAfterALiveQuote(benchmark::State& state) {
    const CompiledFormula formula = MustCompile(kMacd, kMacdParameters);
    FormulaRun run;
    run.Run(formula, Series());
    for (auto _ : state) {
        run.Run(formula, Series(), {}, kBars - 1);
        benchmark::DoNotOptimize(run.Column(2).data());
    }
    SetPerBar(state);
}
BENCHMARK(BM_FormulaMacdAfterALiveQuote)->Unit(benchmark::kMicrosecond);

/// A first computation: the closes read from their texts and the columns allocated.
void BM_FormulaMacdFromTheTexts(benchmark::State& state) {
    const CompiledFormula formula = MustCompile(kMacd, kMacdParameters);
    for (auto _ : state) {
        FormulaRun run;
        run.Run(formula, Series());
        benchmark::DoNotOptimize(run.Column(2).data());
    }
    SetPerBar(state);
}
BENCHMARK(BM_FormulaMacdFromTheTexts)->Unit(benchmark::kMicrosecond);

/// HHV(C,N): the monotonic queue's cost does not grow with N.
void BM_FormulaHhv(benchmark::State& state) {
    const CompiledFormula formula = MustCompile("HHV(C," + std::to_string(state.range(0)) + ")");
    FormulaRun run;
    run.Run(formula, Series());
    for (auto _ : state) {
        run.Run(formula, Series(), {}, kBars);
        benchmark::DoNotOptimize(run.Column(0).data());
    }
    SetPerBar(state);
}
BENCHMARK(BM_FormulaHhv)->Arg(10)->Arg(10000)->Unit(benchmark::kMicrosecond);

/// The other windowed functions at a short and a long window.
void BM_FormulaWindow(benchmark::State& state, const char* function) {
    const CompiledFormula formula =
        MustCompile(std::string(function) + "(C," + std::to_string(state.range(0)) + ")");
    FormulaRun run;
    run.Run(formula, Series());
    for (auto _ : state) {
        run.Run(formula, Series(), {}, kBars);
        benchmark::DoNotOptimize(run.Column(0).data());
    }
    SetPerBar(state);
}
BENCHMARK_CAPTURE(BM_FormulaWindow, MA, "MA")->Arg(10)->Arg(10000)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_FormulaWindow, STD, "STD")->Arg(10)->Arg(10000)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_FormulaWindow, AVEDEV, "AVEDEV")->Arg(10)->Arg(10000)->Unit(benchmark::kMicrosecond);

/// A 20-line formula of the usual kind, compiled from its text.
void BM_CompileTwentyLines(benchmark::State& state) {
    const std::string text =
        "{ a trend and oscillator set }\n"
        "MID:=(HIGH+LOW+CLOSE)/3;\n"
        "FAST:=EMA(MID,N1);\n"
        "SLOW:=EMA(MID,N2);\n"
        "DIF:FAST-SLOW,COLORWHITE;\n"
        "DEA:EMA(DIF,N3),COLORYELLOW;\n"
        "BAR:(DIF-DEA)*2,COLORSTICK;\n"
        "RSV:=(CLOSE-LLV(LOW,9))/(HHV(HIGH,9)-LLV(LOW,9))*100;\n"
        "K:SMA(RSV,3,1),NODRAW;\n"
        "D:SMA(K,3,1),NODRAW;\n"
        "UP:=MAX(CLOSE-REF(CLOSE,1),0);\n"
        "RSI:SMA(UP,6,1)/SMA(ABS(CLOSE-REF(CLOSE,1)),6,1)*100,NODRAW;\n"
        "BAND:=STD(CLOSE,20);\n"
        "UPPER:MA(CLOSE,20)+2*BAND,DOTLINE;\n"
        "LOWER:MA(CLOSE,20)-2*BAND,DOTLINE;\n"
        "VR:=SUM(IF(CLOSE>OPEN,VOL,0),26)/SUM(IF(CLOSE<=OPEN,VOL,0),26);\n"
        "SIGNAL:CROSS(DIF,DEA) AND K<20 OR CROSS(K,D) AND VR>1,NODRAW;\n"
        "LAST:BARSLAST(SIGNAL),NODRAW;\n"
        "DEV:AVEDEV(MID,14),NODRAW;\n"
        "ABOVE:COUNT(CLOSE>UPPER,N3),NODRAW;";
    const std::vector<FormulaParameter> parameters = {
        {"N1", 12, 2, 100}, {"N2", 26, 2, 100}, {"N3", 9, 1, 100}};
    for (auto _ : state) benchmark::DoNotOptimize(CompileFormula(text, parameters).formula.has_value());
}
BENCHMARK(BM_CompileTwentyLines)->Unit(benchmark::kMicrosecond);

/// 64 KB texts made to be hard: one chain of 30,000 operators, 1,000 statements each
/// naming the one before, names of 60 KB, and a text that nests too deep at its end.
void BM_CompileHostile(benchmark::State& state) {
    std::string text;
    switch (state.range(0)) {
        case 0:
            text = "A:C";
            while (text.size() + 4 < kMaxFormulaBytes) text += "+C*1";
            state.SetLabel("30,000 operators in one chain");
            break;
        case 1:
            text = "V0:=C;";
            for (int i = 1; i < 999; ++i)
                text += "V" + std::to_string(i) + ":=V" + std::to_string(i - 1) + "+MA(C,2);";
            text += "A:V998;";
            state.SetLabel("1,000 statements, each using the one before");
            break;
        case 2:
            text = "A" + std::string(kMaxFormulaBytes - 16, 'x') + ":C;" + "Axx:1";
            state.SetLabel("a 64 KB name");
            break;
        default:
            text = "A:";
            while (text.size() + 8 < kMaxFormulaBytes) text += "ABS(-(";
            state.SetLabel("too deep: refused at level 201");
            break;
    }
    for (auto _ : state) benchmark::DoNotOptimize(CompileFormula(text).formula.has_value());
}
BENCHMARK(BM_CompileHostile)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

/// The memory a 16-output formula takes over the series beyond the bars themselves: the
/// compiled code, the closes and every column of the computation.
void BM_SixteenOutputsPeak(benchmark::State& state) {
    std::string text;
    for (int k = 1; k <= 16; ++k)
        text += "L" + std::to_string(k) + ":MA(C," + std::to_string(k * 5) + ")+STD(H-L," +
                std::to_string(k + 1) + ");";
    // The bars exist before the peak starts: run alone, this case would count them too.
    const BarSeries& bars = Series();
    for (auto _ : state) {
        const long long before = qelt::bench::RestartPeak();
        {
            const CompiledFormula formula = MustCompile(text);
            FormulaRun run;
            run.Run(formula, bars);
            benchmark::DoNotOptimize(run.Column(15).data());
        }
        state.counters["peak_MB"] = static_cast<double>(qelt::bench::PeakBytes() - before) / (1 << 20);
        state.counters["outputs_MB"] = 16.0 * kBars * sizeof(double) / (1 << 20);
    }
}
BENCHMARK(BM_SixteenOutputsPeak)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace qelt

BENCHMARK_MAIN();
