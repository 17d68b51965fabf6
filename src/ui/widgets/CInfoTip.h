#pragma once
/// `CInfoTip`: a small child window showing a caption and lines (layout 1) or one bar's data
/// (layout 2). Its whole client area drags the window.
#include "ui/OverlayWidget.h"
#include "views/controls/InfoTipPainter.h"

namespace qelt {

class CInfoTip : public OverlayWidget {
    Q_OBJECT
  public:
    /// Created at (0, 0, 80, 100) with control id 1003, layout 1.
    explicit CInfoTip(QWidget* parent = nullptr);
    void SetContent(InfoTipContent content);
    const InfoTipContent& Content() const { return m_content; }

  private:
    InfoTipContent m_content;
};

}  // namespace qelt
