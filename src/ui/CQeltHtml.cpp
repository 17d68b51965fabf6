#include "CQeltHtml.h"

#include "ui/web/WebPane.h"

namespace qelt {

CQeltHtml::CQeltHtml(WebPageView& page, ViewServices& services, QWidget* parent)
    : ViewHostWidget(page, services, parent),
      m_pane(CreateWebPane(this)),
      m_url(QString::fromStdString(page.Url())) {
    setObjectName("webView");
    m_pane->setObjectName("webPane");
    m_pane->Load(QUrl(m_url));
}

QString CQeltHtml::ShownText() const { return m_pane->ShownText(); }

void CQeltHtml::ViewReady() {
    ViewHostWidget::ViewReady();
    LayOutChildren();
    m_pane->setFocus(Qt::OtherFocusReason);
}

void CQeltHtml::PrintTo(QPrinter& printer) { m_pane->PrintTo(printer); }

void CQeltHtml::LayOutChildren() { m_pane->setGeometry(rect()); }

}  // namespace qelt
