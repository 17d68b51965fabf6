#include "ui/dialogs/CQeltConditionAlarms.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "app/ConditionAlarmRules.h"
#include "common/Numbers.h"
#include "formula/FormulaNumbers.h"
#include "formula/FormulaParameters.h"
#include "ui/ModalDialog.h"
#include "ui/dialogs/DialogButtons.h"
#include "ui/dialogs/ListKeys.h"
#include "ui/dialogs/MessageBoxes.h"
#include "ui/dialogs/ReportList.h"

namespace qelt {
namespace {

const std::vector<ReportColumn> kCondListColumns = {{"公式", 120}, {"参数", 90}, {"商品", 140}, {"状态", 80}};
constexpr const char* kCondCaption = "条件预警";

enum CondGoodsMode { kCondGoodsCurrent = 0, kCondGoodsSelf = 1, kCondGoodsChosen = 2 };

/// A typed value: a decimal number as the other parameter fields take it (no locale, no
/// blanks inside).
std::optional<double> CondTypedValue(const QString& text) {
    return formula::ParseDecimal(text.trimmed().toStdString(), true);
}

}  // namespace

// --- The entry dialog -------------------------------------------------------------------

CQeltConditionAlarmEntry::CQeltConditionAlarmEntry(const FormulaLibrary& library,
                                                   ConditionGoodsChoices choices, ConditionAlarmEntry entry,
                                                   MessageBoxes& boxes, QWidget* parent)
    : QDialog(parent),
      m_library(library),
      m_choices(std::move(choices)),
      m_entry(std::move(entry)),
      m_boxes(boxes) {
    setWindowTitle(QString::fromUtf8(m_entry.id ? "修改条件预警" : "添加条件预警"));
    setObjectName("conditionAlarmEntry");

    auto* grid = new QGridLayout;
    m_formula = new QComboBox(this);
    m_formula->setObjectName("formula");
    for (const StoredFormula& formula : m_library.Formulas())
        m_formula->addItem(QString::fromStdString(formula.name), formula.id);
    const int shown = m_formula->findData(m_entry.formulaId);
    if (shown >= 0) m_formula->setCurrentIndex(shown);
    auto* formulaLabel = new QLabel(QString::fromUtf8("公式(&F)："), this);
    formulaLabel->setBuddy(m_formula);
    grid->addWidget(formulaLabel, 0, 0);
    grid->addWidget(m_formula, 0, 1);
    for (int i = 0; i < kMaxFormulaParameters; ++i) {
        auto* label = new QLabel(this);
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QString("value%1").arg(i));
        label->setBuddy(edit);
        grid->addWidget(label, 1 + i, 0);
        grid->addWidget(edit, 1 + i, 1);
        m_valueLabels.push_back(label);
        m_values.push_back(edit);
    }
    m_goodsMode = new QComboBox(this);
    m_goodsMode->setObjectName("goodsMode");
    m_goodsMode->addItem(
        QString::fromUtf8("当前商品：") +
        QString::fromStdString(m_choices.current ? m_choices.current->second : std::string("无")));
    m_goodsMode->addItem(QString::fromUtf8("自选"));
    m_goodsMode->addItem(QString::fromUtf8("选定的合约"));
    auto* goodsLabel = new QLabel(QString::fromUtf8("商品(&G)："), this);
    goodsLabel->setBuddy(m_goodsMode);
    grid->addWidget(goodsLabel, 1 + kMaxFormulaParameters, 0);
    grid->addWidget(m_goodsMode, 1 + kMaxFormulaParameters, 1);

