#pragma once
/// What the application does when the connection is lost (WM_NET_RECONNECT): up to three
/// re-login attempts one second apart, then offline with "和服务器断开了连接！"; after the
/// server's own "dis" (wParam 10) no attempt at all and "管理员断开了你和服务器的连接！".
///
/// The one-second rhythm runs on timers, never as sleeps on the interface thread, and the
/// message boxes are shown after the flow has settled, so nothing waits on a modal window.
#include <functional>
#include <string>

namespace qelt {

class ReloginServices {
  public:
    virtual ~ReloginServices() = default;
    virtual void StopPolling() = 0;
    virtual void MarkDisconnected() = 0;
    virtual void CloseSocket() = 0;
    /// Connects to the current server and starts the receive thread without making the
    /// interface wait; `done` runs later on the interface thread with the result.
    virtual void Connect(std::function<void(bool)> done) = 0;
    /// Sends "login:" user ":" password ":1:" with the login credentials.
    virtual void SendRelogin() = 0;
    virtual void StartPolling() = 0;
    virtual void SetOffline() = 0;
    virtual void ShowMessage(const std::string& text, const std::string& caption) = 0;
    virtual void After(int milliseconds, std::function<void()> then) = 0;
};

class ReloginFlow {
  public:
    explicit ReloginFlow(ReloginServices& services) : m_services(services) {}

    /// WM_NET_RECONNECT with wParam = attempts already made.
    void OnReconnect(long attemptsMade);
    bool Running() const { return m_running; }

  private:
    void Attempt(int i);
    void AfterAttempt(int i, bool connected);
    ReloginServices& m_services;
    bool m_running = false;
};

}  // namespace qelt
