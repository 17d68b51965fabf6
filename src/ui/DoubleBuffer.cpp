#include "DoubleBuffer.h"

#include <QPainter>
#include <QWidget>

#include "QtCanvas.h"

namespace qelt {

void PaintDoubleBuffered(QWidget& widget, std::unique_ptr<QtBitmap>& buffer,
                         const std::function<void(Canvas&, Size)>& paint) {
    const int w = std::max(1, widget.width());
    const int h = std::max(1, widget.height());
    const qreal ratio = widget.devicePixelRatioF();
    if (!buffer || buffer->Width() != w || buffer->Height() != h ||
        buffer->Image().devicePixelRatio() != ratio)
        buffer = std::make_unique<QtBitmap>(w, h, ratio);
    Canvas& canvas = buffer->GetCanvas();
    canvas.ClearClip();
    paint(canvas, Size{w, h});
    QPainter painter(&widget);
    painter.drawImage(QPoint(0, 0), buffer->Image());
}

}  // namespace qelt
