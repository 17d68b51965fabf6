#include "app/FormulaEditModel.h"

#include <vector>

#include "common/Numbers.h"
#include "common/Text.h"
#include "formula/Formula.h"
#include "formula/FormulaMessages.h"
#include "formula/FormulaNumbers.h"
#include "formula/FormulaText.h"

namespace qelt {
namespace {

/// The parameters of the rows in use, with the dialog row each came from.
struct ReadRows {
    std::vector<FormulaParameter> parameters;
    std::vector<int> rows;
};

bool IsBlankRow(const FormulaParameterFields& row) {
    return Trim(row.name).empty() && Trim(row.defaultValue).empty() && Trim(row.minimum).empty() &&
           Trim(row.maximum).empty();
}

FormulaFieldProblem InField(FormulaField field, int row, std::string message) {
    return FormulaFieldProblem{field, row, -1, std::move(message)};
}

/// One number of a parameter row: blank and "not a number" are told apart.
std::optional<FormulaFieldProblem> ReadNumber(std::string_view typed, const std::string& name,
                                              std::string_view what, FormulaField field, int row,
                                              double& value) {
    const std::string_view text = Trim(typed);
    const std::string label = "参数 " + name + " 的" + std::string(what);
    if (text.empty()) return InField(field, row, "请输入" + label);
    const std::optional<double> number = formula::ParseDecimal(text, true);
    if (!number) return InField(field, row, label + " " + std::string(text) + " 不是数字");
    value = *number;
    return std::nullopt;
}

std::optional<FormulaFieldProblem> ReadParameters(const FormulaEditFields& fields, ReadRows& read) {
    for (int row = 0; row < kMaxFormulaParameters; ++row) {
        const FormulaParameterFields& typed = fields.parameters[row];
        if (IsBlankRow(typed)) continue;
        FormulaParameter p;
        p.name = std::string(Trim(typed.name));
        if (p.name.empty())
            return InField(FormulaField::ParameterName, row, "第 " + FormatInt(row + 1) + " 行参数缺少名称");
        if (auto problem = ReadNumber(typed.defaultValue, p.name, "缺省值", FormulaField::ParameterDefault,
                                      row, p.defaultValue))
            return problem;
        if (auto problem =
                ReadNumber(typed.minimum, p.name, "最小值", FormulaField::ParameterMinimum, row, p.minimum))
            return problem;
        if (auto problem =
                ReadNumber(typed.maximum, p.name, "最大值", FormulaField::ParameterMaximum, row, p.maximum))
            return problem;
        read.parameters.push_back(std::move(p));
        read.rows.push_back(row);
    }
    return std::nullopt;
}

/// The field of a parameter's fault: the range's messages point at the number at fault,
/// every other one (name not allowed, taken twice) at the name.
FormulaField ParameterField(const FormulaParameter& p, const std::string& message) {
    if (message == formula::msg::ParameterRangeReversed(p.name)) return FormulaField::ParameterMinimum;
    if (message == formula::msg::ParameterDefaultOutside(p.name, p.minimum, p.maximum))
        return FormulaField::ParameterDefault;
    return FormulaField::ParameterName;
}

int CursorAt(std::string_view text, const FormulaError& error) {
    const std::size_t offset = formula::OffsetOf(text, formula::TextPosition{error.line, error.column});
    return static_cast<int>(formula::Utf16Length(text.substr(0, offset)));
}

FormulaFieldProblem Place(const FormulaProblem& problem, const ReadRows& read, std::string_view text) {
    const FormulaError& error = problem.error;
    switch (problem.part) {
        case FormulaProblem::Part::Name:
            return InField(FormulaField::Name, -1, error.message);
        case FormulaProblem::Part::Description:
            return InField(FormulaField::Description, -1, error.message);
        case FormulaProblem::Part::Parameters:
            if (error.parameter >= 0 && error.parameter < static_cast<int>(read.rows.size())) {
                const FormulaParameter& p = read.parameters[error.parameter];
                return InField(ParameterField(p, error.message), read.rows[error.parameter], error.message);
            }
            break;
        case FormulaProblem::Part::Text:
            break;
    }
    return FormulaFieldProblem{FormulaField::Text, -1, error.InText() ? CursorAt(text, error) : -1,
                               error.Describe()};
}

}  // namespace

FormulaEditModel::FormulaEditModel(FormulaLibrary& library, int id)
    : m_library(library), m_id(library.Find(id) ? id : 0) {}

FormulaEditFields FormulaEditModel::InitialFields() const {
    FormulaEditFields fields;
    const StoredFormula* formula = m_library.Find(m_id);
    if (!formula) return fields;
    fields.name = formula->name;
    fields.description = formula->description;
    fields.text = formula->text;
    fields.mainChart = formula->mainChart;
    for (std::size_t i = 0; i < formula->parameters.size() && i < fields.parameters.size(); ++i) {
        const FormulaParameter& p = formula->parameters[i];
        fields.parameters[i] = {p.name, formula::FormatShortest(p.defaultValue),
                                formula::FormatShortest(p.minimum), formula::FormatShortest(p.maximum)};
    }
    return fields;
}

std::optional<FormulaFieldProblem> FormulaEditModel::Test(const FormulaEditFields& fields) const {
    ReadRows read;
    if (auto problem = ReadParameters(fields, read)) return problem;
    FormulaCompileResult compiled = CompileFormula(fields.text, read.parameters);
    if (compiled.formula) return std::nullopt;
    const bool aboutParameter = !compiled.error.InText() && compiled.error.parameter >= 0;
    const FormulaProblem problem{
        aboutParameter ? FormulaProblem::Part::Parameters : FormulaProblem::Part::Text, compiled.error};
    return Place(problem, read, fields.text);
}

FormulaEditOutcome FormulaEditModel::Accept(const FormulaEditFields& fields) {
    FormulaEditOutcome outcome;
    ReadRows read;
    if ((outcome.problem = ReadParameters(fields, read))) return outcome;
    StoredFormula formula{m_id, std::string(Trim(fields.name)), fields.description, read.parameters,
                          fields.text};
    formula.mainChart = fields.mainChart;
    if (std::optional<FormulaProblem> problem = m_library.Check(formula, m_id)) {
        outcome.problem = Place(*problem, read, fields.text);
        return outcome;
    }
    const FormulaChange change =
        IsNew() ? m_library.Add(std::move(formula)) : m_library.Replace(m_id, std::move(formula));
    if (!change.applied) {
        outcome.problem = InField(FormulaField::Text, -1, change.message);
        return outcome;
    }
    m_id = change.id;
    outcome.closes = true;
    outcome.id = change.id;
    if (!change.saved) outcome.notice = change.message;
    return outcome;
}

}  // namespace qelt
