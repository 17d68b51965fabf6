#include "app/ConditionAlarmRules.h"

#include "app/AlarmRules.h"
#include "common/Numbers.h"

namespace qelt {

std::string ConditionStateText(ConditionEntryState state) {
    switch (state) {
        case ConditionEntryState::On:
            return "开启";
        case ConditionEntryState::Off:
            return "关闭";
        case ConditionEntryState::FormulaDeleted:
            return "公式已删除";
        case ConditionEntryState::FormulaBroken:
            return "公式有错误";
        case ConditionEntryState::ValuesWrong:
            return "参数不符";
    }
    return {};
}

std::optional<std::string> CheckConditionValues(const StoredFormula& formula,
                                                const std::vector<double>& values) {
    if (values.size() != formula.parameters.size())
        return "公式有 " + FormatInt(static_cast<std::int64_t>(formula.parameters.size())) + " 个参数";
    for (size_t i = 0; i < values.size(); ++i) {
        const FormulaParameter& p = formula.parameters[i];
        if (!(values[i] >= p.minimum && values[i] <= p.maximum))
            return "参数" + p.name + "应在 " + FormatGeneral(p.minimum, 10) + " 到 " +
                   FormatGeneral(p.maximum, 10) + " 之间";
    }
    return std::nullopt;
}

ConditionEntryCheck CheckConditionEntry(const ConditionAlarmEntry& entry, const FormulaLibrary& library) {
    ConditionEntryCheck check;
    check.formula = library.Find(entry.formulaId);
    if (!check.formula) {
        check.state = ConditionEntryState::FormulaDeleted;
        return check;
    }
    FormulaCompileResult compiled = CompileFormula(check.formula->text, check.formula->parameters);
    if (!compiled.formula) {
        check.state = ConditionEntryState::FormulaBroken;
        return check;
    }
    check.compiled = std::move(compiled.formula);
    if (CheckConditionValues(*check.formula, entry.values)) {
        check.state = ConditionEntryState::ValuesWrong;
        return check;
    }
    check.state = entry.on ? ConditionEntryState::On : ConditionEntryState::Off;
    return check;
}

ConditionListRow ConditionListRowOf(const ConditionAlarmEntry& entry, const FormulaLibrary& library,
                                    const ConditionGoodsName& nameOf) {
    const ConditionEntryCheck check = CheckConditionEntry(entry, library);
    ConditionListRow row;
    row[0] = check.formula ? check.formula->name : "#" + FormatInt(entry.formulaId);
    for (size_t i = 0; i < entry.values.size(); ++i)
        row[1] += (i ? ", " : "") + FormatGeneral(entry.values[i], 10);
    if (entry.selfSelected) {
        row[2] = "自选";
    } else if (!entry.goods.empty()) {
        const GoodsKey& first = entry.goods.front();
        row[2] = AlarmContractText(nameOf ? nameOf(first.goodsNo) : std::string(), first.dueDate);
        if (row[2].empty()) row[2] = first.goodsNo;
        if (entry.goods.size() > 1)
            row[2] += " 等 " + FormatInt(static_cast<std::int64_t>(entry.goods.size())) + " 个";
    }
    row[3] = ConditionStateText(check.state);
    return row;
}

std::string ConditionKindText(std::string_view formulaName) { return "条件：" + std::string(formulaName); }

}  // namespace qelt
