#pragma once
/// The rules of the formula list dialog (CQeltFormulaList, "公式管理"), without widgets: its
/// rows, which buttons a selection enables, what 删除 asks, and what each change leaves
/// selected and tells the user. The formulas live in the application's FormulaLibrary.
#include <string>
#include <string_view>
#include <vector>

#include "formula/FormulaLibrary.h"
#include "views/ExportFile.h"

namespace qelt {

/// One row: the formula's name and the first line of its description.
struct FormulaListRow {
    int id = 0;
    std::string name;
    std::string description;
};

/// The buttons that act on the selected formula.
struct FormulaListButtons {
    bool modify = false;
    bool remove = false;
    bool exportOne = false;
};

/// What a change leaves: the row to select (-1: none) and a message to show ("" for none).
struct FormulaListOutcome {
    int select = -1;
    std::string message;
};

class FormulaListModel {
  public:
    static constexpr std::string_view kCaption = "公式管理";
    static constexpr std::string_view kMessageCaption = "提示";
    /// The export and import files' filter for the file dialogs.
    static constexpr std::string_view kFileFilter = "公式文件(*.txt)|*.txt";

    explicit FormulaListModel(FormulaLibrary& library) : m_library(library) {}

    /// The formulas in the library's order: the file's, new and imported ones last.
    std::vector<FormulaListRow> Rows() const;
    /// The row of formula `id`, or -1.
    int RowOf(int id) const;
    /// The formula of `row`, or 0 when `row` is no row.
    int IdAt(int row) const;
    /// The row selected when the dialog opens: the first, or -1 with no formulas.
    int InitialRow() const { return m_library.Formulas().empty() ? -1 : 0; }

    FormulaListButtons ButtonsFor(int selectedRow) const;

    /// 删除's question about the formula of `row` (empty for no row).
    std::string DeleteQuestion(int row) const;
    /// Removes the formula of `row` once the user said yes; the row that takes its place,
    /// or the new last one, is selected.
    FormulaListOutcome Delete(int row);

    /// 导出: the save dialog's request for the formula of `row` (its name as the file's,
    /// with the characters a file name cannot hold replaced).
    SaveRequest ExportRequest(int row) const;
    FormulaListOutcome Export(int row, const std::string& path) const;
    /// 导入: the imported formula is selected and named in the message, or the message
    /// says why the file was refused.
    FormulaListOutcome Import(const std::string& path);

    /// The one message of the problems the library's Load found, one a line: at most
    /// kReportedLoadProblems of them (a badly damaged file may have thousands), then how many
    /// more there are. Empty when there are none.
    static std::string LoadReport(const std::vector<std::string>& problems);
    static constexpr std::size_t kReportedLoadProblems = 10;

  private:
    FormulaLibrary& m_library;
};

}  // namespace qelt
