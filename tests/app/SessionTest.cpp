// The session against a fake connection that drops at every step: during the login, during
// the synchronisation, while polling, during a re-login attempt, with "dis" in flight. Each
// test asserts what went out on each connection and in which order.
#include <gtest/gtest.h>

#include "SessionFakes.h"
#include "common/Messages.h"

namespace qelt {
namespace {

using Wire = std::vector<std::string>;

class SessionTest : public ::testing::Test {
  protected:
    SessionTest() : view(timers), session(connection, timers, host) {}

    /// 登 陆 on the dialog: the connection comes up with the login as its first message.
    LoginFlow& Press(bool connects = true) {
        LoginFlow& flow = session.Login() ? *session.Login() : session.BeginLogin(view);
        flow.OnLogin("demo", "pw", false, "127.0.0.1", "3500");
        if (connection.pending) connection.Finish(connects);
        return flow;
    }
    /// The server's replies up to the board (one goods: one series reply to wait for).
    void ThroughTheBoard() {
        session.OnNotify(WM_NET_LOGIN, 0);
        timers.Run();
        session.OnNotify(WM_NET_VER, 0);
        session.OnNotify(WM_NET_CATEGORY, 0);
        timers.Run();
        session.OnNotify(WM_NET_LIST, 0);
        timers.Run();
    }
    /// A whole login and synchronisation; the dialog closes with OK and the board polls.
    void Online() {
        Press();
        ThroughTheBoard();
        session.OnNotify(WM_NET_LINE, 0);
        session.OnNotify(WM_NET_REAL, 0);
        timers.Run();
        ASSERT_EQ(view.ended, 1);
        session.EndLogin(true);
        ASSERT_EQ(session.CurrentPhase(), Session::Phase::Online);
        session.ShowRequests(Wire{"list:"}, true);
        connection.events.clear();
    }

