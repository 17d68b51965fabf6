#include "LoginFlow.h"

#include <algorithm>
#include <cstdio>

#include "common/DemoServer.h"
#include "common/DiagnosticLog.h"
#include "common/Numbers.h"
#include "net/Requests.h"

namespace qelt {
namespace {

/// Connections tried again after a drop during the synchronisation, a second apart.
constexpr int kRetries = 3;
constexpr int kRetrySpacingMs = 1000;

std::string Printf(const char* format, int a, int b = 0, int c = 0) {
    char buffer[128];
    std::snprintf(buffer, sizeof buffer, format, a, b, c);  // integers only: no locale in play
    return buffer;
}

}  // namespace

std::string VerdictText(int code) {
    static const char* const kTexts[] = {"登陆成功",   "用户不存在",     "密码错误",
                                         "帐号被锁定", "帐号正在使用中", "帐号已到期"};
    if (code >= 0 && code <= 5) return kTexts[code];
    return "登陆失败(" + FormatInt(code) + ")";
}

LoginField FieldAtFault(int verdictCode) {
    return verdictCode == 2 ? LoginField::Password : LoginField::User;
}

bool IsDemoServerList(const std::vector<ServerEntry>& servers) {
    return servers.size() == 1 &&
           servers[0] == ServerEntry{std::string(kDemoServerName), std::string(kDemoServerAddress),
                                     std::string(kDemoServerPort)};
}

std::string DemoAccountsHint(const std::vector<ServerEntry>& servers) {
    if (!IsDemoServerList(servers)) return {};
    std::string accounts;
    for (const DemoAccount& account : kDemoAccounts) {
        if (!accounts.empty()) accounts += "、";
        accounts += std::string(account.user) + "/" + std::string(account.password);
    }
    return std::string(kDemoServerName) + "的帐号/密码：" + accounts;
}

LoginFlow::~LoginFlow() {
    if (m_connecting) m_services.CancelConnect();
}

void LoginFlow::SetProgress(int value) {
    m_progress = value;
    m_view.SetProgress(value);
}

int LoginFlow::Advance(int value) {
    if (value > m_progress) SetProgress(value);
    return m_progress;
}

void LoginFlow::Pause(int milliseconds, std::function<void()> then) {
    m_pausing = true;
    m_view.After(milliseconds, [this, then = std::move(then), attempt = m_attempt] {
        if (attempt != m_attempt) return;
        m_pausing = false;
        then();
        while (!m_pausing && !m_heldBack.empty()) {
            auto next = std::move(m_heldBack.front());
            m_heldBack.pop_front();
            next();
        }
    });
}

void LoginFlow::Handle(std::function<void()> handler) {
    if (!m_active) return;  // a reply of a lost attempt, or before any
    if (m_pausing) {
        m_heldBack.push_back(std::move(handler));
        return;
    }
    handler();
}

void LoginFlow::OnLogin(const std::string& user, const std::string& password, bool remember,
                        const std::string& address, const std::string& port) {
    m_user = user;
    m_password = password;
    m_remember = remember;
    m_active = true;
    m_accepted = false;
    m_retries = 0;
    m_view.EnableLoginButton(false);
    m_address = m_services.ResolveAddress(address);
    m_port = LeadingInt(port);
    // The account's name helps whoever reads the log; its password never goes there.
    Log("login as " + user + " on " + address + ":" + port +
        (m_address.empty() ? " (the address does not resolve)" : " (" + m_address + ")"));
    if (m_services.IsConnected()) {
        SetStatus("验证身份...");
        m_services.SendCommand(LoginRequest(m_user, m_password));
        return;
    }
    m_connecting = true;
    // The login is the connection's first message.
    m_services.Connect(m_address, m_port, LoginRequest(m_user, m_password),
                       [this](bool connected) { OnConnected(connected); });
}

void LoginFlow::OnConnected(bool connected) {
    m_connecting = false;
    if (!connected) {
        Log("login: no connection to the server");
        if (m_retries > 0 && m_retries < kRetries) {
            Retry();
            return;
        }
        Fail("无法连接服务器！\r\n请检查网络连接！", "连接失败");
        return;
    }
    // Connected is not logged in: the session goes online with the server's verdict.
    m_services.SetCurrentServer(m_address, m_port);
    SetStatus("验证身份...");
}

void LoginFlow::Fail(const std::string& text, const std::string& caption) {
    m_active = false;
    m_retries = 0;
    SetStatus("连接服务器失败...");
    m_view.ShowMessage(text, caption);
    m_view.EnableLoginButton(true);
    m_view.FocusField(LoginField::Server);
}

void LoginFlow::Retry() {
    ++m_retries;
    Log("login: connecting again, attempt " + FormatInt(m_retries) + " of " + FormatInt(kRetries));
    m_view.After(kRetrySpacingMs, [this, attempt = m_attempt] {
        if (attempt != m_attempt) return;
        m_active = true;
        m_connecting = true;
        // The server already knows this account: the re-login takes over what it kept of the
        // lost connection.
        m_services.Connect(m_address, m_port, LoginRequest(m_user, m_password, true),
                           [this](bool connected) { OnConnected(connected); });
    });
}

void LoginFlow::OnConnectionLost(bool byServer) {
    // Whatever was under way belongs to the lost connection: pauses, held-back replies, the
    // counters. The next 登 陆 starts from nothing.
    ++m_attempt;
    m_active = false;
    m_pausing = false;
    m_heldBack.clear();
    m_connecting = false;
    m_finished = false;
    m_synchronised = false;
    m_seriesReplies = m_tradeReplies = m_largestHistory = 0;
    Log(byServer ? "login: the server ended the session" : "login: the connection was lost");
    SetProgress(0);
    if (!byServer && m_accepted && m_retries < kRetries) {
        // The account is good and the server was there: the synchronisation starts over on a
        // new connection rather than leave the user to press 登 陆 again.
        SetStatus("连接服务器失败...");
        Retry();
        return;
    }
    if (byServer)
        Fail("管理员断开了你和服务器的连接！", "系统提示");
    else
        Fail("无法连接服务器！\r\n请检查网络连接！", "连接失败");
}

void LoginFlow::OnOffline() {
    ++m_attempt;  // a retry waiting for its turn never comes
    if (m_connecting) {
        m_connecting = false;
        m_services.CancelConnect();
    }
    // Offline means offline: a connection made by this dialog (or before it) goes, and what
    // it brought into the store with it, so that the local database fills an empty store.
    if (m_services.IsConnected()) m_services.CloseConnection();
    m_services.SetOnline(false);
    Log("offline browsing");
    m_view.EndDialog(true);
}

void LoginFlow::OnLoginReply() {
    Handle([this] {
        const int code = m_services.LoginCode();
        Log("login verdict " + FormatInt(code) + ": " + VerdictText(code));
        SetStatus("验证身份..." + VerdictText(code));
        if (code == 0) {
            m_accepted = true;
            m_services.SetOnline(true);
        }
        Pause(200, [this, code] {
            if (code != 0) {
                m_view.EnableLoginButton(true);
                m_view.FocusField(FieldAtFault(code));
                return;
            }
            if (m_progress < 10) SetProgress(10);
            m_services.KeepCredentials(m_user, m_password);
            m_services.WriteRememberedLogin(m_remember, m_user, m_password);
            m_services.SendCommand(VersionRequest());
        });
    });
}

void LoginFlow::OnVersion(int version) {
    Handle([this, version] {
        if (version != 0) {
            Log("version check: this client is out of date, starting the updater");
            m_services.StartUpdater(m_address + "|" + FormatInt(m_port));
            m_services.SetOnline(false);
            m_view.EndDialog(false);
            return;
        }
        Log("version check: up to date; synchronising");
        m_services.ResetStore();
        m_synchronised = true;
        if (m_progress < 1) SetStatus("初始化商品分类...");
        m_services.SendCommand(CategoryRequest());
    });
}

void LoginFlow::OnCategories() {
    Handle([this] {
        Log("synchronisation: categories received");
        SetStatus("初始化商品分类...完成");
        if (m_progress >= 20) {
            m_services.SendCommand(ListRequest());
            return;
        }
        SetProgress(20);
        Pause(200, [this] {
            SetStatus("初始化商品列表...");
            m_services.SendCommand(ListRequest());
        });
    });
}

void LoginFlow::OnList() {
    Handle([this] {
        if (m_progress >= 30) return;
        Log("synchronisation: board received, " + FormatInt(static_cast<int>(m_services.MainKeys().size())) +
            " goods");
        SetStatus("初始化商品列表...完成");
        SetProgress(30);
        Pause(200, [this] {
            SetStatus("同步行情数据...");
            // An empty board brings no series reply to wait for: the synchronisation goes on.
            if (!m_services.MainKeys().empty()) return;
            SetStatus("同步行情数据...完成");
            SetProgress(80);
            RequestTrades();
        });
    });
}

void LoginFlow::OnLine() {
    Handle([this] {
        const int n = static_cast<int>(m_services.MainKeys().size());
        ++m_seriesReplies;
        const int k = m_seriesReplies;
        if (k < n) {
            const int shown = Advance(k * 50 / n + 30);
            SetStatus(Printf("同步行情数据...%d%%[%d/%d]", shown, k, n));
            return;
        }
        if (k != n) return;
        Log("synchronisation: series of " + FormatInt(n) + " goods received");
        if (m_progress < 80) {
            SetStatus("同步行情数据...完成");
            SetProgress(80);
        }
        RequestTrades();
        SetStatus(Printf("同步交易信息...%d%%", m_progress));
    });
}

void LoginFlow::RequestTrades() {
    std::vector<std::string> requests;
    for (const GoodsKey& goods : m_services.MainKeys()) requests.push_back(RealSyncRequest(goods));
    if (requests.empty()) {
        Finish();  // no trade reply will come
        return;
    }
    m_services.SendPaced(std::move(requests));
}

void LoginFlow::Finish() {
    if (m_finished) return;
    m_finished = true;
    Log("synchronisation finished");
    SetStatus("同步交易信息...完成");
    SetProgress(100);
    Pause(500, [this] { m_view.EndDialog(true); });
}

void LoginFlow::OnHistory(int remaining) {
    Handle([this, remaining] {
        m_largestHistory = std::max(m_largestHistory, remaining);
        if (remaining > 0) {
            const int shown = Advance(HistoryProgressPercent(remaining, m_largestHistory));
            SetStatus(Printf("下载历史数据...%d%%", shown));
            return;
        }
        Log("synchronisation: history received");
        if (m_progress < 90) {
            SetProgress(90);
            SetStatus(Printf("下载历史数据...%d%%", 90));
        }
        Pause(500, [this] {
            RequestTrades();
            m_tradeReplies = 0;
        });
    });
}

void LoginFlow::OnTrades() {
    Handle([this] {
        const int n = static_cast<int>(m_services.MainKeys().size());
        ++m_tradeReplies;
        const int t = m_tradeReplies;
        if (t < n) {
            const int shown = Advance(t * 20 / n + 80);
            SetStatus(Printf("同步交易信息...%d[%d/%d]", shown, t, n));
            return;
        }
        if (t > n) return;  // the second round of trade requests after the history ends
        Finish();
    });
}

}  // namespace qelt
