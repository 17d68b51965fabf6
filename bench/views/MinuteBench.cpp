// Minute bars: a day of 20,000 trades made into bars; today's bars after one more "real"
// reply (three trades more on a day of 20,000); a 60-day one-minute chart (14,400 bars)
// opened from the history database to its first picture at 1920 x 1080.
// Goals: under 5 ms, under 0.2 ms, under 50 ms. Also the whole chart after one more reply
// (the view's copy of the goods, today's bars, the series, the indicators picking up). The
// machine is shared: give callgrind's instruction counts per call beside the times, e.g.
//   valgrind --tool=callgrind --toggle-collect='*MinuteChartOpened*' bench_minutes
//     --benchmark_filter=MinuteChartOpened --benchmark_min_time=10x      (one line)
// with MinuteBarsMade, OneMoreReply and ChartAfterOneMoreReply for the others.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <random>

#include "BenchHost.h"
#include "app/MinuteHistoryFlow.h"
#include "chart/MinuteBars.h"
#include "common/CivilDate.h"
#include "common/Files.h"
#include "common/Messages.h"
#include "data/history/HistoryDatabase.h"
#include "data/settings/KLineSettingsFiles.h"
#include "ui/QtCanvas.h"
#include "views/CQeltKLineView.h"

namespace {

using namespace qelt;

constexpr Size kClient{1920, 1080};
constexpr int kDayTrades = 20000;
const GoodsKey kContract{"0131", "20260624"};

/// `count` continuous trades spread over both sessions of `date`, a random walk of prices.
std::vector<TradeRow> DayOfTrades(int date, int count, std::uint32_t seed = 7) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> step(-2, 2), lots(1, 30);
    std::vector<TradeRow> trades;
    trades.reserve(static_cast<std::size_t>(count));
    double price = 16.20;
    long cumulative = 0;
    for (int i = 0; i < count; ++i) {
        const int second = static_cast<int>(static_cast<long long>(i) * 14400 / count);
        const int wall = second < 7200 ? 9 * 3600 + second : 13 * 3600 + 1800 + second - 7200;
        const int time = wall / 3600 * 10000 + wall / 60 % 60 * 100 + wall % 60;
        price = std::max(1.0, price + 0.01 * step(random));
        cumulative += lots(random);
        TradeRow row(20, "0");
        row[4] = FormatInt(date);
        row[7] = FormatInt(static_cast<std::int64_t>(date) * 100000 + i);
        row[8] = FormatInt(12000 + i % 300);
        row[10] = " ";
        row[11] = FormatInt(time);
        row[12] = FormatFixed2(price);
        row[13] = FormatInt(cumulative);
        trades.push_back(std::move(row));
    }
    return trades;
}

[[gnu::noinline]] BarSeries MinuteBarsMade(const std::vector<TradeRow>& trades, int minutes) {
    return MinuteBarsFromTrades(trades, minutes, "20260624");
}

void BM_MinuteBarsOfADay(benchmark::State& state) {
    const std::vector<TradeRow> trades = DayOfTrades(20260303, kDayTrades);
    const int minutes = static_cast<int>(state.range(0));
    for (auto _ : state) benchmark::DoNotOptimize(MinuteBarsMade(trades, minutes));
}
BENCHMARK(BM_MinuteBarsOfADay)->Arg(1)->Arg(5)->Arg(60)->Unit(benchmark::kMillisecond);

/// All five periods at once, as a past day is kept.
void BM_MinuteBarsOfADayEveryPeriod(benchmark::State& state) {
    const std::vector<TradeRow> trades = DayOfTrades(20260303, kDayTrades);
    for (auto _ : state) benchmark::DoNotOptimize(MinuteBarsOfDay(trades, 20260303, "20260624"));
}
BENCHMARK(BM_MinuteBarsOfADayEveryPeriod)->Unit(benchmark::kMillisecond);

[[gnu::noinline]] std::size_t OneMoreReply(LiveMinuteBars& live, const std::vector<TradeRow>& trades) {
    return live.Update(trades, "20260624");
}

void BM_MinuteTodayAfterOneMoreReply(benchmark::State& state) {
    constexpr int kReply = 3;
    constexpr int kReplies = 2000;
    const std::vector<TradeRow> pool = DayOfTrades(20260303, kDayTrades + kReply * kReplies);
    std::vector<TradeRow> held(pool.begin(), pool.begin() + kDayTrades);
    LiveMinuteBars live(static_cast<int>(state.range(0)));
    live.Update(held, "20260624");
    for (auto _ : state) {
        if (held.size() + kReply > pool.size()) {
            state.PauseTiming();
            held.assign(pool.begin(), pool.begin() + kDayTrades);
            live.Update(held, "20260624");
            state.ResumeTiming();
        }
        held.insert(held.end(), pool.begin() + static_cast<std::ptrdiff_t>(held.size()),
                    pool.begin() + static_cast<std::ptrdiff_t>(held.size() + kReply));
        benchmark::DoNotOptimize(OneMoreReply(live, held));
    }
}
BENCHMARK(BM_MinuteTodayAfterOneMoreReply)->Arg(1)->Arg(5)->Unit(benchmark::kMicrosecond);

