#pragma once
/// Printing of the quote board: the board is drawn in the print colours, scaled so that the
/// view's client size fills the printable page, without the selection line.
#include <QSize>

class QPrinter;

namespace qelt {

class QuoteListView;

/// Pixels the printed board grows by in each direction.
inline constexpr int kPrintMargin = 60;

/// A4 landscape, the page setup the application gives its printer.
void SetUpBoardPrinter(QPrinter& printer);
/// Prints one page of the board as it stands for a client of `client` size.
void PrintBoard(QuoteListView& board, QPrinter& printer, QSize client);

}  // namespace qelt
