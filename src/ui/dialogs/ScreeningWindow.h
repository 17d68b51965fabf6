#pragma once
/// 条件选股 (工具 → 条件选股): a formula used as a condition on many goods at once. Above, the
/// inputs (the formula, any of the user's that compiles; its parameters; the period; the
/// goods: 全部合约, 自选 or a category of the board; the date, empty for the newest bar),
/// 开始 and 取消 with a progress bar, 加入自选 (the rows selected), 全部加入自选 and 导出;
/// below, the goods selected, sortable by a click on any column's header (or its choice in
/// 排序), and the closing line "共 N 个品种，M 个满足条件，K 个无数据". Enter or a double click on a row
/// brings up that goods' K-line chart in the period screened.
///
/// Modeless; the screening runs on the ScreeningRunner's thread and comes back as posted
/// events, so the window and the main window stay usable; 取消 (or Esc while it runs) stops
/// it and leaves the table as it was. Every action has its key: the buttons' and captions'
/// Alt letters, Tab through the fields and into the table. The rules are ScreeningModel's,
/// the table's ScreeningTable's.
#include <QDialog>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/ScreeningModel.h"
#include "app/ScreeningRunner.h"
#include "app/ScreeningTable.h"
#include "ui/dialogs/FormulaInputFields.h"
#include "views/ViewServices.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTableWidget;

namespace qelt {

class MessageBoxes;
class QtPoster;
class SaveFileDialog;

/// What the window asks of the application.
struct ScreeningHooks {
    /// The K-line chart of `goods` in `period` (KLinePeriod) comes up in the main window.
    std::function<void(const GoodsKey& goods, int period)> showChart;
    /// 加入自选: the goods go on the self-selected list; false when the list could not be
    /// saved (the goods stay on it for the run). Without it the services' list takes them.
    std::function<bool(const std::vector<GoodsKey>& goods)> addSelfSelected;
    /// A line for the main window's status bar.
    std::function<void(const std::string&)> status;
};

class ScreeningWindow : public QDialog {
    Q_OBJECT
  public:
    /// `series` gives each goods' day bars on the runner's thread.
    ScreeningWindow(ViewServices& services, const FormulaLibrary& library, QtPoster& poster,
                    DaySeriesSource series, ScreeningHooks hooks, QWidget* parent = nullptr);
    ~ScreeningWindow() override;

    /// The formulas and the board's categories as they now are (the window calls it when shown).
    void Refresh();

    const ScreeningModel& Model() const { return m_model; }
    const ScreeningTable& Table() const { return m_table; }
    /// The file dialog of 导出 and the message boxes (tests put in their own).
    void SetSaveDialog(SaveFileDialog* dialog) { m_saveDialog = dialog; }
    void SetMessageBoxes(MessageBoxes* boxes) { m_boxes = boxes; }
    /// The runner's messages go through `poster` (tests relay them to this window's own);
    /// only while nothing runs.
    void SetRunnerPoster(Poster& poster, int threads = 0);
    WindowId Window() const { return m_window; }

    /// Esc: 取消 while a screening runs, otherwise the window goes.
    void reject() override;

  protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    // ---- building (ScreeningLayout.cpp) ----
    QWidget* BuildInputs();
    QWidget* BuildActions();
    QWidget* BuildResults();
    QPushButton* Button(const char* text, const char* name, void (ScreeningWindow::*slot)());

    // ---- the screening and its result (ScreeningWindow.cpp) ----
    void FillFormulas(int select);
    void FillScopes();
    void OnFormulaChosen();
    ScreeningInputs Inputs() const;
    void ShowProblem(const ScreeningProblem& problem);
    void OnStart();
    void OnCancel();
    void ScreeningDone(ScreeningOutcome outcome);
    /// The table again after a change, the goods `keep` selected (none: the first row).
    void ShowTable(const std::vector<ScreeningGoods>& keep);
    std::vector<int> SelectedRows() const;
    void OnHeaderClicked(int column);
    void OpenChart(int row);
    /// 加入自选: the rows selected; 全部加入自选: every row.
    void OnAddSelfSelected();
    void OnAddAllSelfSelected();
    void AddToSelfSelected(const std::vector<int>& rows);
    void OnExport();
    void UpdateButtons();
    void SetStatus(const std::string& text, bool fault = false);
    MessageBoxes& Boxes() const;

    ViewServices& m_services;
    const FormulaLibrary& m_library;
    QtPoster& m_poster;
    DaySeriesSource m_series;
    ScreeningHooks m_hooks;
    ScreeningModel m_model;
    std::uint64_t m_revision = 0;  ///< the library's, when the formulas were last listed
    WindowId m_window = kNoWindow;
    std::unique_ptr<ScreeningRunner> m_runner;
    int m_job = 0;
    /// What the screening under way was started with.
    std::optional<ScreeningPlan> m_jobPlan;
    std::vector<ScreeningGoods> m_jobGoods;
    std::vector<ScreeningScope> m_scopes;
    ScreeningTable m_table;
    SaveFileDialog* m_saveDialog = nullptr;
    MessageBoxes* m_boxes = nullptr;

    QComboBox* m_formula = nullptr;
    ParameterCaptions m_parameterNames{};
    ParameterEdits m_parameters{};
    QComboBox* m_period = nullptr;
    QComboBox* m_scope = nullptr;
    QLineEdit* m_date = nullptr;
    QPushButton* m_start = nullptr;
    QPushButton* m_cancel = nullptr;
    QPushButton* m_addSelf = nullptr;
    QPushButton* m_addAll = nullptr;
    QPushButton* m_export = nullptr;
    QProgressBar* m_progress = nullptr;
    QLabel* m_status = nullptr;
    QComboBox* m_sort = nullptr;  ///< 排序: the columns, as the headers name them
    QTableWidget* m_rows = nullptr;
};

}  // namespace qelt
