#pragma once
/// Turns SIGTERM and SIGINT into a call on the interface thread, so that stopping the
/// program from outside runs the same orderly shut-down as closing the main window.
#include <QObject>
#include <functional>

class QSocketNotifier;

namespace qelt {

class SignalBridge : public QObject {
    Q_OBJECT
  public:
    explicit SignalBridge(std::function<void()> onSignal, QObject* parent = nullptr);
    ~SignalBridge() override;

  private:
    std::function<void()> m_onSignal;
    QSocketNotifier* m_notifier = nullptr;
};

}  // namespace qelt
