#pragma once
/// Printing a view: the view's drawing for paper (its print size) is scaled onto the
/// printable page of an A4 landscape sheet, whatever the printer's resolution.
#include <QSize>

class QPrinter;

namespace qelt {

class View;

/// A4 landscape, the page setup the application gives its printer.
void SetUpPrinter(QPrinter& printer);
/// Prints one page of `view` as it stands for a client of `client` size. The caller has put
/// the print colours in effect.
void PrintView(View& view, QPrinter& printer, QSize client);

}  // namespace qelt
