#pragma once
/// Printing a view: the view's drawing for paper (its print size) is scaled onto the
/// printable page of an A4 landscape sheet, whatever the printer's resolution.
#include <QSize>
#include <functional>

#include "data/settings/DisplayScheme.h"
#include "gfx/Canvas.h"

class QPrinter;

namespace qelt {

class View;

/// A4 landscape, the page setup the application gives its printer.
void SetUpPrinter(QPrinter& printer);
/// Prints one page of `view` as it stands for a client of `client` size, in `scheme` (the
/// paper's colours), every colour darkened where it would not show on white (PrintOnPaper).
void PrintView(View& view, QPrinter& printer, QSize client, const DisplayScheme& scheme);
/// Prints one page of a drawing of `drawing` size made by `paint` (on the printer's canvas,
/// scaled to the page). A caller whose drawing is not a view's paints through a PaperCanvas.
void PrintDrawing(QPrinter& printer, Size drawing, const std::function<void(Canvas&)>& paint);

}  // namespace qelt
