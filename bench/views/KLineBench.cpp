// The K-line view painting a 10,000-bar contract at 1920 x 1080 through the Qt canvas into
// an off-screen image: eight windows (the main chart over seven indicator panes), the date
// strip and the quote panel, with 100 and with 2,000 bars on show.
// - FullRepaint: the chart drawn again (as after a resize or a change of colours), the
//   indicator lines of the window kept;
// - ScrollRepaint: the window moved by one bar, so every pane computes its lines again;
// - CrosshairMove: the pointer moved to another bar in cursor mode: the kept chart is copied
//   back where the crosshair, its labels and the panes' titles were, and they are drawn anew.
// - FullRepaintDense: FullRepaint on a surface of twice the pixel density.
// Goals: under 3 ms (100 bars) and 6 ms (2,000 bars) for a repaint; under 0.5 ms for a move;
// the dense repaint of 2,000 bars within 3 times one fill of its surface (BM_SurfaceFill/Dense).
// The repaints draw their texts from the shapes kept by the first paint of the chart, and lay
// the background band by band, its rows filled from the top on a second core (the RowFiller)
// as well as by the benchmark's thread; the figures are real time. Repaints here follow each
// other at once, so the second core is awake: after a pause it may take most of a
// millisecond to wake on this machine, and the benchmark's thread then fills alone. Ratios
// are taken from one run whose cases take turns, so that a busy moment of the machine falls
// on all of them alike:
//   bench_kline --benchmark_filter=FullRepaint --benchmark_repetitions=10
//     --benchmark_enable_random_interleaving=true --benchmark_min_time=1   (one line)
#include <benchmark/benchmark.h>

#include <chrono>
#include <thread>

#include "../indicators/BenchBars.h"
#include "BenchHost.h"
#include "common/Commands.h"
#include "ui/QtCanvas.h"
#include "views/CQeltKLineView.h"

namespace {

using namespace qelt;

constexpr Size kClient{1920, 1080};

/// The bench board's application with one goods of 10,000 day bars on show.
class KLineServices : public bench::BenchHost {
  public:
    KLineServices() {
        m_goods.goods_no = "0101";
        m_goods.due_date = "20070625";
        m_goods.name = "桑蚕丝-0706";
        m_goods.seriesWanted = false;
        m_goods.series = bench::RandomWalk(10000);
        m_goods.last_date = std::string(m_goods.series.back()[kBarDate]);
        for (auto* field :
             {&m_goods.price, &m_goods.pre_close, &m_goods.open_price, &m_goods.highest_price,
              &m_goods.lowest_price, &m_goods.newest_price, &m_goods.invest_price, &m_goods.sale_price})
            *field = std::string(m_goods.series.back()[kBarClose]);
        for (int i = 0; i < 40; ++i)
            m_goods.trades.push_back(
                {FormatInt(i), m_goods.price, "0", "0", m_goods.last_date, "3", "4", "id" + FormatInt(i)});
    }
    std::vector<CQeltGoods> GoodsOfCategory(int) const override { return {m_goods}; }
    CQeltGoods CurrentGoods() const override { return m_goods; }
    void EditCurrentGoods(const std::function<void(CQeltGoods&)>& edit) override { edit(m_goods); }

