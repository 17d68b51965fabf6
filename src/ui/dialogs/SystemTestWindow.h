#pragma once
/// 交易评测: a trading system tested on the goods on show. Above, the inputs (the formula,
/// among those that define a trading system, with 编辑公式 and 添加示例系统; its parameters;
/// the period, capital, lots, multiplier, commission rate and slippage), 开始 and 取消 with a
/// progress bar, 在图上显示, 导出, 打印 and 导出图片; below, three pages: 评测报告 (the report
/// and the equity curve with its drawdown), 交易明细 (Enter or a double click on a trade:
/// the K-line chart puts its cursor on the entry bar) and 参数优化 (one to three parameters
/// over FROM..TO in STEP, 开始优化, the sortable table, 选用, and for two parameters the heat
/// map of net profit: a click or the arrow keys pick a cell, Enter is 选用).
///
/// Modeless; the test and the optimisation run on the SystemTestRunner's thread and come
/// back as posted events, so the window and the main window stay usable; 取消 (or Esc while
/// one runs) stops it and leaves no partial table. Every action has its key: the buttons'
/// Alt letters, Tab through the fields, Alt+1..3 for the pages. The rules are
/// SystemTestModel's, the texts SystemTestReport's and OptimisationTable's.
#include <QDialog>
#include <array>
#include <functional>
#include <memory>
#include <optional>

#include "app/OptimisationTable.h"
#include "app/SystemGoods.h"
#include "app/SystemTestModel.h"
#include "app/SystemTestReport.h"
#include "app/SystemTestRunner.h"
#include "views/ViewServices.h"

class QComboBox;
class QLayout;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTabWidget;
class QTableView;
class QTableWidget;

namespace qelt {

class MessageBoxes;
class OptimisationItemModel;
class PaintedChart;
class QtPoster;
struct ReportColumn;
class SaveFileDialog;

/// What the window asks of the application.
struct SystemTestHooks {
    /// The K-line chart of `goods` in `period` puts its cursor on the bar of the test's bar
    /// `bar` dated `date`.
    std::function<void(const GoodsKey& goods, int period, int bar, int date)> showBar;
    /// 在图上显示: the marks go on the chart, which is brought up.
    std::function<void(std::shared_ptr<const TradeMarks>)> showMarks;
    /// 编辑公式: the formula editor for formula `id`; the id it saved, or 0.
    std::function<int(QWidget* owner, int id)> editFormula;
    /// A line for the main window's status bar ("已导出到文件：...").
    std::function<void(const std::string&)> status;
};

class SystemTestWindow : public QDialog {
    Q_OBJECT
  public:
    SystemTestWindow(ViewServices& services, FormulaLibrary& library, QtPoster& poster, SystemTestHooks hooks,
                     QWidget* parent = nullptr);
    ~SystemTestWindow() override;

    /// The goods on show and the formulas as they now are (the window calls it when shown).
    void Refresh();

    const SystemTestModel& Model() const { return m_model; }
    const std::optional<SystemTestResult>& Result() const { return m_result; }
    const OptimisationTable& Table() const { return m_table; }
    /// The file dialog of 导出 and 导出图片 and the message boxes (tests put in their own).
    void SetSaveDialog(SaveFileDialog* dialog) { m_saveDialog = dialog; }
    void SetMessageBoxes(MessageBoxes* boxes) { m_boxes = boxes; }
    /// The runner's messages go through `poster` (tests relay them to this window's own);
    /// only while nothing runs.
    void SetRunnerPoster(Poster& poster, int threads = 0);
    WindowId Window() const { return m_window; }

    /// Esc: 取消 while a test or an optimisation runs, otherwise the window goes.
    void reject() override;

  protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    /// The window's close button: what runs is cancelled, and the window goes.
    void closeEvent(QCloseEvent* event) override;

  private:
    // ---- building (SystemTestLayout.cpp) ----
    static const std::vector<ReportColumn>& ReportListColumns();
    static const std::vector<ReportColumn>& TradeListColumns();
    QWidget* BuildInputs();
    QWidget* BuildActions();
    QWidget* BuildReportPage();
    QWidget* BuildTradesPage();
    QPushButton* Button(const char* text, const char* name, void (SystemTestWindow::*slot)());

