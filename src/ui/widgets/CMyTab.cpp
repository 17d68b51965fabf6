#include "ui/widgets/CMyTab.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QPainter>

#include "common/Messages.h"
#include "ui/DoubleBuffer.h"
#include "ui/QtCanvas.h"
#include "ui/QtPoster.h"

namespace qelt {

CMyTab::CMyTab(QWidget* parent) : QWidget(parent) { setAttribute(Qt::WA_OpaquePaintEvent); }

CMyTab::~CMyTab() = default;

void CMyTab::SetTabs(const std::vector<std::string>& labels, const std::vector<std::string>& texts,
                     int baseWidth, double scale) {
    m_strip.SetTabs(labels, texts, baseWidth, scale);
    update();
}

void CMyTab::SetSelected(int index) {
    m_strip.SetSelected(index);
    update();
}

void CMyTab::paintEvent(QPaintEvent*) {
    PaintDoubleBuffered(*this, m_buffer,
                        [this](Canvas& canvas, Size size) { m_strip.Paint(canvas, size.cx, size.cy); });
}

void CMyTab::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const QPoint p = event->position().toPoint();
    const int hit = m_strip.Click({p.x(), p.y()});
    if (hit < 0) return;
    update();
    if (parentWidget())
        QCoreApplication::postEvent(parentWidget(), new WindowMessageEvent(WM_TAB_SELECT, hit, 0));
}

}  // namespace qelt
