#include "ui/ScreenPlacement.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include "app/WindowPlacement.h"

namespace qelt {
namespace {

Rect ToRect(const QRect& r) { return {r.left(), r.top(), r.right() + 1, r.bottom() + 1}; }

/// Fits `wanted` (client geometry) into the screen's free area with the decorations the window
/// has now: none before it is first shown, the window manager's once it is on screen.
void Fit(QWidget& window, const QRect& wanted) {
    QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (!screen) {
        window.setGeometry(wanted);
        return;
    }
    const QRect client = window.geometry();
    // The platform's window knows the decorations as soon as it exists; the widget learns
    // them later.
    const QMargins margins = window.windowHandle() ? window.windowHandle()->frameMargins() : QMargins();
    const FrameMargins frame{margins.left(), margins.top(), margins.right(), margins.bottom()};
    const Rect placed = PlaceWithin(ToRect(wanted), ToRect(screen->availableGeometry()), frame,
                                    {window.minimumWidth(), window.minimumHeight()});
    const QRect result(placed.left, placed.top, placed.Width(), placed.Height());
    if (result != client) window.setGeometry(result);
}

/// Fits the window again each time it is shown, when its decorations are known (a window
/// manager adds a title bar that the first placement could not count).
class RefitOnShow : public QObject {
  public:
    static constexpr const char* kName = "refitOnShow";

    explicit RefitOnShow(QWidget& window) : QObject(&window), m_window(window) {
        setObjectName(QString::fromLatin1(kName));
        window.installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        const bool plain = !m_window.isMaximized() && !m_window.isFullScreen();
        if (watched == &m_window && event->type() == QEvent::Show && plain)
            Fit(m_window, m_window.geometry());
        return false;
    }

  private:
    QWidget& m_window;
};

}  // namespace

void PlaceOnScreen(QWidget& window, const QRect& wanted) {
    Fit(window, wanted);
    if (!window.findChild<QObject*>(QString::fromLatin1(RefitOnShow::kName), Qt::FindDirectChildrenOnly))
        new RefitOnShow(window);
}

}  // namespace qelt
