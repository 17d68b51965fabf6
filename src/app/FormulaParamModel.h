#pragma once
/// The rules of the formula parameter dialog (CQeltFormulaParam), without widgets. A double
/// click on the title of a K-line pane that shows one of the user's formulas opens it: one
/// row per parameter with its name, its range and the value every pane computes with.
/// 确定 takes the values as typed when each one is a number within its parameter's range
/// (decimals with "."); otherwise it names the first row at fault and why, and the dialog
/// stays. 恢复默认 puts the formula's defaults in the rows. The values then hold for every
/// pane (ViewServices::SetFormulaValues keeps them in formulaparam.ini).
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "formula/FormulaFile.h"

namespace qelt {

struct FormulaParamRow {
    std::string name;   ///< "N"
    std::string range;  ///< "1 到 250"
    std::string value;  ///< the value in use, in its shortest exact form: "20", "0.5"
};

/// What 确定 found.
struct FormulaParamOutcome {
    bool accepted = false;
    std::vector<double> values;  ///< when accepted: one per parameter
    int row = -1;                ///< when not: the row at fault, for the focus
    std::string message;         ///< and why: "N 的值必须在 1 到 250 之间"
};

class FormulaParamModel {
  public:
    static constexpr std::string_view kCaption = "公式参数设置";
    static constexpr std::string_view kNoParameters = "没有参数需要设置!";

    /// `values`: those in use (ViewServices::FormulaValues), one per parameter.
    FormulaParamModel(StoredFormula formula, std::vector<double> values);

    /// The formula's name, as the pane's title begins.
    const std::string& Name() const { return m_formula.name; }
    bool HasParameters() const { return !m_formula.parameters.empty(); }
    /// The rows at opening, with the values in use.
    std::vector<FormulaParamRow> Rows() const;
    /// 恢复默认: the rows' values become the defaults (nothing is kept until 确定).
    std::vector<std::string> Defaults() const;
    /// 确定 with the rows' texts in order.
    FormulaParamOutcome Accept(const std::vector<std::string>& typed) const;

  private:
    StoredFormula m_formula;
    std::vector<double> m_values;
};

}  // namespace qelt
