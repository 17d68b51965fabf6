// The intraday chart's and the trade list's once-a-second work on a busy contract: a new trade
// arrives (WM_NET_REAL), the view takes it from the store and rebuilds, then repaints on the
// recording canvas.
//
// The flagged contract holds 8 days of one trade a second over both sessions (115,200 trades);
// the chart shows 1 day or all 8. The trade list holds 1,000 or 100,000 trades of one day: its
// repaint must not depend on how many it holds.
#include <benchmark/benchmark.h>

#include "BenchHost.h"
#include "common/Messages.h"
#include "gfx/RecordingCanvas.h"
#include "views/CQeltRealView.h"
#include "views/CQeltTradListView.h"

namespace {

using qelt::CQeltGoods;
using qelt::TradeRow;
using qelt::TradeUpdate;

constexpr int kSessionSeconds = 4 * 3600;
constexpr int kToday = 20240110;

std::string Padded(int value, std::size_t width) {
    std::string text = qelt::FormatInt(value);
    return std::string(text.size() < width ? width - text.size() : 0, '0') + text;
}

/// HHMMSS of the n-th second of the sessions (09:00-11:00, 13:30-15:30).
int ClockOf(int second) {
    const int minutes = second / 60 + (second < 7200 ? 9 * 60 : 13 * 60 + 30 - 120);
    return minutes / 60 * 10000 + minutes % 60 * 100 + second % 60;
}

TradeRow FlaggedTrade(long id, int date, int second, long volume) {
    const double price = 1500 + (id * 7919 % 400) / 10.0;
    const std::string p = qelt::FormatFixed2(price);
    const std::string v = qelt::FormatInt(volume);
    return {"0",
            p,
            "1500.00",
            v,
            qelt::FormatInt(date),
            "3",
            "2",
            qelt::FormatInt(id),
            qelt::FormatInt(300 + id % 50),
            qelt::FormatInt(900 + id),
            " ",
            Padded(ClockOf(second), 6),
            p,
            v,
            p,
            "5",
            p,
            "6",
            "1500.00",
            "0"};
}

/// One flagged contract with `days` days of one trade a second; new trades on demand.
class TradesHost : public qelt::bench::BenchHost {
  public:
    TradesHost(int days, bool flagged) : m_flagged(flagged) {
        m_goods.goods_no = "0131";
        m_goods.due_date = "20240625";
        m_goods.name = "厂丝-240625";
        m_goods.price = m_goods.newest_price = "1510.00";
        m_goods.pre_close = m_goods.pre_avg_price = "1500.00";
        m_goods.flagged = flagged;
        m_goods.trades.reserve(static_cast<std::size_t>(days) * kSessionSeconds + 100000);
        for (int d = 0; d < days; ++d)
            for (int s = 0; s < kSessionSeconds; ++s) Add(kToday - days + 1 + d, s);
    }
    void Add(int date, int second) {
        const long id = static_cast<long>(m_goods.trades.size());
        m_volume = second == 0 ? 1 : m_volume + 1 + id % 7;
        m_goods.trades.push_back(FlaggedTrade(id, date, std::min(second, kSessionSeconds - 1), m_volume));
    }
    void AddNow() { Add(kToday, kSessionSeconds - 1); }

    bool IsFlagged(std::string_view) const override { return m_flagged; }
    CQeltGoods CurrentGoods() const override { return m_goods; }
    /// The quote alone, as the store copies it (no trades).
    std::optional<CQeltGoods> GoodsQuote(const qelt::GoodsKey&) const override {
        CQeltGoods quote;
        quote.name = m_goods.name;
        quote.flagged = m_goods.flagged;
        qelt::CopyQuoteFields(m_goods, quote);
        return quote;
    }
    TradeUpdate TradesAfter(const qelt::GoodsKey&, std::size_t held,
                            const std::string& lastIdentity) const override {
        TradeUpdate update;
        update.found = true;
        const auto& trades = m_goods.trades;
        const bool continues =
            held > 0 && held <= trades.size() && qelt::IdentityOf(trades[held - 1]) == lastIdentity;
        update.restart = !continues;
        update.rows.assign(trades.begin() + static_cast<std::ptrdiff_t>(continues ? held : 0), trades.end());
        return update;
    }

