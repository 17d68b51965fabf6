// Rebuild and paint of a 1,000-contract board into a QImage through the Qt canvas, as the
// board window does once a second.
#include <benchmark/benchmark.h>

#include "BenchHost.h"
#include "ui/QtCanvas.h"
#include "views/QuoteListView.h"

namespace {

void BM_BoardRebuildAndPaintImage(benchmark::State& state) {
    qelt::bench::BenchHost host;
    qelt::QuoteListView board(host);
    board.OnInitialUpdate();
    board.OnSize(1280, 800);
    qelt::QtBitmap bitmap(1260, 780);
    for (auto _ : state) {
        board.OnNetList();
        board.Paint(bitmap.GetCanvas(), {1280, 800}, qelt::DisplayScheme::Screen());
        benchmark::DoNotOptimize(bitmap.Image().constBits());
    }
}
BENCHMARK(BM_BoardRebuildAndPaintImage)->Unit(benchmark::kMicrosecond);

}  // namespace
