#pragma once
/// `Session`: the connection's life from one place. Connecting, the login with its version
/// check and start-up synchronisation (the login dialog's rules are `LoginFlow`, which the
/// session runs while the dialog is open), online, a lost connection, the server's "dis",
/// the user's 断开行情主站, offline browsing and the end of the program.
///
/// A lost connection is tried again three times a second apart; then the session is
/// offline ("和服务器断开了连接！") and goes on trying in the background, 5 s after the third
/// attempt and then twice as long each time up to a minute, until the server answers or the
/// user chooses 断开行情主站 (or 连接行情主站). While it tries, the quotes on show are stale.
///
/// What goes out and when is decided here alone: a connection's first message is its login
/// (the connection writes it before anything else), and the session counts as logged in only
/// once the server has accepted that login: polling, the views' commands and the store's
/// series requests wait for the verdict. So a re-login reads: stop polling, connect with the
/// re-login as the first message, wait for the verdict, then poll again.
///
/// Threads: everything runs on the interface thread except `IsOnline`, which the receive
/// thread reads (the store asks it before sending series requests); the flag is atomic.
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/LoginFlow.h"
#include "common/GoodsKey.h"

namespace qelt {

/// The connection as the session drives it. Every message goes through one ordered path:
/// single commands in their order ahead of paced batches, polling passes in between.
class Connection {
  public:
    virtual ~Connection() = default;
    /// Connects to `dottedAddress`:`port` without making the interface wait. Once connected,
    /// `first` is the first message written on the new connection, whatever was queued
    /// before; `done` then runs on the interface thread with the result. After CancelConnect
    /// (or the next Connect) a pending `done` never runs.
    virtual void Connect(const std::string& dottedAddress, int port, std::string first,
                         std::function<void(bool)> done) = 0;
    virtual void CancelConnect() = 0;
    virtual bool IsConnected() const = 0;
    /// A single command, after the single commands queued before it.
    virtual void Send(const std::string& message) = 0;
    /// Commands paced behind everything else, in order.
    virtual void SendPaced(std::vector<std::string> messages) = 0;
    /// Polls once a second from now on: `standing`, then the alarm queries when `withAlarms`.
    virtual void Poll(std::vector<std::string> standing, bool withAlarms) = 0;
    virtual void StopPolling() = 0;
    /// Client-initiated disconnect: nothing queued goes out, no WM_NET_RECONNECT follows.
    virtual void Close() = 0;
};

/// Runs work later on the interface thread.
class Scheduler {
  public:
    virtual ~Scheduler() = default;
    virtual void After(int milliseconds, std::function<void()> then) = 0;
};

/// What the session needs from the rest of the application.
class SessionHost {
  public:
    virtual ~SessionHost() = default;
    virtual std::string ResolveAddress(const std::string& text) = 0;
    /// The verdict of the last "login" reply (the store keeps it).
    virtual int LoginCode() = 0;
    virtual void ResetStore() = 0;
    /// goods_no and due_date of every main record, in order.
    virtual std::vector<GoodsKey> MainKeys() = 0;
    /// Rewrites sys.ini: the pair when `remember`, empty otherwise.
    virtual void RememberLogin(bool remember, const std::string& user, const std::string& password) = 0;
    /// Starts the updater with "address|port".
    virtual void StartUpdater(const std::string& argument) = 0;
    /// A message box that never holds anything up ("系统提示").
    virtual void ShowMessage(const std::string& text, const std::string& caption) = 0;
    /// Online or live changed: the title and the commands' states follow.
    virtual void SessionChanged() = 0;
};

/// The standing requests of the view on show, as the session is told of them.
class SessionLink {
  public:
    virtual ~SessionLink() = default;
    /// Online: logged in by the login dialog and not given up since (any thread).
    virtual bool IsOnline() const = 0;
    /// The connection was lost and has not come back: the quotes on show are stale.
    virtual bool QuotesStale() const { return false; }
    /// The view on show asks for `standing` every second (nothing: it has none of its
    /// own) and for the alarm queries when `withAlarms`; polled while the session is
    /// online and logged in, kept for later otherwise.
    virtual void ShowRequests(std::optional<std::vector<std::string>> standing, bool withAlarms) = 0;
    /// The view on show goes: nothing it asked for is sent from now on.
    virtual void HoldRequests() = 0;
    /// One command to the server, queued behind the others; never waits. Dropped unless the
    /// session is logged in.
    virtual void Send(const std::string& request) = 0;
};

/// The pause before re-login attempt `attempt` (2 and up): a second before the second and
/// the third, then 5 s, doubling each time up to a minute.
int ReloginPauseMs(int attempt);
/// The status bar while attempt `attempt` is under way: "连接已断开，正在重试…（第 N 次）".
std::string ReloginStatusText(int attempt);

class Session : public SessionLink, private LoginServices {
  public:
    enum class Phase {
        Idle,       ///< no connection: before the first login, offline browsing, a cancelled login
        LoggingIn,  ///< the login dialog is open
        Online,     ///< logged in and synchronised: polling follows the view on show
        Relogging,  ///< the connection was lost: re-login attempts (or their verdict) under way
        Ended,      ///< 断开行情主站 or the server's "dis": no re-login
    };