  private:
    CQeltGoods m_goods;
};

/// A view of eight windows showing `visible` bars up to the newest, painted once (with
/// `direct` false, every pixel through the painter).
struct Chart {
    explicit Chart(int visible, qreal ratio = 1.0, bool direct = true)
        : image(kClient.cx, kClient.cy, ratio) {
        image.GetCanvas().SetDirectPixels(direct);
        view.Attach(window);
        view.OnInitialUpdate();
        view.OnCommand(cmd::kWindows8);
        view.Paint(image.GetCanvas(), kClient, DisplayScheme::Screen());
        view.ShowBars(visible, 9999);
        view.OnMouseMove(Mouse(900, 300));
        view.Paint(image.GetCanvas(), kClient, DisplayScheme::Screen());
    }
    static MouseInput Mouse(int x, int y) {
        MouseInput m;
        m.at = {x, y};
        return m;
    }
    KLineServices services;
    InertViewHost window{kClient};
    CQeltKLineView view{services};
    QtBitmap image;
};

/// Whether the chart drawn through the direct pixel writes is, pixel for pixel, the chart
/// drawn through the painter alone; a benchmark of a chart that differs fails.
bool SamePixelsAsPainter(benchmark::State& state, int visible, qreal ratio) {
    Chart direct(visible, ratio), painter(visible, ratio, false);
    const bool same = direct.image.Image() == painter.image.Image();
    if (!same) state.SkipWithError("the direct pixel writes changed the picture");
    return same;
}

/// One full repaint, kept out of line so that a profiler can be pointed at it alone
/// (valgrind --tool=callgrind --toggle-collect='*FullRepaint*').
[[gnu::noinline]] void FullRepaint(Chart& chart) {
    chart.view.InvalidateChart();
    chart.view.Paint(chart.image.GetCanvas(), kClient, DisplayScheme::Screen());
    benchmark::DoNotOptimize(chart.image.Image().constBits());
}

void BM_KLineFullRepaint(benchmark::State& state) {
    if (!SamePixelsAsPainter(state, static_cast<int>(state.range(0)), 1.0)) return;
    Chart chart(static_cast<int>(state.range(0)));
    state.counters["visible"] = chart.view.Window().visibleCount;
    for (auto _ : state) FullRepaint(chart);
}
BENCHMARK(BM_KLineFullRepaint)->Arg(100)->Arg(2000)->Unit(benchmark::kMillisecond);

/// The same on a screen of twice the density (QT_SCALE_FACTOR=2): 3840 x 2160 device pixels.
void BM_KLineFullRepaintDense(benchmark::State& state) {
    if (!SamePixelsAsPainter(state, static_cast<int>(state.range(0)), 2.0)) return;
    Chart chart(static_cast<int>(state.range(0)), 2.0);
    for (auto _ : state) FullRepaint(chart);
}
BENCHMARK(BM_KLineFullRepaintDense)->Arg(100)->Arg(2000)->Unit(benchmark::kMillisecond);

/// The dense repaint as a user meets it: after a pause (a sixtieth of a second, one frame), in
/// which the second core may have gone to sleep.
void BM_KLineFullRepaintDenseAfterPause(benchmark::State& state) {
    Chart chart(static_cast<int>(state.range(0)), 2.0);
    for (auto _ : state) {
        state.PauseTiming();
        std::this_thread::sleep_for(std::chrono::milliseconds(16));
        state.ResumeTiming();
        FullRepaint(chart);
    }
}
BENCHMARK(BM_KLineFullRepaintDenseAfterPause)->Arg(2000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_KLineScrollRepaint(benchmark::State& state) {
    const int visible = static_cast<int>(state.range(0));
    Chart chart(visible);
    chart.view.OnMouseMove(Chart::Mouse(1, 300));  // the cursor on the first visible bar
    for (auto _ : state) {
        // The cursor key at the window's left edge scrolls it one bar.
        chart.view.OnCommand(cmd::kCursorLeft);
        chart.view.Paint(chart.image.GetCanvas(), kClient, DisplayScheme::Screen());
        benchmark::DoNotOptimize(chart.image.Image().constBits());
        if (chart.view.Window().lastVisible < visible + 10) {
            state.PauseTiming();
            chart.view.ShowBars(visible, 9999);  // back to the newest bars
            chart.view.OnMouseMove(Chart::Mouse(1, 300));
            state.ResumeTiming();
        }
    }
}
BENCHMARK(BM_KLineScrollRepaint)->Arg(100)->Arg(2000)->Unit(benchmark::kMillisecond);

void BM_KLineCrosshairMove(benchmark::State& state) {
    Chart chart(static_cast<int>(state.range(0)));
    chart.view.OnCommand(cmd::kCursorLeft);  // cursor mode on
    chart.view.Paint(chart.image.GetCanvas(), kClient, DisplayScheme::Screen());
    int step = 0;
    for (auto _ : state) {
        // Another bar at every move (40 pixels apart), over the main pane and the panes.
        ++step;
        chart.view.OnMouseMove(Chart::Mouse(200 + (step % 30) * 40, 150 + (step % 9) * 90));
        chart.view.Paint(chart.image.GetCanvas(), kClient, DisplayScheme::Screen());
        benchmark::DoNotOptimize(chart.image.Image().constBits());
    }
}
BENCHMARK(BM_KLineCrosshairMove)->Arg(100)->Arg(2000)->Unit(benchmark::kMicrosecond);

}  // namespace
