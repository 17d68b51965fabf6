#pragma once
/// `CQeltListView`: the quote board window (报价分析). The board itself (QuoteListView) is a
/// view like any other in the generic host; this window adds what is truly the board's: the
/// category tab strip (control 1002) and the two skinned scroll bars (1019 vertical, 1020
/// horizontal), laid out around it and kept in step with it.
///
/// Messages: 1125 (wParam = category index, from the tab strip) switches category; the
/// store's notifications reach the board through the host.
#include "ui/ViewHostWidget.h"
#include "views/QuoteListView.h"

namespace qelt {

class CMyTab;
class CXScrollBar;

class CQeltListView : public ViewHostWidget {
    Q_OBJECT
  public:
    /// `board` and `services` outlive the window.
    CQeltListView(QuoteListView& board, ViewServices& services, QWidget* parent = nullptr);
    ~CQeltListView() override;

    QuoteListView& Board() { return m_board; }
    CMyTab* Tabs() const { return m_tabs; }
    CXScrollBar* VerticalBar() const { return m_vBar; }
    CXScrollBar* HorizontalBar() const { return m_hBar; }

    /// Every change of the board repaints it and brings the bars and tabs in step.
    void Invalidate() override;

  protected:
    bool event(QEvent* event) override;
    void LayOutChildren() override;

  private:
    void SyncBars();
    /// The tabs follow the store's categories (they change when a server replaces the
    /// offline ones).
    void SyncTabs();

    QuoteListView& m_board;
    CMyTab* m_tabs = nullptr;
    CXScrollBar* m_vBar = nullptr;
    CXScrollBar* m_hBar = nullptr;
    std::vector<std::string> m_tabNames;
    std::vector<std::string> m_tabCodes;
};

}  // namespace qelt
