// What the application reads from a full store (1,000 contracts of 2,500 day bars): the
// keyboard wizard's search at every keystroke, the memory peak of the exit-time save, and the
// day series 条件选股 copies out of it.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "../support/AllocationPeak.h"
#include "StoreBuilder.h"
#include "app/ConditionAlarmPass.h"
#include "app/ScreeningRunner.h"
#include "data/history/StoreArchive.h"
#include "views/controls/HotKeyModel.h"

namespace {

using namespace qelt;
using namespace qelt::bench;

struct FullStore {
    NullPoster poster;
    MessageTargets targets;
    CQeltData data{poster, targets};
    FullStore() {
        SetUpStore(data);
        FillSeries(data);
    }
};

FullStore& Store() {
    static FullStore store;
    return store;
}

// The wizard as it searches now: the summaries of the main list, then the filter.
void BM_WizardSearch(benchmark::State& state) {
    CQeltData& data = Store().data;
    for (auto _ : state) {
        auto rows = FilterHotKeyRows(data.Summaries(GoodsList::Main), "10");
        benchmark::DoNotOptimize(rows.data());
    }
    state.SetLabel("summaries of 1000 goods + filter");
}
BENCHMARK(BM_WizardSearch)->Unit(benchmark::kMicrosecond);

// What a keystroke used to cost: a whole copy of the main list, series and all.
void BM_WizardSearchThroughWholeCopies(benchmark::State& state) {
    CQeltData& data = Store().data;
    for (auto _ : state) {
        auto copies = data.MainList();
        benchmark::DoNotOptimize(copies.data());
    }
    state.SetLabel("the old way: MainList() per keystroke");
}
BENCHMARK(BM_WizardSearchThroughWholeCopies)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_SaveAtExitPeak(benchmark::State& state) {
    CQeltData& data = Store().data;
    const std::string dir = (std::filesystem::temp_directory_path() / "qelt-bench-save/").string();
    std::filesystem::create_directories(dir);
    HistoryDatabase database(dir);
    for (auto _ : state) {
        const long long storeBytes = qelt::bench::RestartPeak();
        SaveStoreToHistory(database, data);
        const long long extra = qelt::bench::PeakBytes() - storeBytes;
        state.counters["store_MB"] = static_cast<double>(storeBytes) / (1 << 20);
        state.counters["peak_extra_MB"] = static_cast<double>(extra) / (1 << 20);
        state.counters["peak_above_store_pct"] =
            100.0 * static_cast<double>(extra) / static_cast<double>(storeBytes);
    }
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_SaveAtExitPeak)->Iterations(1)->Unit(benchmark::kMillisecond);

// 条件选股's gathering: every main record's day series copied out of the store one goods at a
// time, in the runner's batches, as the screening thread does before the engine runs on a
// batch (the engine's own time is bench_analysis' BM_Screening).
void BM_ScreeningGatherSeries(benchmark::State& state) {
    CQeltData& data = Store().data;
    const std::vector<GoodsKey> keys = data.MainListKeys();
    const DaySeriesSource series = StoreDaySeries(data);
    std::vector<BarSeries> batch(ScreeningRunner::kBatch);
    for (auto _ : state) {
        std::size_t bars = 0;
        for (std::size_t first = 0; first < keys.size(); first += ScreeningRunner::kBatch) {
            for (std::size_t i = first; i < keys.size() && i < first + ScreeningRunner::kBatch; ++i) {
                BarSeries& into = batch[i - first];
                series(keys[i], into);
                bars += into.size();
            }
        }
        benchmark::DoNotOptimize(bars);
    }
    state.SetLabel("1000 goods x 2500 day bars, 64 at a time");
}
BENCHMARK(BM_ScreeningGatherSeries)->Unit(benchmark::kMillisecond);

}  // namespace

/// 条件预警 after one board update that rewrote every last bar: 200 watched goods of 2,500
/// day bars, one entry of a five-statement formula, read in place from the store under its
/// lock (goal: under 5 ms, on the interface thread). The first pass, which computes every
/// series from its first bar, is timed apart.
void BM_ConditionAlarmPass(benchmark::State& state) {
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "qelt-bench-condalarm";
    std::filesystem::create_directories(dir);
    FormulaLibrary library(dir.string() + "/");
    library.Load();
    StoredFormula formula;
    formula.name = "测速" + std::to_string(state.range(0));
    formula.text =
        "FAST:=MA(C,5);\nSLOW:=MA(C,20);\nTOP:=HHV(H,20);\nPICK:CROSS(FAST,SLOW) OR C>=TOP;\n"
        "VR:V/MA(V,10),NODRAW;\n";
    const FormulaChange added = library.Add(formula);
    if (!added.applied) std::abort();
    ConditionAlarmEntry entry;
    entry.id = 1;
    entry.formulaId = added.id;
    const std::vector<GoodsKey> keys = Store().data.MainListKeys();
    entry.goods.assign(keys.begin(), keys.begin() + 200);
    // The first pass is timed whole: no budget sends goods to later passes.
    const std::chrono::milliseconds budget(1000000);
    ConditionAlarmPass pass(budget);
    if (!pass.Configure({entry}, library).empty()) std::abort();
    ConditionHitMemory memory;
    const bool first = state.range(0) == 0;
    int round = 1;
    Store().data.Dispatch(BoardReply(round));
    if (!first) pass.Run(Store().data, {}, memory);
    for (auto _ : state) {
        state.PauseTiming();
        if (first) {
            pass = ConditionAlarmPass(budget);
            pass.Configure({entry}, library);
        } else {
            Store().data.Dispatch(BoardReply(++round));
        }
        state.ResumeTiming();
        benchmark::DoNotOptimize(pass.Run(Store().data, {}, memory));
    }
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_ConditionAlarmPass)->ArgName("first")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
