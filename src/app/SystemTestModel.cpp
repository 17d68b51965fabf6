#include "app/SystemTestModel.h"

#include <cmath>

#include "common/Numbers.h"
#include "common/Text.h"
#include "formula/FormulaNumbers.h"

namespace qelt {
namespace {

using formula::FormatShortest;

SystemInputProblem Problem(SystemField field, int index, std::string message) {
    return SystemInputProblem{field, index, std::move(message)};
}

/// The number typed in a field, or why it is none.
struct ReadNumber {
    std::optional<double> value;
    std::string message;
};

ReadNumber Read(const std::string& typed, const std::string& label) {
    const std::string_view text = Trim(typed);
    if (text.empty()) return {std::nullopt, "请输入" + label};
    std::optional<double> value = formula::ParseDecimal(text, true);
    if (!value || !std::isfinite(*value))
        return {std::nullopt, label + " " + std::string(text) + " 不是数字"};
    return {value, {}};
}

/// A cost: a number above `floor` (or at least `floor` when `floorAllowed`), below `ceiling`
/// when one is given.
std::optional<SystemInputProblem> ReadCost(const std::string& typed, SystemField field,
                                           const std::string& label, const std::string& rule,
                                           bool floorAllowed, double& out,
                                           std::optional<double> ceiling = std::nullopt) {
    ReadNumber read = Read(typed, label);
    if (!read.value) return Problem(field, 0, std::move(read.message));
    const double v = *read.value;
    const bool fits = (floorAllowed ? v >= 0.0 : v > 0.0) && (!ceiling || v < *ceiling);
    if (!fits) return Problem(field, 0, label + rule);
    out = v;
    return std::nullopt;
}

std::optional<SystemInputProblem> ReadCosts(const SystemInputs& inputs, SystemCosts& costs) {
    if (auto p =
            ReadCost(inputs.capital, SystemField::Capital, "初始资金", "必须大于 0", false, costs.capital))
        return p;
    if (auto p = ReadCost(inputs.lots, SystemField::Lots, "手数", "必须大于 0", false, costs.lots)) return p;
    if (auto p = ReadCost(inputs.multiplier, SystemField::Multiplier, "合约乘数", "必须大于 0", false,
                          costs.multiplier))
        return p;
    if (auto p = ReadCost(inputs.commission, SystemField::Commission, "手续费率",
                          "必须不小于 0 且小于 1（万分之三写作 0.0003）", true, costs.commissionRate, 1.0))
        return p;
    return ReadCost(inputs.slippage, SystemField::Slippage, "滑点", "必须不小于 0", true, costs.slippage);
}

/// A range's bound typed for parameter `p`: a number within the parameter's range.
std::optional<SystemInputProblem> ReadBound(const std::string& typed, const FormulaParameter& p, int row,
                                            SystemField field, const std::string& what, double& out) {
    ReadNumber read = Read(typed, "参数 " + p.name + " 的" + what);
    if (!read.value) return Problem(field, row, std::move(read.message));
    if (*read.value < p.minimum || *read.value > p.maximum)
        return Problem(field, row,
                       "参数 " + p.name + " 的" + what + "必须在 " + FormatShortest(p.minimum) + " 到 " +
                           FormatShortest(p.maximum) + " 之间");
    out = *read.value;
    return std::nullopt;
}

std::optional<SystemInputProblem> ReadRange(const RangeInputs& typed, const FormulaParameter& p, int row,
                                            ParameterRange& range) {
    range.parameter = typed.parameter;
    if (auto problem = ReadBound(typed.from, p, row, SystemField::RangeFrom, "起始值", range.from))
        return problem;
    if (auto problem = ReadBound(typed.to, p, row, SystemField::RangeTo, "终止值", range.to)) return problem;
    if (range.from > range.to)
        return Problem(SystemField::RangeTo, row, "参数 " + p.name + " 的终止值不能小于起始值");
    ReadNumber step = Read(typed.step, "参数 " + p.name + " 的步长");
    if (!step.value) return Problem(SystemField::RangeStep, row, std::move(step.message));
    if (!(*step.value > 0.0))
        return Problem(SystemField::RangeStep, row, "参数 " + p.name + " 的步长必须大于 0");
    range.step = *step.value;
    return std::nullopt;
}

}  // namespace

std::string_view SystemPeriodName(int period) {
    switch (period) {
        case 1:
            return "日线";
        case 2:
            return "周线";
        case 3:
            return "月线";
        default:
            return {};
    }
}

SystemTestModel::SystemTestModel(const FormulaLibrary& library) : m_library(library) { Reload(); }

void SystemTestModel::Reload() {
    m_choices.clear();
    for (const StoredFormula& formula : m_library.Formulas()) {
        const FormulaCompileResult compiled = CompileFormula(formula.text, formula.parameters);
        if (compiled.formula && TradingSystem::Of(*compiled.formula))
            m_choices.push_back({formula.id, formula.name});
    }
}

int SystemTestModel::ChoiceOf(int id) const {
    for (std::size_t i = 0; i < m_choices.size(); ++i)
        if (m_choices[i].id == id) return static_cast<int>(i);
    return -1;
}

const StoredFormula* SystemTestModel::Chosen(int id) const {
    return ChoiceOf(id) >= 0 ? m_library.Find(id) : nullptr;
}

std::vector<FormulaParamRow> SystemTestModel::ParameterRows(int id, const std::vector<double>& values) const {
    const StoredFormula* formula = Chosen(id);
    if (!formula) return {};
    return FormulaParamModel(*formula, values).Rows();
}

std::vector<RangeInputs> SystemTestModel::DefaultRanges(int id) const {
    std::vector<RangeInputs> rows;
    const StoredFormula* formula = Chosen(id);
    if (!formula) return rows;
    for (std::size_t i = 0; i < formula->parameters.size() && rows.size() < kMaxOptimisedParameters; ++i) {
        const FormulaParameter& p = formula->parameters[i];
        const double width = p.maximum - p.minimum;
        const double step = width >= 10.0 || width <= 0.0 ? 1.0 : width / 10.0;
        rows.push_back({static_cast<int>(i), FormatShortest(p.minimum), FormatShortest(p.maximum),
                        FormatShortest(step)});
    }
    return rows;
}

SystemCheck SystemTestModel::Check(const SystemInputs& inputs) const {
    SystemCheck check;
    const StoredFormula* formula = Chosen(inputs.formulaId);
    if (!formula) {
        check.problem = Problem(SystemField::Formula, 0, std::string(kNoSystem));
        return check;
    }
    const FormulaParamOutcome values = FormulaParamModel(*formula, {}).Accept(inputs.values);
    if (!values.accepted) {
        check.problem = Problem(SystemField::Parameter, values.row, values.message);
        return check;
    }
    SystemCosts costs;
    if (std::optional<SystemInputProblem> problem = ReadCosts(inputs, costs)) {
        check.problem = std::move(*problem);
        return check;
    }
    const FormulaCompileResult compiled = CompileFormula(formula->text, formula->parameters);
    std::optional<TradingSystem> system =
        compiled.formula ? TradingSystem::Of(*compiled.formula) : std::nullopt;
    if (!system) {
        check.problem = Problem(SystemField::Formula, 0, std::string(kNoSystem));
        return check;
    }
    std::vector<std::string> names;
    for (const FormulaParameter& p : formula->parameters) names.push_back(p.name);
    check.plan.emplace(SystemTestPlan{formula->id, formula->name, std::move(names), std::move(*system),
                                      values.values, costs, inputs.period});
    return check;
}

OptimisationCheck SystemTestModel::CheckOptimisation(const SystemInputs& inputs,
                                                     const std::vector<RangeInputs>& rows) const {
    OptimisationCheck check;
    SystemCheck test = Check(inputs);
    if (!test.plan) {
        check.problem = std::move(test.problem);
        return check;
    }
    const std::vector<FormulaParameter>& parameters = m_library.Find(inputs.formulaId)->parameters;
    std::vector<ParameterRange> ranges;
    for (int row = 0; row < static_cast<int>(rows.size()); ++row) {
        const RangeInputs& typed = rows[static_cast<std::size_t>(row)];
        if (typed.parameter < 0) continue;
        if (static_cast<std::size_t>(typed.parameter) >= parameters.size()) {
            check.problem = Problem(SystemField::RangeParameter, row, "请选择要优化的参数");
            return check;
        }
        const FormulaParameter& p = parameters[static_cast<std::size_t>(typed.parameter)];
        for (const ParameterRange& earlier : ranges)
            if (earlier.parameter == typed.parameter) {
                check.problem = Problem(SystemField::RangeParameter, row, "参数 " + p.name + " 选择了两次");
                return check;
            }
        ParameterRange range;
        if (auto problem = ReadRange(typed, p, row, range)) {
            check.problem = std::move(*problem);
            return check;
        }
        ranges.push_back(range);
    }
    if (ranges.empty()) {
        check.problem = Problem(SystemField::RangeParameter, 0, "请选择要优化的参数（一到三个）");
        return check;
    }
    if (ranges.size() > static_cast<std::size_t>(kMaxOptimisedParameters)) {
        check.problem = Problem(SystemField::RangeParameter, kMaxOptimisedParameters, "最多优化三个参数");
        return check;
    }
    if (CheckRanges(ranges, static_cast<int>(parameters.size())) != RangeFault::None) {
        check.problem = Problem(SystemField::RangeStep, 0,
                                "组合数超过 " + FormatInt(kMaxCombinations) + " 个：请缩小范围或加大步长");
        return check;
    }
    check.combinations = CombinationCount(ranges);
    check.ranges = std::move(ranges);
    check.plan = std::move(test.plan);
    return check;
}

SystemButtons SystemTestModel::Buttons(bool resultShown, bool rowSelected) const {
    SystemButtons buttons;
    const bool idle = m_work == SystemWork::None;
    buttons.start = idle && !m_choices.empty();
    buttons.optimise = buttons.start;
    buttons.cancel = !idle;
    buttons.result = idle && resultShown;
    buttons.apply = idle && rowSelected;
    buttons.edit = idle;
    return buttons;
}

}  // namespace qelt
