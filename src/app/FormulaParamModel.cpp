#include "app/FormulaParamModel.h"

#include "common/Text.h"
#include "formula/FormulaNumbers.h"
#include "formula/FormulaParameters.h"

namespace qelt {

using formula::FormatShortest;

FormulaParamModel::FormulaParamModel(StoredFormula formula, std::vector<double> values)
    : m_formula(std::move(formula)), m_values(ParameterValues(m_formula.parameters, values)) {}

std::vector<FormulaParamRow> FormulaParamModel::Rows() const {
    std::vector<FormulaParamRow> rows;
    for (std::size_t i = 0; i < m_formula.parameters.size(); ++i) {
        const FormulaParameter& p = m_formula.parameters[i];
        rows.push_back({p.name, FormatShortest(p.minimum) + " 到 " + FormatShortest(p.maximum),
                        FormatShortest(m_values[i])});
    }
    return rows;
}

std::vector<std::string> FormulaParamModel::Defaults() const {
    std::vector<std::string> values;
    for (const FormulaParameter& p : m_formula.parameters) values.push_back(FormatShortest(p.defaultValue));
    return values;
}

FormulaParamOutcome FormulaParamModel::Accept(const std::vector<std::string>& typed) const {
    FormulaParamOutcome outcome;
    for (std::size_t i = 0; i < m_formula.parameters.size(); ++i) {
        const FormulaParameter& p = m_formula.parameters[i];
        const std::string_view text = i < typed.size() ? Trim(typed[i]) : std::string_view();
        const std::string label = "参数 " + p.name + " 的值";
        auto refuse = [&](std::string message) {
            return FormulaParamOutcome{false, {}, static_cast<int>(i), std::move(message)};
        };
        if (text.empty()) return refuse("请输入" + label);
        const std::optional<double> value = formula::ParseDecimal(text, true);
        if (!value) return refuse(label + " " + std::string(text) + " 不是数字");
        if (std::optional<std::string> problem = CheckParameterValue(p, *value))
            return refuse(std::move(*problem));
        outcome.values.push_back(*value);
    }
    outcome.accepted = true;
    return outcome;
}

}  // namespace qelt
