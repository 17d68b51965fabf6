#include "ui/dialogs/CQeltAlarmDlg.h"

#include <QFont>
#include <QFontMetrics>
#include <QHeaderView>
#include <QTableWidget>
#include <QVBoxLayout>

#include "data/CQeltData.h"
#include "ui/AlarmSound.h"

namespace qelt {
namespace {

struct Column {
    const char* title;
    int width;
};
constexpr Column kColumns[] = {{"商品", 70}, {"价", 60}, {"量", 30}, {"仓", 30}};

}  // namespace

CQeltAlarmDlg::CQeltAlarmDlg(const CQeltData& store, QWidget* parent)
    : QDialog(parent), m_store(store), m_sound(new AlarmSound(this)) {
    setWindowTitle(QStringLiteral("预警系统"));
    setObjectName("alarmWindow");
    // Shown from the menu or by an alarm, the window never takes the focus from the view the
    // user is typing in; a click still activates it.
    setAttribute(Qt::WA_ShowWithoutActivating);

    m_list = new QTableWidget(0, static_cast<int>(std::size(kColumns)), this);
    m_list->setObjectName("list");
    m_list->setShowGrid(true);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->verticalHeader()->hide();
    // The report list's small type (11 pixels) keeps the texts
    // within the columns' fixed widths.
    QFont font(QStringLiteral("宋体"));
    font.setPixelSize(11);
    m_list->setFont(font);
    m_list->horizontalHeader()->setFont(font);
    m_list->verticalHeader()->setDefaultSectionSize(QFontMetrics(font).height() + 6);
    m_list->setFocusPolicy(Qt::NoFocus);  // clicks in the list do nothing
    m_list->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    for (int c = 0; c < static_cast<int>(std::size(kColumns)); ++c) {
        m_list->setHorizontalHeaderItem(c, new QTableWidgetItem(QString::fromUtf8(kColumns[c].title)));
        m_list->setColumnWidth(c, kColumns[c].width);
    }
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_list);
}

CQeltAlarmDlg::~CQeltAlarmDlg() = default;

bool CQeltAlarmDlg::Refresh() {
    const bool fresh = m_model.Refresh(
        m_store.AlarmHits(), [this](std::string_view goodsNo) { return m_store.CategoryName(goodsNo); });
    const std::vector<AlarmWindowRow>& rows = m_model.Rows();
    m_list->setUpdatesEnabled(false);
    m_list->clearContents();
    m_list->setRowCount(static_cast<int>(rows.size()));
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        for (int c = 0; c < static_cast<int>(rows[r].size()); ++c) {
            auto* item = new QTableWidgetItem(QString::fromStdString(rows[r][c]));
            item->setTextAlignment(Qt::AlignCenter);
            m_list->setItem(r, c, item);
        }
    }
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
