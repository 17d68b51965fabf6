#include "CQeltHtml.h"

#include <QDesktopServices>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTextBrowser>

namespace qelt {

CQeltHtml::CQeltHtml(WebPageView& page, ViewServices& services, QWidget* parent)
    : ViewHostWidget(page, services, parent), m_browser(new QTextBrowser(this)),
      m_network(new QNetworkAccessManager(this)), m_url(QString::fromStdString(page.Url())) {
    setObjectName("webView");
    m_browser->setOpenLinks(false);
    m_browser->setHtml(QString::fromUtf8("<p>正在打开 %1 ...</p>").arg(m_url.toHtmlEscaped()));
    connect(m_browser, &QTextBrowser::anchorClicked, this, [this](const QUrl& link) {
        QUrl target = QUrl(m_url).resolved(link);
        if (target.path().startsWith("/web/"))
            Load(target);
        else
            QDesktopServices::openUrl(target);
    });
    Load(QUrl(m_url));
}

void CQeltHtml::Load(const QUrl& url) {
    QNetworkRequest request(url);
    request.setTransferTimeout(10000);
    QNetworkReply* reply = m_network->get(request);
    connect(reply, &QNetworkReply::finished, this, [this, reply, url] {
        reply->deleteLater();
        if (reply->error() != QNetworkReply::NoError) {
            m_browser->setHtml(QString::fromUtf8("<h3>资讯系统</h3><p>无法打开 %1</p><p>%2</p>")
                                   .arg(url.toString().toHtmlEscaped(), reply->errorString().toHtmlEscaped()));
            return;
        }
        // The page is bounded: a listing is a few kilobytes, never megabytes.
        QByteArray body = reply->read(4 << 20);
        m_browser->setHtml(QString::fromUtf8(body));
    });
}

QString CQeltHtml::ShownText() const { return m_browser->toPlainText(); }

void CQeltHtml::ViewReady() {
    ViewHostWidget::ViewReady();
    m_browser->setFocus(Qt::OtherFocusReason);
}

void CQeltHtml::LayOutChildren() { m_browser->setGeometry(rect()); }

}  // namespace qelt
