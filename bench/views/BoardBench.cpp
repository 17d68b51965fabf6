// The quote board's once-a-second work: rebuild the rows of a 1,000-contract category from
// the store's copies, then paint one page. On the recording canvas this is the board's own
// cost; BoardImageBench adds QPainter drawing into an off-screen image.
#include <benchmark/benchmark.h>

#include "BenchHost.h"
#include "gfx/RecordingCanvas.h"
#include "views/QuoteListView.h"

namespace {

void BM_BoardRebuildOnly(benchmark::State& state) {
    qelt::bench::BenchHost host;
    qelt::QuoteListView board(host);
    board.OnInitialUpdate();
    for (auto _ : state) {
        board.OnNetList();
        benchmark::DoNotOptimize(board.Rows().data());
    }
}
BENCHMARK(BM_BoardRebuildOnly)->Unit(benchmark::kMicrosecond);

void BM_BoardRebuildAndPaintRecording(benchmark::State& state) {
    qelt::bench::BenchHost host;
    qelt::QuoteListView board(host);
    board.OnInitialUpdate();
    board.OnSize(1280, 800);
    qelt::RecordingCanvas canvas;
    for (auto _ : state) {
        board.OnNetList();
        canvas.Clear();
        board.Paint(canvas, {1280, 800}, qelt::DisplayScheme::Screen());
        benchmark::DoNotOptimize(canvas.Records().data());
    }
}
BENCHMARK(BM_BoardRebuildAndPaintRecording)->Unit(benchmark::kMicrosecond);

}  // namespace
