#pragma once
/// The user's formulas drawn over the K-line main chart (主图公式), over the candles and the
/// American line (never over point-and-figure columns):
/// - in the main chart's price scale, which they never widen: what falls outside the pane is
///   clipped away;
/// - each drawn output as in a formula pane (its colour, width and dotted pen; a line through
///   the bar centres, a bar without a value ending its stroke; sticks from 0, COLORSTICK by
///   sign, VOLSTICK as a plain stick), then the drawing statements' marks (FormulaMarks.h);
/// - their items "NAME:%.2f" at the cursor bar (the last bar when the cursor is outside the
///   series) in the chart's title row after the moving averages' labels, in the outputs'
///   colours, each next one 80 pixels on or clear of the one before, whichever is further;
///   those that would run past the row's end are left out.
/// The computations are the K-line view's FormulaPanes', under keys of their own
/// (MainChartFormulaKey), so that a heavy formula is computed on the worker as a pane's is.
#include <string>
#include <vector>

#include "chart/KLineStyle.h"
#include "chart/MainPaneGeometry.h"
#include "formula/FormulaLibrary.h"
#include "gfx/Canvas.h"
#include "views/kline/FormulaPane.h"

namespace qelt {

/// FormulaPanes' key of formula `id` over the main chart: below 0, clear of the panes' indexes.
inline int MainChartFormulaKey(int id) { return -id; }

/// Of the ids chosen for the chart, those the library holds as 主图 formulas, in their order.
std::vector<int> ShownMainChartFormulas(const std::vector<int>& chosen, const FormulaLibrary& library);

/// Draws the outputs and marks of `content` over the main pane of `geometry` (clipped to it).
void DrawMainChartFormula(Canvas& canvas, const FormulaPaneContent& content, const MainPaneGeometry& geometry,
                          const KLineStyle& style);

/// Where the title row's items go: from x `left` up to `right`.
struct MainChartTitleRow {
    int left = 0;
    int right = 0;
    int y = 3;
    /// Where a formula that no longer fits after the moving averages' labels starts a row of
    /// its own under them (a narrow window leaves the first row little room), and how many
    /// such rows there may be.
    int wrapLeft = 0;
    int wrapRows = 0;
};

/// Draws the items of `content` at `cursor` from row.left on, or at the start of the next row
/// when they do not all fit; returns the box they took (empty when none was drawn) and moves
/// row.left past them. A formula's items stay on one row, so its box is its own.
Rect DrawMainChartFormulaTitle(Canvas& canvas, const FormulaPaneContent& content, int cursor,
                               MainChartTitleRow& row, const DisplayScheme& scheme, const Font& font);

}  // namespace qelt
