#include <gtest/gtest.h>

#include "app/LoginFlow.h"
#include "common/DemoServer.h"
#include "common/Numbers.h"

namespace qelt {
namespace {

/// Records what the dialog shows; pauses run when the test says so.
struct FakeLogin : LoginDisplay, LoginServices {
    std::vector<std::string> statuses, sent, paced, messages;
    std::vector<int> progress;
    std::vector<LoginField> focused;
    std::vector<std::function<void()>> timers;
    bool buttonEnabled = true, connected = false, connectOk = true, online = false;
    int ended = -1, loginCode = 0, cancels = 0, closes = 0;
    std::string updaterArgument, sysIni = "untouched";
    std::vector<GoodsKey> keys;

    void SetStatus(const std::string& t) override { statuses.push_back(t); }
    void SetProgress(int v) override { progress.push_back(v); }
    void EnableLoginButton(bool e) override { buttonEnabled = e; }
    void FocusField(LoginField f) override { focused.push_back(f); }
    void ShowMessage(const std::string& t, const std::string& c) override { messages.push_back(c + ":" + t); }
    void After(int, std::function<void()> then) override { timers.push_back(std::move(then)); }
    void EndDialog(bool ok) override { ended = ok; }
    bool IsConnected() const override { return connected; }
    void Connect(const std::string&, int, std::string first, std::function<void(bool)> done) override {
        if (connectOk) sent.push_back(first);  // the connection's first message
        done(connected = connectOk);
    }
    void CancelConnect() override { ++cancels; }
    std::string ResolveAddress(const std::string& t) override { return t; }
    void SetOnline(bool o) override { online = o; }
    void CloseConnection() override {
        connected = false;
        ++closes;
    }
    void SetCurrentServer(const std::string&, int) override {}
    void SendCommand(const std::string& m) override { sent.push_back(m); }
    void SendPaced(std::vector<std::string> m) override { paced.insert(paced.end(), m.begin(), m.end()); }
    int LoginCode() override { return loginCode; }
    void ResetStore() override {}
    std::vector<GoodsKey> MainKeys() override { return keys; }
    void KeepCredentials(const std::string&, const std::string&) override {}
    void WriteRememberedLogin(bool remember, const std::string& u, const std::string& p) override {
        sysIni = remember ? u + "|" + p : "";
    }
    void StartUpdater(const std::string& a) override { updaterArgument = a; }
    void RunTimers() {
        while (!timers.empty()) {
            auto t = std::move(timers.front());
            timers.erase(timers.begin());
            t();
        }
    }
};

/// The percentage a status text shows ("同步行情数据...31%[1/50]" shows 31); -1 without one.
int ShownPercent(const std::string& status) {
    const size_t dots = status.rfind("...");
    if (dots == std::string::npos || status.size() == dots + 3) return -1;
    const char first = status[dots + 3];
    return first >= '0' && first <= '9' ? LeadingInt(status.substr(dots + 3)) : -1;
}

class LoginFlowTest : public ::testing::Test {
  protected:
    LoginFlowTest() : flow(fake, fake) {
        for (int i = 0; i < 50; ++i) fake.keys.push_back({"0001", "2007" + std::to_string(100 + i)});
    }
    void LogInThroughVersion() {
        flow.OnLogin("demo", "pw", true, "127.0.0.1", "3500");
        flow.OnLoginReply();
        fake.RunTimers();
        flow.OnVersion(0);
        flow.OnCategories();
        fake.RunTimers();
        flow.OnList();
        fake.RunTimers();
    }
    FakeLogin fake;
    LoginFlow flow;
};

TEST_F(LoginFlowTest, FullSynchronisationReachesOneHundredWithTheTextsInOrder) {
    LogInThroughVersion();
    EXPECT_EQ(fake.sent, (std::vector<std::string>{"login:demo:pw:", "ver:1.96:", "category:", "list:"}));
    EXPECT_EQ(fake.sysIni, "demo|pw");
    // The bar and the text beside it show one number all the way.
    for (int k = 1; k <= 49; ++k) {
        flow.OnLine();
        EXPECT_EQ(ShownPercent(fake.statuses.back()), fake.progress.back()) << fake.statuses.back();
    }
    EXPECT_EQ(fake.statuses.back(), "同步行情数据...79%[49/50]");
    EXPECT_EQ(fake.progress.back(), 79);
    EXPECT_TRUE(fake.paced.empty()) << "trades are asked only after the 50th series reply";
    flow.OnLine();
    EXPECT_EQ(fake.paced.size(), 50u);
    EXPECT_EQ(fake.paced[0], "real::0001:2007100:8:");
    EXPECT_EQ(fake.statuses.back(), "同步交易信息...80%");
    EXPECT_EQ(fake.progress.back(), 80);
    for (int t = 1; t <= 49; ++t) {
        flow.OnTrades();
        EXPECT_EQ(ShownPercent(fake.statuses.back()), fake.progress.back()) << fake.statuses.back();
    }
    EXPECT_EQ(fake.statuses.back(), "同步交易信息...99[49/50]");
    EXPECT_EQ(fake.progress.back(), 99);
    flow.OnTrades();
    EXPECT_EQ(fake.statuses.back(), "同步交易信息...完成");
    EXPECT_EQ(fake.progress.back(), 100);
    EXPECT_EQ(fake.ended, -1) << "the dialog ends half a second later";
    fake.RunTimers();
    EXPECT_EQ(fake.ended, 1);
    EXPECT_TRUE(flow.Synchronised());
    // "初始化商品分类..." is not shown: the progress is already 10 after the verdict.
    std::vector<std::string> expectedStart{"验证身份...",
                                           "验证身份...登陆成功",
                                           "初始化商品分类...完成",
                                           "初始化商品列表...",
                                           "初始化商品列表...完成",
                                           "同步行情数据...",
                                           "同步行情数据...31%[1/50]",
                                           "同步行情数据...32%[2/50]"};
    EXPECT_EQ(std::vector<std::string>(fake.statuses.begin(), fake.statuses.begin() + 8), expectedStart);
}

TEST_F(LoginFlowTest, RepliesDuringAPauseAreHandledAfterIt) {
    flow.OnLogin("demo", "pw", false, "127.0.0.1", "3500");
    flow.OnLoginReply();
    fake.RunTimers();
    flow.OnVersion(0);
    flow.OnCategories();
    fake.RunTimers();
    flow.OnList();  // pauses 200 ms before "同步行情数据..."
    flow.OnLine();  // arrives during the pause
    EXPECT_EQ(fake.statuses.back(), "初始化商品列表...完成");
    fake.RunTimers();
    ASSERT_GE(fake.statuses.size(), 2u);
    EXPECT_EQ(fake.statuses[fake.statuses.size() - 2], "同步行情数据...");
    EXPECT_EQ(fake.statuses.back(), "同步行情数据...31%[1/50]");
    EXPECT_EQ(fake.sysIni, "") << "unchecked: sys.ini is rewritten empty";
}

TEST_F(LoginFlowTest, RejectedLoginShowsTheVerdictAndAllowsARetry) {
    fake.loginCode = 2;
    flow.OnLogin("demo", "bad", true, "127.0.0.1", "3500");
    EXPECT_FALSE(fake.buttonEnabled);
    EXPECT_FALSE(fake.online) << "connected is not logged in";
    flow.OnLoginReply();
    EXPECT_EQ(fake.statuses.back(), "验证身份...密码错误");
    fake.RunTimers();
    EXPECT_TRUE(fake.buttonEnabled);
    EXPECT_EQ(fake.focused, std::vector<LoginField>{LoginField::Password}) << "back on the field at fault";
    EXPECT_FALSE(fake.online) << "nothing may be asked on a refused connection";
    EXPECT_EQ(fake.sysIni, "untouched");
    fake.loginCode = 0;
    flow.OnLogin("demo", "pw", true, "127.0.0.1", "3500");
    EXPECT_EQ(fake.sent.back(), "login:demo:pw:") << "already connected: the login goes out at once";
    EXPECT_FALSE(fake.online);
    flow.OnLoginReply();
    EXPECT_TRUE(fake.online) << "online with the server's yes";
    EXPECT_EQ(VerdictText(9).substr(0, 12), "登陆失败");
}

/// The verdict texts, code by code (the status line shows them after "验证身份...").
TEST_F(LoginFlowTest, EachVerdictCodeShowsItsOwnText) {
    const std::vector<std::string> texts{"登陆成功",   "用户不存在",     "密码错误",
                                         "帐号被锁定", "帐号正在使用中", "帐号已到期"};
    for (int code = 0; code <= 5; ++code) {
        fake.loginCode = code;
        fake.sent.clear();
        flow.OnLogin("demo", "pw", false, "127.0.0.1", "3500");
        flow.OnLoginReply();
        EXPECT_EQ(fake.statuses.back(), "验证身份..." + texts[code]) << "code " << code;
        fake.RunTimers();
        EXPECT_EQ(fake.buttonEnabled, code != 0) << "code " << code << ": only 0 goes on";
        EXPECT_EQ(fake.sent.back(), code == 0 ? "ver:1.96:" : "login:demo:pw:") << "code " << code;
        if (code != 0) {
            ASSERT_FALSE(fake.focused.empty()) << "code " << code;
            EXPECT_EQ(fake.focused.back(), code == 2 ? LoginField::Password : LoginField::User)
                << "code " << code;
        }
    }
    EXPECT_EQ(FieldAtFault(9), LoginField::User) << "an unknown refusal points at the account";
}

/// A connection lost in the middle of the synchronisation, once the server has accepted
/// the login: the dialog connects again (the re-login, a second later) and the
/// synchronisation starts over on the new connection; what the lost one was waiting for is
/// forgotten.
TEST_F(LoginFlowTest, ADropDuringTheSynchronisationConnectsAgainAndStartsOver) {
    LogInThroughVersion();
    for (int k = 1; k <= 20; ++k) flow.OnLine();
    flow.OnHistory(0);  // a pause of 500 ms under way
    fake.connected = false;
    fake.sent.clear();
    flow.OnConnectionLost(false);
    EXPECT_EQ(fake.statuses.back(), "连接服务器失败...");
    EXPECT_EQ(fake.progress.back(), 0);
    EXPECT_TRUE(fake.messages.empty()) << "no box while it tries again";
    EXPECT_FALSE(fake.buttonEnabled);
    EXPECT_FALSE(flow.Synchronised());
    fake.paced.clear();
    fake.RunTimers();  // the lost attempt's pause, then the retry a second later
    EXPECT_TRUE(fake.paced.empty()) << "the pause of the lost attempt does nothing";
    EXPECT_EQ(fake.sent, std::vector<std::string>{"login:demo:pw:1:"})
        << "the re-login leads the new connection";
    EXPECT_EQ(fake.statuses.back(), "验证身份...");
    flow.OnLoginReply();
    fake.RunTimers();
    flow.OnVersion(0);
    flow.OnCategories();
    fake.RunTimers();
    flow.OnList();
    fake.RunTimers();
    flow.OnLine();
    EXPECT_EQ(fake.statuses.back(), "同步行情数据...31%[1/50]") << "the series count starts from 0";
    EXPECT_EQ(fake.ended, -1);
    for (int k = 2; k <= 50; ++k) flow.OnLine();
    for (int t = 1; t <= 50; ++t) flow.OnTrades();
    fake.RunTimers();
    EXPECT_EQ(fake.ended, 1) << "the synchronisation ends on the new connection";
    EXPECT_TRUE(fake.messages.empty());
}

/// The retries end: three connections that fail, then the box, the button and the server
/// choice as after any failed connect. A drop before the verdict, or the server's "dis",
/// is never tried again.
TEST_F(LoginFlowTest, RetriesAreFewAndOnlyForAnAcceptedLogin) {
    LogInThroughVersion();
    fake.connected = false;
    fake.connectOk = false;
    fake.sent.clear();
    flow.OnConnectionLost(false);
    fake.RunTimers();
    EXPECT_EQ(fake.messages, std::vector<std::string>{"连接失败:无法连接服务器！\r\n请检查网络连接！"});
    EXPECT_TRUE(fake.buttonEnabled);
    EXPECT_EQ(fake.focused, std::vector<LoginField>{LoginField::Server});
    EXPECT_EQ(fake.statuses.back(), "连接服务器失败...");

    fake.connectOk = true;
    fake.messages.clear();
    fake.sent.clear();
    flow.OnLogin("demo", "pw", false, "127.0.0.1", "3500");  // connected, the verdict not yet in
    fake.connected = false;
    flow.OnConnectionLost(false);
    fake.RunTimers();
    EXPECT_EQ(fake.sent, std::vector<std::string>{"login:demo:pw:"}) << "no re-login nobody confirmed";
    EXPECT_EQ(fake.messages.size(), 1u);
    EXPECT_TRUE(fake.buttonEnabled);

    fake.messages.clear();
    LogInThroughVersion();
    flow.OnConnectionLost(true);
    fake.RunTimers();
    EXPECT_EQ(fake.messages, std::vector<std::string>{"系统提示:管理员断开了你和服务器的连接！"});
    EXPECT_TRUE(fake.buttonEnabled);
}

TEST_F(LoginFlowTest, NewVersionStartsTheUpdaterAndEndsTheApplication) {
    flow.OnLogin("demo", "pw", true, "127.0.0.1", "3500");
    flow.OnLoginReply();
    fake.RunTimers();
    flow.OnVersion(1);
    EXPECT_EQ(fake.updaterArgument, "127.0.0.1|3500");
    EXPECT_EQ(fake.ended, 0);
    EXPECT_FALSE(fake.online);
    EXPECT_FALSE(flow.Synchronised());
}

TEST_F(LoginFlowTest, ConnectionFailureReportsAndReenablesTheButton) {
    fake.connectOk = false;
    flow.OnLogin("demo", "pw", true, "127.0.0.1", "3500");
    EXPECT_EQ(fake.statuses.back(), "连接服务器失败...");
    EXPECT_EQ(fake.messages.back(), "连接失败:无法连接服务器！\r\n请检查网络连接！");
    EXPECT_TRUE(fake.buttonEnabled);
    EXPECT_EQ(fake.focused, std::vector<LoginField>{LoginField::Server}) << "the server choice is at fault";
    EXPECT_FALSE(fake.online);
}

/// With the server list an installation starts with, the dialog names the demo accounts;
/// with any other list it says nothing of them.
TEST(LoginHints, TheInstalledServerListNamesTheDemoAccounts) {
    const std::vector<ServerEntry> installed = ReadServerList(QELT_DEFAULTS_DIR "/");
    ASSERT_TRUE(IsDemoServerList(installed)) << "data/defaults/config.ini is the demo server's";
    const std::string hint = DemoAccountsHint(installed);
    for (const DemoAccount& account : kDemoAccounts)
        EXPECT_NE(hint.find(std::string(account.user) + "/" + std::string(account.password)),
                  std::string::npos)
            << hint;
    EXPECT_EQ(DemoAccountsHint({{"主站", "10.0.0.1", "3500"}}), "");
    std::vector<ServerEntry> more = installed;
    more.push_back({"主站", "10.0.0.1", "3500"});
    EXPECT_EQ(DemoAccountsHint(more), "") << "a list of the user's own";
    EXPECT_EQ(DemoAccountsHint({}), "");
    EXPECT_EQ(DemoAccountsHint({{"演示主站", "127.0.0.1", "3501"}}), "");
}

TEST_F(LoginFlowTest, HistoryProgressCountsDownThenAsksTradesAgain) {
    LogInThroughVersion();
    for (int k = 1; k <= 50; ++k) flow.OnLine();
    fake.paced.clear();
    flow.OnTrades();
    flow.OnHistory(200);
    EXPECT_EQ(fake.statuses.back(), "下载历史数据...80%");
    flow.OnHistory(100);
    EXPECT_EQ(fake.statuses.back(), "下载历史数据...85%");
    flow.OnHistory(0);
    EXPECT_EQ(fake.statuses.back(), "下载历史数据...90%");
    EXPECT_EQ(fake.progress.back(), 90);
    fake.RunTimers();
    EXPECT_EQ(fake.paced.size(), 50u);
    for (int t = 1; t <= 49; ++t) flow.OnTrades();
    EXPECT_EQ(fake.ended, -1) << "the trade counter started again from 0";
    flow.OnTrades();
    fake.RunTimers();
    EXPECT_EQ(fake.ended, 1);
}

TEST_F(LoginFlowTest, OfflineEndsWithOkAndOffline) {
    flow.OnOffline();
    EXPECT_EQ(fake.ended, 1);
    EXPECT_FALSE(fake.online);
}

TEST_F(LoginFlowTest, OfflineOnALiveConnectionClosesItAndEmptiesTheStore) {
    LogInThroughVersion();  // connected, categories and board in the store
    flow.OnOffline();
    EXPECT_EQ(fake.closes, 1);
    EXPECT_FALSE(fake.connected);
    EXPECT_FALSE(fake.online);
    EXPECT_EQ(fake.ended, 1) << "offline browsing goes on";

    FakeLogin before;  // offline before any connection: nothing to close
    LoginFlow untouched(before, before);
    untouched.OnOffline();
    EXPECT_EQ(before.closes, 0);
}

TEST_F(LoginFlowTest, AnEmptyBoardDoesNotStallTheSynchronisation) {
    fake.keys.clear();
    flow.OnLogin("demo", "pw", true, "127.0.0.1", "3500");
    flow.OnLoginReply();
    fake.RunTimers();
    flow.OnVersion(0);
    flow.OnCategories();
    fake.RunTimers();
    flow.OnList();
    fake.RunTimers();
    EXPECT_EQ(fake.progress.back(), 100);
    EXPECT_EQ(fake.statuses.back(), "同步交易信息...完成");
    EXPECT_EQ(fake.ended, 1);
    EXPECT_TRUE(fake.paced.empty());
    flow.OnHistory(0);  // a late history reply does not end the dialog twice
    fake.ended = -1;
    fake.RunTimers();
    EXPECT_EQ(fake.ended, -1);
}

}  // namespace
}  // namespace qelt
