// The formula engine over 100,000 bars: MACD written as a formula against the built-in MACD
// (goal: at most twice its time per bar), a live quote (goal: the cost of the changed bar,
// not of the series), compiling a 20-line formula (goal: under 100 us) and hostile 64 KB
// texts (goal: under 10 ms), HHV and every other windowed function (WMA, SLOPE, FORCAST,
// HHVBARS, LLVBARS, EXIST, EVERY, FILTER) over 10,000 bars against 10 bars (goal: within 2x), AVEDEV
// of a short window against MA's (goal: within 2x), the memory peak of a 16-output formula
// (goal: under 20 MB) and of 900 variables read by one output (goal: under 20 MB), five
// drawing statements (their marks per bar) and compiling 500 of them (goal: under 10 ms).
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

/// Computes a formula over every bar again at each Run, over bar data already read: two
/// compiled copies of its text in turn (a run goes over the changed bars only when it
/// computes the formula it computed before), as after the user set other values.
class EveryBar {
  public:
    explicit EveryBar(const std::string& text, const std::vector<FormulaParameter>& parameters = {})
        : m_a(MustCompile(text, parameters)), m_b(MustCompile(text, parameters)) {
        m_run.Run(m_a, Series());
    }
    const FormulaRun& Run() {
        m_flip = !m_flip;
        m_run.Run(m_flip ? m_b : m_a, Series(), {}, kBars);
        return m_run;
    }

  private:
    CompiledFormula m_a, m_b;
    FormulaRun m_run;
    bool m_flip = false;
};

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

/// MACD as a formula over every bar, every bar's close already read: what a pane pays when
/// it computes the whole series with its FormulaRun kept.
void BM_FormulaMacd(benchmark::State& state) {
    EveryBar macd(kMacd, kMacdParameters);
    for (auto _ : state) benchmark::DoNotOptimize(macd.Run().Column(2).data());
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

/// A first computation: the closes gathered from the rows and the columns allocated.
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

/// Five drawing statements of the usual kind, one of each, every bar again: the columns of
/// their arguments and the marks in bar order (about 350,000 over the series).
const std::string kFiveDrawings =
    "STICKLINE(C>O,O,C,6,0),COLORRED;"
    "DRAWTEXT(CROSS(C,MA(C,10)),L,'金叉');"
    "DRAWNUMBER(C>REF(C,1),H,C-REF(C,1));"
    "DRAWICON(C<MA(C,20),H,2);"
    "POLYLINE(1,MA(C,5))";

void BM_FormulaFiveDrawings(benchmark::State& state) {
    EveryBar drawings(kFiveDrawings);
    for (auto _ : state) benchmark::DoNotOptimize(drawings.Run().Marks().data());
    state.counters["marks"] = static_cast<double>(drawings.Run().Marks().size());
    SetPerBar(state);
}
BENCHMARK(BM_FormulaFiveDrawings)->Unit(benchmark::kMicrosecond);

/// The same after a live quote: the last bar's marks made again.
void BM_FormulaFiveDrawingsAfterALiveQuote(benchmark::State& state) {
    const CompiledFormula formula = MustCompile(kFiveDrawings);
    FormulaRun run;
    run.Run(formula, Series());
    for (auto _ : state) {
        run.Run(formula, Series(), {}, kBars - 1);
        benchmark::DoNotOptimize(run.Marks().data());
    }
}
BENCHMARK(BM_FormulaFiveDrawingsAfterALiveQuote)->Unit(benchmark::kMicrosecond);

/// HHV(C,N): the monotonic queue's cost does not grow with N.
void BM_FormulaHhv(benchmark::State& state) {
    EveryBar hhv("HHV(C," + std::to_string(state.range(0)) + ")");
    for (auto _ : state) benchmark::DoNotOptimize(hhv.Run().Column(0).data());
    SetPerBar(state);
}
BENCHMARK(BM_FormulaHhv)->Arg(10)->Arg(10000)->Unit(benchmark::kMicrosecond);

/// The windowed functions of a condition at a short and a long window (C>O costs the same in
/// both).
void BM_FormulaConditionWindow(benchmark::State& state, const char* function) {
    EveryBar window(std::string(function) + "(C>O," + std::to_string(state.range(0)) + ")");
    for (auto _ : state) benchmark::DoNotOptimize(window.Run().Column(0).data());
    SetPerBar(state);
}
BENCHMARK_CAPTURE(BM_FormulaConditionWindow, EXIST, "EXIST")
    ->Arg(10)
    ->Arg(10000)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_FormulaConditionWindow, EVERY, "EVERY")
    ->Arg(10)
    ->Arg(10000)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_FormulaConditionWindow, FILTER, "FILTER")
    ->Arg(10)
    ->Arg(10000)
    ->Unit(benchmark::kMicrosecond);

