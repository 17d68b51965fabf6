#pragma once
/// `CInfoTip`: a small child window showing a caption and lines (layout 1) or one bar's data
/// (layout 2). Its whole client area drags the window.
#include <QWidget>
#include <memory>

#include "views/widgets/InfoTipPainter.h"

namespace qelt {

class QtBitmap;

class CInfoTip : public QWidget {
    Q_OBJECT
public:
    /// Created at (0, 0, 80, 100) with control id 1003, layout 1.
    explicit CInfoTip(QWidget* parent = nullptr);
    ~CInfoTip() override;
    void SetContent(InfoTipContent content);
    const InfoTipContent& Content() const { return m_content; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    InfoTipContent m_content;
    QPoint m_dragOffset;
    std::unique_ptr<QtBitmap> m_buffer;
};

}  // namespace qelt
