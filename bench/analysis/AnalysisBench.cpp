// The analysis engine at the sizes a trader meets: the whole market screened, the alarms
// after a board update, a system test and an optimisation. Run by hand:
//   build/bench/analysis/bench_analysis
// For instruction counts that do not depend on a busy machine, run one benchmark under
// callgrind and count inside the timed call only, e.g.
//   valgrind --tool=callgrind --toggle-collect='qelt::RunScreening*'
//       build/bench/analysis/bench_analysis --benchmark_filter=BM_Screening/threads:2
// and divide by the iterations it printed. Count on one thread (threads:1): callgrind collects
// in the threads whose stack holds the toggled function, which the pool's other threads' do not.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "analysis/ConditionAlarms.h"
#include "analysis/Optimisation.h"
#include "analysis/Screening.h"
#include "analysis/TradingSystem.h"
#include "common/Numbers.h"

namespace qelt {
namespace {

/// A day series as the store holds it: a random walk in "%.2f" texts, integer volumes.
BarSeries RandomDays(int count, std::uint32_t seed) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> move(-30.0, 30.0), wick(0.0, 15.0);
    std::uniform_int_distribution<int> volume(0, 20000), position(0, 30000);
    BarSeries bars;
    bars.reserve(static_cast<std::size_t>(count));
    double price = 3000.0;
    for (int i = 0; i < count; ++i) {
        const double open = price, close = std::max(100.0, price + move(random));
        const double high = std::max(open, close) + wick(random), low = std::min(open, close) - wick(random);
        bars.push_back(CBarRow{FormatInt(19800101 + i), FormatFixed2(open), FormatFixed2(close),
                               FormatFixed2(high), FormatFixed2(low), FormatInt(volume(random)),
                               FormatFixed2((open + close) / 2), FormatInt(position(random)), "0", "200606"});
        price = close;
    }
    return bars;
}

CompiledFormula MustCompile(const std::string& text, const std::vector<FormulaParameter>& parameters = {}) {
    FormulaCompileResult compiled = CompileFormula(text, parameters);
    if (!compiled.formula) std::abort();
    return *compiled.formula;
}

/// Five statements: two averages, a channel, the verdict, a volume figure beside it.
const std::string kScreenFormula =
    "FAST:=MA(C,5);\n"
    "SLOW:=MA(C,20);\n"
    "TOP:=HHV(H,20);\n"
    "PICK:CROSS(FAST,SLOW) OR C>=TOP;\n"
    "VR:V/MA(V,10),NODRAW;\n";

constexpr int kMarket = 1000;
constexpr int kDays = 2500;

const std::vector<BarSeries>& Market() {
    static const std::vector<BarSeries> market = [] {
        std::vector<BarSeries> all;
        all.reserve(kMarket);
        for (int i = 0; i < kMarket; ++i) all.push_back(RandomDays(kDays, static_cast<std::uint32_t>(i + 1)));
        return all;
    }();
    return market;
}

/// The whole market at its newest bar (goal: under 200 ms on two threads).
void BM_Screening(benchmark::State& state) {
    const ScreeningRequest request{MustCompile(kScreenFormula), {}, kPeriodDay, 0};
    const WorkPool pool(static_cast<int>(state.range(0)));
    const std::vector<BarSeries>& market = Market();
    int selected = 0;
    for (auto _ : state) {
        const std::optional<ScreeningResult> result = RunScreening(request, market, pool);
        selected = result->selected;
    }
    state.counters["selected"] = selected;
}
BENCHMARK(BM_Screening)->ArgName("threads")->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

/// The same at a date 500 bars back, where each goods' bars up to it are copied first.
void BM_ScreeningAtAPastDate(benchmark::State& state) {
    const ScreeningRequest request{MustCompile(kScreenFormula), {}, kPeriodDay, 19800101 + kDays - 500};
    const WorkPool pool(static_cast<int>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(RunScreening(request, Market(), pool));
}
BENCHMARK(BM_ScreeningAtAPastDate)
    ->ArgName("threads")
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

/// The timed call of BM_ConditionAlarms, apart from the first computation (callgrind:
/// --toggle-collect='*EvaluateAfterAnUpdate*').
[[gnu::noinline]] std::vector<ConditionHit> EvaluateAfterAnUpdate(
    ConditionAlarms& alarms, const std::vector<WatchedGoodsUpdate>& updates, ConditionHitMemory& memory,
    const WorkPool* pool) {
    return alarms.Evaluate(updates, memory, pool);
}

/// 200 watched goods after a board update that rewrote every last bar (goal: under 5 ms):
/// the live path, each run told that all bars but the last are unchanged.
void BM_ConditionAlarms(benchmark::State& state) {
    constexpr int kWatched = 200;
    std::vector<BarSeries> days(Market().begin(), Market().begin() + kWatched);
    ConditionAlarms alarms;
    if (alarms.SetEntry(1, MustCompile(kScreenFormula), {})) std::abort();
    std::vector<WatchedGoodsUpdate> updates;
    for (int g = 0; g < kWatched; ++g)
        updates.push_back({GoodsKey{FormatInt(g), "200606"}, &days[g], 0, {1}});
    ConditionHitMemory memory;
    const WorkPool pool(static_cast<int>(state.range(0)));
    alarms.Evaluate(updates, memory, &pool);  // the first computation, from bar 0
    for (WatchedGoodsUpdate& update : updates) update.unchangedBars = kDays - 1;
    int tick = 0;
    for (auto _ : state) {
        state.PauseTiming();
        ++tick;
        for (BarSeries& series : days) series.back().Set(kBarClose, FormatFixed2(3000.0 + tick % 50));
        state.ResumeTiming();
        benchmark::DoNotOptimize(
            EvaluateAfterAnUpdate(alarms, updates, memory, state.range(0) > 1 ? &pool : nullptr));
    }
}
BENCHMARK(BM_ConditionAlarms)
    ->ArgName("threads")
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

const std::string kCross =
    "ENTERLONG:CROSS(MA(C,FAST),MA(C,SLOW));\n"
    "ENTERSHORT:CROSS(MA(C,SLOW),MA(C,FAST));\n";
const std::vector<FormulaParameter> kCrossParameters = {{"FAST", 5, 1, 500}, {"SLOW", 20, 2, 500}};

/// A moving-average crossover over 10,000 bars, everything read from the bars' texts
/// (goal: under 1 ms, compile excluded).
void BM_MaCrossSystem(benchmark::State& state) {
    const BarSeries bars = RandomDays(10000, 99);
    const TradingSystem system = *TradingSystem::Of(MustCompile(kCross, kCrossParameters));
    const SystemCosts costs{100000, 1, 10, 0.0002, 1};
    int trades = 0;
    for (auto _ : state) {
        const SystemTest test = TestSystem(system, bars, {}, costs);
        trades = test.result.report.trades;
    }
    state.counters["trades"] = trades;
    state.counters["bars_per_s"] =
        benchmark::Counter(10000.0 * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_MaCrossSystem)->Unit(benchmark::kMicrosecond);

/// FAST 1..100 by 1 and SLOW 5..500 by 5 (10,000 combinations) over 2,500 bars on two
/// threads (goal: under 5 s). bars_per_s counts the bars of every combination; the figure a
/// single combination runs at on one core is bars_per_s_per_core. 400 combinations on one
/// thread are for callgrind.
void BM_Optimisation(benchmark::State& state) {
    const int fastValues = static_cast<int>(state.range(0));
    const BarSeries& bars = Market().front();
    OptimisationRequest request{*TradingSystem::Of(MustCompile(kCross, kCrossParameters)),
                                {},
                                {{0, 1, static_cast<double>(fastValues), 1}, {1, 5, 500, 5}},
                                SystemCosts{100000, 1, 10, 0.0002, 1}};
    const int threads = static_cast<int>(state.range(1));
    const WorkPool pool(threads);
    std::size_t rows = 0;
    for (auto _ : state) rows = RunOptimisation(request, bars, pool)->size();
    const double barsTested = static_cast<double>(rows) * kDays * static_cast<double>(state.iterations());
    state.counters["combinations"] = static_cast<double>(rows);
    state.counters["bars_per_s"] = benchmark::Counter(barsTested, benchmark::Counter::kIsRate);
    state.counters["bars_per_s_per_core"] =
        benchmark::Counter(barsTested / threads, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Optimisation)
    ->ArgNames({"fast_values", "threads"})
    ->Args({100, 2})
    ->Args({4, 1})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
}  // namespace qelt

BENCHMARK_MAIN();
