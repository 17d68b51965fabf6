#pragma once
/// The rules of the trading-system window (交易评测, SystemTestWindow), without widgets:
/// which formulas it offers (those that define a trading system), the inputs as typed and
/// what is wrong with them, the ranges of 参数优化, and what the buttons may do while a test
/// or an optimisation runs.
///
/// Inputs are read exactly (decimals with "."); a fault names its field for the focus and
/// says why in one sentence. A trader's expectations where the rules of a test leave it
/// open: the capital, the lots and the multiplier are above 0, the commission rate is at
/// least 0 and below 1, the slippage at least 0, each parameter within its range. An
/// optimised parameter's FROM and TO lie within its range too, FROM not above TO, STEP
/// above 0, and the ranges give at most kMaxCombinations combinations.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "analysis/Optimisation.h"
#include "analysis/TradingSystem.h"
#include "app/FormulaParamModel.h"
#include "formula/FormulaLibrary.h"

namespace qelt {

/// The periods a system is tested on, as the K-line chart's (KLinePeriod).
inline constexpr int kSystemPeriods[] = {1, 2, 3};
/// "日线", "周线", "月线" (empty for another period).
std::string_view SystemPeriodName(int period);

/// A formula the window offers: one that compiles and defines a trading system.
struct SystemChoice {
    int id = 0;
    std::string name;
};

/// The inputs as typed.
struct SystemInputs {
    int formulaId = 0;
    std::vector<std::string> values;  ///< one per parameter of the formula
    int period = 1;
    std::string capital = "100000";
    std::string lots = "1";
    std::string multiplier = "1";
    std::string commission = "0";
    std::string slippage = "0";
};

/// One row of 参数优化 as typed: the parameter (its index, -1 for none) and its range.
struct RangeInputs {
    int parameter = -1;
    std::string from, to, step;
};

enum class SystemField {
    Formula,
    Parameter,  ///< `index`: the parameter
    Capital,
    Lots,
    Multiplier,
    Commission,
    Slippage,
    RangeParameter,  ///< `index`: the optimisation row
    RangeFrom,
    RangeTo,
    RangeStep
};

struct SystemInputProblem {
    SystemField field = SystemField::Formula;
    int index = 0;
    std::string message;
};

/// A test ready to run: the system and what it is tested with.
struct SystemTestPlan {
    int formulaId = 0;
    std::string formulaName;
    std::vector<std::string> parameterNames;
    TradingSystem system;
    std::vector<double> values;
    SystemCosts costs;
    int period = 1;
};

struct SystemCheck {
    std::optional<SystemTestPlan> plan;
    SystemInputProblem problem;  ///< when there is no plan
};

struct OptimisationCheck {
    std::optional<SystemTestPlan> plan;  ///< the test the values not varied come from
    std::vector<ParameterRange> ranges;  ///< the rows chosen, in their order
    std::int64_t combinations = 0;
    SystemInputProblem problem;  ///< when there is no plan
};

/// What runs, if anything.
enum class SystemWork { None, Testing, Optimising };

/// What the buttons may do.
struct SystemButtons {
    bool start = false;     ///< 开始
    bool optimise = false;  ///< 开始优化
    bool cancel = false;    ///< 取消
    bool result = false;    ///< 在图上显示, 导出, 打印, 导出图片: a test's result is on show
    bool apply = false;     ///< 选用: an optimisation row is selected
    bool edit = false;      ///< 编辑公式 and the inputs
};

class SystemTestModel {
  public:
    static constexpr std::string_view kCaption = "交易评测";
    static constexpr std::string_view kNoSystem =
        "没有可评测的交易系统：公式须定义 ENTERLONG、EXITLONG、ENTERSHORT、EXITSHORT 中的至少一个";

    explicit SystemTestModel(const FormulaLibrary& library);

    /// The library's trading systems, read again (after the editor changed a formula).
    void Reload();
    const std::vector<SystemChoice>& Choices() const { return m_choices; }
    /// The place of formula `id` among the choices, or -1.
    int ChoiceOf(int id) const;

    /// The parameter rows of formula `id` with the values in use (one per parameter).
    std::vector<FormulaParamRow> ParameterRows(int id, const std::vector<double>& values) const;
    /// 参数优化's rows when a formula is chosen: its first parameters (at most three) over
    /// their whole ranges in steps of 1 (or a tenth of the range when it is narrower than 10).
    std::vector<RangeInputs> DefaultRanges(int id) const;

    SystemCheck Check(const SystemInputs& inputs) const;
    /// The ranges of the rows that name a parameter (at least one), with the test's inputs.
    OptimisationCheck CheckOptimisation(const SystemInputs& inputs,
                                        const std::vector<RangeInputs>& rows) const;

    SystemWork Work() const { return m_work; }
    void SetWork(SystemWork work) { m_work = work; }
    SystemButtons Buttons(bool resultShown, bool rowSelected) const;

  private:
    const StoredFormula* Chosen(int id) const;

    const FormulaLibrary& m_library;
    std::vector<SystemChoice> m_choices;
    SystemWork m_work = SystemWork::None;
};

}  // namespace qelt
