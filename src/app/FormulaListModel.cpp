#include "app/FormulaListModel.h"

#include <algorithm>

#include "common/Numbers.h"

namespace qelt {
namespace {

std::string FirstLine(const std::string& text) { return text.substr(0, text.find_first_of("\r\n")); }

/// A formula's name as a file name: no directory separator, no control character, no
/// leading dot (a hidden file, or "..").
std::string FileNameOf(const std::string& name) {
    std::string file = name;
    for (char& c : file)
        if (c == '/' || c == '\\' || static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '_';
    if (!file.empty() && file.front() == '.') file.front() = '_';
    return file.empty() ? "公式" : file;
}

}  // namespace

std::vector<FormulaListRow> FormulaListModel::Rows() const {
    std::vector<FormulaListRow> rows;
    for (const StoredFormula& formula : m_library.Formulas())
        rows.push_back({formula.id, formula.name, FirstLine(formula.description)});
    return rows;
}

int FormulaListModel::RowOf(int id) const {
    const std::vector<StoredFormula>& formulas = m_library.Formulas();
    for (std::size_t i = 0; i < formulas.size(); ++i)
        if (formulas[i].id == id) return static_cast<int>(i);
    return -1;
}

int FormulaListModel::IdAt(int row) const {
    const std::vector<StoredFormula>& formulas = m_library.Formulas();
    if (row < 0 || row >= static_cast<int>(formulas.size())) return 0;
    return formulas[row].id;
}

FormulaListButtons FormulaListModel::ButtonsFor(int selectedRow) const {
    const bool selected = IdAt(selectedRow) != 0;
    return {selected, selected, selected};
}

std::string FormulaListModel::DeleteQuestion(int row) const {
    const StoredFormula* formula = m_library.Find(IdAt(row));
    if (!formula) return {};
    return "确实要删除公式 " + formula->name + " 吗？";
}

FormulaListOutcome FormulaListModel::Delete(int row) {
    const FormulaChange change = m_library.Remove(IdAt(row));
    if (!change.applied) return {row, change.message};
    const int count = static_cast<int>(m_library.Formulas().size());
    return {std::min(row, count - 1), change.saved ? std::string() : change.message};
}

SaveRequest FormulaListModel::ExportRequest(int row) const {
    const StoredFormula* formula = m_library.Find(IdAt(row));
    return SaveRequest{"txt", FileNameOf(formula ? formula->name : std::string()) + ".txt",
                       std::string(kFileFilter)};
}

FormulaListOutcome FormulaListModel::Export(int row, const std::string& path) const {
    const StoredFormula* formula = m_library.Find(IdAt(row));
    if (!formula) return {row, {}};
    if (std::optional<std::string> problem = m_library.Export(formula->id, path)) return {row, *problem};
    return {row, "公式 " + formula->name + " 已导出到 " + path};
}

FormulaListOutcome FormulaListModel::Import(const std::string& path) {
    const FormulaChange change = m_library.Import(path);
    if (!change.applied) return {-1, change.message};
    const StoredFormula* formula = m_library.Find(change.id);
    std::string message = "已导入公式 " + (formula ? formula->name : std::string());
    if (!change.saved) message += "\n" + change.message;
    return {RowOf(change.id), message};
}

std::string FormulaListModel::LoadReport(const std::vector<std::string>& problems) {
    std::string report;
    for (std::size_t i = 0; i < problems.size() && i < kReportedLoadProblems; ++i)
        report += (i ? "\n" : "") + problems[i];
    if (problems.size() > kReportedLoadProblems)
        report += "\n另有 " + FormatInt(static_cast<long long>(problems.size() - kReportedLoadProblems)) +
                  " 个问题";
    return report;
}

}  // namespace qelt
