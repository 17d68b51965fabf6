// Seven indicator panes computed and drawn through the Qt canvas into a 1920 x 1080 image,
// as the K-line view paints its buffer.
#include <benchmark/benchmark.h>

#include <array>

#include "BenchBars.h"
#include "indicators/IndicatorCache.h"
#include "ui/QtCanvas.h"

namespace qelt {
namespace {

/// state.range(0) visible bars of 10,000; range(1) 0: from the bar texts, 1: lines kept,
/// 2: lines kept and a solid grid pen (what the dashed grid costs in Qt's raster engine).
void BM_SevenPanesImage(benchmark::State& state) {
    static const BarSeries bars = bench::RandomWalk(10000, 11);
    const int visible = static_cast<int>(state.range(0));
    const bool kept = state.range(1) >= 1;
    const IndicatorParameters table;
    const DisplayScheme scheme = DisplayScheme::Screen();
    const PaneStyle style = bench::BenchStyle(state.range(1) == 2);
    IndicatorCache cache;
    QtBitmap bitmap(1920, 1080);
    Canvas& canvas = bitmap.GetCanvas();
    canvas.SetBkMode(BkMode::Transparent);
    for (auto _ : state) {
        canvas.FillRect({0, 354, 1920, 1060}, scheme.background);
        BarColumns fresh(bars);
        for (std::size_t i = 0; i < bench::kSevenPanes.size(); ++i) {
            PaneRequest request =
                bench::SevenPaneRequest(static_cast<int>(i), bars, visible, table, scheme, style);
            request.columns = kept ? &cache.Columns(bars) : &fresh;
            if (kept) request.result = &cache.Result(request.code, bars, request.window, table);
            DrawIndicatorPane(canvas, request);
        }
        benchmark::DoNotOptimize(bitmap.Image().constBits());
    }
    const char* labels[] = {"from text", "lines kept", "lines kept, solid grid"};
    state.SetLabel(labels[state.range(1)]);
}
BENCHMARK(BM_SevenPanesImage)->ArgsProduct({{100, 2000}, {0, 1, 2}})->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace qelt
