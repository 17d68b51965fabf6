#pragma once
/// Printing a view: the view's drawing for paper (its print size) is scaled onto the
/// printable page of an A4 landscape sheet, whatever the printer's resolution.
#include <QSize>

#include "data/settings/DisplayScheme.h"

class QPrinter;

namespace qelt {

class View;

/// A4 landscape, the page setup the application gives its printer.
void SetUpPrinter(QPrinter& printer);
/// Prints one page of `view` as it stands for a client of `client` size, in `scheme` (the
/// paper's colours).
void PrintView(View& view, QPrinter& printer, QSize client, const DisplayScheme& scheme);

}  // namespace qelt
