#pragma once
/// The trade list's window (成交明细): the list itself is a view like any other in the generic
/// host; this window adds the skinned horizontal scroll bar along its bottom, shown while the
/// window is too narrow for the sixteen columns and kept in step with the list's column
/// offset (Left and Right move it too).
#include "ui/ViewHostWidget.h"
#include "views/CQeltTradListView.h"

namespace qelt {

class CXScrollBar;

class CQeltTradListWindow : public ViewHostWidget {
    Q_OBJECT
  public:
    /// `list` and `services` outlive the window.
    CQeltTradListWindow(CQeltTradListView& list, ViewServices& services, QWidget* parent = nullptr);
    ~CQeltTradListWindow() override;

    CXScrollBar* HorizontalBar() const { return m_hBar; }

    /// Every change of the list repaints it and brings the bar in step.
    void Invalidate() override;

  protected:
    void LayOutChildren() override;

  private:
    void SyncBar();

    CQeltTradListView& m_list;
    CXScrollBar* m_hBar = nullptr;
};

}  // namespace qelt