    m_contracts = new QListWidget(this);
    m_contracts->setObjectName("contracts");
    m_contracts->setSelectionMode(QAbstractItemView::ExtendedSelection);
    for (const auto& [key, text] : m_choices.contracts) {
        m_contracts->addItem(QString::fromStdString(text));
        for (const GoodsKey& chosen : m_entry.goods)
            if (chosen == key) m_contracts->item(m_contracts->count() - 1)->setSelected(true);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QString::fromUtf8("确  定"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QString::fromUtf8("取  消"));
    connect(buttons, &QDialogButtonBox::accepted, this, &CQeltConditionAlarmEntry::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CQeltConditionAlarmEntry::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(m_contracts, 1);
    layout->addWidget(buttons);

    // An entry opens on what it watches: 自选, the goods on show alone, or its contracts.
    int mode = kCondGoodsCurrent;
    if (m_entry.selfSelected)
        mode = kCondGoodsSelf;
    else if (!m_entry.goods.empty() && !(m_entry.goods.size() == 1 && m_choices.current &&
                                         m_choices.current->first == m_entry.goods[0]))
        mode = kCondGoodsChosen;
    else if (!m_choices.current && m_entry.id == 0)
        mode = kCondGoodsSelf;
    m_goodsMode->setCurrentIndex(mode);
    connect(m_goodsMode, &QComboBox::currentIndexChanged, this, &CQeltConditionAlarmEntry::GoodsModeChanged);
    connect(m_formula, &QComboBox::currentIndexChanged, this, [this] {
        m_entry.values.clear();  // another formula: its own defaults
        ShowParameters();
    });
    GoodsModeChanged();
    ShowParameters();
    resize(380, 460);
}

void CQeltConditionAlarmEntry::ShowParameters() {
    const StoredFormula* formula = m_library.Find(m_formula->currentData().toInt());
    const std::vector<FormulaParameter> none;
    const std::vector<FormulaParameter>& parameters = formula ? formula->parameters : none;
    for (size_t i = 0; i < m_values.size(); ++i) {
        const bool used = i < parameters.size();
        m_valueLabels[i]->setVisible(used);
        m_values[i]->setVisible(used);
        if (!used) continue;
        const FormulaParameter& p = parameters[i];
        m_valueLabels[i]->setText(QString::fromStdString(p.name + "（" + FormatGeneral(p.minimum, 10) + "～" +
                                                         FormatGeneral(p.maximum, 10) + "）："));
        const double value = i < m_entry.values.size() ? m_entry.values[i] : p.defaultValue;
        m_values[i]->setText(QString::fromStdString(FormatGeneral(value, 10)));
    }
}

void CQeltConditionAlarmEntry::GoodsModeChanged() {
    m_contracts->setEnabled(m_goodsMode->currentIndex() == kCondGoodsChosen);
}

void CQeltConditionAlarmEntry::accept() {
    const StoredFormula* formula = m_library.Find(m_formula->currentData().toInt());
    if (!formula) {
        m_boxes.Show(this, "请先在公式管理中编写公式。", kCondCaption);
        return;
    }
    std::vector<double> values;
    for (size_t i = 0; i < formula->parameters.size(); ++i) {
        const std::optional<double> value = CondTypedValue(m_values[i]->text());
        if (!value) {
            m_boxes.Show(this, "请输入参数" + formula->parameters[i].name + "的数值。", kCondCaption);
            m_values[i]->setFocus();
            return;
        }
        values.push_back(*value);
    }
    if (const std::optional<std::string> fault = CheckConditionValues(*formula, values)) {
        m_boxes.Show(this, *fault + "。", kCondCaption);
        return;
    }
    std::vector<GoodsKey> goods;
    const int mode = m_goodsMode->currentIndex();
    if (mode == kCondGoodsCurrent && m_choices.current) goods.push_back(m_choices.current->first);
    if (mode == kCondGoodsChosen)
        for (int row = 0; row < m_contracts->count() && goods.size() < kMaxConditionAlarmGoods; ++row)
            if (m_contracts->item(row)->isSelected())
                goods.push_back(m_choices.contracts[static_cast<size_t>(row)].first);
    if (mode != kCondGoodsSelf && goods.empty()) {
        m_boxes.Show(this, mode == kCondGoodsCurrent ? "现在没有显示的商品，请选择合约。" : "请选择合约。",
                     kCondCaption);
        return;
    }
    m_entry.formulaId = formula->id;
    m_entry.values = std::move(values);
    m_entry.selfSelected = mode == kCondGoodsSelf;
    m_entry.goods = m_entry.selfSelected ? std::vector<GoodsKey>{} : std::move(goods);
    QDialog::accept();
}

// --- The list -----------------------------------------------------------------------------

CQeltConditionAlarms::CQeltConditionAlarms(ConditionAlarmConfig& config, const FormulaLibrary& library,
                                           Choices choices, NameOf nameOf, Changed changed,
                                           MessageBoxes& boxes, QWidget* parent)
    : QDialog(parent),
      m_config(config),
      m_library(library),
      m_nameOf(std::move(nameOf)),
      m_changed(std::move(changed)),
      m_boxes(boxes) {
    setWindowTitle(QString::fromUtf8(kCondCaption));
    setObjectName("conditionAlarms");
    m_entryDialog = [this, choices = std::move(choices)](
                        QWidget* owner, ConditionAlarmEntry entry) -> std::optional<ConditionAlarmEntry> {
        QPointer<CQeltConditionAlarmEntry> dialog =
            new CQeltConditionAlarmEntry(m_library, choices(), std::move(entry), m_boxes, owner);
        const bool accepted = dialog->exec() == QDialog::Accepted;
        std::optional<ConditionAlarmEntry> result;
        if (dialog && accepted) result = dialog->Entry();
        delete dialog.data();
        return result;
    };

    m_list = MakeReportList(this, kCondListColumns);
    m_list->setObjectName("entries");
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->installEventFilter(this);
    connect(m_list, &QTableWidget::cellDoubleClicked, this, [this] { OnModify(); });
    connect(m_list, &QTableWidget::currentCellChanged, this, [this] { UpdateButtons(); });

    auto* buttons = new QHBoxLayout;
    connect(AddButton(buttons, this, "添加(&A)", "add", false), &QPushButton::clicked, this,
            &CQeltConditionAlarms::OnAdd);
    m_modify = AddButton(buttons, this, "修改(&M)", "modify", false);
    connect(m_modify, &QPushButton::clicked, this, &CQeltConditionAlarms::OnModify);
    m_delete = AddButton(buttons, this, "删除(&D)", "delete", false);
    connect(m_delete, &QPushButton::clicked, this, &CQeltConditionAlarms::OnDelete);
    m_switch = AddButton(buttons, this, "关闭(&S)", "onOff", false);
    connect(m_switch, &QPushButton::clicked, this, &CQeltConditionAlarms::OnSwitch);
    buttons->addStretch();
    QPushButton* ok = AddButton(buttons, this, "确  定", "ok", false);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &CQeltConditionAlarms::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list, 1);
    layout->addLayout(buttons);
    resize(520, 300);
    Refill();
}

void CQeltConditionAlarms::Refill() {
    const int row = m_list->currentRow();
    std::vector<ConditionListRow> rows;
    for (const ConditionAlarmEntry& entry : m_config.Entries())
        rows.push_back(ConditionListRowOf(entry, m_library, m_nameOf));
    FillReportList(m_list, kCondListColumns, rows);
    if (!rows.empty()) m_list->setCurrentCell(std::clamp(row, 0, static_cast<int>(rows.size()) - 1), 0);
    UpdateButtons();
}

std::optional<ConditionAlarmEntry> CQeltConditionAlarms::Current() const {
    const int row = m_list->currentRow();
    const std::vector<ConditionAlarmEntry>& entries = m_config.Entries();
    if (row < 0 || row >= static_cast<int>(entries.size())) return std::nullopt;
    return entries[static_cast<size_t>(row)];
}

void CQeltConditionAlarms::UpdateButtons() {
    const std::optional<ConditionAlarmEntry> entry = Current();
    m_modify->setEnabled(entry.has_value());
    m_delete->setEnabled(entry.has_value());
    m_switch->setEnabled(entry.has_value());
    m_switch->setText(QString::fromUtf8(entry && entry->on ? "关闭(&S)" : "开启(&S)"));
}

void CQeltConditionAlarms::OnAdd() {
    if (m_config.Entries().size() >= kMaxConditionAlarmEntries) {
        m_boxes.Show(this, "条件预警最多 200 条。", kCondCaption);
        return;
    }
    ConditionAlarmEntry fresh;
    if (!m_library.Formulas().empty()) fresh.formulaId = m_library.Formulas().front().id;
    std::optional<ConditionAlarmEntry> made = m_entryDialog(this, fresh);
    if (!made) return;
    made->on = true;
    m_config.Add(*made);
    Refill();
    m_list->setCurrentCell(static_cast<int>(m_config.Entries().size()) - 1, 0);
    if (m_changed) m_changed();
}

void CQeltConditionAlarms::OnModify() {
    std::optional<ConditionAlarmEntry> entry = Current();
    if (!entry) return;
    std::optional<ConditionAlarmEntry> changed = m_entryDialog(this, *entry);
    if (!changed) return;
    // A mended entry runs again: its formula and values were just checked.
    changed->on = true;
    m_config.Replace(*changed);
    Refill();
    if (m_changed) m_changed();
}

void CQeltConditionAlarms::OnDelete() {
    const std::optional<ConditionAlarmEntry> entry = Current();
    if (!entry) return;
    m_config.Remove(entry->id);
    Refill();
    if (m_changed) m_changed();
}

void CQeltConditionAlarms::OnSwitch() {
    const std::optional<ConditionAlarmEntry> entry = Current();
    if (!entry) return;
    const ConditionEntryState state = CheckConditionEntry(*entry, m_library).state;
    if (!entry->on && state != ConditionEntryState::Off) {
        m_boxes.Show(this, ConditionStateText(state) + "，请先修改这条预警。", kCondCaption);
        return;
    }
    m_config.SetOn(entry->id, !entry->on);
    Refill();
    if (m_changed) m_changed();
}

bool CQeltConditionAlarms::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_list && HandleListKey(
                                 event, [this] { OnModify(); }, [this] { OnDelete(); }))
        return true;
    return QDialog::eventFilter(watched, event);
}

}  // namespace qelt
