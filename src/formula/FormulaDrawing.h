#pragma once
/// What a formula's drawing statements draw: the statements as compiled (FormulaDrawing) and
/// the marks one computation made (FormulaMark), for the panes, the main chart and
/// `qelt-ta --drawings`.
///
///     STICKLINE(COND,P1,P2,W,E)   a column from P1 to P2, W tenths of a bar's slot wide
///     DRAWTEXT(COND,P,'TEXT')     the text centred on the bar, its baseline at P
///     DRAWNUMBER(COND,P,X)        X's value at that bar, "%.2f", placed as DRAWTEXT
///     DRAWICON(COND,P,K)          1 up arrow (tip at P), 2 down arrow (tip at P), 3 filled circle, 4 cross
///     POLYLINE(COND,P)            a line joining the points P at the bars where COND is true, in order
///
/// A mark is made at each bar where COND is true and the mark's values (P, P1 and P2, X)
/// have a value; drawing statements are no outputs: no name, no title item, not among the 16.
#include <string>

#include "gfx/GfxTypes.h"

namespace qelt {

enum class FormulaDrawingKind : unsigned char { StickLine, Text, Number, Icon, Polyline };

/// The icons of DRAWICON's K.
enum class FormulaIcon : unsigned char { UpArrow = 1, DownArrow = 2, Circle = 3, Cross = 4 };

/// One drawing statement as compiled, in statement order among the drawing statements.
struct FormulaDrawing {
    FormulaDrawingKind kind = FormulaDrawingKind::Polyline;
    /// A colour attribute was given: draw in `colour` (0x00BBGGRR); otherwise in the pane's
    /// line colour 1 (the print colours' when printed).
    bool hasColour = false;
    Colour colour = 0;
    int widthTenths = 0;  ///< STICKLINE's W, 0..10 tenths of a bar's slot; 0 a one-pixel line
    bool hollow = false;  ///< STICKLINE's E other than 0
    FormulaIcon icon = FormulaIcon::UpArrow;  ///< DRAWICON's K
    std::string text;                         ///< DRAWTEXT's literal (UTF-8, at most 32 characters)

    friend bool operator==(const FormulaDrawing&, const FormulaDrawing&) = default;
};

/// One mark of one computation. Marks come in bar order, and within a bar in the order of
/// their drawing statements.
struct FormulaMark {
    int bar = 0;
    int drawing = 0;  ///< index into the compiled formula's Drawings()
    double p1 = 0.0;  ///< P (DRAWTEXT, DRAWNUMBER, DRAWICON, POLYLINE) or P1 (STICKLINE)
    double p2 = 0.0;  ///< STICKLINE's P2; DRAWNUMBER's X
};

/// The text `mark` of `drawing` shows: DRAWTEXT's literal, DRAWNUMBER's X as "%.2f";
/// empty for the other drawings.
std::string FormulaMarkText(const FormulaDrawing& drawing, const FormulaMark& mark);

}  // namespace qelt