/// The other windowed functions at a short and a long window; AVEDEV also at the longest
/// window it sums straight and the shortest it keeps a tree for.
void BM_FormulaWindow(benchmark::State& state, const char* function) {
    EveryBar window(std::string(function) + "(C," + std::to_string(state.range(0)) + ")");
    for (auto _ : state) benchmark::DoNotOptimize(window.Run().Column(0).data());
    SetPerBar(state);
}
BENCHMARK_CAPTURE(BM_FormulaWindow, MA, "MA")->Arg(10)->Arg(10000)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_FormulaWindow, WMA, "WMA")->Arg(10)->Arg(10000)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_FormulaWindow, SLOPE, "SLOPE")->Arg(10)->Arg(10000)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_FormulaWindow, FORCAST, "FORCAST")->Arg(10)->Arg(10000)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_FormulaWindow, HHVBARS, "HHVBARS")->Arg(10)->Arg(10000)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_FormulaWindow, LLVBARS, "LLVBARS")->Arg(10)->Arg(10000)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_FormulaWindow, STD, "STD")->Arg(10)->Arg(10000)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_FormulaWindow, AVEDEV, "AVEDEV")
    ->Arg(10)
    ->Arg(256)
    ->Arg(257)
    ->Arg(10000)
    ->Unit(benchmark::kMicrosecond);

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

/// The most drawing statements a formula may hold (goal: under 10 ms, as any text).
void BM_CompileFiveHundredDrawings(benchmark::State& state) {
    std::string text;
    for (int i = 0; i < 500; ++i)
        text += "STICKLINE(C>MA(C," + std::to_string(i % 20 + 1) + "),O,C+" + std::to_string(i) +
                ",5,0),COLORRED;";
    for (auto _ : state) benchmark::DoNotOptimize(CompileFormula(text).formula.has_value());
}
BENCHMARK(BM_CompileFiveHundredDrawings)->Unit(benchmark::kMillisecond);

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

/// 900 variables, each read once by the one output: computed where they are read, their
/// columns are taken again by the next instead of 900 columns (700 MB) held at once.
void BM_NineHundredVariablesPeak(benchmark::State& state) {
    std::string text, sum = "S:0";
    for (int k = 1; k <= 900; ++k) {
        text += "V" + std::to_string(k) + ":=C*" + std::to_string(k) + ";";
        sum += "+V" + std::to_string(k);
    }
    const BarSeries& bars = Series();
    for (auto _ : state) {
        const long long before = qelt::bench::RestartPeak();
        {
            const CompiledFormula formula = MustCompile(text + sum);
            FormulaRun run;
            run.Run(formula, bars);
            benchmark::DoNotOptimize(run.Column(0).data());
        }
        state.counters["peak_MB"] = static_cast<double>(qelt::bench::PeakBytes() - before) / (1 << 20);
    }
}
BENCHMARK(BM_NineHundredVariablesPeak)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace qelt

BENCHMARK_MAIN();
