// What the application reads from a full store (1,000 contracts of 2,500 day bars): the
// keyboard wizard's search at every keystroke, and the memory peak of the exit-time save.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "../support/AllocationPeak.h"
#include "StoreBuilder.h"
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

}  // namespace

BENCHMARK_MAIN();
