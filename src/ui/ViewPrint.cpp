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

void PrintDrawing(QPrinter& printer, Size drawing, const std::function<void(Canvas&)>& paint) {
    QPainter painter;
    if (!painter.begin(&printer)) return;
    // Window = the drawing for paper, viewport = the printable page in device pixels: the
    // drawing is scaled to the page, and its last rows and columns are not cut off.
    const QRect page = printer.pageLayout().paintRectPixels(printer.resolution());
    painter.setWindow(0, 0, std::max(1, drawing.cx), std::max(1, drawing.cy));
    painter.setViewport(0, 0, page.width(), page.height());
    QtCanvas canvas(painter);
    paint(canvas);
    painter.end();
}

void PrintView(View& view, QPrinter& printer, QSize client, const DisplayScheme& scheme) {
    const Size clientSize{client.width(), client.height()};
    PrintDrawing(printer, view.PrintSize(clientSize),
                 [&](Canvas& canvas) { PrintOnPaper(view, canvas, clientSize, scheme); });
}

}  // namespace qelt
