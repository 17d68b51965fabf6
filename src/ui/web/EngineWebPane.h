#pragma once
/// The information view's browser with Qt WebEngine: the operator's pages as in any browser
/// (scripts, forms, images, styles). Links of the operator's site stay in the view, others go
/// to the desktop's browser; a link that asks for a new window opens in the view the same
/// way. A page that cannot load shows the engine's error page, or a short message when the
/// engine has none to show (a render process that ended included), never an empty window.
#include <QUrl>

#include "WebPane.h"

class QLabel;
class QWebEngineView;

namespace qelt {

class EngineWebPane : public WebPane {
    Q_OBJECT
  public:
    explicit EngineWebPane(QWidget* parent = nullptr);

    void Load(const QUrl& url) override;
    void Back() override;
    void Forward() override;
    void Reload() override;
    bool CanGoBack() const override;
    bool CanGoForward() const override;
    QUrl CurrentUrl() const override;
    QString ShownText() const override { return m_text; }
    /// Waits (in a local event loop, at most a minute) for the engine to lay the page out for
    /// the printer.
    bool PrintTo(QPrinter& printer) override;
    bool UsesEngine() const override { return true; }

    /// Opens `url` on behalf of a link: in the view when it belongs to the operator's site,
    /// otherwise in the desktop's browser.
    void FollowLink(const QUrl& url);
    const QUrl& Site() const { return m_site; }

  protected:
    /// The keys of the browser (back, forward, reload) are taken on their way to the page.
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void WatchKeys();
    void OnLoadFinished(bool ok);
    void ShowMessage(const QString& text);

    QWebEngineView* m_view;
    QLabel* m_message;  ///< over the page when the engine has nothing to show
    QUrl m_site;
    QString m_text;
};

}  // namespace qelt
