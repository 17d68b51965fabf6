#include "app/Session.h"

#include "common/DiagnosticLog.h"
#include "common/Messages.h"
#include "common/Numbers.h"
#include "net/Requests.h"

namespace qelt {
namespace {

/// Attempts a second apart after a lost connection before the session counts as offline;
/// WM_NET_RECONNECT's wParam counts those made, and the server's "dis" (10) is beyond them.
constexpr int kQuickAttempts = 3;
constexpr int kQuickSpacingMs = 1000;
constexpr int kFirstBackgroundPauseMs = 5000;
constexpr int kLongestPauseMs = 60000;

}  // namespace

int ReloginPauseMs(int attempt) {
    if (attempt <= kQuickAttempts) return kQuickSpacingMs;
    int pause = kFirstBackgroundPauseMs;
    for (int k = kQuickAttempts + 1; k < attempt && pause < kLongestPauseMs; ++k) pause *= 2;
    return pause < kLongestPauseMs ? pause : kLongestPauseMs;
}

std::string ReloginStatusText(int attempt) {
    return "连接已断开，正在重试…（第 " + FormatInt(attempt) + " 次）";
}

Session::Session(Connection& connection, Scheduler& scheduler, SessionHost& host)
    : m_connection(connection), m_scheduler(scheduler), m_host(host) {}

Session::~Session() {
    CancelRelogin();
    m_login.reset();
    m_connection.CancelConnect();
}

void Session::SetPhase(Phase phase) {
    m_phase = phase;
    m_host.SessionChanged();
}

// ---- the login dialog ----

LoginFlow& Session::BeginLogin(LoginDisplay& view) {
    // The user asked for a connection (连接行情主站): the re-login under way gives way.
    CancelRelogin();
    m_connection.CancelConnect();
    m_connection.StopPolling();
    m_login = std::make_unique<LoginFlow>(view, static_cast<LoginServices&>(*this));
    SetPhase(Phase::LoggingIn);
    return *m_login;
}

void Session::EndLogin(bool accepted) {
    const bool synchronised = m_login && m_login->Synchronised();
    m_login.reset();  // a connect under way is abandoned with the flow
    if (accepted && synchronised && IsOnline() && m_connection.IsConnected()) {
        Log("session online");
        SetPhase(Phase::Online);
        ApplyRequests();
        return;
    }
    // Cancelled with a connection the dialog made: it goes (nothing more may be asked on
    // it). Offline browsing closed it already.
    if (m_connection.IsConnected()) m_connection.Close();
    m_online = false;
    SetPhase(Phase::Idle);
}

void Session::OnNotify(unsigned message, std::intptr_t wParam) {
    if (!m_login) return;
    switch (message) {
        case WM_NET_LOGIN:
            m_login->OnLoginReply();
            break;
        case WM_NET_VER:
            m_login->OnVersion(static_cast<int>(wParam));
            break;
        case WM_NET_CATEGORY:
            m_login->OnCategories();
            break;
        case WM_NET_LIST:
            m_login->OnList();
            break;
        case WM_NET_LINE:
            m_login->OnLine();
            break;
        case WM_NET_HIS:
            m_login->OnHistory(static_cast<int>(wParam));
            break;
        case WM_NET_REAL:
            m_login->OnTrades();
            break;
        default:
            break;
    }
}

void Session::BrowseOffline() {
    m_online = false;
    SetPhase(Phase::Idle);
}

void Session::Connect(const std::string& address, int port, std::string first,
                      std::function<void(bool)> done) {
    m_connection.Connect(address, port, std::move(first), std::move(done));
}

void Session::SetOnline(bool online) {
    m_online = online;
    m_host.SessionChanged();
}

void Session::CloseConnection() {
    m_connection.Close();
    m_host.ResetStore();
}

void Session::SetCurrentServer(const std::string& address, int port) {
    m_serverAddress = address;
    m_serverPort = port;
}

void Session::KeepCredentials(const std::string& user, const std::string& password) {
    m_user = user;
    m_password = password;
}

// ---- the running session ----

void Session::OnConnectionLost(std::intptr_t attemptsMade) {
    m_connection.StopPolling();
    const bool byServer = attemptsMade + 1 > kQuickAttempts;
    if (m_phase == Phase::LoggingIn) {
        // The dialog decides: it starts over, or tries again once the login was accepted.
        if (byServer) m_connection.Close();
        m_online = false;
        m_host.SessionChanged();
        if (m_login) m_login->OnConnectionLost(byServer);
        return;
    }
    if (byServer) {
        Log("the server disconnected this session: no re-login");
        CancelRelogin();
        m_connection.Close();
        SetPhase(Phase::Ended);
        m_host.ShowMessage("管理员断开了你和服务器的连接！", "系统提示");
        return;
    }
    if (m_phase == Phase::Relogging && m_awaitingVerdict) {
        // The re-login's own connection went before its verdict.
        m_awaitingVerdict = false;
        AttemptFailed(m_attempt);
        return;
    }
    // Only a live session is recovered; and one procedure at a time: the attempt under way
    // decides.
    if (m_phase != Phase::Online) return;
    SetPhase(Phase::Relogging);
    Relogin(static_cast<int>(attemptsMade) + 1);
}

void Session::Relogin(int attempt) {
    m_attempt = attempt;
    m_awaitingVerdict = false;
    Log(attempt <= kQuickAttempts
            ? "re-login attempt " + FormatInt(attempt) + " of " + FormatInt(kQuickAttempts)
            : "re-login attempt " + FormatInt(attempt) + " (in the background)");
    m_host.SessionChanged();  // the status bar counts the attempts
    // The re-login is the new connection's first message: nothing queued before it, and no
    // polling pass, can reach the server ahead of it.
    m_connection.Connect(m_serverAddress, m_serverPort, LoginRequest(m_user, m_password, true),
                         [this, attempt, procedure = m_relogin](bool connected) {
                             if (procedure == m_relogin) AfterRelogin(attempt, connected);
                         });
}

void Session::AfterRelogin(int attempt, bool connected) {
    if (!connected) {
        AttemptFailed(attempt);
        return;
    }
    Log("re-login attempt " + FormatInt(attempt) + ": connected, login sent");
    m_awaitingVerdict = true;
}

void Session::OnLoginVerdict(int code) {
    if (m_phase != Phase::Relogging || !m_awaitingVerdict) return;
    m_awaitingVerdict = false;
    if (code != 0) {
        Log("re-login attempt " + FormatInt(m_attempt) + " refused: " + VerdictText(code));
        m_connection.Close();
        AttemptFailed(m_attempt);
        return;
    }
    Log("re-login attempt " + FormatInt(m_attempt) + ": logged in");
    m_attempt = 0;
    m_online = true;
    SetPhase(Phase::Online);
    ApplyRequests();
}

void Session::AttemptFailed(int attempt) {
    Log("re-login attempt " + FormatInt(attempt) + " failed");
    if (attempt == kQuickAttempts) GoOffline();
    m_scheduler.After(ReloginPauseMs(attempt + 1), [this, next = attempt + 1, procedure = m_relogin] {
        if (procedure == m_relogin) Relogin(next);
    });
}

void Session::GoOffline() {
    Log("re-login given up: offline, trying again in the background");
    m_online = false;
    m_host.SessionChanged();
    m_host.ShowMessage("和服务器断开了连接！", "系统提示");
}

void Session::CancelRelogin() {
    ++m_relogin;
    m_awaitingVerdict = false;
    if (m_phase == Phase::Relogging) m_connection.CancelConnect();
}

void Session::Disconnect() {
    Log("disconnected by the user");
    CancelRelogin();
    m_connection.StopPolling();
    m_connection.Close();
    SetPhase(Phase::Ended);
}

void Session::Shutdown() {
    CancelRelogin();
    m_connection.StopPolling();
}

void Session::Send(const std::string& request) {
    // Nothing goes out on a connection whose login the server has not accepted (yet).
    if (m_phase != Phase::Online || !IsOnline()) {
        Log("not logged in: not sent: " + request.substr(0, request.find(':') + 1));
        return;
    }
    m_connection.Send(request);
}

// ---- the view's requests ----

void Session::ShowRequests(std::optional<std::vector<std::string>> standing, bool withAlarms) {
    m_view = ViewRequests{std::move(standing), withAlarms};
    ApplyRequests();
}

void Session::HoldRequests() {
    m_view.reset();
    m_connection.StopPolling();
}

void Session::ApplyRequests() {
    if (m_phase != Phase::Online || !IsOnline() || !m_connection.IsConnected() || !m_view) return;
    // A view without standing requests of its own keeps the alarm queries going alone,
    // unless its kind opts out.
    if (!m_view->standing && !m_view->withAlarms) {
        m_connection.StopPolling();
        return;
    }
    m_connection.Poll(m_view->standing.value_or(std::vector<std::string>{}), m_view->withAlarms);
}

}  // namespace qelt
