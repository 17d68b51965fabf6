#include "ui/dialogs/CQeltAlarmDlg.h"

#include <QAction>
#include <QGuiApplication>
#include <QKeySequence>
#include <QScreen>
#include <QScrollBar>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/WindowPlacement.h"
#include "common/ChinaClock.h"
#include "data/CQeltData.h"
#include "ui/AlarmSound.h"
#include "ui/dialogs/ReportList.h"

namespace qelt {
namespace {

// "商品" holds the goods' name with the whole delivery date ("生丝270115"), "时间" the hit's time,
// "类别" tells the server's alarms from the conditions' ("条件：突破").
const std::vector<ReportColumn> kColumns = {{"商品", 90}, {"价", 60},   {"量", 30},
                                            {"仓", 30},   {"时间", 60}, {"类别", 70}};

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
    // The list keeps the whole of the small window: 导出记录 is its popup menu's, and Ctrl+E.
    auto* exportLog = new QAction(QStringLiteral("导出记录(&E)"), this);
    exportLog->setObjectName("exportLog");
    exportLog->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
    exportLog->setShortcutContext(Qt::WindowShortcut);
    connect(exportLog, &QAction::triggered, this, [this] {
        if (m_exportHook) m_exportHook();
    });
    addAction(exportLog);
    m_list->setContextMenuPolicy(Qt::ActionsContextMenu);
    m_list->addAction(exportLog);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_list);
}

CQeltAlarmDlg::~CQeltAlarmDlg() = default;

bool CQeltAlarmDlg::Refresh() {
    const bool fresh = m_model.Refresh(
        m_store.AlarmHits(), [this](std::string_view goodsNo) { return m_store.CategoryName(goodsNo); },
        ClockText(SystemChinaSecondOfDay()));
    Fill();
    return fresh;
}

void CQeltAlarmDlg::AddConditionHits(const std::vector<ConditionAlarmRow>& rows) {
    m_model.AddConditionHits(rows);
    Fill();
}

void CQeltAlarmDlg::Fill() {
    m_list->setUpdatesEnabled(false);
    FillReportList(m_list, kColumns, m_model.Shown());
    m_list->setUpdatesEnabled(true);
    KeepColumnsInView();
}

void CQeltAlarmDlg::KeepColumnsInView() {
    // Room for the vertical scroll bar too: it comes as soon as the hits outnumber the rows.
    int needed = 2 * m_list->frameWidth() + m_list->verticalScrollBar()->sizeHint().width();
    for (int c = 0; c < m_list->columnCount(); ++c) needed += m_list->columnWidth(c);
    // Only when the columns grew: a window the user made narrower stays so until they do.
    if (needed <= m_columnsWidth) return;
    m_columnsWidth = needed;
    if (needed <= width()) return;
    const QRect now = geometry();
    QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    const QRect area =
        screen ? screen->availableGeometry() : QRect(now.topLeft(), QSize(needed, now.height()));
    const Rect placed = PlaceWithin({now.x(), now.y(), now.x() + needed, now.bottom() + 1},
                                    {area.left(), area.top(), area.right() + 1, area.bottom() + 1});
    setGeometry(placed.left, placed.top, placed.Width(), placed.Height());
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
