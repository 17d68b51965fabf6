#pragma once
/// Every custom-painted window paints into a memory bitmap of its client size, then copies
/// it to the screen in one piece. The bitmap holds device pixels (the window's device pixel
/// ratio), so the drawing stays sharp on dense screens while the views keep their pixel rules.
#include <functional>
#include <memory>

#include "gfx/Canvas.h"

class QWidget;

namespace qelt {

class QtBitmap;

/// Paints `widget` through `buffer` (created or resized as needed): `paint` draws the whole
/// client, then the bitmap is copied onto the widget. Call from paintEvent only.
void PaintDoubleBuffered(QWidget& widget, std::unique_ptr<QtBitmap>& buffer,
                         const std::function<void(Canvas&, Size)>& paint);

}  // namespace qelt
