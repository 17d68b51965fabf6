#pragma once
/// Week and month bars aggregated from a goods record's day bars, and the close extremes
/// the point-and-figure box size starts from.
///
/// Week bars carry the date of their latest day, month bars the date of their first day;
/// open and due_date stay those of the period's first day. Neither key holds the year: two
/// adjacent days a year apart with the same week number (or month digits) share one bar.
///
/// The store empties a record's week and month series whenever a "line" reply replaces its
/// day series, so a build after a replacement is always a full one.
#include <optional>
#include <span>
#include <string_view>

#include "data/CQeltGoods.h"

namespace qelt {

/// A date the period builds can key: exactly eight digits YYYYMMDD with a year from 1900, a
/// month 1..12 and a day 1..31. Anything else ("20260", "2006xx30", "") is malformed.
bool IsBarDate(std::string_view date);

/// Week-of-year of a bar date (IsBarDate) as "%W" gives it (weeks start on Monday, days
/// before the year's first Monday are week 0). A day beyond its month's end rolls into the
/// next month, as a calendar normalisation would. No key for a malformed date.
std::optional<int> WeekKey(std::string_view date);

/// Month key: characters 4..5 of the date ("MM").
std::string_view MonthKey(std::string_view date);

/// Brings goods.weekSeries up to date from goods.series: a full build when it is empty,
/// otherwise folds in the newest day bar only. A day with a malformed date (IsBarDate) is
/// skipped, by the full build and by the incremental volume sum alike: it belongs to no
/// week, and a server or a stored history holding one cannot stop or break the build.
void BuildWeekly(CQeltGoods& goods);

/// As BuildWeekly for goods.monthSeries, keyed by MonthKey of valid dates only.
void BuildMonthly(CQeltGoods& goods);

/// The week bars of `days` as BuildWeekly makes them from an empty week series, into
/// `weeks` (emptied first): for a run of day bars other than a goods' whole series, such as
/// those up to a past date, whose last week then ends at that run's last day.
void BuildWeekBars(std::span<const CBarRow> days, BarSeries& weeks);

/// As BuildWeekBars for month bars.
void BuildMonthBars(std::span<const CBarRow> days, BarSeries& months);

/// Largest close of the day series; -99999 when it is empty.
double HighestClose(const CQeltGoods& goods);
/// Smallest close of the day series; 99999 when it is empty.
double LowestClose(const CQeltGoods& goods);

}  // namespace qelt
