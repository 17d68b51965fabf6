#pragma once
/// The date strip under the K-line chart: the year of the first visible bar, month labels
/// at least 30 pixels apart, Monday ticks for the all-goods and spot-month lists, and the
/// date under the pointer.
#include <string>
#include <string_view>

#include "chart/KLineStyle.h"
#include "chart/MainPaneGeometry.h"
#include "data/Bar.h"
#include "gfx/Canvas.h"

namespace qelt {

/// Day of the week of a bar date YYYYMMDD, 0 Sunday .. 6 Saturday (a day beyond its month's
/// end rolls into the next month, as a calendar normalisation would); -1 for a date that is
/// not eight digits with a year from 1900 and a month 1..12.
int WeekdayOf(std::string_view date);

/// The bar date as the tips and the strip show it: "%Y/%m/%d/" followed by the weekday
/// character 日 一 二 三 四 五 六 ("2007/03/05/一"); a text that is not a date is shown as it is.
std::string BarDateCaption(std::string_view date);
/// What the tips and the strip show for a cursor outside the series.
inline constexpr const char* kNoBarCaption = "- - - ";

/// The strip {client left, H - 20, chart right, H} without the pointer's date: the year of
/// the first visible bar followed by "年" at (left, top + 2) in red; for each visible slot
/// starting over 49 pixels and not past the chart's right edge, a tick 8 pixels down for a
/// Monday (category codes "0001" and "0002" only) and, where the month changes at least 30
/// pixels right of the previous label, a tick down to the bottom - 2 with the month digits
/// at (x + 2, top + 2). A month that begins closer to the previous label gets no label.
void DrawDateStrip(Canvas& canvas, const Rect& strip, const BarSeries& bars, const MainPaneGeometry& geometry,
                   const std::string& categoryCode, const KLineStyle& style);

/// The pointer's date `caption` in Arial 14, white on blue, at (pointer x, top + 4), moved
/// left where it would run past the strip's right end; nothing for a pointer outside the strip
/// (over the quote panel).
void DrawCursorDate(Canvas& canvas, const Rect& strip, const std::string& caption, int pointerX);

}  // namespace qelt
