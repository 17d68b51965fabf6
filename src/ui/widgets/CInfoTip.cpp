#include "ui/widgets/CInfoTip.h"

#include <QMouseEvent>
#include <QPainter>

#include "ui/QtCanvas.h"

namespace qelt {

CInfoTip::CInfoTip(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("infoTip1003"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setGeometry(0, 0, 80, 100);
}

CInfoTip::~CInfoTip() = default;

void CInfoTip::SetContent(InfoTipContent content) {
    m_content = std::move(content);
    update();
}

void CInfoTip::paintEvent(QPaintEvent*) {
    if (!m_buffer || m_buffer->Width() != width() || m_buffer->Height() != height())
        m_buffer = std::make_unique<QtBitmap>(width(), height());
    PaintInfoTip(m_buffer->GetCanvas(), m_content, width(), height());
    QPainter painter(this);
    QtCanvas screen(painter);
    screen.DrawBitmap(*m_buffer, 0, 0);
}

void CInfoTip::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) m_dragOffset = event->position().toPoint();
}

void CInfoTip::mouseMoveEvent(QMouseEvent* event) {
    if (!(event->buttons() & Qt::LeftButton)) return;
    // The cursor in the parent's coordinates minus where the window was taken.
    const QPoint cursor = mapToParent(event->position().toPoint());
    move(cursor - m_dragOffset);
}

}  // namespace qelt
