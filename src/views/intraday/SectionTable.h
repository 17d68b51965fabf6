#pragma once
/// The history review's section table (the 300 pixels on the right in mode 2): one row per
/// record of the past day's trades, 16 pixels apart, with date, section, price (red when it
/// rose over its comparison price, green when it fell), buy and sell quantities and the
/// position change. The first row shown is the view's section row, kept on a full page.
#include <vector>

#include "data/settings/DisplayScheme.h"
#include "gfx/Canvas.h"
#include "views/intraday/TradePoint.h"

namespace qelt {

/// Rows a panel of `height` pixels shows: (height - 35) / 16, at least 0.
int SectionRowsPerPage(int height);

/// The section row after the reset rule: a row that is negative, beyond the list or closer
/// to its end than a page becomes the start of the last page (0 when the list is shorter
/// than a page).
int NormalisedSectionRow(int row, int count, int rowsPerPage);

/// Position change of record i: its net position minus the previous record's when both have
/// the same section marker (field 10), otherwise its own net position.
std::int64_t SectionPositionChange(const std::vector<TradePoint>& rows, std::size_t i);

/// Paints the table into `panel`, from row `firstRow` on.
void PaintSectionTable(Canvas& canvas, const Rect& panel, const std::vector<TradePoint>& rows, int firstRow,
                       const DisplayScheme& scheme, const Pen& framePen);

}  // namespace qelt
