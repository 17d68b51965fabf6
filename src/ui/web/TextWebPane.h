#pragma once
/// The information view's browser in a build without Qt WebEngine: pages fetched over HTTP
/// and shown as rich text. No scripts, forms or images from the web, but the page's own
/// charset (the reply's type, else its meta tag; GBK pages decoded as GBK), links resolved
/// against the page on show, a history with back and forward, and printing.
#include <QPointer>
#include <QUrl>
#include <vector>

#include "WebPane.h"

class QNetworkAccessManager;
class QNetworkReply;
class QTextBrowser;

namespace qelt {

class TextWebPane : public WebPane {
    Q_OBJECT
  public:
    explicit TextWebPane(QWidget* parent = nullptr);

    void Load(const QUrl& url) override;
    void Back() override;
    void Forward() override;
    void Reload() override;
    bool CanGoBack() const override { return m_index > 0; }
    bool CanGoForward() const override { return m_index + 1 < static_cast<int>(m_history.size()); }
    QUrl CurrentUrl() const override;
    QString ShownText() const override;
    bool PrintTo(QPrinter& printer) override;
    bool UsesEngine() const override { return false; }

    /// Largest page read; a longer one is cut off with a message.
    static constexpr qint64 kMaxPageBytes = 4 << 20;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void Fetch(const QUrl& url);
    void OnFinished(QNetworkReply* reply);
    void OpenLink(const QUrl& link);
    void ShowMessage(const QUrl& url, const QString& reason);

    QTextBrowser* m_browser;
    QNetworkAccessManager* m_network;
    QPointer<QNetworkReply> m_reply;  ///< the fetch under way
    QUrl m_site;                      ///< the first page: links of its site stay in the view
    std::vector<QUrl> m_history;
    int m_index = -1;
};

}  // namespace qelt
