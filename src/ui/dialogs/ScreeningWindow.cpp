#include "ui/dialogs/ScreeningWindow.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "common/Numbers.h"
#include "data/Categories.h"
#include "ui/QtPoster.h"
#include "ui/dialogs/DialogText.h"
#include "ui/dialogs/MessageBoxes.h"
#include "ui/dialogs/ReportList.h"

namespace qelt {

ScreeningWindow::ScreeningWindow(ViewServices& services, const FormulaLibrary& library, QtPoster& poster,
                                 DaySeriesSource series, ScreeningHooks hooks, QWidget* parent)
    : QDialog(parent),
      m_services(services),
      m_library(library),
      m_poster(poster),
      m_series(std::move(series)),
      m_hooks(std::move(hooks)),
      m_model(library) {
    setObjectName("screeningWindow");
    setWindowTitle(Utf8(ScreeningModel::kCaption));
    setModal(false);
    m_window = m_poster.Register(this);
    m_runner = std::make_unique<ScreeningRunner>(m_poster, m_window, m_series);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(BuildInputs());
    layout->addWidget(BuildActions());
    layout->addWidget(BuildResults(), 1);
    resize(760, 560);
    m_revision = m_library.Revision();
    FillFormulas(0);
    Refresh();
}

ScreeningWindow::~ScreeningWindow() {
    // The job's thread ends (cancelled) before the window stops taking its messages.
    m_runner.reset();
    m_poster.Unregister(m_window);
}

void ScreeningWindow::SetRunnerPoster(Poster& poster, int threads) {
    if (!m_model.Running()) m_runner = std::make_unique<ScreeningRunner>(poster, m_window, m_series, threads);
}

MessageBoxes& ScreeningWindow::Boxes() const { return m_boxes ? *m_boxes : DefaultMessageBoxes(); }

void ScreeningWindow::showEvent(QShowEvent* event) {
    Refresh();
    QDialog::showEvent(event);
}

void ScreeningWindow::Refresh() {
    if (m_library.Revision() != m_revision) {
        m_revision = m_library.Revision();
        const int chosen = m_formula->currentData().toInt();
        m_model.Reload();
        FillFormulas(chosen);
    }
    if (!m_model.Running()) FillScopes();
    UpdateButtons();
}

// ---- the inputs ----

void ScreeningWindow::FillFormulas(int select) {
    const QSignalBlocker blocker(m_formula);
    m_formula->clear();
    for (const SystemChoice& choice : m_model.Choices()) m_formula->addItem(Utf8(choice.name), choice.id);
    const int place = m_model.ChoiceOf(select);
    m_formula->setCurrentIndex(place >= 0 ? place : (m_model.Choices().empty() ? -1 : 0));
    OnFormulaChosen();
}

void ScreeningWindow::FillScopes() {
    // The categories come and go with the board: the choice stays on its name.
    const QString chosen = m_scope->currentText();
    m_scopes = ScreeningScopes(m_services);
    const QSignalBlocker blocker(m_scope);
    m_scope->clear();
    for (const ScreeningScope& scope : m_scopes) m_scope->addItem(Utf8(scope.name));
    m_scope->setCurrentIndex(std::max(0, m_scope->findText(chosen)));
}

void ScreeningWindow::OnFormulaChosen() {
    const int id = m_formula->currentData().toInt();
    ShowParameterRows(m_model.ParameterRows(id, m_services.FormulaValues(id)), m_parameterNames,
                      m_parameters);
    if (m_model.Choices().empty()) SetStatus(std::string(ScreeningModel::kNoFormula), true);
    UpdateButtons();
}

ScreeningInputs ScreeningWindow::Inputs() const {
    ScreeningInputs inputs;
    inputs.formulaId = m_formula->currentData().toInt();
    inputs.values = TypedParameters(this, m_parameters);
    inputs.period = m_period->currentData().toInt();
    inputs.date = TypedText(m_date);
    return inputs;
}

void ScreeningWindow::ShowProblem(const ScreeningProblem& problem) {
    SetStatus(problem.message, true);
    QWidget* field = m_formula;
    if (problem.field == ScreeningField::Parameter && problem.index >= 0 &&
        problem.index < kMaxFormulaParameters)
        field = m_parameters[problem.index];
    if (problem.field == ScreeningField::Date) field = m_date;
    field->setFocus(Qt::OtherFocusReason);
    if (auto* edit = qobject_cast<QLineEdit*>(field)) edit->selectAll();
}

void ScreeningWindow::SetStatus(const std::string& text, bool fault) {
    ShowStatusLine(m_status, text, fault);
}

void ScreeningWindow::UpdateButtons() {
    const ScreeningButtons buttons = m_model.Buttons(!m_table.Empty());
    m_start->setEnabled(buttons.start);
    m_cancel->setEnabled(buttons.cancel);
    m_addSelf->setEnabled(buttons.rows && !SelectedRows().empty());
    m_addAll->setEnabled(buttons.rows);
    m_export->setEnabled(buttons.rows);
    for (QWidget* field : {static_cast<QWidget*>(m_formula), static_cast<QWidget*>(m_period),
                           static_cast<QWidget*>(m_scope), static_cast<QWidget*>(m_date)})
        field->setEnabled(buttons.edit);
    m_sort->setEnabled(buttons.rows);
    for (QLineEdit* edit : m_parameters) edit->setEnabled(buttons.edit);
}

// ---- the screening ----

void ScreeningWindow::OnStart() {
    if (m_model.Running()) return;
    ScreeningCheck check = m_model.Check(Inputs());
    if (!check.plan) return ShowProblem(check.problem);
    FillScopes();
    const int scope = m_scope->currentIndex();
    if (scope < 0 || static_cast<std::size_t>(scope) >= m_scopes.size()) return;
    std::vector<ScreeningGoods> goods =
        ScreeningGoodsOf(m_services, m_scopes[static_cast<std::size_t>(scope)]);
    if (goods.empty()) {
        SetStatus("“" + m_scopes[static_cast<std::size_t>(scope)].name + "”中没有商品", true);
        m_scope->setFocus(Qt::OtherFocusReason);
        return;
    }
    m_job = m_runner->Start(check.plan->request, goods);
    if (m_job == 0) return;
    m_jobGoods = std::move(goods);
    m_jobPlan = std::move(check.plan);
    m_model.SetRunning(true);
    m_progress->setRange(0, static_cast<int>(m_jobGoods.size()));
    m_progress->setValue(0);
    SetStatus("选股中……");
    UpdateButtons();
    m_cancel->setFocus(Qt::OtherFocusReason);
}

void ScreeningWindow::OnCancel() {
    if (!m_model.Running()) return;
    m_runner->Cancel();
    SetStatus("正在取消……");
}

void ScreeningWindow::reject() {
    if (m_model.Running()) return OnCancel();
    QDialog::reject();
}

void ScreeningWindow::closeEvent(QCloseEvent* event) {
    OnCancel();
    done(QDialog::Rejected);
    event->accept();
}

bool ScreeningWindow::event(QEvent* event) {
    auto* message = dynamic_cast<WindowMessageEvent*>(event);
    if (!message) return QDialog::event(event);
    if (message->Message() == WM_SCREEN_PROGRESS) {
        m_progress->setRange(0, static_cast<int>(message->LParam()));
        m_progress->setValue(static_cast<int>(message->WParam()));
    } else if (message->Message() == WM_SCREEN_DONE) {
        std::optional<ScreeningOutcome> outcome = m_runner->Finish(static_cast<int>(message->WParam()));
        if (!outcome) return true;
        m_model.SetRunning(false);
        // A finished screening leaves the bar full; a cancelled one empty.
        m_progress->setRange(0, 1);
        m_progress->setValue(!outcome->cancelled && outcome->result ? 1 : 0);
        ScreeningDone(std::move(*outcome));
        UpdateButtons();
    }
    return true;
}

void ScreeningWindow::ScreeningDone(ScreeningOutcome outcome) {
    m_start->setFocus(Qt::OtherFocusReason);
    if (outcome.cancelled || !outcome.result) return SetStatus("选股已取消");
    if (outcome.result->fault)
        return SetStatus("参数使常数参数超出范围：" + outcome.result->fault->Describe(), true);
    m_table.Set(*m_jobPlan, std::move(m_jobGoods), std::move(*outcome.result));
    m_jobGoods.clear();
    ShowTable({});
    SetStatus(m_table.Summary());
    if (!m_table.Empty()) m_rows->setFocus(Qt::OtherFocusReason);
}

// ---- the table ----

void ScreeningWindow::ShowTable(const std::vector<ScreeningGoods>& keep) {
    const std::vector<std::string> headers = m_table.Headers();
    std::vector<ReportColumn> columns;
    for (std::size_t c = 0; c < headers.size(); ++c)
        columns.push_back({headers[c].c_str(), c == 1 ? 90 : 64});
    const QSignalBlocker blocker(m_rows);
    {
        const QSignalBlocker sortBlocker(m_sort);
        m_sort->clear();
        for (const std::string& header : headers) m_sort->addItem(Utf8(header));
        m_sort->setCurrentIndex(m_table.SortColumn());
    }
    m_rows->setColumnCount(static_cast<int>(columns.size()));
    for (int c = 0; c < static_cast<int>(columns.size()); ++c) {
        std::string title = headers[static_cast<std::size_t>(c)];
        if (c == m_table.SortColumn()) title += m_table.Descending() ? " ↓" : " ↑";
        m_rows->setHorizontalHeaderItem(c, new QTableWidgetItem(Utf8(title)));
    }
    SetReportRowCount(m_rows, m_table.RowCount());
    for (int r = 0; r < m_table.RowCount(); ++r) {
        const std::vector<std::string> texts = m_table.RowTexts(r);
        for (int c = 0; c < static_cast<int>(texts.size()); ++c)
            SetReportCell(m_rows, r, c, texts[static_cast<std::size_t>(c)]);
    }
    WidenReportColumns(m_rows, columns);
    m_rows->clearSelection();
    int current = -1;
    for (int r = 0; r < m_table.RowCount(); ++r) {
        const std::optional<ScreeningGoods> goods = m_table.GoodsOf(r);
        if (std::find(keep.begin(), keep.end(), *goods) == keep.end()) continue;
        m_rows->selectionModel()->select(m_rows->model()->index(r, 0),
                                         QItemSelectionModel::Select | QItemSelectionModel::Rows);
        if (current < 0) current = r;
    }
    if (current < 0 && m_table.RowCount() > 0) {
        current = 0;
        m_rows->selectRow(0);
    }
    if (current >= 0)
        m_rows->selectionModel()->setCurrentIndex(m_rows->model()->index(current, 0),
                                                  QItemSelectionModel::NoUpdate);
}

std::vector<int> ScreeningWindow::SelectedRows() const {
    std::vector<int> rows;
    for (const QModelIndex& index : m_rows->selectionModel()->selectedRows()) rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

void ScreeningWindow::OnHeaderClicked(int column) {
    if (m_table.Empty()) return;
    std::vector<ScreeningGoods> keep;
    for (int row : SelectedRows())
        if (std::optional<ScreeningGoods> goods = m_table.GoodsOf(row)) keep.push_back(*goods);
    m_table.SortBy(column);
    ShowTable(keep);
}

void ScreeningWindow::OpenChart(int row) {
    const std::optional<ScreeningGoods> goods = m_table.GoodsOf(row);
    if (!goods) return;
    if (m_hooks.showChart) m_hooks.showChart(goods->key, m_table.Period());
}

void ScreeningWindow::OnAddSelfSelected() {
    const std::vector<int> rows = SelectedRows();
    if (!rows.empty()) AddToSelfSelected(rows);
}

void ScreeningWindow::OnAddAllSelfSelected() { AddToSelfSelected({}); }

void ScreeningWindow::AddToSelfSelected(const std::vector<int>& rows) {
    if (m_model.Running() || m_table.Empty()) return;
    const std::vector<ScreeningGoods> goods = m_table.GoodsOfRows(rows);
    std::vector<GoodsKey> keys;
    for (const ScreeningGoods& g : goods) keys.push_back(g.key);
    bool saved = true;
    if (m_hooks.addSelfSelected) {
        saved = m_hooks.addSelfSelected(keys);
    } else {
        for (const GoodsKey& key : keys) m_services.AddSelfSelected(key, std::string(kAllGoodsCode));
    }
    const std::string count = FormatInt(static_cast<std::int64_t>(keys.size()));
    const std::string text =
        saved ? "已添加到自选：" + count + " 个品种" : "已添加到自选，但未能保存：" + count + " 个品种";
    SetStatus(text, !saved);
    if (m_hooks.status) m_hooks.status(text);
}

void ScreeningWindow::OnExport() {
    if (m_model.Running() || m_table.Empty()) return;
    const std::optional<std::string> path = ExportFromWindow(this, m_saveDialog, Boxes(), m_table.Export());
    if (!path) return;
    SetStatus("已导出到文件：" + *path);
    if (m_hooks.status) m_hooks.status("已导出到文件：" + *path);
}

bool ScreeningWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_rows && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            OpenChart(m_rows->currentRow());
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace qelt
