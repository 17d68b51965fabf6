#include "ui/views/CQeltListView.h"

#include "common/Messages.h"
#include "ui/QtPoster.h"
#include "ui/widgets/CMyTab.h"
#include "ui/widgets/CXScrollBar.h"

namespace qelt {

CQeltListView::CQeltListView(QuoteListView& board, ViewServices& services, QWidget* parent)
    : ViewHostWidget(board, services, parent), m_board(board) {
    setObjectName(QStringLiteral("quoteList"));
    m_vBar = new CXScrollBar(
        true,
        [this](int code, int pos) {
            m_board.OnVScroll(code, pos);
            Invalidate();
        },
        this);
    m_vBar->setObjectName(QStringLiteral("scroll1019"));
    m_hBar = new CXScrollBar(
        false,
        [this](int code, int pos) {
            m_board.OnHScroll(code, pos);
            Invalidate();
        },
        this);
    m_hBar->setObjectName(QStringLiteral("scroll1020"));
    m_tabs = new CMyTab(this);
    m_tabs->setObjectName(QStringLiteral("tabs1002"));
}

CQeltListView::~CQeltListView() = default;

void CQeltListView::SyncTabs() {
    std::vector<std::string> names = Services().CategoryNames();
    std::vector<std::string> codes = Services().CategoryCodes();
    if (names != m_tabNames || codes != m_tabCodes) {
        m_tabNames = std::move(names);
        m_tabCodes = std::move(codes);
        m_tabs->SetTabs(m_tabNames, m_tabCodes, 80, Services().Settings().DisplayScale());
        LayOutChildren();
    }
    if (m_tabs->Strip().Selected() != m_board.Category()) m_tabs->SetSelected(m_board.Category());
}

void CQeltListView::SyncBars() {
    m_vBar->SetRange(0, m_board.GoodsCount(), false);
    m_vBar->SetScrollPos(m_board.FirstRow());
    // The columns scroll as far as the last one, which depends on the board's width.
    m_hBar->SetRange(0, m_board.MaxHorizontalOffset(), false);
    m_hBar->SetScrollPos(m_board.HorizontalOffset());
}

void CQeltListView::Invalidate() {
    SyncTabs();
    SyncBars();
    update();
}

bool CQeltListView::event(QEvent* event) {
    if (static_cast<unsigned>(event->type()) == WM_TAB_SELECT) {
        if (auto* message = dynamic_cast<WindowMessageEvent*>(event)) {
            m_board.OnTabSelect(static_cast<int>(message->WParam()));
            Invalidate();
        }
        return true;
    }
    return ViewHostWidget::event(event);
}

void CQeltListView::LayOutChildren() {
    const BoardLayout layout = m_board.OnSize(width(), height());
    auto place = [](QWidget* w, const Rect& r) {
        w->setGeometry(r.left, r.top, std::max(0, r.Width()), std::max(0, r.Height()));
    };
    place(m_vBar, layout.vScroll);
    place(m_tabs, layout.tabs);
    place(m_hBar, layout.hScroll);
    SyncTabs();
    SyncBars();
}

}  // namespace qelt
