// Indicator computations per bar over a 100,000-bar series, and seven panes computed and
// drawn on the recording canvas (goal: below 1 ms for 10,000 bars with 100 visible).
#include <benchmark/benchmark.h>

#include <array>

#include "BenchBars.h"
#include "gfx/RecordingCanvas.h"
#include "indicators/IndicatorCache.h"
#include "indicators/IndicatorTable.h"

namespace qelt {
namespace {

const BarSeries& Series100k() {
    static const BarSeries bars = bench::RandomWalk(100000);
    return bars;
}

const BarSeries& Series10k() {
    static const BarSeries bars = bench::RandomWalk(10000, 11);
    return bars;
}

void SetPerBar(benchmark::State& state, int bars) {
    state.counters["per_bar"] =
        benchmark::Counter(static_cast<double>(bars) * static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

/// One indicator over the whole series, all bars visible, from numbers already read, into
/// the lines of the previous computation (as a view's cache recomputes: no allocation).
void BM_Compute(benchmark::State& state) {
    const int code = static_cast<int>(state.range(0));
    const BarSeries& bars = Series100k();
    const int n = static_cast<int>(bars.size());
    BarColumns columns(bars);
    columns.Open(0, n), columns.Close(0, n), columns.High(0, n), columns.Low(0, n), columns.Avg(0, n);
    columns.Num(0, n), columns.Pure(0, n);
    const IndicatorParameters table;
    const IndicatorWindow window = MakeIndicatorWindow(-1, n, n);
    IndicatorResult result;
    for (auto _ : state) {
        ComputeIndicator(code, columns, window, table, result);
        benchmark::DoNotOptimize(result.lines.data());
    }
    state.SetLabel(std::string(FindIndicatorDefinition(code)->key));
    SetPerBar(state, n);
}
BENCHMARK(BM_Compute)
    ->DenseRange(1, 5)
    ->DenseRange(21, 27)
    ->DenseRange(41, 49)
    ->Unit(benchmark::kMicrosecond);

/// The same into fresh lines each time: the price of allocating (and faulting in) the
/// result memory of a 100,000-bar computation.
void BM_ComputeFresh(benchmark::State& state) {
    const int code = static_cast<int>(state.range(0));
    const BarSeries& bars = Series100k();
    const int n = static_cast<int>(bars.size());
    BarColumns columns(bars);
    columns.Open(0, n), columns.Close(0, n), columns.High(0, n), columns.Low(0, n);
    const IndicatorParameters table;
    const IndicatorWindow window = MakeIndicatorWindow(-1, n, n);
    for (auto _ : state) {
        IndicatorResult result = ComputeIndicator(code, columns, window, table);
        benchmark::DoNotOptimize(result.lines.data());
    }
    state.SetLabel(std::string(FindIndicatorDefinition(code)->key));
    SetPerBar(state, n);
}
BENCHMARK(BM_ComputeFresh)->Arg(21)->Arg(22)->Unit(benchmark::kMicrosecond);

/// Reading the open, close, high, low, volume and average price of every bar from its text:
/// the price of one pass that starts from the bars.
void BM_ReadColumns(benchmark::State& state) {
    const BarSeries& bars = Series100k();
    const int n = static_cast<int>(bars.size());
    for (auto _ : state) {
        BarColumns columns(bars);
        benchmark::DoNotOptimize(columns.Open(0, n));
        benchmark::DoNotOptimize(columns.Close(0, n));
        benchmark::DoNotOptimize(columns.High(0, n));
        benchmark::DoNotOptimize(columns.Low(0, n));
        benchmark::DoNotOptimize(columns.Num(0, n));
        benchmark::DoNotOptimize(columns.Avg(0, n));
    }
    SetPerBar(state, n);
}
BENCHMARK(BM_ReadColumns)->Unit(benchmark::kMicrosecond);

/// One pane of a 10,000-bar series with 100 visible bars, from the bar texts: which
/// indicators weigh most on a repaint.
void BM_OnePaneFromText(benchmark::State& state) {
    const int code = static_cast<int>(state.range(0));
    const BarSeries& bars = Series10k();
    const int n = static_cast<int>(bars.size());
    const IndicatorParameters table;
    const DisplayScheme scheme = DisplayScheme::Screen();
    const PaneStyle style = bench::BenchStyle();
    RecordingCanvas canvas(1920, 1080);
    PaneRequest request;
    request.pane = bench::SevenPaneRect(0);
    request.code = code;
    request.bars = &bars;
    request.window = MakeIndicatorWindow(-1, 100, n);
    request.barWidth = 16.6f;
    request.chartRight = 1720;
    request.parameters = &table;
    request.scheme = &scheme;
    request.style = &style;
    for (auto _ : state) {
        canvas.Clear();
        DrawIndicatorPane(canvas, request);
        benchmark::DoNotOptimize(canvas.Records().data());
    }
    state.SetLabel(std::string(FindIndicatorDefinition(code)->key));
}
BENCHMARK(BM_OnePaneFromText)
    ->DenseRange(1, 5)
    ->DenseRange(21, 27)
    ->DenseRange(41, 49)
    ->Unit(benchmark::kMicrosecond);

enum PaneMode { kFromText = 0, kLastBarChanged = 1, kColumnsKept = 2, kLinesKept = 3 };

/// Seven panes (bench::kSevenPanes) of a 10,000-bar series: state.range(0) visible bars; range(1) says what a
/// repaint starts from: the bar texts (a new series), an IndicatorCache after a live quote
/// rewrote the last bar (once a second), numbers kept while the series is unchanged
/// (scrolling, zooming), or lines kept while series, window and parameters are unchanged
/// (mouse moves).
void BM_SevenPanesRecording(benchmark::State& state) {
    BarSeries bars = Series10k();
    const int visible = static_cast<int>(state.range(0));
    const CBarRow lastBars[2] = {bars.back(), CBarRow{bars.back()[kBarDate], "3000.00", "3010.50", "3020.00",
                                                      "2990.00", "12345", "3005.00", "100", "200", "200606"}};
    std::size_t quote = 0;
    const auto mode = static_cast<PaneMode>(state.range(1));
    const IndicatorParameters table;
    const DisplayScheme scheme = DisplayScheme::Screen();
    const PaneStyle style = bench::BenchStyle();
    IndicatorCache cache;
    BarColumns kept(bars);
    RecordingCanvas canvas(1920, 1080);
    for (auto _ : state) {
        canvas.Clear();
        if (mode == kLastBarChanged) bars.back() = lastBars[++quote % 2];
        BarColumns fresh(bars);
        for (std::size_t i = 0; i < bench::kSevenPanes.size(); ++i) {
            PaneRequest request =
                bench::SevenPaneRequest(static_cast<int>(i), bars, visible, table, scheme, style);
            if (mode == kFromText) {
                request.columns = &fresh;
            } else if (mode == kColumnsKept) {
                request.columns = &kept;  // the painter computes the lines
            } else {
                request.columns = &cache.Columns(bars);
                request.result = &cache.Result(request.code, bars, request.window, table);
            }
            DrawIndicatorPane(canvas, request);
        }
        benchmark::DoNotOptimize(canvas.Records().data());
    }
    const char* labels[] = {"from text", "last bar changed", "numbers kept", "lines kept"};
    state.SetLabel(labels[mode]);
}
BENCHMARK(BM_SevenPanesRecording)
    ->ArgsProduct({{100, 2000}, {kFromText, kLastBarChanged, kColumnsKept, kLinesKept}})
    ->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace qelt