  private:
    CQeltGoods m_goods;
    bool m_flagged;
    long m_volume = 0;
};

/// One second of the chart: a trade arrives, the view rebuilds, then paints.
void BM_IntradayNewTradeRebuildAndPaint(benchmark::State& state) {
    const int daysShown = static_cast<int>(state.range(0));
    TradesHost host(8, true);
    qelt::CQeltRealView view(host, [] { return qelt::ChinaTime{kToday, 1600}; });
    view.OnInitialUpdate();
    view.SetDays(daysShown);
    qelt::RecordingCanvas canvas;
    for (auto _ : state) {
        host.AddNow();
        view.OnNotify(qelt::WM_NET_REAL, 0);
        canvas.Clear();
        view.Paint(canvas, {1280, 800}, qelt::DisplayScheme::Screen());
        benchmark::DoNotOptimize(canvas.Records().data());
    }
    state.counters["slots"] = static_cast<double>(view.Series().records.size());
}
BENCHMARK(BM_IntradayNewTradeRebuildAndPaint)->Arg(1)->Arg(8)->Unit(benchmark::kMillisecond);

/// First show: the whole goods copied from the store once, every trade read once, 8 days shown.
void BM_IntradayFirstShow(benchmark::State& state) {
    TradesHost host(8, true);
    qelt::RecordingCanvas canvas;
    for (auto _ : state) {
        qelt::CQeltRealView view(host, [] { return qelt::ChinaTime{kToday, 1600}; });
        view.OnInitialUpdate();
        view.SetDays(8);
        canvas.Clear();
        view.Paint(canvas, {1280, 800}, qelt::DisplayScheme::Screen());
        benchmark::DoNotOptimize(canvas.Records().data());
    }
}
BENCHMARK(BM_IntradayFirstShow)->Unit(benchmark::kMillisecond);

/// The repaint alone (cursor moves): the minute series is kept between paints.
void BM_IntradayRepaint(benchmark::State& state) {
    TradesHost host(8, true);
    qelt::CQeltRealView view(host, [] { return qelt::ChinaTime{kToday, 1600}; });
    view.OnInitialUpdate();
    view.SetDays(static_cast<int>(state.range(0)));
    qelt::RecordingCanvas canvas;
    for (auto _ : state) {
        canvas.Clear();
        view.Paint(canvas, {1280, 800}, qelt::DisplayScheme::Screen());
        benchmark::DoNotOptimize(canvas.Records().data());
    }
}
BENCHMARK(BM_IntradayRepaint)->Arg(1)->Arg(8)->Unit(benchmark::kMillisecond);

/// The trade list with `range(0)` trades of one day held, repainted; with `newTrade`, a trade
/// arrives before each repaint.
void TradeListRepaint(benchmark::State& state, bool newTrade) {
    TradesHost host(0, false);
    for (int i = 0; i < state.range(0); ++i) host.Add(kToday, i % kSessionSeconds);
    qelt::CQeltTradListView view(host);
    view.OnInitialUpdate();
    qelt::RecordingCanvas canvas;
    for (auto _ : state) {
        if (newTrade) {
            host.AddNow();
            view.OnNotify(qelt::WM_NET_REAL, 0);
        }
        canvas.Clear();
        view.Paint(canvas, {1280, 800}, qelt::DisplayScheme::Screen());
        benchmark::DoNotOptimize(canvas.Records().data());
    }
}
void BM_TradeListRepaint(benchmark::State& state) { TradeListRepaint(state, false); }
BENCHMARK(BM_TradeListRepaint)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);
void BM_TradeListNewTradeAndRepaint(benchmark::State& state) { TradeListRepaint(state, true); }
BENCHMARK(BM_TradeListNewTradeAndRepaint)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);

}  // namespace
