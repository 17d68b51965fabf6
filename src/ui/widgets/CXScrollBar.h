#pragma once
/// `CXScrollBar`: the skinned scroll bar window. The bar's rules live in SkinnedScrollBarControl;
/// this widget runs its timers, sets its cursor, keeps its double buffer and reports the
/// notifications (line up 0, line down 1, thumb-track 5 with the position) to the owner.
#include <QWidget>
#include <array>
#include <functional>
#include <memory>

#include "views/controls/SkinnedScrollBarControl.h"

class QTimer;

namespace qelt {

class QtBitmap;

class CXScrollBar : public QWidget, private ScrollBarHost {
    Q_OBJECT
  public:
    using Notifier = std::function<void(int code, int position)>;
    CXScrollBar(bool vertical, Notifier notify, QWidget* parent = nullptr);
    ~CXScrollBar() override;

    void SetRange(int minimum, int maximum, bool redraw = true) { m_bar.SetRange(minimum, maximum, redraw); }
    void SetScrollPos(int position) { m_bar.SetScrollPos(position); }
    int Position() const { return m_bar.Position(); }
    const SkinnedScrollBarControl& Bar() const { return m_bar; }
    bool TimerActive(int id) const;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    void StartTimer(int id, int milliseconds) override;
    void StopTimer(int id) override;
    void SetCapture(bool) override {}  // the widget under a pressed button keeps the mouse
    void Notify(int code, int position) override;
    void Invalidate() override { update(); }
    void SetHandCursor(bool hand) override;
    void OnTimer(int id);

    SkinnedScrollBarControl m_bar;
    Notifier m_notify;
    std::array<QTimer*, 5> m_timers{};
    std::unique_ptr<QtBitmap> m_buffer;
};

}  // namespace qelt
