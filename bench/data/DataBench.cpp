// Folding the board and a day series, and what a full store costs in memory.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <cstdint>
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
    std::string reply = LineReply(keys[500].goodsNo + keys[500].dueDate, kBars);
    for (auto _ : state) data.Dispatch(reply);
    if (data.MainList()[500].series.size() != kBars) state.SkipWithError("the series did not fold");
    state.SetLabel("2500 bars per reply");
}
BENCHMARK(BM_FoldDaySeries)->Unit(benchmark::kMicrosecond);

/// One trade record of 20 fields whose identity (the 8th) is `id`.
std::string Trade(std::int64_t id) {
    std::string n = std::to_string(id);
    return "3|101.50|5|" + n + "|20060601|2|3|" + n + "|25300|48200|1|093000|101.60|" + n +
           "|101.40|7|101.70|8|101.00|1||";
}

/// A goods holding `held` trades (the store's cap by default), then small "real" replies of
/// ten trades each: what the receive thread does once a second for the goods on show.
void FoldTradesInto(benchmark::State& state, bool newTrades) {
    NullPoster poster;
    MessageTargets targets;
    CQeltData data(poster, targets);
    SetUpStore(data);
    if (!Complete(state, data)) return;
    auto keys = data.MainListKeys();
    const std::string head = "real:" + keys[500].goodsNo + keys[500].dueDate + "::";
    std::string full = head;
    for (std::int64_t id = 0; id < static_cast<std::int64_t>(kMaxTradesPerGoods); ++id) full += Trade(id);
    data.Dispatch(full);
    if (data.MainList()[500].trades.size() != kMaxTradesPerGoods) {
        state.SkipWithError("the goods does not hold the trades");
        return;
    }
    std::int64_t next = kMaxTradesPerGoods;
    std::string repeated = head;
    for (std::int64_t id = next - 10; id < next; ++id) repeated += Trade(id);
    for (auto _ : state) {
        if (!newTrades) {
            data.Dispatch(repeated);
            continue;
        }
        state.PauseTiming();
        std::string reply = head;
        for (int i = 0; i < 10; ++i) reply += Trade(next++);
        state.ResumeTiming();
        data.Dispatch(reply);
    }
    state.SetLabel(newTrades ? "10 new trades into 100000 held" : "10 held trades again, 100000 held");
}

void BM_FoldNewTradesIntoAFullGoods(benchmark::State& state) { FoldTradesInto(state, true); }
BENCHMARK(BM_FoldNewTradesIntoAFullGoods)->Unit(benchmark::kMicrosecond);

void BM_FoldRepeatedTradesIntoAFullGoods(benchmark::State& state) { FoldTradesInto(state, false); }
BENCHMARK(BM_FoldRepeatedTradesIntoAFullGoods)->Unit(benchmark::kMicrosecond);

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
        state.counters["bytes_per_bar"] =
            static_cast<double>(after - afterBoard) / (double(kContracts) * kBars);
        state.counters["bytes_per_bar_all"] =
            static_cast<double>(after - before) / (double(kContracts) * kBars);
        delete data;
    }
}
BENCHMARK(BM_StoreMemoryPerBar)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
