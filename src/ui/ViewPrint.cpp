#include "ViewPrint.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <algorithm>

#include "QtCanvas.h"
#include "views/View.h"

namespace qelt {

void SetUpPrinter(QPrinter& printer) {
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Landscape);
}

void PrintView(View& view, QPrinter& printer, QSize client, const DisplayScheme& scheme) {
    QPainter painter;
    if (!painter.begin(&printer)) return;
    // Window = the drawing for paper, viewport = the printable page in device pixels: the
    // drawing is scaled to the page, and its last rows and columns are not cut off.
    const Size clientSize{client.width(), client.height()};
    const Size drawing = view.PrintSize(clientSize);
    const QRect page = printer.pageLayout().paintRectPixels(printer.resolution());
    painter.setWindow(0, 0, std::max(1, drawing.cx), std::max(1, drawing.cy));
    painter.setViewport(0, 0, page.width(), page.height());
    QtCanvas canvas(painter);
    view.PaintForPrint(canvas, clientSize, scheme);
    painter.end();
}

}  // namespace qelt