    test::Timers timers;
    test::FakeConnection connection;
    test::FakeHost host;
    test::FakeLoginDisplay view;
    Session session;
};

TEST_F(SessionTest, TheLoginLeadsEveryConnectionAndPollingWaitsForTheSession) {
    session.ShowRequests(Wire{"list:"}, true);  // the view on show before any login
    EXPECT_TRUE(connection.events.empty()) << "nothing is polled before the session is online";
    Online();
    ASSERT_EQ(connection.wires.size(), 1u);
    EXPECT_EQ(connection.wires[0],
              (Wire{"login:demo:pw:", "ver:1.96:", "category:", "list:", "real::0101:20070325:8:"}));
    EXPECT_TRUE(connection.polling);
    EXPECT_EQ(connection.standing, Wire{"list:"});
    EXPECT_TRUE(session.Live());
    EXPECT_EQ(session.User(), "demo");
    EXPECT_EQ(session.ServerPort(), 3500);
}

/// The defect this shape fixes: after a drop the standing poll reached the new connection
/// before the re-login. Now: stop polling, connect with the re-login first, then poll.
TEST_F(SessionTest, ADropWhilePollingLogsInAgainBeforeAnythingElseGoesOut) {
    Online();
    connection.Pass();
    session.Send("pwd:demo:pw:new:");
    connection.Drop();
    session.Send("msg:");  // asked while the connection is gone
    session.OnConnectionLost(0);
    EXPECT_EQ(session.CurrentPhase(), Session::Phase::Relogging);
    EXPECT_TRUE(session.Live()) << "still online while the quick attempts run";
    EXPECT_TRUE(session.QuotesStale());
    connection.Pass();  // a pass due now finds nothing to poll
    connection.Finish(true);
    session.Send("real::0101:20070325:1:");  // a view asks before the verdict
    connection.Pass();
    EXPECT_EQ(connection.wires[1], Wire{"login:demo:pw:1:"})
        << "nothing before the server accepted the login";
    EXPECT_EQ(session.CurrentPhase(), Session::Phase::Relogging);
    session.OnLoginVerdict(0);
    connection.Pass();
    ASSERT_EQ(connection.wires.size(), 2u);
    EXPECT_EQ(connection.wires[1], (Wire{"login:demo:pw:1:", "list:", "alarm:"}));
    EXPECT_EQ(connection.events, (Wire{"connect login:demo:pw:1:", "poll list:+alarms"}))
        << "no pass is asked for before the new connection exists";
    EXPECT_EQ(connection.unsent, Wire{"msg:"}) << "before the session heard of the drop; nothing after it";
    EXPECT_EQ(session.CurrentPhase(), Session::Phase::Online);
    EXPECT_FALSE(session.QuotesStale());
}

/// A re-login the server refuses is a failed attempt: its connection goes, nothing was
/// asked on it, and the next attempt follows its pause.
TEST_F(SessionTest, ARefusedReloginIsAFailedAttempt) {
    Online();
    connection.Drop();
    session.OnConnectionLost(0);
    connection.Finish(true);
    session.OnLoginVerdict(4);  // 帐号正在使用中
    EXPECT_FALSE(connection.connected) << "closed";
    EXPECT_FALSE(connection.polling);
    EXPECT_EQ(session.CurrentPhase(), Session::Phase::Relogging);
    EXPECT_FALSE(connection.pending) << "the next attempt waits its pause";
    timers.Run();
    ASSERT_TRUE(connection.pending);
    EXPECT_EQ(session.ReloginAttempt(), 2);
    // A verdict nobody waits for (the connect under way has none yet) changes nothing.
    session.OnLoginVerdict(0);
    EXPECT_EQ(session.CurrentPhase(), Session::Phase::Relogging);
    EXPECT_FALSE(connection.polling);
}

/// A server that goes away and comes back: three attempts a second apart, then offline with
/// one message, then attempts in the background 5 s, 10 s, ... a minute apart until the
/// server answers; the session is online again with its login accepted.
TEST_F(SessionTest, ThreeQuickAttemptsThenOfflineAndTheBackgroundAttemptsUntilTheServerAnswers) {
    Online();
    timers.pauses.clear();
    connection.Drop();
    session.OnConnectionLost(0);
    EXPECT_EQ(session.ReloginAttempt(), 1);
    connection.Finish(false);
    EXPECT_FALSE(connection.pending) << "the next attempt waits a second";
    timers.Run();
    EXPECT_EQ(session.ReloginAttempt(), 2);
    connection.Finish(false);
    timers.Run();
    connection.Finish(false);
    EXPECT_EQ(connection.events,
              (Wire{"connect login:demo:pw:1:", "connect login:demo:pw:1:", "connect login:demo:pw:1:"}));
    EXPECT_EQ(host.messages, Wire{"系统提示:和服务器断开了连接！"});
    EXPECT_FALSE(session.IsOnline());
    EXPECT_FALSE(session.Live()) << "the title says 脱机";
    EXPECT_TRUE(session.QuotesStale());
    session.OnConnectionLost(0);  // a late report: the attempts under way decide
    EXPECT_FALSE(connection.pending);
    session.ShowRequests(Wire{"list:"}, true);
    EXPECT_FALSE(connection.polling) << "offline, switching views polls nothing";

    for (int attempt = 4; attempt <= 9; ++attempt) {
        timers.Run();
        ASSERT_TRUE(connection.pending) << "attempt " << attempt;
        EXPECT_EQ(session.ReloginAttempt(), attempt);
        connection.Finish(false);
    }
    EXPECT_EQ(timers.pauses, (std::vector<int>{1000, 1000, 5000, 10000, 20000, 40000, 60000, 60000, 60000}));
    EXPECT_EQ(host.messages.size(), 1u) << "told once";

    timers.Run();
    connection.Finish(true);  // the server is back
    EXPECT_FALSE(connection.polling) << "not before the verdict";
    session.OnLoginVerdict(0);
    EXPECT_TRUE(session.IsOnline());
    EXPECT_TRUE(session.Live());
    EXPECT_FALSE(session.QuotesStale());
    EXPECT_EQ(session.ReloginAttempt(), 0);
    connection.Pass();
    EXPECT_EQ(connection.wires.back(), (Wire{"login:demo:pw:1:", "list:", "alarm:"}));
}

/// 断开行情主站 while the attempts go on in the background ends them.
TEST_F(SessionTest, DisconnectEndsTheBackgroundAttempts) {
    Online();
    connection.Drop();
    session.OnConnectionLost(0);
    for (int attempt = 1; attempt <= 3; ++attempt) {
        connection.Finish(false);
        timers.Run();
    }
    ASSERT_TRUE(connection.pending) << "attempt 4";
    session.Disconnect();
    EXPECT_FALSE(connection.pending);
    timers.Run();
    EXPECT_FALSE(connection.pending) << "no attempt after 断开行情主站";
    EXPECT_EQ(session.CurrentPhase(), Session::Phase::Ended);
    EXPECT_FALSE(session.QuotesStale());
    EXPECT_EQ(session.ReloginAttempt(), 0);
}

TEST(Relogin, PausesGrowToAMinuteAndTheStatusCountsTheAttempts) {
    EXPECT_EQ(ReloginPauseMs(2), 1000);
    EXPECT_EQ(ReloginPauseMs(3), 1000);
    EXPECT_EQ(ReloginPauseMs(4), 5000);
    EXPECT_EQ(ReloginPauseMs(5), 10000);
    EXPECT_EQ(ReloginPauseMs(7), 40000);
    EXPECT_EQ(ReloginPauseMs(8), 60000);
    EXPECT_EQ(ReloginPauseMs(1000), 60000);
    EXPECT_EQ(ReloginStatusText(4), "连接已断开，正在重试…（第 4 次）");
}

TEST_F(SessionTest, ADropDuringAReloginAttemptStartsTheAttemptsOver) {
    Online();
    connection.Drop();
    session.OnConnectionLost(0);
    connection.Finish(false);  // attempt 1
    timers.Run();
    connection.Finish(true);  // attempt 2 connects, is logged in, and the connection drops
    session.OnLoginVerdict(0);
    connection.Drop();
    session.OnConnectionLost(0);
    EXPECT_EQ(session.ReloginAttempt(), 1);
    connection.Finish(true);
    session.OnLoginVerdict(0);
    connection.Pass();
    ASSERT_EQ(connection.wires.size(), 3u);
    EXPECT_EQ(connection.wires[1], Wire{"login:demo:pw:1:"});
    EXPECT_EQ(connection.wires[2], (Wire{"login:demo:pw:1:", "list:", "alarm:"}));
    EXPECT_TRUE(host.messages.empty());

    // Dropped before its verdict: a failed attempt, the next after its pause.
    connection.Drop();
    session.OnConnectionLost(0);
    connection.Finish(true);
    connection.Drop();
    session.OnConnectionLost(0);
    EXPECT_FALSE(connection.pending);
    timers.Run();
    ASSERT_TRUE(connection.pending);
    EXPECT_EQ(session.ReloginAttempt(), 2);
}

/// Before the server accepted the login there is nothing to log in again to: a drop ends
/// that attempt as a refused connection does. Once accepted, a drop during the
/// synchronisation connects again with the re-login and starts it over.
TEST_F(SessionTest, DropsDuringTheLoginEndTheAttemptOrStartTheSynchronisationOver) {
    Press();
    connection.Drop();
    session.OnConnectionLost(0);  // before the verdict
    EXPECT_FALSE(connection.pending) << "no re-login with credentials nobody confirmed";
    EXPECT_EQ(view.statuses.back(), "连接服务器失败...");
    EXPECT_EQ(view.messages.back(), "连接失败:无法连接服务器！\r\n请检查网络连接！");
    EXPECT_TRUE(view.buttonEnabled);
    EXPECT_FALSE(session.IsOnline());

    Press();  // again, then a drop in the middle of the synchronisation
    ThroughTheBoard();
    EXPECT_TRUE(session.IsOnline()) << "the server accepted the login";
    connection.Drop();
    session.OnConnectionLost(0);
    EXPECT_FALSE(session.IsOnline());
    session.OnNotify(WM_NET_LINE, 0);  // a reply already on its way
    EXPECT_EQ(view.progress, 0);
    timers.Run();
    EXPECT_EQ(view.ended, -1);
    ASSERT_EQ(connection.wires.size(), 2u);
    EXPECT_EQ(connection.wires[1], (Wire{"login:demo:pw:", "ver:1.96:", "category:", "list:"}));
    EXPECT_TRUE(connection.unsent.empty());
    ASSERT_TRUE(connection.pending) << "connecting again";
    connection.Finish(true);
    ThroughTheBoard();
    ASSERT_EQ(connection.wires.size(), 3u);
    EXPECT_EQ(connection.wires[2], (Wire{"login:demo:pw:1:", "ver:1.96:", "category:", "list:"}))
        << "the synchronisation starts over on the new connection";
    EXPECT_EQ(view.messages.size(), 1u) << "only the first drop's box";

    // "dis" in the middle of the synchronisation
    session.OnConnectionLost(kReconnectAfterDisconnect);
    EXPECT_EQ(view.messages.back(), "系统提示:管理员断开了你和服务器的连接！");
    EXPECT_FALSE(connection.connected);
    EXPECT_FALSE(connection.pending);
    EXPECT_EQ(session.CurrentPhase(), Session::Phase::LoggingIn) << "the dialog stays for another try";
}

TEST_F(SessionTest, TheServersDisEndsTheSessionWhateverIsUnderWay) {
    Online();
    session.OnConnectionLost(kReconnectAfterDisconnect);  // while polling
    EXPECT_EQ(connection.events, (Wire{"stop", "close"}));
    EXPECT_EQ(host.messages, Wire{"系统提示:管理员断开了你和服务器的连接！"});
    EXPECT_EQ(session.CurrentPhase(), Session::Phase::Ended);
    EXPECT_FALSE(session.Live()) << "the title says 脱机";
    session.OnConnectionLost(0);  // the connection's end after "dis"
    EXPECT_FALSE(connection.pending) << "no re-login after the server's disconnect";

    // "dis" while a re-login waits for its next attempt: the attempt never comes.
    test::Timers otherTimers;
    test::FakeConnection other;
    test::FakeHost otherHost;
    test::FakeLoginDisplay otherView(otherTimers);
    Session second(other, otherTimers, otherHost);
    second.BeginLogin(otherView).OnLogin("demo", "pw", false, "127.0.0.1", "3500");
    other.Finish(true);
    second.OnNotify(WM_NET_LOGIN, 0);
    otherTimers.Run();
    second.OnNotify(WM_NET_VER, 0);
    second.OnNotify(WM_NET_CATEGORY, 0);
    otherTimers.Run();
    otherHost.keys.clear();
    second.OnNotify(WM_NET_LIST, 0);
    otherTimers.Run();
    second.EndLogin(true);
    other.Drop();
    second.OnConnectionLost(0);
    other.Finish(false);
    second.OnConnectionLost(kReconnectAfterDisconnect);
    otherTimers.Run();
    EXPECT_FALSE(other.pending);
    EXPECT_EQ(second.CurrentPhase(), Session::Phase::Ended);
}

TEST_F(SessionTest, DisconnectEndsTheSessionAndNothingReconnects) {
    Online();
    const int changes = host.changes;
    session.Disconnect();
    EXPECT_EQ(connection.events, (Wire{"stop", "close"}));
    EXPECT_FALSE(session.Live()) << "the title says 脱机";
    EXPECT_GT(host.changes, changes) << "the frame hears of it";
    EXPECT_TRUE(session.IsOnline()) << "the board the server sent is still saved at exit";
    session.OnConnectionLost(0);
    EXPECT_FALSE(connection.pending);
    session.ShowRequests(Wire{"list:"}, true);
    EXPECT_FALSE(connection.polling);
}

TEST_F(SessionTest, PollingFollowsTheViewOnShow) {
    Online();
    session.HoldRequests();  // the board goes
    EXPECT_FALSE(connection.polling);
    session.ShowRequests(std::nullopt, true);  // the information view: the alarm queries alone
    EXPECT_TRUE(connection.polling);
    EXPECT_TRUE(connection.standing.empty());
    EXPECT_TRUE(connection.withAlarms);
    session.ShowRequests(std::nullopt, false);  // a kind that opts out: nothing to poll
    EXPECT_FALSE(connection.polling);
    session.ShowRequests(Wire{"list:", "real::0101:20070325:1:"}, false);
    EXPECT_EQ(connection.standing, (Wire{"list:", "real::0101:20070325:1:"}));
    EXPECT_FALSE(connection.withAlarms);
}

TEST_F(SessionTest, OpeningTheLoginDialogStopsAReloginUnderWay) {
    Online();
    connection.Drop();
    session.OnConnectionLost(0);
    ASSERT_TRUE(connection.pending);
    auto stale = connection.pending->done;
    test::FakeLoginDisplay dialog(timers);
    session.BeginLogin(dialog);
    EXPECT_FALSE(connection.pending) << "the attempt under way is cancelled";
    stale(true);  // its result, arriving late
    EXPECT_EQ(session.CurrentPhase(), Session::Phase::LoggingIn);
    EXPECT_FALSE(connection.polling);
    session.EndLogin(false);  // cancelled
    EXPECT_FALSE(session.IsOnline());
    EXPECT_EQ(session.CurrentPhase(), Session::Phase::Idle);
}

}  // namespace
}  // namespace qelt
