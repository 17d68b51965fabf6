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
#include "ui/dialogs/DialogButtons.h"
#include "ui/dialogs/MessageBoxes.h"
#include "ui/dialogs/ReportList.h"

namespace qelt {
namespace {

const std::vector<ReportColumn> kAlarmListColumns = {{"编  号", 60},  {"品  种", 60}, {"交货月", 100},
                                                     {"价  格", 150}, {"成交量", 60}, {"净持仓量", 60}};

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

    m_list = MakeReportList(this, kAlarmListColumns);  // 1013
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);

    auto* buttons = new QHBoxLayout;
    connect(AddButton(buttons, this, "添  加", "add", false), &QPushButton::clicked, this,
            &CQeltAlarmList::OnAdd);
    connect(AddButton(buttons, this, "删  除", "delete", false), &QPushButton::clicked, this,
            &CQeltAlarmList::OnDelete);
    m_onOff = AddButton(buttons, this, m_model.SwitchText().c_str(), "onOff", false);
    connect(m_onOff, &QPushButton::clicked, this, &CQeltAlarmList::OnSwitch);
    buttons->addStretch();
    QPushButton* ok = AddButton(buttons, this, "确  定", "ok", false);
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

void CQeltAlarmList::Refill() { FillReportList(m_list, kAlarmListColumns, m_model.Rows()); }

void CQeltAlarmList::OnAdd() {
    m_entryDialog(this);
    Refill();
}

void CQeltAlarmList::OnDelete() {
    m_model.Delete(SelectedRows());  // a failed rewrite is reported by the settings
    Refill();
}

void CQeltAlarmList::OnSwitch() {
    m_switch(!m_settings.m_alarmWindowOn.load());
    m_onOff->setText(QString::fromStdString(m_model.SwitchText()));
}

}  // namespace qelt
