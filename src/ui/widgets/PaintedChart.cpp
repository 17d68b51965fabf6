#include "ui/widgets/PaintedChart.h"

#include <QKeyEvent>
#include <QMouseEvent>

#include "gfx/PaperCanvas.h"
#include "ui/DoubleBuffer.h"
#include "ui/QtCanvas.h"
#include "ui/ViewPrint.h"

namespace qelt {

PaintedChart::PaintedChart(Painter painter, DisplayScheme screen, DisplayScheme paper, QWidget* parent)
    : QWidget(parent), m_painter(std::move(painter)), m_screen(std::move(screen)), m_paper(std::move(paper)) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

PaintedChart::~PaintedChart() = default;

void PaintedChart::paintEvent(QPaintEvent*) {
    PaintDoubleBuffered(*this, m_buffer,
                        [this](Canvas& canvas, Size client) { m_painter(canvas, client, m_screen); });
}

void PaintedChart::mousePressEvent(QMouseEvent* event) {
    if (focusPolicy() != Qt::NoFocus) setFocus(Qt::MouseFocusReason);
    if (event->button() == Qt::LeftButton) emit Clicked(event->position().toPoint());
}

void PaintedChart::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Left:
        case Qt::Key_Right:
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_Home:
        case Qt::Key_End:
        case Qt::Key_Return:
        case Qt::Key_Enter:
            emit KeyPressed(event->key());
            return;
        default:
            QWidget::keyPressEvent(event);
    }
}

void PaintedChart::PrintTo(QPrinter& printer) {
    const Size client = ClientSize();
    PrintDrawing(printer, client, [&](Canvas& canvas) {
        PaperCanvas inks(canvas);
        m_painter(inks, client, m_paper);
    });
}

bool PaintedChart::SaveBmp(const std::string& path) {
    QtBitmap bitmap(std::max(1, width()), std::max(1, height()));
    m_painter(bitmap.GetCanvas(), ClientSize(), m_screen);
    return bitmap.SaveBmp(path);
}

}  // namespace qelt