/// A program directory whose his/qelt.db keeps 60 past days of one contract (trades of 1,500
/// a day, every minute of both sessions having some), the chart's period the one-minute bars.
class KeptDays {
  public:
    KeptDays() {
        char pattern[] = "/tmp/qelt-minute-bench-XXXXXX";
        m_dir = std::string(mkdtemp(pattern)) + "/";
        HistoryDatabase db(m_dir);
        std::int64_t day = DaysFromCivil(2026, 1, 5);
        while (dates.size() < 61) {
            const int weekday = WeekdayOfDays(day);
            if (weekday >= 1 && weekday <= 5) {
                const CivilDate civil = CivilFromDays(day);
                dates.push_back(static_cast<int>(civil.year * 10000 + civil.month * 100 + civil.day));
            }
            ++day;
        }
        for (std::size_t i = 0; i + 1 < dates.size(); ++i) {
            const std::vector<TradeRow> trades = DayOfTrades(dates[i], 1500, static_cast<std::uint32_t>(i));
            MinuteDay kept;
            kept.date = dates[i];
            const auto periods = MinuteBarsOfDay(trades, dates[i], kContract.dueDate);
            for (std::size_t k = 0; k < kMinutePeriods.size(); ++k)
                kept.periods.emplace_back(kMinutePeriods[k], periods[k]);
            db.KeepDay(kContract, kept);
        }
        WriteFileAtomic(m_dir + kPeriodFileName, FormatKLinePeriod(kPeriodMinute1));
    }
    ~KeptDays() { std::filesystem::remove_all(m_dir); }
    const std::string& Dir() const { return m_dir; }
    std::vector<int> dates;  ///< the 60 past days and the live one

  private:
    std::string m_dir;
};

/// The application as the chart sees it: one flagged contract with its day bars, offline, the
/// minute history over the database.
class MinuteServices : public bench::BenchHost {
  public:
    explicit MinuteServices(const KeptDays& days)
        : m_settings(days.Dir()),
          m_database(days.Dir()),
          m_history(&m_database, {[](const std::string&) {}, [] { return false; }, [](const std::string&) {},
                                  [] { return DetailList{}; }}) {
        m_goods.goods_no = kContract.goodsNo;
        m_goods.due_date = kContract.dueDate;
        m_goods.name = "厂丝-2606";
        m_goods.flagged = true;
        m_goods.seriesWanted = false;
        for (int date : days.dates)
            m_goods.series.push_back(CBarRow{FormatInt(date), "16.00", "16.20", "16.40", "15.90", "3000",
                                             "16.10", "12000", "6000", kContract.dueDate});
        m_goods.last_date = FormatInt(days.dates.back());
        m_goods.price = m_goods.newest_price = "16.20";
    }
    CQeltGoods CurrentGoods() const override { return m_goods; }
    void EditCurrentGoods(const std::function<void(CQeltGoods&)>& edit) override { edit(m_goods); }
    const CQeltCFG& Settings() const override { return m_settings; }
    /// Today's trades the store holds.
    std::vector<TradeRow>& Trades() { return m_goods.trades; }
    PastMinuteDays& MinuteHistory() override { return m_history; }

  private:
    CQeltGoods m_goods;
    CQeltCFG m_settings;
    HistoryDatabase m_database;
    MinuteHistoryFlow m_history;
};

[[gnu::noinline]] std::size_t MinuteChartOpened(MinuteServices& services, QtBitmap& image) {
    InertViewHost window{kClient};
    CQeltKLineView view{services};
    view.Attach(window);
    view.OnInitialUpdate();
    view.Paint(image.GetCanvas(), kClient, DisplayScheme::Screen());
    benchmark::DoNotOptimize(image.Image().constBits());
    return view.Series().size();
}

void BM_MinuteChartOpenedFromTheDatabase(benchmark::State& state) {
    static const KeptDays days;
    MinuteServices services(days);
    QtBitmap image(kClient.cx, kClient.cy, 1.0);
    std::size_t bars = 0;
    for (auto _ : state) bars = MinuteChartOpened(services, image);
    state.counters["bars"] = static_cast<double>(bars);
    if (bars < 14000) state.SkipWithError("the chart did not hold the 60 kept days");
}
BENCHMARK(BM_MinuteChartOpenedFromTheDatabase)->Unit(benchmark::kMillisecond);

[[gnu::noinline]] void ChartAfterOneMoreReply(CQeltKLineView& view, MinuteServices& services,
                                              const std::vector<TradeRow>& pool, int reply) {
    const auto from = pool.begin() + static_cast<std::ptrdiff_t>(services.Trades().size());
    services.Trades().insert(services.Trades().end(), from, from + reply);
    view.OnNotify(WM_NET_REAL, 0);
}

/// The whole chart after one more reply on a day of 20,000 trades, the 60 kept days before it:
/// the view's copy of the goods (its trades included), today's bars, the series and the
/// indicators picking up, without the paint.
void BM_MinuteChartAfterOneMoreReply(benchmark::State& state) {
    static const KeptDays days;
    constexpr int kReply = 3;
    MinuteServices services(days);
    const std::vector<TradeRow> pool = DayOfTrades(days.dates.back(), kDayTrades + kReply * 500);
    services.Trades().assign(pool.begin(), pool.begin() + kDayTrades);
    InertViewHost window{kClient};
    CQeltKLineView view{services};
    view.Attach(window);
    view.OnInitialUpdate();
    QtBitmap image(kClient.cx, kClient.cy, 1.0);
    view.Paint(image.GetCanvas(), kClient, DisplayScheme::Screen());
    for (auto _ : state) {
        if (services.Trades().size() + kReply > pool.size()) {
            state.PauseTiming();
            services.Trades().assign(pool.begin(), pool.begin() + kDayTrades);
            view.OnNotify(WM_NET_REAL, 0);
            state.ResumeTiming();
        }
        ChartAfterOneMoreReply(view, services, pool, kReply);
    }
    state.counters["bars"] = static_cast<double>(view.Series().size());
}
BENCHMARK(BM_MinuteChartAfterOneMoreReply)->Unit(benchmark::kMillisecond);

}  // namespace
