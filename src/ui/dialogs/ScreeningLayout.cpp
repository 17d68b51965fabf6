// ScreeningWindow: the window's fields, buttons and the table of the goods selected.
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "ui/dialogs/DialogText.h"
#include "ui/dialogs/ReportList.h"
#include "ui/dialogs/ScreeningWindow.h"

namespace qelt {

QPushButton* ScreeningWindow::Button(const char* text, const char* name, void (ScreeningWindow::*slot)()) {
    QPushButton* button = ActionButton(this, text, name);
    connect(button, &QPushButton::clicked, this, slot);
    return button;
}

QWidget* ScreeningWindow::BuildInputs() {
    auto* box = new QWidget(this);
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(0, 0, 0, 0);
    m_formula = new QComboBox(box);
    m_formula->setObjectName("formula");
    m_formula->setMinimumWidth(200);
    connect(m_formula, &QComboBox::currentIndexChanged, this, &ScreeningWindow::OnFormulaChosen);
    grid->addWidget(FieldCaption(box, "公式(&F)", m_formula), 0, 0);
    grid->addWidget(m_formula, 0, 1, 1, 3);
    BuildParameterFields(box, grid, 1, m_parameterNames, m_parameters);

    m_period = new QComboBox(box);
    m_period->setObjectName("period");
    for (int period : kSystemPeriods) m_period->addItem(Utf8(SystemPeriodName(period)), period);
    m_scope = new QComboBox(box);
    m_scope->setObjectName("scope");
    m_scope->setMinimumWidth(120);
    m_date = InputField(box, "date", "", 90);
    m_date->setPlaceholderText(QStringLiteral("最新"));
    m_date->setToolTip(QStringLiteral("YYYYMMDD，留空为每个品种最新的K线"));
    auto* row = new QHBoxLayout;
    const std::pair<const char*, QWidget*> captions[] = {
        {"周期(&D)", m_period}, {"范围(&R)", m_scope}, {"日期(&T)", m_date}};
    for (const auto& [text, field] : captions) {
        row->addWidget(FieldCaption(box, text, field));
        row->addWidget(field);
    }
    row->addStretch();
    grid->addLayout(row, 3, 0, 1, 8);
    return box;
}

QWidget* ScreeningWindow::BuildActions() {
    m_start = Button("开始(&S)", "start", &ScreeningWindow::OnStart);
    m_cancel = Button("取消(&C)", "cancel", &ScreeningWindow::OnCancel);
    m_addSelf = Button("加入自选(&A)", "addSelfSelected", &ScreeningWindow::OnAddSelfSelected);
    m_addAll = Button("全部加入自选(&L)", "addAllSelfSelected", &ScreeningWindow::OnAddAllSelfSelected);
    m_export = Button("导出(&O)", "export", &ScreeningWindow::OnExport);
    return ActionsWithProgress(this, {m_start, m_cancel, m_addSelf, m_addAll, m_export}, m_progress,
                               m_status);
}

QWidget* ScreeningWindow::BuildResults() {
    auto* box = new QWidget(this);
    auto* lines = new QVBoxLayout(box);
    lines->setContentsMargins(0, 0, 0, 0);
    // The keyboard's way to what a header click does: choosing a column (again) sorts by it.
    m_sort = new QComboBox(box);
    m_sort->setObjectName("sort");
    m_sort->setMinimumWidth(100);
    connect(m_sort, &QComboBox::activated, this, &ScreeningWindow::OnHeaderClicked);
    auto* sortRow = new QHBoxLayout;
    sortRow->addWidget(FieldCaption(box, "排序(&B)", m_sort));
    sortRow->addWidget(m_sort);
    sortRow->addStretch();
    lines->addLayout(sortRow);

    m_rows = MakeReportList(box, {});
    m_rows->setObjectName("rows");
    m_rows->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_rows->installEventFilter(this);
    m_rows->horizontalHeader()->setSectionsClickable(true);
    m_rows->horizontalHeader()->setToolTip(QStringLiteral("点击列标题排序，再点一次反序"));
    connect(m_rows->horizontalHeader(), &QHeaderView::sectionClicked, this,
            &ScreeningWindow::OnHeaderClicked);
    connect(m_rows, &QTableWidget::cellDoubleClicked, this, [this](int row, int) { OpenChart(row); });
    connect(m_rows, &QTableWidget::itemSelectionChanged, this, &ScreeningWindow::UpdateButtons);
    lines->addWidget(m_rows, 1);
    return box;
}

}  // namespace qelt
