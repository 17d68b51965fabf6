// Framing and splitting of a stream of 500-record "list" replies, as the receive thread
// meets them: cut at "|END" from 2048-byte pieces, then split into 27-field records.
#include <benchmark/benchmark.h>

#include <string>

#include "net/Framer.h"
#include "net/Replies.h"

namespace {

std::string ListReply(int records) {
    std::string body = "list:";
    for (int r = 0; r < records; ++r) {
        body += "20070" + std::to_string(r % 9 + 1) + "25|120|130|1523.00|12|4521|1500.00|1540.00|1510.00|";
        body += "000" + std::to_string(r % 7 + 1) + "|8800|1523.00|30|40|5600|1510.00|1|1509.00|1522.50|";
        body += "20061207|1522.00|5|1524.00|7|1523.50|220|1519.00||";
    }
    return body + "|END";
}

const std::string& Stream() {
    static const std::string stream = [] {
        std::string s;
        std::string one = ListReply(500);
        for (int i = 0; i < 20; ++i) s += one;
        return s;
    }();
    return stream;
}

void BM_Framing(benchmark::State& state) {
    const std::string& stream = Stream();
    for (auto _ : state) {
        qelt::Framer framer;
        size_t messages = 0;
        for (size_t at = 0; at < stream.size(); at += 2048) {
            framer.Feed(std::string_view(stream).substr(at, 2048));
            std::string_view m;
            while (framer.Next(m)) ++messages;
        }
        benchmark::DoNotOptimize(messages);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * stream.size()));
}
BENCHMARK(BM_Framing);

void BM_SplitListRecords(benchmark::State& state) {
    const std::string reply = ListReply(500);
    std::string_view body = std::string_view(reply).substr(5, reply.size() - 9);
    for (auto _ : state) {
        auto records = qelt::ParseList(body);
        benchmark::DoNotOptimize(records.data());
    }
    state.SetItemsProcessed(state.iterations() * 500);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * body.size()));
}
BENCHMARK(BM_SplitListRecords);

}  // namespace

BENCHMARK_MAIN();
