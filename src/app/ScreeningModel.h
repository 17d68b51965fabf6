#pragma once
/// The rules of 条件选股 (工具 → 条件选股, ScreeningWindow), without widgets: which formulas
/// it offers (every one that compiles: any formula is a condition, its first output deciding),
/// the goods it may cover, the inputs as typed and what is wrong with them, and what the
/// buttons may do while a screening runs. The result table is ScreeningTable's.
///
/// A trader's expectations where the rules of a screening leave them open: each parameter
/// lies within its range (decimals with "."); the date is empty (each goods' newest bar) or a
/// real calendar date written YYYYMMDD; the period is day, week or month (the engine builds
/// no minute bars from day bars).
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/Screening.h"
#include "app/FormulaParamModel.h"
#include "app/SystemTestModel.h"
#include "common/GoodsKey.h"
#include "formula/FormulaLibrary.h"
#include "views/ViewServices.h"

namespace qelt {

/// A goods a screening covers, with the name its rows show.
struct ScreeningGoods {
    GoodsKey key;
    std::string name;
    friend bool operator==(const ScreeningGoods&, const ScreeningGoods&) = default;
};

/// A choice of 范围: every contract of the board, or the goods of one category (自选 among
/// them).
struct ScreeningScope {
    std::string name;
    int category = -1;  ///< the store's category index; -1: every contract
};

/// The scopes offered: 全部合约 first, then 自选 and the board's categories in the store's
/// order (the categories that only name the whole board again are left out).
std::vector<ScreeningScope> ScreeningScopes(const ViewServices& services);
/// The goods of `scope`, in board order, each once.
std::vector<ScreeningGoods> ScreeningGoodsOf(const ViewServices& services, const ScreeningScope& scope);

/// The inputs as typed.
struct ScreeningInputs {
    int formulaId = 0;
    std::vector<std::string> values;  ///< one per parameter of the formula
    int period = kPeriodDay;
    std::string date;  ///< YYYYMMDD, or empty for the newest bar
};

enum class ScreeningField { Formula, Parameter, Date };

struct ScreeningProblem {
    ScreeningField field = ScreeningField::Formula;
    int index = 0;  ///< the parameter, for ScreeningField::Parameter
    std::string message;
};

/// A screening ready to run.
struct ScreeningPlan {
    int formulaId = 0;
    std::string formulaName;
    std::vector<std::string> outputNames;
    ScreeningRequest request;
};

struct ScreeningCheck {
    std::optional<ScreeningPlan> plan;
    ScreeningProblem problem;  ///< when there is no plan
};

/// What the buttons may do.
struct ScreeningButtons {
    bool start = false;   ///< 开始
    bool cancel = false;  ///< 取消
    bool rows = false;    ///< 加入自选, 导出: a result with rows is on show
    bool edit = false;    ///< the inputs
};

class ScreeningModel {
  public:
    static constexpr std::string_view kCaption = "条件选股";
    static constexpr std::string_view kNoFormula = "没有可用的公式：请先在 工具 → 公式管理 中编写公式";

    explicit ScreeningModel(const FormulaLibrary& library);

    /// The library's formulas that compile, read again (after the editor changed one).
    void Reload();
    const std::vector<SystemChoice>& Choices() const { return m_choices; }
    int ChoiceOf(int id) const;
    /// The parameter rows of formula `id` with the values in use (one per parameter).
    std::vector<FormulaParamRow> ParameterRows(int id, const std::vector<double>& values) const;

    ScreeningCheck Check(const ScreeningInputs& inputs) const;

    bool Running() const { return m_running; }
    void SetRunning(bool running) { m_running = running; }
    ScreeningButtons Buttons(bool rowsShown) const;

  private:
    const FormulaLibrary& m_library;
    std::vector<SystemChoice> m_choices;
    bool m_running = false;
};

/// The screening date typed: 0 for an empty text (the newest bar), the date YYYYMMDD, or
/// nothing when the text is no calendar date.
std::optional<int> ReadScreeningDate(std::string_view typed);

}  // namespace qelt
