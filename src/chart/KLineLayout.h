#pragma once
/// The K-line view's panes: the main chart (pane 0) over up to seven indicator panes, the
/// 20-pixel date strip along the bottom and the optional 200-pixel quote panel on the right;
/// the borders the user drags between panes, and the pane a right click addresses.
#include <vector>

#include "gfx/GfxTypes.h"

namespace qelt {

inline constexpr int kMaxWindowCount = 8;
inline constexpr int kQuotePanelWidth = 200;
inline constexpr int kDateStripHeight = 20;
inline constexpr int kMainPaneTop = 30;
/// The value axis column at the right of every pane.
inline constexpr int kAxisColumn = 60;
/// No pane is dragged smaller than this.
inline constexpr int kMinimumPaneHeight = 31;

/// Panes for `count` windows (1..8) in a client of `client` size, pane 0 first:
/// - main height h = 3H / (count + 2), H - 30 for a single window; with more than one window
///   at most 0.7 H; at least 300 in any case;
/// - pane 0 = {0, 30, W - 200 (quote panel shown) or W, h} (its bottom is the client top + h);
/// - each lower pane (H - pane 0's bottom - 20) / (count - 1) high, stacked under it.
/// A count outside 1..8 is taken as the nearest of them.
std::vector<Rect> LayOutPanes(int count, Size client, bool quotePanel);

/// The lower pane whose top border lies within 2 pixels of `at` (|y - top| < 3), for a
/// pointer left of the chart's right edge; -1 for none.
int BorderAt(const std::vector<Rect>& panes, Point at);

/// Drags the top border of pane `index` (>= 1) to row `y`: the pane above ends and the
/// dragged pane starts there, kept within the rows that leave both panes at least 31 pixels
/// high. Panes already too small together to keep 31 each stay as they are.
void DragBorder(std::vector<Rect>& panes, int index, int y);

/// The pane an indicator command addresses for a right click at row `y`:
/// (y - pane 0's bottom) / ((H - 20 - pane 0's bottom) / (count - 1)) + 1 with integer
/// divisions, which may be count or more below the last pane. -1 when the click was in
/// pane 0 or above, or when the rule has nothing to divide by (a single window, lower panes
/// of no height).
int PaneForIndicatorCommand(const std::vector<Rect>& panes, int count, int clientHeight, int y);

/// w: (chart right - 60 - pane 0's left) / N pixels per bar slot, at most 100; 0 without slots.
float BarWidth(const Rect& mainPane, int visibleCount);

}  // namespace qelt
