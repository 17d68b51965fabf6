#include "ui/widgets/CInfoTip.h"

namespace qelt {

CInfoTip::CInfoTip(QWidget* parent) : OverlayWidget(parent) {
    setObjectName(QStringLiteral("infoTip1003"));
    setGeometry(0, 0, 80, 100);
    SetDraggable(true);
    SetPainter([this](Canvas& canvas, Size size) { PaintInfoTip(canvas, m_content, size.cx, size.cy); });
}

void CInfoTip::SetContent(InfoTipContent content) {
    m_content = std::move(content);
    update();
}

}  // namespace qelt
