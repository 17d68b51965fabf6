#include "ui/dialogs/SystemTestWindow.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/ExampleSystems.h"
#include "ui/QtPoster.h"
#include "ui/dialogs/DialogText.h"
#include "ui/dialogs/FormulaInputFields.h"
#include "ui/dialogs/MessageBoxes.h"
#include "ui/dialogs/ReportList.h"
#include "ui/widgets/PaintedChart.h"

namespace qelt {
SystemTestWindow::SystemTestWindow(ViewServices& services, FormulaLibrary& library, QtPoster& poster,
                                   SystemTestHooks hooks, QWidget* parent)
    : QDialog(parent),
      m_services(services),
      m_library(library),
      m_poster(poster),
      m_hooks(std::move(hooks)),
      m_model(library) {
    setObjectName("systemTestWindow");
    setWindowTitle(Utf8(SystemTestModel::kCaption));
    setModal(false);
    m_window = m_poster.Register(this);
    m_runner = std::make_unique<SystemTestRunner>(m_poster, m_window);

    m_pages = new QTabWidget(this);
    m_pages->setObjectName("pages");
    m_pages->addTab(BuildReportPage(), QStringLiteral("评测报告(&1)"));
    m_pages->addTab(BuildTradesPage(), QStringLiteral("交易明细(&2)"));
    m_pages->addTab(BuildOptimisePage(), QStringLiteral("参数优化(&3)"));
    connect(m_pages, &QTabWidget::currentChanged, this, &SystemTestWindow::UpdateButtons);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(BuildInputs());
    layout->addWidget(BuildActions());
    layout->addWidget(m_pages, 1);
    resize(900, 660);
    m_revision = m_library.Revision();
    FillFormulas(0);
    Refresh();
}

SystemTestWindow::~SystemTestWindow() {
    // The job's thread ends (cancelled) before the window stops taking its messages.
    m_runner.reset();
    m_poster.Unregister(m_window);
}

void SystemTestWindow::SetRunnerPoster(Poster& poster, int threads) {
    if (m_model.Work() == SystemWork::None)
        m_runner = std::make_unique<SystemTestRunner>(poster, m_window, threads);
}

MessageBoxes& SystemTestWindow::Boxes() const { return m_boxes ? *m_boxes : DefaultMessageBoxes(); }

void SystemTestWindow::showEvent(QShowEvent* event) {
    Refresh();
    QDialog::showEvent(event);
}

void SystemTestWindow::Refresh() {
    if (m_library.Revision() != m_revision) {
        m_revision = m_library.Revision();
        const int chosen = m_formula->currentData().toInt();
        m_model.Reload();
        FillFormulas(chosen);
    }
    const CQeltGoods goods = m_services.CurrentGoods();
    const std::string name = goods.name.empty() ? goods.goods_no + goods.due_date : goods.name;
    m_goods->setText(Utf8("商品：" + (name.empty() ? std::string("（未选择商品）") : name)));
    UpdateButtons();
}

// ---- the formula and its parameters ----

void SystemTestWindow::FillFormulas(int select) {
    const QSignalBlocker blocker(m_formula);
    m_formula->clear();
    for (const SystemChoice& choice : m_model.Choices()) m_formula->addItem(Utf8(choice.name), choice.id);
    const int place = m_model.ChoiceOf(select);
    m_formula->setCurrentIndex(place >= 0 ? place : (m_model.Choices().empty() ? -1 : 0));
    m_addExamples->setEnabled(!MissingExampleSystems(m_library).empty());
    OnFormulaChosen();
}

void SystemTestWindow::OnFormulaChosen() {
    const int id = m_formula->currentData().toInt();
    const std::vector<FormulaParamRow> rows = m_model.ParameterRows(id, m_services.FormulaValues(id));
    ShowParameterRows(rows, m_parameterNames, m_parameters);
    FillRangeRows();
    if (m_model.Choices().empty()) SetStatus(std::string(SystemTestModel::kNoSystem), true);
    UpdateButtons();
}

SystemInputs SystemTestWindow::Inputs() const {
    SystemInputs inputs;
    inputs.formulaId = m_formula->currentData().toInt();
    inputs.values = TypedParameters(this, m_parameters);
    inputs.period = m_period->currentData().toInt();
    inputs.capital = TypedText(m_capital);
    inputs.lots = TypedText(m_lots);
    inputs.multiplier = TypedText(m_multiplier);
    inputs.commission = TypedText(m_commission);
    inputs.slippage = TypedText(m_slippage);
    return inputs;
}

QWidget* SystemTestWindow::FieldOf(SystemField field, int index) const {
    auto inRange = [index](int size) { return index >= 0 && index < size; };
    switch (field) {
        case SystemField::Formula:
            return m_formula;
        case SystemField::Parameter:
            if (inRange(kMaxFormulaParameters)) return m_parameters[index];
            return m_formula;
        case SystemField::Capital:
            return m_capital;
        case SystemField::Lots:
            return m_lots;
        case SystemField::Multiplier:
            return m_multiplier;
        case SystemField::Commission:
            return m_commission;
        case SystemField::Slippage:
            return m_slippage;
        case SystemField::RangeParameter:
            return m_rangeParameters[inRange(kMaxOptimisedParameters) ? index : 0];
        case SystemField::RangeFrom:
        case SystemField::RangeTo:
        case SystemField::RangeStep: {
            const int part = field == SystemField::RangeFrom ? 0 : field == SystemField::RangeTo ? 1 : 2;
            return m_rangeFields[inRange(kMaxOptimisedParameters) ? index : 0][part];
        }
    }
    return m_formula;
}

void SystemTestWindow::ShowProblem(const SystemInputProblem& problem) {
    SetStatus(problem.message, true);
    QWidget* field = FieldOf(problem.field, problem.index);
    if (field->parentWidget() && m_pages->isAncestorOf(field)) m_pages->setCurrentIndex(2);
    field->setFocus(Qt::OtherFocusReason);
    if (auto* edit = qobject_cast<QLineEdit*>(field)) edit->selectAll();
}

void SystemTestWindow::SetStatus(const std::string& text, bool fault) {
    ShowStatusLine(m_status, text, fault);
}

void SystemTestWindow::UpdateButtons() {
    const SystemButtons buttons = m_model.Buttons(m_result.has_value(), SelectedRow() >= 0);
    m_start->setEnabled(buttons.start);
    m_optimise->setEnabled(buttons.optimise);
    m_cancel->setEnabled(buttons.cancel);
    m_showOnChart->setEnabled(buttons.result);
    m_export->setEnabled(buttons.result);
    // The chart of the page on show: the equity curve, or on 参数优化 the heat map.
    m_print->setEnabled(m_model.Work() == SystemWork::None && ChartOnShow() != nullptr);
    m_picture->setEnabled(m_print->isEnabled());
    m_apply->setEnabled(buttons.apply);
    m_editFormula->setEnabled(buttons.edit && !m_model.Choices().empty());
    m_formula->setEnabled(buttons.edit);
}

// ---- the test ----

std::optional<SystemGoods> SystemTestWindow::GoodsToTest() {
    SystemGoods goods = GoodsForSystemTest(m_services, m_period->currentData().toInt());
    m_goods->setText(
        Utf8("商品：" + (goods.name.empty() ? goods.key.goodsNo + goods.key.dueDate : goods.name)));
    if (goods.bars.empty()) {
        SetStatus("没有K线数据：请先选中一个有K线的商品", true);
        return std::nullopt;
    }
    return goods;
}

void SystemTestWindow::OnStart() {
    if (m_model.Work() != SystemWork::None) return;
    SystemCheck check = m_model.Check(Inputs());
    if (!check.plan) return ShowProblem(check.problem);
    std::optional<SystemGoods> goods = GoodsToTest();
    if (!goods) return;
    m_job = m_runner->StartTest(check.plan->system, check.plan->values, check.plan->costs, goods->bars);
    if (m_job == 0) return;
    m_jobGoods = std::move(goods);
    m_jobPlan = std::move(check.plan);
    m_model.SetWork(SystemWork::Testing);
    m_progress->setRange(0, 0);  // busy: a test has no steps to count
    SetStatus("评测中……");
    UpdateButtons();
}

void SystemTestWindow::OnCancel() {
    if (m_model.Work() == SystemWork::None) return;
    m_runner->Cancel();
    SetStatus("正在取消……");
}

void SystemTestWindow::reject() {
    if (m_model.Work() != SystemWork::None) return OnCancel();
    QDialog::reject();
}

void SystemTestWindow::closeEvent(QCloseEvent* event) {
    OnCancel();
    done(QDialog::Rejected);
    event->accept();
}

bool SystemTestWindow::event(QEvent* event) {
    auto* message = dynamic_cast<WindowMessageEvent*>(event);
    if (!message) return QDialog::event(event);
    if (message->Message() == WM_SYSTEM_PROGRESS) {
        m_progress->setRange(0, static_cast<int>(message->LParam()));
        m_progress->setValue(static_cast<int>(message->WParam()));
    } else if (message->Message() == WM_SYSTEM_DONE) {
        std::optional<SystemJobOutcome> outcome = m_runner->Finish(static_cast<int>(message->WParam()));
        if (!outcome) return true;
        const SystemWork work = m_model.Work();
        m_model.SetWork(SystemWork::None);
        m_progress->setRange(0, 1);
        m_progress->setValue(0);
        if (work == SystemWork::Testing) TestDone(std::move(*outcome));
        if (work == SystemWork::Optimising) OptimisationDone(std::move(*outcome));
        UpdateButtons();
    }
    return true;
}

void SystemTestWindow::TestDone(SystemJobOutcome outcome) {
    if (outcome.cancelled || !outcome.test) return SetStatus("评测已取消");
    if (outcome.test->fault)
        return SetStatus("参数使常数参数超出范围：" + outcome.test->fault->Describe(), true);
    SystemTestResult result;
    result.goods = m_jobGoods->key;
    result.goodsName = m_jobGoods->name;
    result.formulaId = m_jobPlan->formulaId;
    result.formulaName = m_jobPlan->formulaName;
    result.parameterNames = m_jobPlan->parameterNames;
    result.values = m_jobPlan->values;
    result.costs = m_jobPlan->costs;
    result.period = m_jobPlan->period;
    result.dates = ReadSystemPrices(m_jobGoods->bars).date;
    result.result = std::move(outcome.test->result);
    m_result = std::move(result);
    ShowResult();
    // Marks on show follow the system under test.
    if (m_services.ChartTradeMarks() && m_hooks.showMarks) m_hooks.showMarks(TradeMarksOf(*m_result));
}

void SystemTestWindow::ShowResult() {
    std::vector<std::array<std::string, 2>> report;
    for (const SystemReportRow& row : SystemReportRows(m_result->result.report))
        report.push_back({row.caption, row.value});
    FillReportList(m_report, ReportListColumns(), report);
    const std::vector<SystemTradeRow> trades = SystemTradeRows(m_result->result.trades);
    FillReportList(m_trades, TradeListColumns(), trades);
    if (!trades.empty()) m_trades->selectRow(0);
    m_equity->update();
    SetStatus(SystemTestSummary(*m_result));
}

bool SystemTestWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
        if (enter && watched == m_trades) {
            GoToTrade(m_trades->currentRow());
            return true;
        }
        if (enter && watched == m_optTable) {
            OnApply();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace qelt
