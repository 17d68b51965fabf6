#pragma once
/// The parts of an indicator pane that a pane drawn outside this layer (the user's formulas)
/// shares with the built-in ones, so that its axis and read-out look and behave the same:
/// the rounded scale, the value axis with its grid, ticks and labels, and the cursor read-out.
#include "data/settings/DisplayScheme.h"
#include "gfx/Canvas.h"
#include "indicators/IndicatorPane.h"
#include "indicators/PaneScale.h"

namespace qelt {

/// Pixels above a pane's plot: the title strip.
inline constexpr int kPaneTitleStrip = 20;

/// The common rounded scale over top..bottom (RoundScale with `divisions`: one significant
/// digit per step, half a step of margin on both sides) on the plot of `pane` (its height
/// less the title strip), its axis labelled "%.2f" (more decimals for a finer step) at the
/// round levels the built-in panes have.
PaneScale RoundedPaneScale(const Rect& pane, float top, float bottom, int divisions);

/// The value axis of `scale` as the built-in panes draw it: at each level a grid line from the
/// pane's left edge to the axis column (right - 60), a tick into the column and the level's
/// label in (255,0,0) right-aligned 3 pixels inside the right edge (drawn smaller rather than
/// leave no tick beside it), no level above the title strip, no label cut by a border or
/// touching another; with `scale.zeroLine` the 0 line across the plot in the tick pen.
void DrawPaneAxis(Canvas& canvas, const Rect& pane, const PaneScale& scale, const PaneStyle& style);

/// Whether the read-out shows: the mouse inside the pane (below its top, above its bottom)
/// and left of the chart's right edge.
bool PaneReadoutShown(const Rect& pane, Point mouse, int chartRight);
/// The value at the mouse's height, "%.2f", in (255,255,255) on (0,0,255), 49 pixels left of
/// the pane's right edge and 10 above the mouse; the background colour is the scheme's again
/// afterwards. Draws nothing when PaneReadoutShown says no.
void DrawPaneReadout(Canvas& canvas, const Rect& pane, const PaneScale& scale, Point mouse, int chartRight,
                     const DisplayScheme& scheme);

}  // namespace qelt
