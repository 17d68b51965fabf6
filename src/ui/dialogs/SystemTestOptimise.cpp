// SystemTestWindow: the page 参数优化, its table and its heat map.
#include <QAbstractTableModel>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

#include "common/Numbers.h"
#include "formula/FormulaNumbers.h"
#include "ui/dialogs/DialogText.h"
#include "ui/dialogs/SystemTestWindow.h"
#include "ui/widgets/PaintedChart.h"

namespace qelt {

/// The table's rows read from the OptimisationTable as the view asks for them: a hundred
/// thousand combinations cost no widget each.
class OptimisationItemModel : public QAbstractTableModel {
  public:
    OptimisationItemModel(const OptimisationTable& table, QObject* parent)
        : QAbstractTableModel(parent), m_table(table) {}
    void Reset() {
        beginResetModel();
        m_headers = m_table.Headers();
        endResetModel();
    }
    int rowCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : m_table.RowCount();
    }
    int columnCount(const QModelIndex& parent) const override {
        return parent.isValid() || m_table.Empty() ? 0 : m_table.ColumnCount();
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (role == Qt::TextAlignmentRole) return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
        if (role != Qt::DisplayRole) return {};
        const std::vector<std::string> texts = m_table.RowTexts(index.row());
        return index.column() < static_cast<int>(texts.size())
                   ? Utf8(texts[static_cast<std::size_t>(index.column())])
                   : QVariant();
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
        return section < static_cast<int>(m_headers.size())
                   ? Utf8(m_headers[static_cast<std::size_t>(section)])
                   : QVariant();
    }

  private:
    const OptimisationTable& m_table;
    std::vector<std::string> m_headers;
};

QLayout* SystemTestWindow::BuildRangeRows(QWidget* page) {
    auto* rows = new QGridLayout;
    const char* parts[] = {"起始", "终止", "步长"};
    const char* names[] = {"optFrom", "optTo", "optStep"};
    for (int r = 0; r < kMaxOptimisedParameters; ++r) {
        m_rangeParameters[r] = new QComboBox(page);
        m_rangeParameters[r]->setObjectName(QString("optParam%1").arg(r));
        m_rangeParameters[r]->setMinimumWidth(110);
        connect(m_rangeParameters[r], &QComboBox::currentIndexChanged, this,
                &SystemTestWindow::UpdateCombinations);
        rows->addWidget(new QLabel(QString::fromUtf8("参数%1").arg(r + 1), page), r, 0);
        rows->addWidget(m_rangeParameters[r], r, 1);
        for (int p = 0; p < 3; ++p) {
            auto* edit = new QLineEdit(page);
            edit->setObjectName(QString("%1%2").arg(names[p]).arg(r));
            edit->setFixedWidth(70);
            connect(edit, &QLineEdit::textChanged, this, &SystemTestWindow::UpdateCombinations);
            m_rangeFields[r][p] = edit;
            rows->addWidget(new QLabel(QString::fromUtf8(parts[p]), page), r, 2 + 2 * p);
            rows->addWidget(edit, r, 3 + 2 * p);
        }
    }
    rows->setColumnStretch(8, 1);
    return rows;
}

QLayout* SystemTestWindow::BuildOptimiseActions(QWidget* page) {
    m_optimise = Button("开始优化(&Z)", "optimise", &SystemTestWindow::OnOptimise);
    m_combinations = new QLabel(page);
    m_combinations->setObjectName("combinations");
    m_sort = new QComboBox(page);
    m_sort->setObjectName("sort");
    m_sort->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    connect(m_sort, &QComboBox::activated, this, &SystemTestWindow::OnSortChosen);
    m_apply = Button("选用(&U)", "apply", &SystemTestWindow::OnApply);
    auto* actions = new QHBoxLayout;
    actions->addWidget(m_optimise);
    actions->addWidget(m_combinations, 1);
    auto* sortCaption = new QLabel(QStringLiteral("排序(&R)"), page);
    sortCaption->setBuddy(m_sort);
    actions->addWidget(sortCaption);
    actions->addWidget(m_sort);
    actions->addWidget(m_apply);
    return actions;
}

