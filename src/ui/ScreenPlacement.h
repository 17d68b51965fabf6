#pragma once
/// Opens top-level windows within the screen's available area (app/WindowPlacement.h): the
/// main window asks for 1024 × 700 and 预警系统 for its corner, which a 1024 × 600 screen or one
/// of 800 × 600 cannot hold.
#include <QRect>

class QWidget;

namespace qelt {

/// Moves and sizes `window` (a top-level window not shown yet) to `wanted` (its client
/// geometry), or as near to it as its screen's available area allows, never below the
/// window's minimum size; and again, keeping its title bar and borders on the screen too,
/// whenever it is shown (not when maximised).
void PlaceOnScreen(QWidget& window, const QRect& wanted);

}  // namespace qelt
