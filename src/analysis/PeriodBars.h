#pragma once
/// The bars an analysis computes a formula over, read from a goods' day series: those dated
/// on or before a date, gathered into day, week or month bars. A formula's value at a bar
/// depends only on the bars up to it, so computing over these is computing as the chart
/// stood on that date: nothing after it can change a verdict.
#include "chart/SeriesWindow.h"
#include "data/Bar.h"

namespace qelt {

/// A bar's date as the number YYYYMMDD (0 for a text that does not start with a number).
int BarDateNumber(const CBarRow& bar);
/// A bar's open and close prices as numbers (0 for a text that is no number), as a formula
/// reads OPEN and CLOSE.
double BarOpen(const CBarRow& bar);
double BarClose(const CBarRow& bar);

/// How many leading bars of `days` are dated on or before `date` (YYYYMMDD). A day series
/// is in date order, so these are its bars up to that date; a bar out of order, dated after
/// `date`, ends them, so that no later bar can slip in whatever follows it. 0 when the first
/// bar is already later (or there is none): the goods has no data at that date.
int DayBarsUpTo(const BarSeries& days, int date);

/// The first `dayCount` bars of `days` as bars of `period`: for the day period `days`
/// itself when it holds exactly that many, otherwise they are built (copied, or gathered
/// into weeks or months, the last of which then ends at the last of those days) into
/// `buffer`, which the caller keeps for the next call. The result refers to `days` or
/// `buffer`.
const BarSeries& PeriodBarsOf(const BarSeries& days, int dayCount, KLinePeriod period, BarSeries& buffer);

}  // namespace qelt
