#pragma once
/// The rules of the condition alarm entries (条件预警) without widgets: whether an entry can
/// run against the formulas of the day, the list's row of an entry, the check of the values
/// typed for a formula's parameters, and the 类别 word of a hit in the alarm window.
#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/ConditionAlarmFile.h"
#include "formula/Formula.h"
#include "formula/FormulaLibrary.h"

namespace qelt {

enum class ConditionEntryState {
    On,
    Off,
    FormulaDeleted,  ///< no formula of its id in the library any more
    FormulaBroken,   ///< its formula no longer compiles
    ValuesWrong,     ///< its values no longer fit the formula's parameters
};

/// The word of the list's 状态 column: "开启", "关闭", "公式已删除", "公式有错误", "参数不符".
std::string ConditionStateText(ConditionEntryState state);

struct ConditionEntryCheck {
    ConditionEntryState state = ConditionEntryState::Off;
    const StoredFormula* formula = nullptr;   ///< the library's, when it has the id
    std::optional<CompiledFormula> compiled;  ///< when the formula compiles
};

/// What the entry is against `library`: its formula's fault first (deleted, broken, values
/// that no longer fit), then its own switch.
ConditionEntryCheck CheckConditionEntry(const ConditionAlarmEntry& entry, const FormulaLibrary& library);

/// The first value outside its parameter's range (or a count that is not the formula's),
/// as the message the entry dialog shows ("参数N应在 1 到 100 之间"); nothing when all fit.
std::optional<std::string> CheckConditionValues(const StoredFormula& formula,
                                                const std::vector<double>& values);

/// "公式", "参数", "商品", "状态".
using ConditionListRow = std::array<std::string, 4>;

/// The name of a goods number in the category table (empty when none).
using ConditionGoodsName = std::function<std::string(std::string_view goodsNo)>;

/// The entry's row: the formula's name ("#<id>" once deleted), its values ("20, 5"), the goods
/// ("自选", one contract by name and delivery date, or the first of several with the count)
/// and the state word.
ConditionListRow ConditionListRowOf(const ConditionAlarmEntry& entry, const FormulaLibrary& library,
                                    const ConditionGoodsName& nameOf);

/// What the alarm window's 类别 column and the log say of a hit: "条件：<formula name>", and
/// "服务器" for the server's price alarms.
std::string ConditionKindText(std::string_view formulaName);
inline constexpr const char* kServerAlarmKind = "服务器";

}  // namespace qelt
