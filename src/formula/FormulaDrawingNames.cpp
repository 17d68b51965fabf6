#include "formula/FormulaDrawingNames.h"

namespace qelt::formula {
namespace {

constexpr DrawingFunctionInfo kDrawingFunctions[] = {
    {"STICKLINE", FormulaDrawingKind::StickLine, 5, 3},  // COND, P1, P2; W, E
    {"DRAWTEXT", FormulaDrawingKind::Text, 3, 2},        // COND, P; 'TEXT'
    {"DRAWNUMBER", FormulaDrawingKind::Number, 3, 3},    // COND, P, X
    {"DRAWICON", FormulaDrawingKind::Icon, 3, 2},        // COND, P; K
    {"POLYLINE", FormulaDrawingKind::Polyline, 2, 2},    // COND, P
};

}  // namespace

const DrawingFunctionInfo* FindDrawingFunction(std::string_view upperName) {
    for (const DrawingFunctionInfo& f : kDrawingFunctions)
        if (f.name == upperName) return &f;
    return nullptr;
}

const DrawingFunctionInfo& InfoOf(FormulaDrawingKind kind) {
    for (const DrawingFunctionInfo& f : kDrawingFunctions)
        if (f.kind == kind) return f;
    return kDrawingFunctions[0];
}

}  // namespace qelt::formula
