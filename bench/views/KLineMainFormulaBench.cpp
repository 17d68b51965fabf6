// The K-line view's full repaint at 1920 x 1080 with 100 of 10,000 day bars on show, eight
// windows, without and with a formula over the main chart: three moving averages as lines and
// an up arrow under every rising bar (DRAWICON), computed once (the repaint draws what was
// computed). Goal: the formula adds at most 0.3 ms to the repaint. Compare in one run whose
// cases take turns:
//   bench_kline --benchmark_filter=MainFormula --benchmark_repetitions=10
//     --benchmark_enable_random_interleaving=true --benchmark_min_time=1   (one line)
// Where the formula engine does not yet compile drawing statements, the formula is the three
// lines alone and the case's label says so; FormulaIconMarks then gives the arrows' part: an
// up arrow at every one of 10,000 bars, 100 of them on show, drawn through the Qt canvas.
#include <benchmark/benchmark.h>

#include "../indicators/BenchBars.h"
#include "BenchHost.h"
#include "common/Commands.h"
#include "formula/FormulaLibrary.h"
#include "ui/QtCanvas.h"
#include "views/CQeltKLineView.h"
#include "views/kline/FormulaMarks.h"
#include "views/kline/KLineMenu.h"

namespace {

using namespace qelt;

constexpr Size kMainFormulaClient{1920, 1080};
constexpr const char* kMainFormulaWithIcons = "MA1:MA(C,5); MA2:MA(C,10); MA3:MA(C,20); DRAWICON(C>O,L,1);";
constexpr const char* kMainFormulaLinesOnly = "MA1:MA(C,5); MA2:MA(C,10); MA3:MA(C,20);";

class MainFormulaServices : public bench::BenchHost {
  public:
    MainFormulaServices() {
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
    }
    std::vector<CQeltGoods> GoodsOfCategory(int) const override { return {m_goods}; }
    CQeltGoods CurrentGoods() const override { return m_goods; }
    void EditCurrentGoods(const std::function<void(CQeltGoods&)>& edit) override { edit(m_goods); }
    const FormulaLibrary& Formulas() const override { return m_library; }
    std::vector<double> FormulaValues(int) const override { return {}; }
    /// Adds the bench's formula as a 主图 one; false when the engine knows no DRAWICON.
    bool AddMainFormula() {
        const bool icons = CompileFormula(kMainFormulaWithIcons).formula.has_value();
        StoredFormula formula{0, "三线", "", {}, icons ? kMainFormulaWithIcons : kMainFormulaLinesOnly};
        formula.mainChart = true;
        m_library.Add(formula);
        return icons;
    }

  private:
    CQeltGoods m_goods;
    FormulaLibrary m_library{"/nonexistent/"};
};

struct MainFormulaChart {
    explicit MainFormulaChart(bool formula) : image(kMainFormulaClient.cx, kMainFormulaClient.cy, 1.0) {
        image.GetCanvas().SetDirectPixels(true);
        view.Attach(window);
        view.OnInitialUpdate();
        view.OnCommand(cmd::kWindows8);
        if (formula) {
            icons = services.AddMainFormula();
            view.OnCommand(CommandOfMainFormulaPlace(0));
        }
        view.Paint(image.GetCanvas(), kMainFormulaClient, DisplayScheme::Screen());
        view.ShowBars(100, 9999);
        MouseInput m;
        m.at = {900, 300};
        view.OnMouseMove(m);
        view.Paint(image.GetCanvas(), kMainFormulaClient, DisplayScheme::Screen());
    }
    MainFormulaServices services;
    InertViewHost window{kMainFormulaClient};
    CQeltKLineView view{services};
    QtBitmap image;
    bool icons = false;
};

void BM_KLineMainFormulaRepaint(benchmark::State& state) {
    MainFormulaChart chart(state.range(0) != 0);
    if (state.range(0) != 0 && chart.view.MainChartFormulas().empty()) {
        state.SkipWithError("the formula did not go on the main chart");
        return;
    }
    if (state.range(0) != 0 && !chart.icons) state.SetLabel("lines only: no DRAWICON in this engine");
    for (auto _ : state) {
        chart.view.InvalidateChart();
        chart.view.Paint(chart.image.GetCanvas(), kMainFormulaClient, DisplayScheme::Screen());
        benchmark::DoNotOptimize(chart.image.Image().constBits());
    }
}
BENCHMARK(BM_KLineMainFormulaRepaint)->ArgName("formula")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

/// The main chart's 100 slots of 17 pixels over 1,000 rows of prices from 0.
class BenchMarkAxes : public FormulaChartAxes {
  public:
    int CentreX(int bar) const override { return 8 + (bar - 9900) * 17; }
    int Y(double value) const override { return 1030 - static_cast<int>(value); }
};

void BM_KLineFormulaIconMarks(benchmark::State& state) {
    QtBitmap image(kMainFormulaClient.cx, kMainFormulaClient.cy, 1.0);
    image.GetCanvas().SetDirectPixels(true);
    FormulaDrawing arrow;
    arrow.kind = FormulaDrawingKind::Icon;
    const std::vector<FormulaDrawing> drawings{arrow};
    std::vector<FormulaMark> marks;
    for (int bar = 0; bar < 10000; ++bar) marks.push_back({bar, 0, 100.0 + (bar * 37) % 800, 0.0});
    const DisplayScheme scheme = DisplayScheme::Screen();
    FormulaMarksRequest request;
    request.marks = marks;
    request.drawings = &drawings;
    request.first = 9900;
    request.last = 9999;
    request.barWidth = 17.0f;
    request.chart = {0, 30, 1700, 1031};
    request.scheme = &scheme;
    for (auto _ : state) {
        DrawFormulaMarks(image.GetCanvas(), request, BenchMarkAxes());
        benchmark::DoNotOptimize(image.Image().constBits());
    }
}
BENCHMARK(BM_KLineFormulaIconMarks)->Unit(benchmark::kMicrosecond);

}  // namespace