QLayout* SystemTestWindow::BuildOptimiseResults(QWidget* page) {
    m_optTable = new QTableView(page);
    m_optTable->setObjectName("optTable");
    m_optModel = new OptimisationItemModel(m_table, m_optTable);
    m_optTable->setModel(m_optModel);
    m_optTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_optTable->setSelectionMode(QAbstractItemView::SingleSelection);
    m_optTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_optTable->verticalHeader()->hide();
    m_optTable->verticalHeader()->setDefaultSectionSize(20);
    m_optTable->horizontalHeader()->setDefaultSectionSize(66);
    m_optTable->horizontalHeader()->setSortIndicatorShown(true);
    m_optTable->horizontalHeader()->setSectionsClickable(true);
    m_optTable->installEventFilter(this);
    connect(m_optTable->horizontalHeader(), &QHeaderView::sectionClicked, this,
            &SystemTestWindow::OnHeaderClicked);
    connect(m_optTable, &QTableView::doubleClicked, this, [this](const QModelIndex&) { OnApply(); });
    connect(m_optTable->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        m_heatMap->update();
        UpdateButtons();
    });

    const CQeltCFG& settings = m_services.Settings();
    m_heatMap = new PaintedChart(
        [this](Canvas& canvas, Size client, const DisplayScheme& scheme) {
            PaintHeatMap(canvas, client, m_table.HeatMapOf(SelectedRow()).value_or(HeatMap{}), scheme);
        },
        settings.ScreenScheme(), settings.PrintScheme(), page);
    m_heatMap->setObjectName("heatMap");
    m_heatMap->setFocusPolicy(Qt::StrongFocus);
    m_heatMap->setMinimumSize(280, 200);
    connect(m_heatMap, &PaintedChart::Clicked, this, &SystemTestWindow::OnHeatClicked);
    connect(m_heatMap, &PaintedChart::KeyPressed, this, &SystemTestWindow::OnHeatKey);

    auto* results = new QHBoxLayout;
    results->addWidget(m_optTable, 1);
    results->addWidget(m_heatMap, 1);
    return results;
}

QWidget* SystemTestWindow::BuildOptimisePage() {
    auto* page = new QWidget(this);
    auto* layout = new QVBoxLayout(page);
    layout->addLayout(BuildRangeRows(page));
    layout->addLayout(BuildOptimiseActions(page));
    layout->addLayout(BuildOptimiseResults(page), 1);
    return page;
}

void SystemTestWindow::FillRangeRows() {
    const int id = m_formula->currentData().toInt();
    const StoredFormula* formula = m_model.ChoiceOf(id) >= 0 ? m_library.Find(id) : nullptr;
    const std::vector<RangeInputs> defaults = m_model.DefaultRanges(id);
    for (int r = 0; r < kMaxOptimisedParameters; ++r) {
        QComboBox* choice = m_rangeParameters[r];
        const QSignalBlocker blocker(choice);
        choice->clear();
        choice->addItem(QStringLiteral("（不优化）"), -1);
        if (formula)
            for (std::size_t p = 0; p < formula->parameters.size(); ++p)
                choice->addItem(Utf8(formula->parameters[p].name), static_cast<int>(p));
        const RangeInputs row = static_cast<std::size_t>(r) < defaults.size()
                                    ? defaults[static_cast<std::size_t>(r)]
                                    : RangeInputs{};
        choice->setCurrentIndex(row.parameter + 1);
        const std::string* texts[] = {&row.from, &row.to, &row.step};
        for (int p = 0; p < 3; ++p) {
            const QSignalBlocker fieldBlocker(m_rangeFields[r][p]);
            m_rangeFields[r][p]->setText(Utf8(*texts[p]));
        }
    }
    UpdateCombinations();
}

std::vector<RangeInputs> SystemTestWindow::Ranges() const {
    std::vector<RangeInputs> rows;
    for (int r = 0; r < kMaxOptimisedParameters; ++r) {
        RangeInputs row;
        row.parameter =
            m_rangeParameters[r]->currentData().isValid() ? m_rangeParameters[r]->currentData().toInt() : -1;
        row.from = m_rangeFields[r][0]->text().trimmed().toStdString();
        row.to = m_rangeFields[r][1]->text().trimmed().toStdString();
        row.step = m_rangeFields[r][2]->text().trimmed().toStdString();
        rows.push_back(std::move(row));
    }
    return rows;
}

void SystemTestWindow::UpdateCombinations() {
    const OptimisationCheck check = m_model.CheckOptimisation(Inputs(), Ranges());
    m_combinations->setText(check.plan ? Utf8("共 " + FormatInt(check.combinations) + " 种组合")
                                       : Utf8(check.problem.message));
}

void SystemTestWindow::OnOptimise() {
    if (m_model.Work() != SystemWork::None) return;
    OptimisationCheck check = m_model.CheckOptimisation(Inputs(), Ranges());
    if (!check.plan) return ShowProblem(check.problem);
    std::optional<SystemGoods> goods = GoodsToTest();
    if (!goods) return;
    OptimisationRequest request{check.plan->system, check.plan->values, check.ranges, check.plan->costs};
    m_job = m_runner->StartOptimisation(std::move(request), goods->bars);
    if (m_job == 0) return;
    // The table shows this run's rows or none: never a part of them, nor the last run's.
    m_table.Clear();
    ShowTable(-1);
    m_jobGoods = std::move(goods);
    m_jobPlan = std::move(check.plan);
    m_jobRanges = std::move(check.ranges);
    m_model.SetWork(SystemWork::Optimising);
    m_progress->setRange(0, static_cast<int>(check.combinations));
    m_progress->setValue(0);
    SetStatus("优化中：共 " + FormatInt(check.combinations) + " 种组合……");
    m_pages->setCurrentIndex(2);
    UpdateButtons();
}