    // ---- the test (SystemTestWindow.cpp; what a result is put to: SystemTestActions.cpp) ----
    void FillFormulas(int select);
    void OnFormulaChosen();
    SystemInputs Inputs() const;
    void ShowProblem(const SystemInputProblem& problem);
    QWidget* FieldOf(SystemField field, int index) const;
    /// The goods on show with its bars of the chosen period; nothing (and the status says why)
    /// when it has none.
    std::optional<SystemGoods> GoodsToTest();
    void OnStart();
    void OnCancel();
    void TestDone(SystemJobOutcome outcome);
    void ShowResult();
    void GoToTrade(int row);
    void OnShowOnChart();
    void OnExport();
    void OnPrint();
    void OnPicture();
    void OnEditFormula();
    void OnAddExamples();
    PaintedChart* ChartOnShow() const;
    void UpdateButtons();
    void SetStatus(const std::string& text, bool fault = false);
    MessageBoxes& Boxes() const;

    // ---- 参数优化 (SystemTestOptimise.cpp) ----
    QWidget* BuildOptimisePage();
    QLayout* BuildRangeRows(QWidget* page);
    QLayout* BuildOptimiseActions(QWidget* page);
    QLayout* BuildOptimiseResults(QWidget* page);
    void FillRangeRows();
    std::vector<RangeInputs> Ranges() const;
    void UpdateCombinations();
    void OnOptimise();
    void OptimisationDone(SystemJobOutcome outcome);
    /// The table again after a change, display row `select` selected (-1: none).
    void ShowTable(int select);
    int SelectedRow() const;
    void OnSortChosen(int index);
    void OnHeaderClicked(int column);
    void SortKeepingSelection(const std::function<void()>& sort);
    void OnApply();
    void OnHeatClicked(QPoint at);
    void OnHeatKey(int key);

    ViewServices& m_services;
    FormulaLibrary& m_library;
    QtPoster& m_poster;
    SystemTestHooks m_hooks;
    SystemTestModel m_model;
    std::uint64_t m_revision = 0;  ///< the library's, when the formulas were last listed
    WindowId m_window = kNoWindow;
    std::unique_ptr<SystemTestRunner> m_runner;
    int m_job = 0;
    /// What the job under way was started on, and with.
    std::optional<SystemGoods> m_jobGoods;
    std::optional<SystemTestPlan> m_jobPlan;
    std::vector<ParameterRange> m_jobRanges;
    std::optional<SystemTestResult> m_result;
    OptimisationTable m_table;
    SaveFileDialog* m_saveDialog = nullptr;
    MessageBoxes* m_boxes = nullptr;

    QLabel* m_goods = nullptr;
    QComboBox* m_formula = nullptr;
    QPushButton* m_editFormula = nullptr;
    QPushButton* m_addExamples = nullptr;
    std::array<QLabel*, kMaxFormulaParameters> m_parameterNames{};
    std::array<QLineEdit*, kMaxFormulaParameters> m_parameters{};
    QComboBox* m_period = nullptr;
    QLineEdit* m_capital = nullptr;
    QLineEdit* m_lots = nullptr;
    QLineEdit* m_multiplier = nullptr;
    QLineEdit* m_commission = nullptr;
    QLineEdit* m_slippage = nullptr;
    QPushButton* m_start = nullptr;
    QPushButton* m_cancel = nullptr;
    QPushButton* m_showOnChart = nullptr;
    QPushButton* m_export = nullptr;
    QPushButton* m_print = nullptr;
    QPushButton* m_picture = nullptr;
    QProgressBar* m_progress = nullptr;
    QLabel* m_status = nullptr;
    QTabWidget* m_pages = nullptr;
    QTableWidget* m_report = nullptr;
    PaintedChart* m_equity = nullptr;
    QTableWidget* m_trades = nullptr;

    std::array<QComboBox*, kMaxOptimisedParameters> m_rangeParameters{};
    std::array<std::array<QLineEdit*, 3>, kMaxOptimisedParameters> m_rangeFields{};  ///< FROM, TO, STEP
    QLabel* m_combinations = nullptr;
    QPushButton* m_optimise = nullptr;
    QComboBox* m_sort = nullptr;
    QPushButton* m_apply = nullptr;
    QTableView* m_optTable = nullptr;
    OptimisationItemModel* m_optModel = nullptr;
    PaintedChart* m_heatMap = nullptr;
};

}  // namespace qelt
