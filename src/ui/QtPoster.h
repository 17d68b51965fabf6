#pragma once
/// Posting from any thread to the interface: window messages become posted QEvents of the
/// same type number (WM_NET_LIST is QEvent::Type(1226)) sent to the QObject registered under
/// the window handle; thread messages go to the application object.
#include <QEvent>
#include <QObject>
#include <map>
#include <mutex>

#include "common/Poster.h"

namespace qelt {

/// The event carrying a window or thread message.
class WindowMessageEvent : public QEvent {
  public:
    WindowMessageEvent(unsigned message, std::intptr_t wParam, std::intptr_t lParam)
        : QEvent(static_cast<QEvent::Type>(message)), m_wParam(wParam), m_lParam(lParam) {}
    unsigned Message() const { return static_cast<unsigned>(type()); }
    std::intptr_t WParam() const { return m_wParam; }
    std::intptr_t LParam() const { return m_lParam; }

  private:
    std::intptr_t m_wParam;
    std::intptr_t m_lParam;
};

class QtPoster : public Poster {
  public:
    /// Registers a receiver and returns its handle; Unregister before the object dies.
    WindowId Register(QObject* receiver);
    void Unregister(WindowId window);
    /// The receiver of thread messages (the application object).
    void SetApplicationReceiver(QObject* receiver);

    void PostWindowMessage(WindowId window, unsigned message, std::intptr_t wParam,
                           std::intptr_t lParam) override;
    void PostThreadMessage(unsigned message, std::intptr_t wParam, std::intptr_t lParam) override;

  private:
    std::mutex m_mutex;
    std::map<WindowId, QObject*> m_windows;
    WindowId m_next = 1;
    QObject* m_application = nullptr;
};

}  // namespace qelt