void SystemTestWindow::OptimisationDone(SystemJobOutcome outcome) {
    if (outcome.cancelled || !outcome.rows) {
        SetStatus("优化已取消，没有保留任何结果");
        return;
    }
    const int count = static_cast<int>(outcome.rows->size());
    m_table.Set(m_jobPlan->parameterNames, m_jobRanges, std::move(*outcome.rows));
    m_sort->clear();
    const std::vector<std::string> headers = m_table.Headers();
    for (std::size_t c = 0; c < headers.size(); ++c) {
        m_sort->addItem(Utf8(headers[c] + " 从大到小"), static_cast<int>(2 * c));
        m_sort->addItem(Utf8(headers[c] + " 从小到大"), static_cast<int>(2 * c + 1));
    }
    // The most profitable combination first, selected.
    const int netProfit = static_cast<int>(m_jobRanges.size());
    m_table.SortBy(netProfit);
    m_sort->setCurrentIndex(2 * netProfit);
    ShowTable(0);
    SetStatus("优化完成：共 " + FormatInt(count) + " 种组合，已按净利润从大到小排列");
}

void SystemTestWindow::ShowTable(int select) {
    m_optModel->Reset();
    QHeaderView* header = m_optTable->horizontalHeader();
    if (m_table.SortColumn() >= 0)
        header->setSortIndicator(m_table.SortColumn(),
                                 m_table.Descending() ? Qt::DescendingOrder : Qt::AscendingOrder);
    if (select >= 0 && select < m_table.RowCount()) {
        m_optTable->selectRow(select);
        m_optTable->scrollTo(m_optModel->index(select, 0));
    }
    m_heatMap->update();
    UpdateButtons();
}

int SystemTestWindow::SelectedRow() const {
    if (!m_optTable || !m_optTable->selectionModel()) return -1;
    const QModelIndexList rows = m_optTable->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.front().row();
}

void SystemTestWindow::SortKeepingSelection(const std::function<void()>& sort) {
    const int combination = m_table.CombinationOf(SelectedRow());
    sort();
    ShowTable(combination >= 0 ? m_table.RowOf(combination) : -1);
}

void SystemTestWindow::OnSortChosen(int index) {
    const int choice = m_sort->itemData(index).toInt();
    const int column = choice / 2;
    const bool descending = choice % 2 == 0;
    SortKeepingSelection([&] {
        m_table.SortBy(column);
        if (m_table.Descending() != descending) m_table.SortBy(column);
    });
}

void SystemTestWindow::OnHeaderClicked(int column) {
    SortKeepingSelection([&] { m_table.SortBy(column); });
    m_sort->setCurrentIndex(2 * column + (m_table.Descending() ? 0 : 1));
}

void SystemTestWindow::OnApply() {
    if (m_model.Work() != SystemWork::None) return;
    const std::vector<std::pair<int, double>> values = m_table.ValuesOf(SelectedRow());
    if (values.empty()) return;
    for (const auto& [parameter, value] : values)
        if (parameter >= 0 && parameter < kMaxFormulaParameters)
            m_parameters[parameter]->setText(Utf8(formula::FormatShortest(value)));
    // The chosen values tested at once: the report, the trades and the marks follow them.
    m_pages->setCurrentIndex(0);
    OnStart();
}

void SystemTestWindow::OnHeatClicked(QPoint at) {
    const std::optional<HeatMap> map = m_table.HeatMapOf(SelectedRow());
    if (!map) return;
    const int cell = HeatMapCellAt(m_heatMap->ClientSize(), *map, {at.x(), at.y()});
    if (cell >= 0) ShowTable(m_table.RowOf(cell));
}

void SystemTestWindow::OnHeatKey(int key) {
    const std::optional<HeatMap> map = m_table.HeatMapOf(SelectedRow());
    if (!map) return;
    if (key == Qt::Key_Return || key == Qt::Key_Enter) return OnApply();
    const int columns = static_cast<int>(map->columnValues.size());
    const int cells = static_cast<int>(map->cells.size());
    int cell = map->selected >= 0 ? map->selected : 0;
    if (map->selected >= 0) {
        const int row = cell / columns, column = cell % columns;
        if (key == Qt::Key_Left && column > 0) --cell;
        if (key == Qt::Key_Right && column + 1 < columns) ++cell;
        if (key == Qt::Key_Up && row > 0) cell -= columns;
        if (key == Qt::Key_Down && cell + columns < cells) cell += columns;
    }
    if (key == Qt::Key_Home) cell = std::max(0, BestHeatMapCell(*map));
    ShowTable(m_table.RowOf(cell));
}

}  // namespace qelt
