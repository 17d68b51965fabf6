#include "ui/views/BoardPrint.h"

#include <QPageLayout>
#include <algorithm>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>

#include "ui/QtCanvas.h"
#include "views/QuoteListView.h"

namespace qelt {

void SetUpBoardPrinter(QPrinter& printer) {
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Landscape);
}

void PrintBoard(QuoteListView& board, QPrinter& printer, QSize client) {
    QPainter painter;
    if (!painter.begin(&printer)) return;
    // Window = the drawing (the client size and the 60 pixels the printed board grows by
    // each way), viewport = the printable page in device pixels: the board is scaled to the
    // page whatever the printer's resolution, and its last rows and column are not cut off.
    const QRect page = printer.pageLayout().paintRectPixels(printer.resolution());
    painter.setWindow(0, 0, std::max(1, client.width() + kPrintMargin), std::max(1, client.height() + kPrintMargin));
    painter.setViewport(0, 0, page.width(), page.height());
    QtCanvas canvas(painter);
    board.PaintForPrint(canvas, client.width(), client.height());
    painter.end();
}

}  // namespace qelt
