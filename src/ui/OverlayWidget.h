#pragma once
/// A small floating child window of a view (the K-line view's data tip and bar tip, the
/// intraday view's record tip): it paints through the view's painter, double-buffered, and
/// a draggable one moves with the mouse anywhere over its parent, keeping its size.
#include <QWidget>
#include <memory>

#include "views/ViewHost.h"

namespace qelt {

class QtBitmap;

class OverlayWidget : public QWidget {
    Q_OBJECT
  public:
    explicit OverlayWidget(QWidget* parent = nullptr);
    ~OverlayWidget() override;
    void SetPainter(OverlayPainter painter);
    void SetDraggable(bool draggable) { m_draggable = draggable; }
    /// True once the user has dragged the window, until ForgetUserMove.
    bool MovedByUser() const { return m_movedByUser; }
    void ForgetUserMove() { m_movedByUser = false; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

  private:
    OverlayPainter m_painter;
    bool m_draggable = false;
    bool m_movedByUser = false;
    QPoint m_dragOffset;
    std::unique_ptr<QtBitmap> m_buffer;
};

}  // namespace qelt
