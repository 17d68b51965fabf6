#include "ui/dialogs/CQeltAlarmList.h"

#include <QFont>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "data/settings/CQeltCFG.h"
#include "ui/ModalDialog.h"
#include "ui/dialogs/CQeltAlarm.h"
#include "ui/dialogs/MessageBoxes.h"

namespace qelt {
namespace {

struct Column {
    const char* title;
    int width;
};
constexpr Column kColumns[] = {{"编  号", 60},  {"品  种", 60}, {"交货月", 100},
                               {"价  格", 150}, {"成交量", 60}, {"净持仓量", 60}};

QPushButton* AddButton(QBoxLayout* layout, QWidget* parent, const QString& text, const char* objectName) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(objectName);
    button->setAutoDefault(false);
    layout->addWidget(button);
    return button;
}

}  // namespace

CQeltAlarmList::CQeltAlarmList(CQeltCFG& settings, Records records, SwitchAlarms switchAlarms,
                               MessageBoxes& boxes, QWidget* parent)
    : QDialog(parent),
      m_settings(settings),
      m_model(settings),
      m_switch(std::move(switchAlarms)),
      m_boxes(boxes) {
    setWindowTitle(QStringLiteral("预警设置"));
    setObjectName("alarmListDialog");
    m_entryDialog = [this, records = std::move(records)](QWidget* owner) {
        ExecModal<CQeltAlarm>(records(), m_settings, m_boxes, owner);
    };

    m_list = new QTableWidget(0, static_cast<int>(std::size(kColumns)), this);
    m_list->setObjectName("list");
    m_list->setShowGrid(true);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->verticalHeader()->hide();
    // The report list's small type (11 pixels) keeps the texts
    // within the columns' fixed widths.
    QFont font(QStringLiteral("宋体"));
    font.setPixelSize(11);
    m_list->setFont(font);
    m_list->horizontalHeader()->setFont(font);
    m_list->verticalHeader()->setDefaultSectionSize(QFontMetrics(font).height() + 6);
    m_list->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    for (int c = 0; c < static_cast<int>(std::size(kColumns)); ++c) {
        m_list->setHorizontalHeaderItem(c, new QTableWidgetItem(QString::fromUtf8(kColumns[c].title)));
        m_list->setColumnWidth(c, kColumns[c].width);
    }

    auto* buttons = new QHBoxLayout;
    connect(AddButton(buttons, this, QStringLiteral("添  加"), "add"), &QPushButton::clicked, this,
            &CQeltAlarmList::OnAdd);
    connect(AddButton(buttons, this, QStringLiteral("删  除"), "delete"), &QPushButton::clicked, this,
            &CQeltAlarmList::OnDelete);
    m_onOff = AddButton(buttons, this, QString::fromStdString(m_model.SwitchText()), "onOff");
    connect(m_onOff, &QPushButton::clicked, this, &CQeltAlarmList::OnSwitch);
    buttons->addStretch();
    QPushButton* ok = AddButton(buttons, this, QStringLiteral("确  定"), "ok");
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &CQeltAlarmList::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list, 1);
    layout->addLayout(buttons);
    resize(580, 300);
    Refill();
}

std::set<size_t> CQeltAlarmList::SelectedRows() const {
    std::set<size_t> rows;
    for (const QModelIndex& index : m_list->selectionModel()->selectedRows())
        rows.insert(static_cast<size_t>(index.row()));
    return rows;
}

void CQeltAlarmList::Refill() {
    const std::vector<AlarmListRow> rows = m_model.Rows();
    m_list->clearContents();
    m_list->setRowCount(static_cast<int>(rows.size()));
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        for (int c = 0; c < static_cast<int>(rows[r].size()); ++c) {
            auto* item = new QTableWidgetItem(QString::fromStdString(rows[r][c]));
            item->setTextAlignment(Qt::AlignCenter);
            m_list->setItem(r, c, item);
        }
    }
}

void CQeltAlarmList::OnAdd() {
    m_entryDialog(this);
    Refill();
}

void CQeltAlarmList::OnDelete() {
    if (!m_model.Delete(SelectedRows()))
        m_boxes.Show(this, CQeltAlarm::kSaveFailed, CQeltAlarm::kSaveFailedCaption);
    Refill();
}

void CQeltAlarmList::OnSwitch() {
    m_switch(!m_settings.m_alarmWindowOn.load());
    m_onOff->setText(QString::fromStdString(m_model.SwitchText()));
}

}  // namespace qelt
