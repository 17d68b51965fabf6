#pragma once
/// Where a top-level window opens: at the place and size it asks for when the screen's
/// available area (the screen less its panels) holds it, else moved and, if need be, made
/// smaller until it does. A window larger than the area is cut to it, never below its own
/// smallest size; one larger even then keeps its top-left corner in the area, so its title
/// bar can be reached.
#include "gfx/GfxTypes.h"

namespace qelt {

/// What the window manager adds around a window's client (title bar, borders).
struct FrameMargins {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

/// The client rectangle for a window that asks for `wanted` (client coordinates on the
/// screen) on a screen whose available area is `available`.
Rect PlaceWithin(const Rect& wanted, const Rect& available, const FrameMargins& frame = {},
                 Size minimum = {0, 0});

}  // namespace qelt
