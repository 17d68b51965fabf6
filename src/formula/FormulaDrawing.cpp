#include "formula/FormulaDrawing.h"

#include "common/Numbers.h"

namespace qelt {

std::string FormulaMarkText(const FormulaDrawing& drawing, const FormulaMark& mark) {
    switch (drawing.kind) {
        case FormulaDrawingKind::Text:
            return drawing.text;
        case FormulaDrawingKind::Number:
            return FormatFixed2(mark.p2);
        default:
            return {};
    }
}

}  // namespace qelt
