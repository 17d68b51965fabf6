#pragma once
/// The rules of the formula edit dialog (CQeltFormulaEdit), without widgets: the fields as the
/// user typed them, read into a formula; what 测试公式 says; what 确定 checks and saves; and
/// where each problem is shown (its field, and in the text the place of the cursor).
#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "formula/FormulaLibrary.h"

namespace qelt {

/// One parameter row as typed: the numbers are decimals with ".".
struct FormulaParameterFields {
    std::string name;
    std::string defaultValue;
    std::string minimum;
    std::string maximum;
};

/// The dialog's fields (UTF-8). A parameter row left wholly blank is no parameter; the rows
/// used need not be adjacent.
struct FormulaEditFields {
    std::string name;
    std::string description;
    std::array<FormulaParameterFields, kMaxFormulaParameters> parameters;
    std::string text;
    bool mainChart = false;  ///< 画在 主图 rather than 副图
};

enum class FormulaField {
    Name,
    Description,
    ParameterName,
    ParameterDefault,
    ParameterMinimum,
    ParameterMaximum,
    Text
};

/// A fault to show: its message, and the field to put the focus in.
struct FormulaFieldProblem {
    FormulaField field = FormulaField::Text;
    int row = -1;  ///< the parameter row (0 to 5) of a parameter field, else -1
    /// For the text: the place of the fault in the text in UTF-16 code units (the editor's
    /// count of places, lines ending in one "\n"); else -1.
    int cursor = -1;
    std::string message;  ///< "3:12: 未知的函数 MAA", "参数 N 的最小值大于最大值"
};

/// What 确定 did.
struct FormulaEditOutcome {
    /// Saved, or kept for this run only: the dialog closes. Otherwise `problem` says why not.
    bool closes = false;
    int id = 0;  ///< the formula saved (a new one's new id)
    std::optional<FormulaFieldProblem> problem;
    std::string notice;  ///< when closing: a message to show first (the file was not written)
};

class FormulaEditModel {
  public:
    static constexpr std::string_view kNewCaption = "新建公式";
    static constexpr std::string_view kEditCaption = "修改公式";
    static constexpr std::string_view kTestPassed = "测试通过";

    /// `id`: the formula to edit; 0 (or an id the library does not hold) for a new one.
    FormulaEditModel(FormulaLibrary& library, int id);

    bool IsNew() const { return m_id == 0; }
    std::string_view Caption() const { return IsNew() ? kNewCaption : kEditCaption; }
    /// The fields at opening: the formula's (numbers in their shortest exact form), or blank.
    FormulaEditFields InitialFields() const;

    /// 测试公式: the parameters and the text compiled as they stand (the name is not looked
    /// at). Nothing when they are sound, and then the dialog shows kTestPassed.
    std::optional<FormulaFieldProblem> Test(const FormulaEditFields& fields) const;

    /// 确定: the whole formula checked (name, description, parameters, text), then added or
    /// replaced in the library. Names are taken without blanks at their ends.
    FormulaEditOutcome Accept(const FormulaEditFields& fields);

  private:
    FormulaLibrary& m_library;
    int m_id;
};

}  // namespace qelt
