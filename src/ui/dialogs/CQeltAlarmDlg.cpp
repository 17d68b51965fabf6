#include "ui/dialogs/CQeltAlarmDlg.h"

#include <QTableWidget>
#include <QVBoxLayout>

#include "common/ChinaClock.h"
#include "data/CQeltData.h"
#include "ui/AlarmSound.h"
#include "ui/dialogs/ReportList.h"

namespace qelt {
namespace {

// "商品" holds the goods' name with the whole delivery date ("生丝270115"), "时间" the hit's time.
const std::vector<ReportColumn> kColumns = {{"商品", 90}, {"价", 60}, {"量", 30}, {"仓", 30}, {"时间", 60}};

}  // namespace

CQeltAlarmDlg::CQeltAlarmDlg(const CQeltData& store, QWidget* parent)
    : QDialog(parent), m_store(store), m_sound(new AlarmSound(this)) {
    setWindowTitle(QStringLiteral("预警系统"));
    setObjectName("alarmWindow");
    // Shown from the menu or by an alarm, the window never takes the focus from the view the
    // user is typing in; a click still activates it.
    setAttribute(Qt::WA_ShowWithoutActivating);

    m_list = MakeReportList(this, kColumns);  // 1013
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setFocusPolicy(Qt::NoFocus);  // clicks in the list do nothing
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_list);
}

CQeltAlarmDlg::~CQeltAlarmDlg() = default;

bool CQeltAlarmDlg::Refresh() {
    const bool fresh = m_model.Refresh(
        m_store.AlarmHits(), [this](std::string_view goodsNo) { return m_store.CategoryName(goodsNo); },
        ClockText(SystemChinaSecondOfDay()));
    m_list->setUpdatesEnabled(false);
    FillReportList(m_list, kColumns, m_model.Rows());
    m_list->setUpdatesEnabled(true);
    return fresh;
}

void CQeltAlarmDlg::Alert() {
    show();
    raise();
    m_sound->Play();
}

void CQeltAlarmDlg::reject() {
    if (m_closeHook)
        m_closeHook();
    else
        QDialog::reject();
}

}  // namespace qelt