    Session(Connection& connection, Scheduler& scheduler, SessionHost& host);
    ~Session() override;
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // ---- the login dialog ----
    /// The login dialog opens: its rules run against this session until EndLogin. A re-login
    /// under way gives way to it.
    LoginFlow& BeginLogin(LoginDisplay& view);
    /// The login dialog closed (`accepted`: with OK). Online after a synchronisation; a
    /// connection the dialog left half-made (cancelled) is closed.
    void EndLogin(bool accepted);
    /// The flow of the open login dialog; nullptr when none is open.
    LoginFlow* Login() const { return m_login.get(); }
    /// A notification of the store while the login dialog is open (WM_NET_LOGIN, WM_NET_VER,
    /// WM_NET_CATEGORY, WM_NET_LIST, WM_NET_LINE, WM_NET_HIS, WM_NET_REAL).
    void OnNotify(unsigned message, std::intptr_t wParam);
    /// Starting without the login dialog (--offline): browsing the local database.
    void BrowseOffline();

    // ---- the running session ----
    /// WM_NET_RECONNECT: the connection ended (`attemptsMade` 0) or the server sent "dis"
    /// (10). Online: three re-login attempts a second apart, then offline with
    /// "和服务器断开了连接！" and further attempts in the background; after "dis" none and
    /// "管理员断开了你和服务器的连接！". During the login the dialog decides (LoginFlow).
    void OnConnectionLost(std::intptr_t attemptsMade);
    /// The server's verdict on a login (any thread's "login" reply, handed over on the
    /// interface thread): a re-login waiting for it goes online (0) or counts as a failed
    /// attempt. Nothing else listens here: the login dialog has its own WM_NET_LOGIN.
    void OnLoginVerdict(int code);
    /// 断开行情主站: the connection closes and the session ends without a re-login.
    void Disconnect();
    /// The program ends: nothing more is polled or attempted.
    void Shutdown();

    // ---- SessionLink ----
    bool IsOnline() const override { return m_online.load(); }
    void ShowRequests(std::optional<std::vector<std::string>> standing, bool withAlarms) override;
    void HoldRequests() override;
    void Send(const std::string& request) override;
    bool QuotesStale() const override { return m_phase == Phase::Relogging; }

    // ---- state ----
    Phase CurrentPhase() const { return m_phase; }
    /// Online and not ended: the title shows no " [脱机]".
    bool Live() const { return IsOnline() && m_phase != Phase::Ended; }
    bool IsConnected() const override { return m_connection.IsConnected(); }
    /// The user name typed at the login that made the session (re-login, password change).
    const std::string& User() const { return m_user; }
    /// The re-login attempt under way (1 and up) while the connection is being tried again,
    /// else 0.
    int ReloginAttempt() const { return m_phase == Phase::Relogging ? m_attempt : 0; }
    const std::string& ServerAddress() const { return m_serverAddress; }
    int ServerPort() const { return m_serverPort; }

  private:
    // LoginServices: what the login dialog's rules ask of the session.
    void Connect(const std::string& address, int port, std::string first,
                 std::function<void(bool)> done) override;
    void CancelConnect() override { m_connection.CancelConnect(); }
    std::string ResolveAddress(const std::string& text) override { return m_host.ResolveAddress(text); }
    void SetOnline(bool online) override;
    void CloseConnection() override;
    void SetCurrentServer(const std::string& address, int port) override;
    void SendCommand(const std::string& message) override { m_connection.Send(message); }
    void SendPaced(std::vector<std::string> messages) override {
        m_connection.SendPaced(std::move(messages));
    }
    int LoginCode() override { return m_host.LoginCode(); }
    void ResetStore() override { m_host.ResetStore(); }
    std::vector<GoodsKey> MainKeys() override { return m_host.MainKeys(); }
    void KeepCredentials(const std::string& user, const std::string& password) override;
    void WriteRememberedLogin(bool remember, const std::string& user, const std::string& password) override {
        m_host.RememberLogin(remember, user, password);
    }
    void StartUpdater(const std::string& argument) override { m_host.StartUpdater(argument); }

    void SetPhase(Phase phase);
    /// Polls what the view on show asks for, when the session is online and logged in.
    void ApplyRequests();
    void Relogin(int attempt);
    void AfterRelogin(int attempt, bool connected);
    /// The attempt ended without a login: the next one after its pause (offline after the
    /// third).
    void AttemptFailed(int attempt);
    void GoOffline();
    /// Makes the callbacks of the re-login under way (connect, timers) do nothing.
    void CancelRelogin();

    Connection& m_connection;
    Scheduler& m_scheduler;
    SessionHost& m_host;
    std::unique_ptr<LoginFlow> m_login;
    Phase m_phase = Phase::Idle;
    std::atomic<bool> m_online{false};
    std::string m_user, m_password;
    std::string m_serverAddress;
    int m_serverPort = 0;
    /// The view on show's requests, once it told them (ShowRequests) and until it goes.
    struct ViewRequests {
        std::optional<std::vector<std::string>> standing;
        bool withAlarms = true;
    };
    std::optional<ViewRequests> m_view;
    /// Counts re-login procedures: a callback of an earlier one finds it changed and stops.
    std::uint64_t m_relogin = 0;
    int m_attempt = 0;               ///< the re-login attempt under way
    bool m_awaitingVerdict = false;  ///< its connection is up, its login on the way
};

}  // namespace qelt
