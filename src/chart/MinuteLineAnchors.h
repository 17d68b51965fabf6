#pragma once
/// Drawn lines on minute bars are anchored by date and time, not by bar index: the chart's
/// series grows at both ends (past days arrive newest first, today's bars as trades come),
/// so an index would slide off its bar. A line of a minute period keeps, in place of each
/// anchor's bar index, the minute stamp of its bar: minutes since 1970-01-01 00:00 of the
/// bar's date and time (29,6xx,xxx in 2026, well within an int). The drawing tools work in
/// indexes of the series on show; these functions turn one into the other.
///
/// Beyond the series' ends the stamps go on in the period's bar slots over the sessions of
/// the weekdays (holidays are not known), so a line reaching into the future or before the
/// first bar keeps its length; at most kMaxSlotSteps slots are counted either way.
#include <vector>

#include "data/Bar.h"
#include "data/CMyLine.h"

namespace qelt {

inline constexpr int kMaxSlotSteps = 100000;

/// The minute stamp of a minute bar (its date and Time()); 0 for a bar without a valid date.
int MinuteStamp(const CBarRow& bar);
/// The index of the bar at `stamp` in `bars` (minute bars of a period of `minutes`, in time
/// order): the bar itself, the next bar after a slot without one, or beyond the ends counted
/// in slots. 0 for an empty series.
int IndexOfStamp(const BarSeries& bars, int stamp, int minutes);
/// The stamp of index `index` of `bars`, counted on in slots beyond the ends; 0 for an empty
/// series.
int StampOfIndex(const BarSeries& bars, int index, int minutes);

/// `lines` with each anchor's bar turned from a stamp into an index of `bars`, and back.
std::vector<CMyLine> LinesAtIndexes(std::vector<CMyLine> lines, const BarSeries& bars, int minutes);
std::vector<CMyLine> LinesAtStamps(std::vector<CMyLine> lines, const BarSeries& bars, int minutes);

}  // namespace qelt
