// The K-line view opened on a goods of the store with 50,000 day bars, from nothing to the
// first full picture at 1920 x 1080: the goods copied out of the store (as the application's
// services copy it), its day series loaded, the main chart and five indicator panes (VOL,
// MACD, KDJ, RSI, BOLL) computed, and the whole client painted through the Qt canvas.
// Goal: under 15 ms (real time, the median of the repetitions):
//   bench_kline --benchmark_filter=OpenFromStore
// The counters break one open down, each part timed on its own after the open: copying the
// goods out of the store once (the open copies it twice: the record on show and the main
// record it mirrors), computing the five panes' lines from the loaded series, and painting
// the chart again with those lines kept.
#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "../data/StoreBuilder.h"
#include "../indicators/BenchBars.h"
#include "BenchHost.h"
#include "data/settings/CQeltCFG.h"
#include "data/settings/KLineSettingsFiles.h"
#include "indicators/IndicatorCache.h"
#include "ui/QtCanvas.h"
#include "views/CQeltKLineView.h"

namespace {

using namespace qelt;
using Clock = std::chrono::steady_clock;

constexpr Size kOpenClient{1920, 1080};
/// VOL, MACD, KDJ, RSI and BOLL under the main chart.
const std::vector<int> kFivePanes = {1, 21, 43, 41, 23};

/// A program directory in memory holding winfile.ini with the five panes: the view reads it
/// when it opens and writes it back at its first layout, as it does on a disk.
std::string ProgramDirectory() {
    const std::string dir = "/dev/shm/qelt-bench-kline-open/";
    std::filesystem::create_directories(dir);
    WriteWinfile(dir, kFivePanes);
    return dir;
}

/// The "line" reply of `bars` for `key`, as the server sends a day series.
std::string LineReplyOf(const std::string& key, const BarSeries& bars) {
    std::string text = "line:" + key + ":12:";
    for (const CBarRow& bar : bars) {
        for (std::size_t i = 0; i < CBarRow::kFieldCount; ++i) text.append(bar[i]).push_back('|');
        text.push_back('|');
    }
    return text;
}

/// The bench board's application over a real store: 1,000 contracts, the first one with
/// `bars` day bars folded in from a "line" reply.
class StoreServices : public bench::BenchHost {
  public:
    explicit StoreServices(int bars) : m_settings(ProgramDirectory()) {
        bench::SetUpStore(m_store);
        const auto keys = m_store.MainListKeys();
        m_store.Dispatch(LineReplyOf(keys[0].goodsNo + keys[0].dueDate, bench::RandomWalk(bars)));
    }
    CQeltGoods CurrentGoods() const override { return m_store.CurrentGoods(0, 0, ""); }
    void EditCurrentGoods(const std::function<void(CQeltGoods&)>& edit) override {
        m_store.EditGoods(0, 0, "", edit);
    }
    const CQeltCFG& Settings() const override { return m_settings; }
    std::size_t StoredBars() const { return CurrentGoods().series.size(); }

  private:
    bench::NullPoster m_poster;
    MessageTargets m_targets;
    CQeltData m_store{m_poster, m_targets};
    CQeltCFG m_settings;
};

double Milliseconds(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

void BM_KLineOpenFromStore(benchmark::State& state) {
    const int bars = static_cast<int>(state.range(0));
    StoreServices services(bars);
    if (services.StoredBars() != static_cast<std::size_t>(bars)) {
        state.SkipWithError("the store does not hold the series");
        return;
    }
    InertViewHost window{kOpenClient};
    QtBitmap image(kOpenClient.cx, kOpenClient.cy);
    image.GetCanvas().SetDirectPixels(true);
    double copy = 0, compute = 0, repaint = 0;
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        auto view = std::make_unique<CQeltKLineView>(services);
        view->Attach(window);
        view->OnInitialUpdate();
        view->Paint(image.GetCanvas(), kOpenClient, DisplayScheme::Screen());
        benchmark::DoNotOptimize(image.Image().constBits());
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());

        // The parts, each on its own.
        Clock::time_point t = Clock::now();
        benchmark::DoNotOptimize(services.CurrentGoods().series.data());
        copy += Milliseconds(Clock::now() - t);
        t = Clock::now();
        IndicatorCache cache;
        const IndicatorParameters& table = services.Settings().m_indicators;
        const SeriesWindow& shown = view->Window();
        const IndicatorWindow lines = MakeIndicatorWindow(shown.lastVisible, shown.visibleCount, bars);
        for (int code : kFivePanes)
            benchmark::DoNotOptimize(&cache.Result(code, view->Series(), lines, table));
        compute += Milliseconds(Clock::now() - t);
        t = Clock::now();
        view->InvalidateChart();
        view->Paint(image.GetCanvas(), kOpenClient, DisplayScheme::Screen());
        repaint += Milliseconds(Clock::now() - t);
        if (view->WindowCount() != 6) {
            state.SkipWithError("the view does not show the five panes");
            break;
        }
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["copy_ms"] = copy / n;
    state.counters["panes_ms"] = compute / n;
    state.counters["repaint_ms"] = repaint / n;
}
BENCHMARK(BM_KLineOpenFromStore)
    ->Arg(50000)
    ->UseManualTime()
    ->Repetitions(9)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);

}  // namespace
