#pragma once
// A deadline of its own for every login a test runs in process: a login dialog on screen for
// longer than the deadline is cancelled, so a login that never ends (no reply ever comes)
// fails the test within seconds instead of holding it until the test runner gives up.
#include <QApplication>
#include <QObject>
#include <QTimer>
#include <chrono>

#include "TestApplication.h"
#include "ui/CQeltLogin.h"

namespace qelt::test {

/// Cancels a login dialog on screen for longer than `limit` (InitInstance then returns
/// false); `Expired` says so.
class LoginDeadline : public QObject {
  public:
    explicit LoginDeadline(std::chrono::seconds limit = std::chrono::seconds(30)) {
        App();  // a timer needs the application (a fixture's members come before its body)
        auto* timer = new QTimer(this);
        connect(timer, &QTimer::timeout, this, [this, limit] {
            CQeltLogin* open = nullptr;
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* dialog = qobject_cast<CQeltLogin*>(w); dialog && dialog->isVisible()) open = dialog;
            if (open != m_dialog) {
                m_dialog = open;
                m_since = std::chrono::steady_clock::now();
            }
            if (open && std::chrono::steady_clock::now() - m_since > limit) {
                m_expired = true;
                open->reject();
            }
        });
        timer->start(50);
    }
    bool Expired() const { return m_expired; }

  private:
    CQeltLogin* m_dialog = nullptr;
    std::chrono::steady_clock::time_point m_since;
    bool m_expired = false;
};

}  // namespace qelt::test
