#pragma once
/// The drawing functions' names and the shape of their arguments: the columns computed at
/// every bar (COND, then P or P1, P2, X) come first, then DRAWTEXT's text or the constants
/// W, E and K. Every lookup takes a name in upper case (UpperAscii).
#include <string_view>

#include "formula/FormulaDrawing.h"

namespace qelt::formula {

/// At most this many drawing statements in one formula.
inline constexpr int kMaxDrawings = 500;

struct DrawingFunctionInfo {
    std::string_view name;  ///< as messages show it: "STICKLINE"
    FormulaDrawingKind kind;
    int arity;
    int columns;  ///< the leading arguments computed per bar: COND and the mark's values
};

/// STICKLINE, DRAWTEXT, DRAWNUMBER, DRAWICON, POLYLINE; nothing for any other name.
const DrawingFunctionInfo* FindDrawingFunction(std::string_view upperName);
const DrawingFunctionInfo& InfoOf(FormulaDrawingKind kind);

}  // namespace qelt::formula
