#pragma once
/// What a CompiledFormula shares between its copies (private to the formula layer).
#include <vector>

#include "formula/Formula.h"
#include "formula/FormulaProgram.h"

namespace qelt {

struct CompiledFormula::Compiled {
    std::vector<FormulaParameter> parameters;
    std::vector<FormulaOutput> outputs;
    std::vector<FormulaDrawing> drawings;
    formula::Program program;
};

}  // namespace qelt
