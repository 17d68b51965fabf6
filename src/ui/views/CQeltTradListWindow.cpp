#include "ui/views/CQeltTradListWindow.h"

#include "ui/widgets/CXScrollBar.h"

namespace qelt {

CQeltTradListWindow::CQeltTradListWindow(CQeltTradListView& list, ViewServices& services, QWidget* parent)
    : ViewHostWidget(list, services, parent), m_list(list) {
    setObjectName(QStringLiteral("tradeList"));
    m_hBar = new CXScrollBar(
        false,
        [this](int code, int position) {
            m_list.OnHScroll(code, position);
            Invalidate();
        },
        this);
    m_hBar->setObjectName(QStringLiteral("columnScroll"));
    m_hBar->hide();
}

CQeltTradListWindow::~CQeltTradListWindow() = default;

void CQeltTradListWindow::SyncBar() {
    const TradeListScroll scroll = m_list.HorizontalScroll(ClientSize());
    m_hBar->setVisible(scroll.Shown());
    if (!scroll.Shown()) return;
    m_hBar->SetRange(0, scroll.maximum, false);
    m_hBar->SetScrollPos(scroll.position);
    m_hBar->update();
}

void CQeltTradListWindow::Invalidate() {
    SyncBar();
    update();
}

void CQeltTradListWindow::LayOutChildren() {
    const TradeListScroll scroll = m_list.HorizontalScroll(ClientSize());
    const Rect& r = scroll.bar;
    m_hBar->setGeometry(r.left, r.top, std::max(0, r.Width()), std::max(0, r.Height()));
    SyncBar();
}

}  // namespace qelt
