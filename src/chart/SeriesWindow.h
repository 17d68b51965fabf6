#pragma once
/// The K-line view's displayed series and its visible window, independent of any drawing:
/// which bars a period shows and how the window follows the series as it grows.
#include "data/CQeltGoods.h"

namespace qelt {

enum KLinePeriod : int {
    kPeriodDay = 1,
    kPeriodWeek = 2,
    kPeriodMonth = 3,
    kPeriodMinute1 = 4,
    kPeriodMinute5 = 5,
    kPeriodMinute15 = 6,
    kPeriodMinute30 = 7,
    kPeriodMinute60 = 8,
};
/// The bar length in minutes of a minute period; 0 for day, week and month.
int MinutesOfPeriod(int period);
/// A period the view knows (1 .. 8).
inline bool IsKLinePeriod(int period) { return period >= kPeriodDay && period <= kPeriodMinute60; }
enum KLineChartType : int { kChartCandles = 1, kChartAmerican = 2, kChartOX = 3 };

inline constexpr int kDefaultVisibleCount = 100;

struct SeriesWindow {
    int period = kPeriodDay;
    int chartType = kChartCandles;
    int visibleCount = kDefaultVisibleCount;  ///< N: bar slots across the chart
    int lastVisible = -1;                     ///< L: right-most visible bar, -1 the newest
    int lastLoadedCount = 0;                  ///< series length at the previous load
    int cursor = -1;                          ///< bar under the cursor
    float oxBoxSize = 0.0f;                   ///< price units per point-and-figure box
};

/// N = 100 and L = -1: at the view's first update and after every period or chart-type
/// change, before the load.
void StartWindow(SeriesWindow& window);

/// Moves the window over a freshly loaded series of `n` bars:
/// - L < 0, L >= n - 1 or n != last loaded count: L = n - 1 and last loaded count = n, so
///   a user who scrolled back keeps the position while no bar is added;
/// - N < 0 or n < N: N = n; an N of 0 with bars to show becomes min(n, 100);
/// - a negative cursor becomes L.
void ResetWindow(SeriesWindow& window, int n);

/// The bars to display for the window's period and chart type, then ResetWindow.
/// - week / month: BuildWeekly / BuildMonthly on `goods`, a copy of that series;
/// - day: a copy of the day series; for goods without a delivery month (due_date blank) the
///   last close shows newest_price ("%.2f") and an open below 0.0001 takes the bar's close;
/// - point and figure: a copy of goods.oxColumns, which the caller has built beforehand
///   from the period's series.
/// The caller brings `goods` (the view's copy) up to date with the quote first.
BarSeries LoadSeries(CQeltGoods& goods, SeriesWindow& window);

/// As LoadSeries, but the day bars shown by the day period are moved out of `goods` (its
/// `series` is left empty) instead of copied: for a caller whose copy of the record has no
/// other use for them (a contract's tens of thousands of bars are then held once).
BarSeries TakeSeries(CQeltGoods& goods, SeriesWindow& window);

}  // namespace qelt
