// SystemTestWindow: what a result is put to: the chart (a trade's entry bar, the marks), the
// export, the printer and a picture; and the formulas it comes from (编辑公式, 添加示例系统).
#include <QComboBox>
#include <QLabel>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>
#include <QTabWidget>

#include "app/ExampleSystems.h"
#include "common/Numbers.h"
#include "ui/QtSaveFileDialog.h"
#include "ui/ViewPrint.h"
#include "ui/dialogs/FormulaInputFields.h"
#include "ui/dialogs/MessageBoxes.h"
#include "ui/dialogs/SystemTestWindow.h"
#include "ui/widgets/PaintedChart.h"

namespace qelt {

void SystemTestWindow::GoToTrade(int row) {
    if (!m_result || row < 0 || static_cast<std::size_t>(row) >= m_result->result.trades.size()) return;
    const SystemTrade& trade = m_result->result.trades[static_cast<std::size_t>(row)];
    if (m_hooks.showBar) m_hooks.showBar(m_result->goods, m_result->period, trade.entryBar, trade.entryDate);
}

void SystemTestWindow::OnShowOnChart() {
    if (!m_result || !m_hooks.showMarks) return;
    m_hooks.showMarks(TradeMarksOf(*m_result));
    SetStatus("K线图上已标出 " + FormatInt(static_cast<std::int64_t>(m_result->result.trades.size())) +
              " 笔交易；在K线图的右键菜单中选“取消交易标记”可去掉");
}

void SystemTestWindow::OnExport() {
    if (!m_result) return;
    const std::optional<std::string> path =
        ExportFromWindow(this, m_saveDialog, Boxes(), SystemTestExport(*m_result));
    if (!path) return;
    SetStatus("已导出到文件：" + *path);
    if (m_hooks.status) m_hooks.status("已导出到文件：" + *path);
}

PaintedChart* SystemTestWindow::ChartOnShow() const {
    if (m_pages->currentIndex() == 2) return m_table.HeatMapOf(-1) ? m_heatMap : nullptr;
    return m_result ? m_equity : nullptr;
}

void SystemTestWindow::OnPrint() {
    PaintedChart* chart = ChartOnShow();
    if (!chart) return;
    QPrinter printer(QPrinter::HighResolution);
    SetUpPrinter(printer);
    QPointer<QPrintDialog> dialog = new QPrintDialog(&printer, this);
    const bool accepted = dialog->exec() == QDialog::Accepted;
    delete dialog.data();
    if (accepted) chart->PrintTo(printer);
}

void SystemTestWindow::OnPicture() {
    PaintedChart* chart = ChartOnShow();
    if (!chart) return;
    QtSaveFileDialog files(this);
    SaveFileDialog& dialog = m_saveDialog ? *m_saveDialog : files;
    SaveRequest request = m_result ? SystemPictureRequest(*m_result) : SaveRequest{"BMP", "热力图.bmp", ""};
    if (chart == m_heatMap) request.defaultName = "参数优化热力图.bmp";
    request.filter = "位图文件(*.bmp)|*.bmp";
    const std::optional<std::string> path = dialog.AskSavePath(request);
    if (!path || path->empty()) return;
    if (!chart->SaveBmp(*path)) {
        Boxes().Show(this, kExportFailedText, "系统提示");
        return;
    }
    SetStatus("已导出到文件：" + *path);
}

void SystemTestWindow::OnEditFormula() {
    const int id = m_formula->currentData().toInt();
    if (id == 0 || !m_hooks.editFormula) return;
    const int saved = m_hooks.editFormula(this, id);
    m_revision = m_library.Revision();
    m_model.Reload();
    FillFormulas(saved != 0 ? saved : id);
    if (saved != 0 && m_model.ChoiceOf(saved) < 0)
        SetStatus("修改后的公式不再是交易系统：" + std::string(SystemTestModel::kNoSystem), true);
}

void SystemTestWindow::OnAddExamples() {
    const ExampleSystemsAdded added = AddExampleSystems(m_library);
    m_revision = m_library.Revision();
    m_model.Reload();
    const int chosen = m_formula->currentData().toInt();
    const StoredFormula* first = nullptr;
    for (const StoredFormula& formula : m_library.Formulas())
        if (!added.names.empty() && formula.name == added.names.front()) first = &formula;
    FillFormulas(chosen != 0 ? chosen : (first ? first->id : 0));
    std::string text = added.names.empty() ? "示例系统都已在公式中" : "已添加示例系统：";
    for (std::size_t i = 0; i < added.names.size(); ++i) text += (i ? "、" : "") + added.names[i];
    if (!added.message.empty()) text += "\n" + added.message;
    SetStatus(text, !added.message.empty());
}

}  // namespace qelt
