#pragma once
/// The browser inside the information view: Qt WebEngine when the program is built with it,
/// otherwise a rich-text browser that fetches pages itself. Both keep a history of their own,
/// answer the same keys and print the page on show.
///
/// Keys, whichever browser: Alt+Left and Backspace (when no text field of the page has the
/// focus) go back, Alt+Right forward, Ctrl+R reloads. The function keys are never seen here:
/// the application handles them before any window does.
#include <QUrl>
#include <QWidget>

class QKeyEvent;
class QPrinter;

namespace qelt {

class WebPane : public QWidget {
    Q_OBJECT
  public:
    using QWidget::QWidget;

    /// Opens `url` as the next page of the history.
    virtual void Load(const QUrl& url) = 0;
    virtual void Back() = 0;
    virtual void Forward() = 0;
    virtual void Reload() = 0;
    virtual bool CanGoBack() const = 0;
    virtual bool CanGoForward() const = 0;
    /// The address of the page on show (the one being opened while it loads).
    virtual QUrl CurrentUrl() const = 0;
    /// The plain text of the page on show, as it stood when it last finished loading (or the
    /// message shown in its place when it could not load).
    virtual QString ShownText() const = 0;
    /// Prints the page on show to `printer` as it is set up; false when that failed.
    virtual bool PrintTo(QPrinter& printer) = 0;
    /// True for the WebEngine browser.
    virtual bool UsesEngine() const = 0;

  signals:
    /// A page, or the message that stands for one that could not load, is on show.
    void PageShown();

  protected:
    enum class KeyAction { None, Back, Forward, Reload };
    /// What a key pressed in the page asks for; `inTextField` when the page's focus is in
    /// something that takes text (Backspace edits there).
    static KeyAction ActionOfKey(const QKeyEvent& key, bool inTextField);
    /// Runs the action; true when there was one.
    bool RunKeyAction(KeyAction action);
};

/// The browser this build has, as a child of `parent`.
WebPane* CreateWebPane(QWidget* parent);

/// The rich-text browser, whichever browser this build has (its tests use it directly).
WebPane* CreateTextWebPane(QWidget* parent);

/// True when this build shows pages with Qt WebEngine.
bool WebEngineBuilt();

/// Links of the operator's site ("/web/...") open in the view; others in the desktop's browser.
bool OpensInView(const QUrl& link, const QUrl& site);

/// A local document on show (the user manual) opens the pages of its own folder and below in
/// the view too.
bool OpensBesideLocalPage(const QUrl& link, const QUrl& current);

}  // namespace qelt
