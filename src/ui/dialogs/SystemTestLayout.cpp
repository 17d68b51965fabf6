// SystemTestWindow: the window's fields, buttons and the pages of the report and the trades.
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "ui/dialogs/DialogText.h"
#include "ui/dialogs/FormulaInputFields.h"
#include "ui/dialogs/ReportList.h"
#include "ui/dialogs/SystemTestWindow.h"
#include "ui/widgets/PaintedChart.h"

namespace qelt {

const std::vector<ReportColumn>& SystemTestWindow::ReportListColumns() {
    static const std::vector<ReportColumn> columns{{"项目", 110}, {"数值", 90}};
    return columns;
}

const std::vector<ReportColumn>& SystemTestWindow::TradeListColumns() {
    static const std::vector<ReportColumn> columns{{"序号", 40},   {"方向", 40},     {"开仓日期", 84},
                                                   {"开仓价", 70}, {"平仓日期", 84}, {"平仓价", 70},
                                                   {"盈亏", 80}};
    return columns;
}

QPushButton* SystemTestWindow::Button(const char* text, const char* name, void (SystemTestWindow::*slot)()) {
    QPushButton* button = ActionButton(this, text, name);
    connect(button, &QPushButton::clicked, this, slot);
    return button;
}

QWidget* SystemTestWindow::BuildInputs() {
    auto* box = new QWidget(this);
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(0, 0, 0, 0);
    m_goods = new QLabel(box);
    m_goods->setObjectName("goods");
    grid->addWidget(m_goods, 0, 0, 1, 8);

    m_formula = new QComboBox(box);
    m_formula->setObjectName("formula");
    m_formula->setMinimumWidth(200);
    connect(m_formula, &QComboBox::currentIndexChanged, this, &SystemTestWindow::OnFormulaChosen);
    grid->addWidget(FieldCaption(box, "公式(&F)", m_formula), 1, 0);
    grid->addWidget(m_formula, 1, 1, 1, 3);
    m_editFormula = Button("编辑公式(&E)", "editFormula", &SystemTestWindow::OnEditFormula);
    m_addExamples = Button("添加示例系统(&X)", "addExamples", &SystemTestWindow::OnAddExamples);
    grid->addWidget(m_editFormula, 1, 4, 1, 2);
    grid->addWidget(m_addExamples, 1, 6, 1, 2);

    BuildParameterFields(box, grid, 2, m_parameterNames, m_parameters);

    m_period = new QComboBox(box);
    m_period->setObjectName("period");
    for (int period : kSystemPeriods) m_period->addItem(Utf8(SystemPeriodName(period)), period);
    m_capital = InputField(box, "capital", "100000", 90);
    m_lots = InputField(box, "lots", "1", 50);
    m_multiplier = InputField(box, "multiplier", "1", 50);
    m_commission = InputField(box, "commission", "0", 70);
    m_slippage = InputField(box, "slippage", "0", 60);
    auto* costs = new QHBoxLayout;
    const std::pair<const char*, QWidget*> captions[] = {
        {"周期(&D)", m_period},     {"初始资金", m_capital},    {"手数", m_lots},
        {"合约乘数", m_multiplier}, {"手续费率", m_commission}, {"滑点", m_slippage}};
    for (const auto& [text, field] : captions) {
        costs->addWidget(FieldCaption(box, text, field));
        costs->addWidget(field);
    }
    costs->addStretch();
    grid->addLayout(costs, 4, 0, 1, 8);
    return box;
}

QWidget* SystemTestWindow::BuildActions() {
    m_start = Button("开始(&S)", "start", &SystemTestWindow::OnStart);
    m_cancel = Button("取消(&C)", "cancel", &SystemTestWindow::OnCancel);
    m_showOnChart = Button("在图上显示(&M)", "showOnChart", &SystemTestWindow::OnShowOnChart);
    m_export = Button("导出(&O)", "export", &SystemTestWindow::OnExport);
    m_print = Button("打印(&P)", "print", &SystemTestWindow::OnPrint);
    m_picture = Button("导出图片(&I)", "picture", &SystemTestWindow::OnPicture);
    return ActionsWithProgress(this, {m_start, m_cancel, m_showOnChart, m_export, m_print, m_picture},
                               m_progress, m_status);
}

QWidget* SystemTestWindow::BuildReportPage() {
    auto* page = new QWidget(this);
    auto* row = new QHBoxLayout(page);
    m_report = MakeReportList(page, ReportListColumns());
    m_report->setObjectName("report");
    m_report->setFixedWidth(230);
    row->addWidget(m_report);
    const CQeltCFG& settings = m_services.Settings();
    m_equity = new PaintedChart(
        [this](Canvas& canvas, Size client, const DisplayScheme& scheme) {
            PaintEquityCurve(canvas, client, m_result ? EquityCurveOf(*m_result) : EquityCurve{}, scheme);
        },
        settings.ScreenScheme(), settings.PrintScheme(), page);
    m_equity->setObjectName("equity");
    m_equity->setMinimumSize(300, 200);
    row->addWidget(m_equity, 1);
    return page;
}

QWidget* SystemTestWindow::BuildTradesPage() {
    auto* page = new QWidget(this);
    auto* layout = new QVBoxLayout(page);
    m_trades = MakeReportList(page, TradeListColumns());
    m_trades->setObjectName("trades");
    m_trades->setSelectionMode(QAbstractItemView::SingleSelection);
    m_trades->installEventFilter(this);
    connect(m_trades, &QTableWidget::cellDoubleClicked, this, [this](int row, int) { GoToTrade(row); });
    layout->addWidget(m_trades);
    return page;
}

}  // namespace qelt
