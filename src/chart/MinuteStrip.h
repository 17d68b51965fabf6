#pragma once
/// The date strip under a chart of minute bars: times within a day, dates where a day begins.
///
/// In the strip {client left, H - 20, chart right, H}: the first visible bar's date ("03/03")
/// at (left, top + 2) in red; then, for each visible slot starting over 49 pixels and not past
/// the chart's right edge, where a new day begins a tick down to the bottom - 2 with the date
/// "MM/DD" at (x + 2, top + 2), and within a day, at a bar starting a whole or half hour or
/// the afternoon (13:30), a tick 8 pixels down with its time "HH:MM". A label that would
/// start within 40 pixels of the previous one is left out (its tick stays).
#include <string>

#include "chart/KLineStyle.h"
#include "chart/MainPaneGeometry.h"
#include "data/Bar.h"
#include "gfx/Canvas.h"

namespace qelt {

/// HHMM as "09:35".
std::string MinuteClockText(int hhmm);
/// What the tips and the strip's pointer label show for a bar: its date as BarDateCaption
/// writes it, and for a minute bar a blank and its time ("2026/03/03/二 09:35").
std::string BarCaption(const CBarRow& bar);

void DrawMinuteStrip(Canvas& canvas, const Rect& strip, const BarSeries& bars,
                     const MainPaneGeometry& geometry, const KLineStyle& style);

}  // namespace qelt
