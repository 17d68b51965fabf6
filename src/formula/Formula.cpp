// Compiling a formula: text -> tokens -> checked tree -> column program.
#include "formula/Formula.h"

#include "common/Numbers.h"
#include "formula/FormulaChecker.h"
#include "formula/FormulaCompiled.h"
#include "formula/FormulaMessages.h"
#include "formula/FormulaParser.h"
#include "formula/FormulaText.h"

namespace qelt {

using namespace formula;

const std::vector<FormulaOutput>& CompiledFormula::Outputs() const { return m_compiled->outputs; }
const std::vector<FormulaDrawing>& CompiledFormula::Drawings() const { return m_compiled->drawings; }

const std::vector<FormulaParameter>& CompiledFormula::Parameters() const { return m_compiled->parameters; }

FormulaCompileResult CompileFormula(std::string_view text, const std::vector<FormulaParameter>& parameters) {
    FormulaCompileResult result;
    if (text.size() > kMaxFormulaBytes) {
        const TextPosition at = PositionOf(text, kMaxFormulaBytes);
        result.error = FormulaError{at.line, at.column, -1, msg::TextTooLong(kMaxFormulaBytes)};
        return result;
    }
    if (auto problem = CheckParameters(parameters)) {
        result.error = std::move(*problem);
        return result;
    }
    Tree tree;
    if (!Parse(text, tree, result.error) || !Check(tree, parameters, result.error)) {
        return result;
    }
    auto compiled = std::make_shared<CompiledFormula::Compiled>();
    compiled->parameters = parameters;
    for (const Statement& statement : tree.statements)
        if (statement.output >= 0)
            compiled->outputs.push_back(FormulaOutput{statement.displayName, statement.style});
    for (const Statement& statement : tree.statements)
        if (statement.drawing >= 0) compiled->drawings.push_back(statement.drawingStyle);
    compiled->program = Compile(tree, static_cast<int>(parameters.size()));
    result.formula = CompiledFormula(std::move(compiled));
    return result;
}

std::string FormulaError::Describe() const {
    if (!InText()) return message;
    return FormatInt(line) + ":" + FormatInt(column) + ": " + message;
}

}  // namespace qelt
