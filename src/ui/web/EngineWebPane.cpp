#include "EngineWebPane.h"

#include <QDesktopServices>
#include <QEventLoop>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <QPrinter>
#include <QTimer>
#include <QWebEngineHistory>
#include <QWebEnginePage>
#include <QWebEngineView>

namespace qelt {
namespace {

/// True when the element with the page's focus takes text (Backspace edits there).
constexpr char kFocusTakesText[] =
    "(function() { var e = document.activeElement; while (e && e.shadowRoot && e.shadowRoot.activeElement)"
    " e = e.shadowRoot.activeElement; return !!e && (e.isContentEditable ||"
    " /^(input|textarea|select)$/i.test(e.tagName)); })()";

/// The page of the view: decides where a clicked link opens.
class SitePage : public QWebEnginePage {
  public:
    explicit SitePage(EngineWebPane& pane) : QWebEnginePage(&pane), m_pane(pane) {}

  protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override {
        if (type != NavigationTypeLinkClicked || !isMainFrame || OpensInView(url, m_pane.Site()) ||
            OpensBesideLocalPage(url, this->url()))
            return true;
        QDesktopServices::openUrl(url);
        return false;
    }
    QWebEnginePage* createWindow(WebWindowType type) override;

  private:
    EngineWebPane& m_pane;
};

/// Stands in for a new window ("target=_blank", window.open): its first navigation is taken
/// over by the view, then it goes.
class NewWindowCatcher : public QWebEnginePage {
  public:
    explicit NewWindowCatcher(EngineWebPane& pane) : QWebEnginePage(&pane), m_pane(pane) {}

  protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType, bool) override {
        QPointer<EngineWebPane> pane = &m_pane;
        QTimer::singleShot(0, pane, [pane, url] { pane->FollowLink(url); });
        deleteLater();
        return false;
    }

  private:
    EngineWebPane& m_pane;
};

QWebEnginePage* SitePage::createWindow(WebWindowType) { return new NewWindowCatcher(m_pane); }

}  // namespace

EngineWebPane::EngineWebPane(QWidget* parent)
    : WebPane(parent), m_view(new QWebEngineView(this)), m_message(new QLabel(this)) {
    m_view->setObjectName("webEngine");
    m_view->setPage(new SitePage(*this));
    setFocusProxy(m_view);
    m_view->installEventFilter(this);
    WatchKeys();
    m_message->setObjectName("webMessage");
    m_message->setAlignment(Qt::AlignCenter);
    m_message->setWordWrap(true);
    m_message->setAutoFillBackground(true);
    m_message->hide();
    connect(m_view, &QWebEngineView::loadStarted, m_message, &QWidget::hide);
    connect(m_view, &QWebEngineView::loadFinished, this, &EngineWebPane::OnLoadFinished);
    connect(m_view->page(), &QWebEnginePage::renderProcessTerminated, this,
            [this](QWebEnginePage::RenderProcessTerminationStatus status) {
                if (status == QWebEnginePage::NormalTerminationStatus) return;
                ShowMessage(QString::fromUtf8("页面显示进程意外结束。按 Ctrl+R 重新打开。"));
            });
}

void EngineWebPane::Load(const QUrl& url) {
    if (!m_site.isValid()) m_site = url;
    m_view->load(url);
}

void EngineWebPane::FollowLink(const QUrl& url) {
    if (OpensInView(url, m_site) || OpensBesideLocalPage(url, CurrentUrl()))
        Load(url);
    else
        QDesktopServices::openUrl(url);
}

void EngineWebPane::Back() { m_view->back(); }
void EngineWebPane::Forward() { m_view->forward(); }
void EngineWebPane::Reload() { m_view->reload(); }
bool EngineWebPane::CanGoBack() const { return m_view->history()->canGoBack(); }
bool EngineWebPane::CanGoForward() const { return m_view->history()->canGoForward(); }
QUrl EngineWebPane::CurrentUrl() const { return m_view->url(); }

void EngineWebPane::OnLoadFinished(bool ok) {
    QPointer<EngineWebPane> self = this;
    const QUrl url = m_view->url();
    m_view->page()->toPlainText([self, ok, url](const QString& text) {
        if (!self) return;
        // The engine's own error page says what went wrong; only when it has none to show
        // does the view say it.
        if (!ok && text.trimmed().isEmpty()) {
            self->ShowMessage(QString::fromUtf8("资讯系统\n无法打开 %1").arg(url.toString()));
            return;
        }
        self->m_text = text;
        emit self->PageShown();
    });
}

void EngineWebPane::ShowMessage(const QString& text) {
    m_message->setText(text);
    m_message->setGeometry(rect());
    m_message->show();
    m_message->raise();
    m_text = text;
    emit PageShown();
}

bool EngineWebPane::PrintTo(QPrinter& printer) {
    bool printed = false;
    QEventLoop loop;
    connect(m_view, &QWebEngineView::printFinished, &loop, [&](bool success) {
        printed = success;
        loop.quit();
    });
    QTimer::singleShot(60000, &loop, &QEventLoop::quit);
    m_view->print(&printer);
    loop.exec();
    return printed;
}

void EngineWebPane::WatchKeys() {
    // The engine's window inside the view comes and goes with its render process: every
    // child gets the filter (installing it twice keeps one).
    for (QWidget* child : m_view->findChildren<QWidget*>()) child->installEventFilter(this);
}

bool EngineWebPane::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_view) {
        // Only to learn of new children: a key the engine's window leaves unused comes on
        // to the view and must not count twice.
        if (event->type() == QEvent::ChildAdded) QTimer::singleShot(0, this, &EngineWebPane::WatchKeys);
        return false;
    }
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
        return WebPane::eventFilter(watched, event);
    const auto& key = *static_cast<QKeyEvent*>(event);
    if (key.key() == Qt::Key_Backspace && key.modifiers() == Qt::NoModifier) {
        // The key goes on to the page (where a text field uses it); back only when the
        // page's focus is in nothing that takes text.
        QPointer<EngineWebPane> self = this;
        m_view->page()->runJavaScript(kFocusTakesText, [self](const QVariant& takesText) {
            if (self && !takesText.toBool()) self->Back();
        });
        return false;
    }
    const KeyAction action = ActionOfKey(key, false);
    if (action == KeyAction::None) return false;
    // After the engine has finished with the key: a navigation started inside its key
    // handling would be dropped.
    QTimer::singleShot(0, this, [this, action] { RunKeyAction(action); });
    return true;
}

void EngineWebPane::resizeEvent(QResizeEvent* event) {
    WebPane::resizeEvent(event);
    m_view->setGeometry(rect());
    m_message->setGeometry(rect());
}

WebPane* CreateWebPane(QWidget* parent) { return new EngineWebPane(parent); }

bool WebEngineBuilt() { return true; }

}  // namespace qelt
