#include "chart/SeriesWindow.h"

#include <algorithm>
#include <utility>

#include "chart/Series.h"
#include "common/Numbers.h"
#include "common/Text.h"

namespace qelt {

namespace {

BarSeries DaySeries(const CQeltGoods& goods, BarSeries bars) {
    if (!TrimLeft(goods.due_date).empty() || bars.empty()) return bars;
    // Goods without delivery months trade continuously: the forming bar closes at the
    // newest price, and a day without an opening trade opens at its close.
    bars.back().Set(kBarClose, FormatFixed2(LeadingDouble(goods.newest_price)));
    for (CBarRow& bar : bars)
        if (bar.Open() < 0.0001) bar.Set(kBarOpen, bar[kBarClose]);
    return bars;
}

}  // namespace

int MinutesOfPeriod(int period) {
    static constexpr int kMinutes[] = {1, 5, 15, 30, 60};
    return period >= kPeriodMinute1 && period <= kPeriodMinute60 ? kMinutes[period - kPeriodMinute1] : 0;
}

void StartWindow(SeriesWindow& window) {
    window.visibleCount = kDefaultVisibleCount;
    window.lastVisible = -1;
}

void ResetWindow(SeriesWindow& window, int n) {
    if (window.lastVisible < 0 || window.lastVisible >= n - 1 || n != window.lastLoadedCount) {
        window.lastVisible = n - 1;
        window.lastLoadedCount = n;
    }
    if (window.visibleCount < 0 || n < window.visibleCount) window.visibleCount = n;
    if (window.visibleCount == 0 && n > 0) window.visibleCount = std::min(n, kDefaultVisibleCount);
    if (window.cursor < 0) window.cursor = window.lastVisible;
}

namespace {

BarSeries Load(CQeltGoods& goods, SeriesWindow& window, bool take) {
    BarSeries bars;
    if (window.chartType == kChartOX) {
        bars = goods.oxColumns;
    } else if (window.period == kPeriodWeek) {
        BuildWeekly(goods);
        bars = goods.weekSeries;
    } else if (window.period == kPeriodMonth) {
        BuildMonthly(goods);
        bars = goods.monthSeries;
    } else {
        bars = DaySeries(goods, take ? std::move(goods.series) : goods.series);
        if (take) goods.series.clear();
    }
    ResetWindow(window, static_cast<int>(bars.size()));
    return bars;
}

}  // namespace

BarSeries LoadSeries(CQeltGoods& goods, SeriesWindow& window) { return Load(goods, window, false); }

BarSeries TakeSeries(CQeltGoods& goods, SeriesWindow& window) { return Load(goods, window, true); }

}  // namespace qelt
