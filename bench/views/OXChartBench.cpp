// The K-line view's point-and-figure chart of a silk contract near 158,000 yuan, repainted
// whole (as at every live reload) through the Qt canvas into a 1920 x 1080 image, for the
// box sizes of 元生丝 = 500 (0.05 yuan: some three million boxes in the last 100 columns),
// 10000 (1 yuan) and 0 (automatic: a thirtieth of the close range).
// Goal: the repaint costs the same whatever the box count (under 3 ms at any box size);
// the counter "boxes" is the number of boxes in the columns on show.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <random>

#include "BenchHost.h"
#include "common/Commands.h"
#include "data/settings/IndicatorParameters.h"
#include "ui/QtCanvas.h"
#include "views/CQeltKLineView.h"

namespace {

using namespace qelt;

constexpr Size kClient{1920, 1080};

/// 2,000 day bars of a random walk from 158,000 moving up to 3,000 yuan a day.
BarSeries SilkDays() {
    std::mt19937 random(11);
    std::uniform_real_distribution<double> move(-3000.0, 3000.0), wick(0.0, 200.0);
    BarSeries bars;
    double price = 158000.0;
    for (int i = 0; i < 2000; ++i) {
        const double open = price, close = std::max(100000.0, price + move(random));
        const double high = std::max(open, close) + wick(random), low = std::min(open, close) - wick(random);
        bars.push_back(CBarRow{FormatInt(19800101 + i), FormatFixed2(open), FormatFixed2(close),
                               FormatFixed2(high), FormatFixed2(low), "100", FormatFixed2((open + close) / 2),
                               "1000", "2000", "200606"});
        price = close;
    }
    return bars;
}

class SilkServices : public bench::BenchHost {
  public:
    SilkServices() {
        m_goods.goods_no = "0101";
        m_goods.due_date = "20070625";
        m_goods.name = "桑蚕丝-0706";
        m_goods.seriesWanted = false;
        m_goods.series = SilkDays();
        m_goods.last_date = std::string(m_goods.series.back()[kBarDate]);
        const CBarRow& last = m_goods.series.back();
        m_goods.price = m_goods.newest_price = std::string(last[kBarClose]);
        m_goods.highest_price = std::string(last[kBarHigh]);
        m_goods.lowest_price = std::string(last[kBarLow]);
    }
    CQeltGoods CurrentGoods() const override { return m_goods; }
    void EditCurrentGoods(const std::function<void(CQeltGoods&)>& edit) override { edit(m_goods); }

  private:
    CQeltGoods m_goods;
};

void BM_OXFullRepaint(benchmark::State& state) {
    SilkServices services;
    services.EditableIndicators()[param::kOxSilkBox] = static_cast<int>(state.range(0));
    InertViewHost window{kClient};
    CQeltKLineView view{services};
    QtBitmap image(kClient.cx, kClient.cy);
    view.Attach(window);
    view.OnInitialUpdate();
    view.Paint(image.GetCanvas(), kClient, DisplayScheme::Screen());
    view.OnCommand(cmd::kChartOX);
    view.Paint(image.GetCanvas(), kClient, DisplayScheme::Screen());
    // The boxes of the columns on show.
    double boxes = 0;
    const SeriesWindow& shown = view.Window();
    for (int i = std::max(0, shown.lastVisible - shown.visibleCount + 1); i <= shown.lastVisible; ++i)
        boxes += std::abs(view.Goods().oxBoxes[static_cast<std::size_t>(i)]);
    state.counters["boxes"] = boxes;
    state.counters["columns"] = shown.visibleCount;
    for (auto _ : state) {
        view.InvalidateChart();
        view.Paint(image.GetCanvas(), kClient, DisplayScheme::Screen());
        benchmark::DoNotOptimize(image.Image().constBits());
    }
}
BENCHMARK(BM_OXFullRepaint)->Arg(500)->Arg(10000)->Arg(0)->Unit(benchmark::kMillisecond);

}  // namespace
