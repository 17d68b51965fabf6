// Folding the board and a day series, and what a full store costs in memory.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <string>

#include "StoreBuilder.h"

namespace {

using namespace qelt;

using namespace qelt::bench;

bool Complete(benchmark::State& state, const CQeltData& data) {
    if (data.MainCount() == kContracts) return true;
    state.SkipWithError("the board did not fold into 1000 records");
    return false;
}

void BM_FoldKnownBoard(benchmark::State& state) {
    NullPoster poster;
    MessageTargets targets;
    CQeltData data(poster, targets);
    SetUpStore(data);
    if (!Complete(state, data)) return;
    std::string replies[2] = {BoardReply(1), BoardReply(2)};
    int round = 0;
    for (auto _ : state) data.Dispatch(replies[round++ & 1]);
    state.SetLabel("1000 known records per reply");
}
BENCHMARK(BM_FoldKnownBoard)->Unit(benchmark::kMicrosecond);

void BM_FoldDaySeries(benchmark::State& state) {
    NullPoster poster;
    MessageTargets targets;
    CQeltData data(poster, targets);
    SetUpStore(data);
    if (!Complete(state, data)) return;
    auto keys = data.MainListKeys();
    std::string reply = LineReply(keys[500].first + keys[500].second, kBars);
    for (auto _ : state) data.Dispatch(reply);
    if (data.MainList()[500].series.size() != kBars) state.SkipWithError("the series did not fold");
    state.SetLabel("2500 bars per reply");
}
BENCHMARK(BM_FoldDaySeries)->Unit(benchmark::kMicrosecond);

void BM_StoreMemoryPerBar(benchmark::State& state) {
    for (auto _ : state) {
        NullPoster poster;
        MessageTargets targets;
        auto before = mallinfo2().uordblks;
        auto* data = new CQeltData(poster, targets);
        SetUpStore(*data);
        auto afterBoard = mallinfo2().uordblks;
        for (const auto& [goods, due] : data->MainListKeys()) data->Dispatch(LineReply(goods + due, kBars));
        auto after = mallinfo2().uordblks;
        state.counters["store_MB"] = static_cast<double>(after - before) / (1 << 20);
        state.counters["bytes_per_bar"] = static_cast<double>(after - afterBoard) / (double(kContracts) * kBars);
        state.counters["bytes_per_bar_all"] = static_cast<double>(after - before) / (double(kContracts) * kBars);
        delete data;
    }
}
BENCHMARK(BM_StoreMemoryPerBar)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
