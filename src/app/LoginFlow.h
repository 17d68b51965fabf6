#pragma once
/// The login dialog's rules: connecting, the verdict, the version check, and the start-up
/// synchronisation with its status texts and progress arithmetic (categories 10-20, board
/// 20-30, series 30-80, history up to 90, trades 80-100). The session runs it while the
/// dialog is open and answers its questions (LoginServices).
///
/// - The session counts as online from the server's acceptance of the login on, never from
///   the connection alone.
/// - The progress bar and the status line show one number, the bar's: the step's texts
///   carry the whole synchronisation's percentage, which never goes back.
/// - A connection lost once the login was accepted is tried again (the re-login, up to
///   three times a second apart) and the synchronisation starts over on it; lost before the
///   verdict, the attempt fails as a refused connection does.
/// - After a failure the keyboard is back on the field at fault, its text selected.
///
/// The dialog's pauses ("wait 200 ms") never block the interface: a pause is a timer, and
/// replies that arrive during it are held back and handled after it, in arrival order, so
/// the user sees the same sequence of texts as if the interface had slept.
#include <deque>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "common/GoodsKey.h"
#include "common/ServerList.h"

namespace qelt {

/// The dialog's fields, for the one a failure points at.
enum class LoginField { User, Password, Server };

/// What the flow needs from the dialog window.
class LoginDisplay {
  public:
    virtual ~LoginDisplay() = default;
    virtual void SetStatus(const std::string& text) = 0;
    virtual void SetProgress(int value) = 0;
    virtual void EnableLoginButton(bool enabled) = 0;
    /// Gives `field` the keyboard, its text selected.
    virtual void FocusField(LoginField field) = 0;
    virtual void ShowMessage(const std::string& text, const std::string& caption) = 0;
    /// Runs `then` after `milliseconds` on the interface thread.
    virtual void After(int milliseconds, std::function<void()> then) = 0;
    /// Ends the dialog: OK continues the application, Cancel ends it.
    virtual void EndDialog(bool ok) = 0;
};

/// What the flow needs from the rest of the application.
class LoginServices {
  public:
    virtual ~LoginServices() = default;
    virtual bool IsConnected() const = 0;
    /// Connects and starts the receive thread without making the interface wait, with
    /// `first` (the login) as the connection's first message: `done` runs later on the
    /// interface thread with the result. After CancelConnect (or the next Connect) a pending
    /// `done` never runs.
    virtual void Connect(const std::string& dottedAddress, int port, std::string first,
                         std::function<void(bool)> done) = 0;
    virtual void CancelConnect() = 0;
    virtual std::string ResolveAddress(const std::string& text) = 0;
    virtual void SetOnline(bool online) = 0;
    /// Going offline on a live connection: the connection closes (no re-login follows), the
    /// commands still queued are dropped and the store starts empty.
    virtual void CloseConnection() = 0;
    virtual void SetCurrentServer(const std::string& address, int port) = 0;
    /// A single command of the login's own on the connection it made, queued behind the
    /// others on the paced sender; never waits.
    virtual void SendCommand(const std::string& message) = 0;
    /// Commands sent in order and paced, without holding up the interface.
    virtual void SendPaced(std::vector<std::string> messages) = 0;
    virtual int LoginCode() = 0;
    virtual void ResetStore() = 0;
    /// The contract of every main record, in order.
    virtual std::vector<GoodsKey> MainKeys() = 0;
    virtual void KeepCredentials(const std::string& user, const std::string& password) = 0;
    /// Rewrites sys.ini: the pair when `remember`, empty otherwise.
    virtual void WriteRememberedLogin(bool remember, const std::string& user,
                                      const std::string& password) = 0;
    /// Starts the updater with "address|port".
    virtual void StartUpdater(const std::string& argument) = 0;
};

/// The status text for a login verdict code; codes outside 0..5 read as a rejection.
std::string VerdictText(int code);
/// The field a refused login points at: the password for 密码错误, the account otherwise.
LoginField FieldAtFault(int verdictCode);

/// True when the server list is the one an installation starts with: the demo server on
/// this machine alone.
bool IsDemoServerList(const std::vector<ServerEntry>& servers);
/// The line that tells a user of the demo server which accounts it has; empty for any
/// other server list.
std::string DemoAccountsHint(const std::vector<ServerEntry>& servers);

class LoginFlow {
  public:
    LoginFlow(LoginDisplay& view, LoginServices& services) : m_view(view), m_services(services) {}
    /// A connect under way is abandoned with the flow.
    ~LoginFlow();
    LoginFlow(const LoginFlow&) = delete;
    LoginFlow& operator=(const LoginFlow&) = delete;

    /// Button "登 陆": `address` and `port` are the chosen server's texts.
    void OnLogin(const std::string& user, const std::string& password, bool remember,
                 const std::string& address, const std::string& port);
    /// Button "脱机浏览".
    void OnOffline();

    // Notifications from the receive side.
    void OnLoginReply();
    void OnVersion(int version);
    void OnCategories();
    void OnList();
    void OnLine();
    void OnHistory(int remaining);
    void OnTrades();
    /// The connection ended before the synchronisation was over (`byServer`: the server's
    /// "dis"): the attempt fails as a refused connection does, and the user may try again
    /// from the start.
    void OnConnectionLost(bool byServer);

    int Progress() const { return m_progress; }
    bool Synchronised() const { return m_synchronised; }
    /// A connect is under way (the dialog stays responsive meanwhile).
    bool Connecting() const { return m_connecting; }
    const std::string& ResolvedAddress() const { return m_address; }
    int Port() const { return m_port; }

  private:
    void SetProgress(int value);
    void SetStatus(const std::string& text) { m_view.SetStatus(text); }
    /// Pauses, then runs `then` and the replies held back meanwhile.
    void Pause(int milliseconds, std::function<void()> then);
    /// Runs `handler` now, or after the pause under way.
    void Handle(std::function<void()> handler);
    void OnConnected(bool connected);
    /// The connection failed or went: "连接服务器失败...", the box, the button again, and the
    /// keyboard on the server choice.
    void Fail(const std::string& text, const std::string& caption);
    /// Connects again with the re-login after a drop, once the login had been accepted.
    void Retry();
    /// Moves the bar to `value` unless it is further already; the number the texts show.
    int Advance(int value);
    void RequestTrades();
    /// The synchronisation's last step: 100%, then the dialog ends with OK.
    void Finish();

    LoginDisplay& m_view;
    LoginServices& m_services;
    std::string m_user, m_password, m_address;
    bool m_remember = false;
    int m_port = 0;
    int m_progress = 0;
    bool m_synchronised = false;
    bool m_connecting = false;
    bool m_finished = false;
    int m_seriesReplies = 0;
    int m_tradeReplies = 0;
    int m_largestHistory = 0;
    bool m_pausing = false;
    std::deque<std::function<void()>> m_heldBack;
    /// Counts the attempts: a pause of an attempt that failed meanwhile ends without effect.
    int m_attempt = 0;
    /// 登 陆 was pressed and the attempt has not failed since: replies are taken.
    bool m_active = false;
    /// The server accepted this login (since 登 陆 was pressed): a drop is tried again.
    bool m_accepted = false;
    /// Connections tried again since 登 陆 was pressed; 0 while none is.
    int m_retries = 0;
};

}  // namespace qelt
