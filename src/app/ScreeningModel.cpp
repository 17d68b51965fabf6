#include "app/ScreeningModel.h"

#include <algorithm>
#include <set>

#include "common/CivilDate.h"
#include "common/Numbers.h"
#include "common/Text.h"
#include "data/Categories.h"

namespace qelt {
namespace {

bool IsIndexRecord(const std::string& dueDate) {
    return std::find(kIndexNames.begin(), kIndexNames.end(), dueDate) != kIndexNames.end();
}

ScreeningProblem ScreeningFault(ScreeningField field, int index, std::string message) {
    return ScreeningProblem{field, index, std::move(message)};
}

}  // namespace

std::vector<ScreeningScope> ScreeningScopes(const ViewServices& services) {
    std::vector<ScreeningScope> scopes{{"全部合约", -1}};
    const std::vector<std::string> codes = services.CategoryCodes();
    const std::vector<std::string> names = services.CategoryNames();
    const int count = static_cast<int>(std::min(codes.size(), names.size()));
    // 自选 right after 全部合约, though the store keeps it last among the tabs.
    for (int i = 0; i < count; ++i)
        if (codes[static_cast<std::size_t>(i)] == kSelfSelectedCode)
            scopes.push_back({names[static_cast<std::size_t>(i)], i});
    for (int i = 0; i < count; ++i) {
        const std::string& code = codes[static_cast<std::size_t>(i)];
        if (code == kSelfSelectedCode || code == kAllGoodsCode) continue;
        scopes.push_back({names[static_cast<std::size_t>(i)], i});
    }
    return scopes;
}

std::vector<ScreeningGoods> ScreeningGoodsOf(const ViewServices& services, const ScreeningScope& scope) {
    std::vector<ScreeningGoods> goods;
    std::set<GoodsKey> seen;
    auto take = [&](GoodsKey key, const std::string& name) {
        if (!seen.insert(key).second) return;
        std::string shown = name.empty() ? key.goodsNo + key.dueDate : name;
        goods.push_back({std::move(key), std::move(shown)});
    };
    if (scope.category < 0) {
        for (const GoodsSummary& summary : services.MainSummaries())
            if (!IsIndexRecord(summary.due_date)) take(summary.Key(), summary.name);
        return goods;
    }
    for (const CQeltGoods& row : services.GoodsOfCategory(scope.category)) take(row.Key(), row.name);
    return goods;
}

std::optional<int> ReadScreeningDate(std::string_view typed) {
    const std::string_view text = Trim(typed);
    if (text.empty()) return 0;
    if (text.size() != 8 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    const int date = static_cast<int>(LeadingInt64(text));
    const int year = date / 10000, month = date / 100 % 100, day = date % 100;
    if (year < 1900 || month < 1 || month > 12 || day < 1) return std::nullopt;
    // A day past its month's end would count on into the next month: no such date.
    const CivilDate civil = CivilFromDays(DaysFromCivil(year, month, day));
    if (civil.month != month || civil.day != day) return std::nullopt;
    return date;
}

ScreeningModel::ScreeningModel(const FormulaLibrary& library) : m_library(library) { Reload(); }

void ScreeningModel::Reload() {
    m_choices.clear();
    for (const StoredFormula& formula : m_library.Formulas())
        if (CompileFormula(formula.text, formula.parameters).formula)
            m_choices.push_back({formula.id, formula.name});
}

int ScreeningModel::ChoiceOf(int id) const {
    for (std::size_t i = 0; i < m_choices.size(); ++i)
        if (m_choices[i].id == id) return static_cast<int>(i);
    return -1;
}

std::vector<FormulaParamRow> ScreeningModel::ParameterRows(int id, const std::vector<double>& values) const {
    const StoredFormula* formula = ChoiceOf(id) >= 0 ? m_library.Find(id) : nullptr;
    if (!formula) return {};
    return FormulaParamModel(*formula, values).Rows();
}

ScreeningCheck ScreeningModel::Check(const ScreeningInputs& inputs) const {
    ScreeningCheck check;
    const StoredFormula* formula =
        ChoiceOf(inputs.formulaId) >= 0 ? m_library.Find(inputs.formulaId) : nullptr;
    const FormulaCompileResult compiled =
        formula ? CompileFormula(formula->text, formula->parameters) : FormulaCompileResult{};
    if (!compiled.formula) {
        check.problem = ScreeningFault(ScreeningField::Formula, 0, std::string(kNoFormula));
        return check;
    }
    const FormulaParamOutcome values = FormulaParamModel(*formula, {}).Accept(inputs.values);
    if (!values.accepted) {
        check.problem = ScreeningFault(ScreeningField::Parameter, values.row, values.message);
        return check;
    }
    const std::optional<int> date = ReadScreeningDate(inputs.date);
    if (!date) {
        check.problem = ScreeningFault(ScreeningField::Date, 0,
                                       "日期 " + std::string(Trim(inputs.date)) +
                                           " 不是有效日期：请写作 YYYYMMDD（如 20260315），留空为最新");
        return check;
    }
    const bool knownPeriod = !SystemPeriodName(inputs.period).empty();
    std::vector<std::string> outputs;
    for (const FormulaOutput& output : compiled.formula->Outputs()) outputs.push_back(output.name);
    check.plan.emplace(ScreeningPlan{
        formula->id, formula->name, std::move(outputs),
        ScreeningRequest{*compiled.formula, values.values,
                         static_cast<KLinePeriod>(knownPeriod ? inputs.period : kPeriodDay), *date}});
    return check;
}

ScreeningButtons ScreeningModel::Buttons(bool rowsShown) const {
    ScreeningButtons buttons;
    buttons.start = !m_running && !m_choices.empty();
    buttons.cancel = m_running;
    buttons.rows = !m_running && rowsShown;
    buttons.edit = !m_running;
    return buttons;
}

}  // namespace qelt
