#include "TextWebPane.h"

#include <QDesktopServices>
#include <QKeyEvent>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPrinter>
#include <QStringDecoder>
#include <QTextBrowser>

#include "common/Gbk.h"
#include "common/PageCharset.h"

namespace qelt {
namespace {

/// The page's bytes as text, in the charset the reply or the page names.
QString DecodePage(const QByteArray& body, const QByteArray& contentType) {
    const std::string_view bytes(body.constData(), static_cast<size_t>(body.size()));
    const std::string charset =
        PageCharset(std::string_view(contentType.constData(), contentType.size()), bytes);
    if (IsGbkCharset(charset)) return QString::fromStdString(GbkToUtf8(bytes));
    if (charset != "utf-8" && charset != "utf8") {
        QStringDecoder decoder(charset.c_str());
        if (decoder.isValid()) return decoder.decode(body);
    }
    return QString::fromUtf8(body);
}

}  // namespace

TextWebPane::TextWebPane(QWidget* parent)
    : WebPane(parent), m_browser(new QTextBrowser(this)), m_network(new QNetworkAccessManager(this)) {
    m_browser->setObjectName("webText");
    m_browser->setOpenLinks(false);
    m_browser->installEventFilter(this);
    setFocusProxy(m_browser);
    connect(m_browser, &QTextBrowser::anchorClicked, this, &TextWebPane::OpenLink);
}

void TextWebPane::Load(const QUrl& url) {
    if (!m_site.isValid()) m_site = url;
    // A new page drops the pages ahead of the one on show, as in any browser.
    m_history.resize(static_cast<size_t>(m_index + 1));
    m_history.push_back(url);
    m_index = static_cast<int>(m_history.size()) - 1;
    Fetch(url);
}

void TextWebPane::Back() {
    if (!CanGoBack()) return;
    --m_index;
    Fetch(m_history[static_cast<size_t>(m_index)]);
}

void TextWebPane::Forward() {
    if (!CanGoForward()) return;
    ++m_index;
    Fetch(m_history[static_cast<size_t>(m_index)]);
}

void TextWebPane::Reload() {
    if (m_index >= 0) Fetch(m_history[static_cast<size_t>(m_index)]);
}

QUrl TextWebPane::CurrentUrl() const {
    return m_index >= 0 ? m_history[static_cast<size_t>(m_index)] : QUrl();
}

QString TextWebPane::ShownText() const { return m_browser->toPlainText(); }

bool TextWebPane::PrintTo(QPrinter& printer) {
    m_browser->print(&printer);
    return printer.printerState() != QPrinter::Error;
}

void TextWebPane::Fetch(const QUrl& url) {
    // Only the newest request counts: a slow page never replaces a later one.
    if (QNetworkReply* previous = m_reply) {
        m_reply = nullptr;
        previous->abort();
    }
    if (m_browser->document()->isEmpty())
        m_browser->setHtml(QString::fromUtf8("<p>正在打开 %1 ...</p>").arg(url.toString().toHtmlEscaped()));
    QNetworkRequest request(url);
    request.setTransferTimeout(10000);
    QNetworkReply* reply = m_network->get(request);
    m_reply = reply;
    connect(reply, &QNetworkReply::downloadProgress, reply, [reply](qint64 received, qint64) {
        if (received <= kMaxPageBytes) return;
        reply->setProperty("tooLarge", true);
        reply->abort();
    });
    connect(reply, &QNetworkReply::finished, this, [this, reply] { OnFinished(reply); });
}

void TextWebPane::OnFinished(QNetworkReply* reply) {
    reply->deleteLater();
    if (reply != m_reply) return;   // superseded
    const QUrl url = reply->url();  // after redirects: links resolve against it
    if (m_index >= 0) m_history[static_cast<size_t>(m_index)] = url;
    if (reply->error() != QNetworkReply::NoError) {
        ShowMessage(
            url, reply->property("tooLarge").toBool() ? QString::fromUtf8("页面过大") : reply->errorString());
        return;
    }
    const QByteArray body = reply->read(kMaxPageBytes);
    m_browser->setHtml(DecodePage(body, reply->header(QNetworkRequest::ContentTypeHeader).toByteArray()));
    if (!url.fragment().isEmpty()) m_browser->scrollToAnchor(url.fragment());
    emit PageShown();
}

void TextWebPane::ShowMessage(const QUrl& url, const QString& reason) {
    m_browser->setHtml(QString::fromUtf8("<h3>资讯系统</h3><p>无法打开 %1</p><p>%2</p>")
                           .arg(url.toString().toHtmlEscaped(), reason.toHtmlEscaped()));
    emit PageShown();
}

void TextWebPane::OpenLink(const QUrl& link) {
    const QUrl current = CurrentUrl();
    const QUrl target = current.resolved(link);
    if (target.adjusted(QUrl::RemoveFragment) == current.adjusted(QUrl::RemoveFragment) &&
        !target.fragment().isEmpty()) {
        m_browser->scrollToAnchor(target.fragment());  // a place on the same page
        return;
    }
    if (OpensInView(target, m_site.isValid() ? m_site : current) || OpensBesideLocalPage(target, current))
        Load(target);
    else
        QDesktopServices::openUrl(target);
}

bool TextWebPane::eventFilter(QObject* watched, QEvent* event) {
    // The browser has Alt+Left/Right of its own for a history it does not keep here.
    if (watched == m_browser && event->type() == QEvent::KeyPress)
        return RunKeyAction(ActionOfKey(*static_cast<QKeyEvent*>(event), false));
    return WebPane::eventFilter(watched, event);
}

void TextWebPane::resizeEvent(QResizeEvent* event) {
    WebPane::resizeEvent(event);
    m_browser->setGeometry(rect());
}

WebPane* CreateTextWebPane(QWidget* parent) { return new TextWebPane(parent); }

}  // namespace qelt
