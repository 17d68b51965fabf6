// The floor under a dense repaint: one fill of the 3840 x 2160 image (1920 x 1080 at device
// pixel ratio 2) that BM_KLineFullRepaintDense paints into, through the same canvas with its
// direct pixel writes. A repaint cannot cost less than writing its surface once; compare the
// two in one run:
//   bench_kline --benchmark_filter='SurfaceFill|FullRepaintDense/2000' --benchmark_repetitions=10
//     --benchmark_enable_random_interleaving=true   (one line)
#include <benchmark/benchmark.h>

#include "ui/QtCanvas.h"

namespace {

using namespace qelt;

void BM_SurfaceFill(benchmark::State& state) {
    QtBitmap image(1920, 1080, 2.0);
    QtCanvas& canvas = image.GetCanvas();
    canvas.SetDirectPixels(true);
    Colour colours[2] = {0x000000, 0x102030};
    int round = 0;
    for (auto _ : state) {
        canvas.FillRect({0, 0, 1920, 1080}, colours[++round & 1]);
        benchmark::DoNotOptimize(image.Image().constBits());
    }
    state.counters["device_pixels"] = static_cast<double>(image.Image().width()) * image.Image().height();
}
BENCHMARK(BM_SurfaceFill)->Name("BM_SurfaceFill/Dense")->Unit(benchmark::kMillisecond);

}  // namespace
