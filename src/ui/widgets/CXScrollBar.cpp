#include "ui/widgets/CXScrollBar.h"

#include <QCursor>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>

#include "ui/DoubleBuffer.h"
#include "ui/QtCanvas.h"

namespace qelt {
namespace {
Point ToPoint(const QPointF& p) { return {static_cast<int>(p.x()), static_cast<int>(p.y())}; }
}  // namespace

CXScrollBar::CXScrollBar(bool vertical, Notifier notify, QWidget* parent)
    : QWidget(parent), m_bar(*this, vertical), m_notify(std::move(notify)) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    for (int id = 1; id < static_cast<int>(m_timers.size()); ++id) {
        m_timers[static_cast<size_t>(id)] = new QTimer(this);
        connect(m_timers[static_cast<size_t>(id)], &QTimer::timeout, this, [this, id] { OnTimer(id); });
    }
}

CXScrollBar::~CXScrollBar() = default;

bool CXScrollBar::TimerActive(int id) const {
    return id > 0 && id < static_cast<int>(m_timers.size()) && m_timers[static_cast<size_t>(id)]->isActive();
}

void CXScrollBar::StartTimer(int id, int milliseconds) {
    if (id <= 0 || id >= static_cast<int>(m_timers.size())) return;
    m_timers[static_cast<size_t>(id)]->start(milliseconds);
}

void CXScrollBar::StopTimer(int id) {
    if (id <= 0 || id >= static_cast<int>(m_timers.size())) return;
    m_timers[static_cast<size_t>(id)]->stop();
}

void CXScrollBar::Notify(int code, int position) {
    if (m_notify) m_notify(code, position);
}

void CXScrollBar::SetHandCursor(bool hand) {
    if (hand)
        setCursor(Qt::PointingHandCursor);
    else
        unsetCursor();
}

void CXScrollBar::OnTimer(int id) {
    const QPoint local = mapFromGlobal(QCursor::pos());
    m_bar.OnTimer(id, {local.x(), local.y()}, rect().contains(local));
}

void CXScrollBar::resizeEvent(QResizeEvent*) {
    m_bar.SetClientSize(width(), height());
    m_buffer.reset();
}

void CXScrollBar::paintEvent(QPaintEvent*) {
    PaintDoubleBuffered(*this, m_buffer, [this](Canvas& canvas, Size) { m_bar.Paint(canvas); });
}

void CXScrollBar::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) m_bar.OnLButtonDown(ToPoint(event->position()));
}

void CXScrollBar::mouseMoveEvent(QMouseEvent* event) { m_bar.OnMouseMove(ToPoint(event->position())); }

void CXScrollBar::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) m_bar.OnLButtonUp(ToPoint(event->position()));
}

}  // namespace qelt
