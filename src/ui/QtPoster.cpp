#include "QtPoster.h"

#include <QCoreApplication>

namespace qelt {

WindowId QtPoster::Register(QObject* receiver) {
    std::lock_guard lock(m_mutex);
    WindowId id = m_next++;
    m_windows[id] = receiver;
    return id;
}

void QtPoster::Unregister(WindowId window) {
    std::lock_guard lock(m_mutex);
    m_windows.erase(window);
}

void QtPoster::SetApplicationReceiver(QObject* receiver) {
    std::lock_guard lock(m_mutex);
    m_application = receiver;
}

void QtPoster::PostWindowMessage(WindowId window, unsigned message, std::intptr_t wParam,
                                 std::intptr_t lParam) {
    std::lock_guard lock(m_mutex);
    auto it = m_windows.find(window);
    if (it == m_windows.end()) return;
    // Posting under the lock: the receiver cannot be unregistered (and destroyed) meanwhile,
    // and Qt drops events still queued for an object when it is deleted.
    QCoreApplication::postEvent(it->second, new WindowMessageEvent(message, wParam, lParam));
}

void QtPoster::PostThreadMessage(unsigned message, std::intptr_t wParam, std::intptr_t lParam) {
    std::lock_guard lock(m_mutex);
    if (m_application)
        QCoreApplication::postEvent(m_application, new WindowMessageEvent(message, wParam, lParam));
}

}  // namespace qelt
