#include "OverlayWidget.h"

#include <QMouseEvent>

#include "DoubleBuffer.h"
#include "QtCanvas.h"

namespace qelt {

OverlayWidget::OverlayWidget(QWidget* parent) : QWidget(parent) { setAttribute(Qt::WA_OpaquePaintEvent); }

OverlayWidget::~OverlayWidget() = default;

void OverlayWidget::SetPainter(OverlayPainter painter) {
    m_painter = std::move(painter);
    update();
}

void OverlayWidget::paintEvent(QPaintEvent*) {
    PaintDoubleBuffered(*this, m_buffer, [this](Canvas& canvas, Size size) {
        if (m_painter) m_painter(canvas, size);
    });
}

void OverlayWidget::mousePressEvent(QMouseEvent* event) {
    if (m_draggable && event->button() == Qt::LeftButton) {
        m_dragOffset = event->position().toPoint();
        return;
    }
    // A click on a tip that does not move belongs to the view under it.
    event->ignore();
}

void OverlayWidget::mouseMoveEvent(QMouseEvent* event) {
    if (!m_draggable || !(event->buttons() & Qt::LeftButton)) return;
    // The cursor in the parent's coordinates minus where the window was taken.
    move(mapToParent(event->position().toPoint()) - m_dragOffset);
    m_movedByUser = true;
}

}  // namespace qelt
