#include <gtest/gtest.h>

#include <mutex>
#include <thread>

#include "common/Messages.h"
#include "net/CClientSocket.h"
#include "support/LoopbackServer.h"
#include "support/QueuePoster.h"

namespace qelt {
namespace {

using namespace std::chrono_literals;

/// Records each dispatched message with the number of WM_NET_INDEX posted before it.
class RecordingSink : public MessageSink {
  public:
    explicit RecordingSink(test::QueuePoster& poster) : m_poster(poster) {}
    void Dispatch(std::string_view message) override {
        std::lock_guard lock(m_mutex);
        m_messages.emplace_back(message);
        m_indexBefore.push_back(m_poster.Count(WM_NET_INDEX));
    }
    std::vector<std::string> Messages() {
        std::lock_guard lock(m_mutex);
        return m_messages;
    }
    std::vector<size_t> IndexBefore() {
        std::lock_guard lock(m_mutex);
        return m_indexBefore;
    }

  private:
    test::QueuePoster& m_poster;
    std::mutex m_mutex;
    std::vector<std::string> m_messages;
    std::vector<size_t> m_indexBefore;
};

class ClientSocketTest : public ::testing::Test {
  protected:
    ClientSocketTest() : sink(poster), socket(poster, targets, FastTiming()) {
        targets.mainFrame = 7;
        socket.SetSink(&sink);
    }
    static CClientSocket::Timing FastTiming() {
        CClientSocket::Timing t;
        t.pause = 1ms;
        t.pollInterval = 50ms;
        return t;
    }
    void ConnectAndReceive() {
        ASSERT_TRUE(socket.Connect("127.0.0.1", server.Port()));
        ASSERT_TRUE(server.Accept());
        ASSERT_TRUE(socket.StartReceiveThread());
    }
    bool WaitMessages(size_t n) { return poster.WaitForCount(WM_NET_INDEX, n); }

    test::LoopbackServer server;
    test::QueuePoster poster;
    MessageTargets targets;
    RecordingSink sink;
    CClientSocket socket;
};

TEST_F(ClientSocketTest, SingleCommandGoesOutFramedInGbk) {
    ConnectAndReceive();
    socket.Send("pwd:用户:a:b:");
    EXPECT_EQ(server.ReadAtLeast(17), "pwd:\xD3\xC3\xBB\xA7:a:b:|END");
}

TEST_F(ClientSocketTest, MessageSplitAcrossReadsIsDispatchedOnce) {
    ConnectAndReceive();
    server.Write("msg:\xC3\xF7\xC8\xD5");  // 明日
    server.Write("|E");
    server.Write("ND");
    ASSERT_TRUE(WaitMessages(1));
    server.Write("x:|END");
    ASSERT_TRUE(WaitMessages(2));
    EXPECT_EQ(sink.Messages(), (std::vector<std::string>{"msg:明日", "x:"})) << "no piece dispatched alone";
}

TEST_F(ClientSocketTest, ThreeMessagesInOneReadEachFollowedByItsIndexNotice) {
    ConnectAndReceive();
    server.Write("a:1|END|ENDb:2|ENDc:3|END");
    ASSERT_TRUE(WaitMessages(3));
    EXPECT_EQ(sink.Messages(), (std::vector<std::string>{"a:1", "b:2", "c:3"}));
    EXPECT_EQ(sink.IndexBefore(), (std::vector<size_t>{0, 1, 2}));
    for (const auto& p : poster.All()) EXPECT_EQ(p.window, 7u);
}

TEST_F(ClientSocketTest, TerminatorAloneDispatchesNothing) {
    ConnectAndReceive();
    server.Write("|END");
    server.Write("x:|END");
    ASSERT_TRUE(WaitMessages(1));
    EXPECT_EQ(sink.Messages(), (std::vector<std::string>{"x:"}));
}

TEST_F(ClientSocketTest, ServerCloseWhileConnectedPostsOneReconnect) {
    ConnectAndReceive();
    server.CloseClient();
    ASSERT_TRUE(poster.WaitForCount(WM_NET_RECONNECT, 1));
    socket.Shutdown();  // the receive thread has ended: everything it posts is posted
    EXPECT_EQ(poster.Count(WM_NET_RECONNECT), 1u);
    EXPECT_FALSE(socket.IsConnected());
    for (const auto& p : poster.All())
        if (p.message == WM_NET_RECONNECT) {
            EXPECT_TRUE(p.toThread && p.wParam == 0);
        }
}

TEST_F(ClientSocketTest, ServerDisconnectThenCloseStartsNoReconnect) {
    ConnectAndReceive();
    server.Write("dis:|END");
    server.CloseClient();
    ASSERT_TRUE(WaitMessages(1));
    ASSERT_TRUE(poster.WaitForCount(WM_NET_RECONNECT, 1));
    socket.Shutdown();  // the receive thread has ended: everything it posts is posted
    EXPECT_EQ(poster.Count(WM_NET_RECONNECT), 1u)
        << "one report of the server's disconnect, no loss after it";
    for (const auto& p : poster.All()) {
        if (p.message == WM_NET_RECONNECT) {
            EXPECT_EQ(p.wParam, kReconnectAfterDisconnect);
        }
    }
    EXPECT_FALSE(socket.IsConnected());
}

TEST_F(ClientSocketTest, CloseThenEndOfStreamPostsNoReconnect) {
    ConnectAndReceive();
    socket.Close();
    EXPECT_TRUE(server.WaitPeerClosed());
    socket.Shutdown();  // the receive thread has ended: everything it posts is posted
    EXPECT_EQ(poster.Count(WM_NET_RECONNECT), 0u);
    EXPECT_FALSE(socket.IsConnected());
}

TEST_F(ClientSocketTest, TextWithoutTerminatorBeyondTheCapEndsTheConnection) {
    CClientSocket::Timing t = FastTiming();
    t.maxPending = 4096;
    CClientSocket small(poster, targets, t);
    small.SetSink(&sink);
    ASSERT_TRUE(small.Connect("127.0.0.1", server.Port()));
    ASSERT_TRUE(server.Accept());
    ASSERT_TRUE(small.StartReceiveThread());
    server.Write("ok:|END" + std::string(5000, 'x'));
    ASSERT_TRUE(poster.WaitForCount(WM_NET_RECONNECT, 1));
    EXPECT_TRUE(server.WaitPeerClosed());
    EXPECT_EQ(sink.Messages(), (std::vector<std::string>{"ok:"}));
    EXPECT_EQ(poster.Count(WM_NET_RECONNECT), 1u);
}

TEST_F(ClientSocketTest, PollingSendsStandingRequestsThenAlarmQueriesEverySecondWhileOn) {
    socket.SetAlarmQuerySource([] { return std::vector<std::string>{"alarm:q1"}; });
    ConnectAndReceive();
    socket.SetStanding({"list:", "real::0001:20060525:1:"});
    socket.StartPolling();
    std::string got = server.ReadAtLeast(3 * 47);
    EXPECT_EQ(got.substr(0, 47), "list:|ENDreal::0001:20060525:1:|ENDalarm:q1|END");
    socket.StopPolling();
    server.ReadFor(100ms);  // a pass under way may still finish
    EXPECT_EQ(server.ReadFor(200ms), "") << "no pass while polling is off";
    socket.StartPolling();
    EXPECT_EQ(server.ReadAtLeast(9).substr(0, 9), "list:|END") << "resumed";
}

TEST_F(ClientSocketTest, EmptyStandingListWithAlarmsOffSendsNothing) {
    ConnectAndReceive();
    socket.StartPolling();
    EXPECT_EQ(server.ReadFor(200ms), "");
    socket.Send("");
    EXPECT_EQ(server.ReadFor(100ms), "");
}

TEST_F(ClientSocketTest, PollingRestartsOnANewConnection) {
    ConnectAndReceive();
    socket.SetStanding({"list:"});
    socket.StartPolling();
    EXPECT_FALSE(server.ReadAtLeast(9).empty());
    server.CloseClient();
    ASSERT_TRUE(poster.WaitForCount(WM_NET_RECONNECT, 1));
    ConnectAndReceive();
    socket.StartPolling();
    EXPECT_EQ(server.ReadAtLeast(9).substr(0, 9), "list:|END");
}

TEST_F(ClientSocketTest, SendsFromThreeThreadsNeverInterleave) {
    ConnectAndReceive();
    socket.SetStanding({"list:"});
    socket.StartPolling();
    auto sender = [&](char tag) {
        for (int i = 0; i < 100; ++i) socket.Send(std::string(1, tag) + ":" + std::string(300, tag));
    };
    std::thread a(sender, 'a'), b(sender, 'b');
    sender('c');
    a.join();
    b.join();
    std::string got;
    size_t counted = 0;
    size_t start = 0;
    const auto deadline = std::chrono::steady_clock::now() + 20s;
    while (counted < 300 && std::chrono::steady_clock::now() < deadline) {
        got += server.ReadFor(50ms);
        for (size_t end = got.find("|END", start); end != std::string::npos; end = got.find("|END", start)) {
            std::string m = got.substr(start, end - start);
            if (m != "list:") {
                ASSERT_EQ(m.size(), 302u);
                EXPECT_EQ(m, std::string(1, m[0]) + ":" + std::string(300, m[0]));
                ++counted;
            }
            start = end + 4;
        }
    }
    socket.StopPolling();
    EXPECT_EQ(counted, 300u);
}

/// What was queued for a connection that dropped never reaches the next one, whose first
/// message is the one it was opened with; polling waits to be started on it.
TEST_F(ClientSocketTest, ANewConnectionBeginsWithItsFirstMessage) {
    ASSERT_TRUE(socket.Connect("127.0.0.1", server.Port(), "login:u:p:"));
    ASSERT_TRUE(server.Accept());
    ASSERT_TRUE(socket.StartReceiveThread());
    socket.SetStanding({"list:"});
    socket.StartPolling();
    EXPECT_EQ(server.ReadAtLeast(23).substr(0, 23), "login:u:p:|ENDlist:|END");
    server.CloseClient();
    ASSERT_TRUE(poster.WaitForCount(WM_NET_RECONNECT, 1));
    EXPECT_FALSE(socket.IsPolling()) << "a lost connection stops polling";
    socket.SendPaced(std::vector<std::string>(50, "line:0101"));
    socket.Send("msg:");
    ASSERT_TRUE(socket.Connect("127.0.0.1", server.Port(), "login:u:p:1:"));
    ASSERT_TRUE(server.Accept());
    ASSERT_TRUE(socket.StartReceiveThread());
    socket.Send("pwd:u:a:b:");
    EXPECT_EQ(server.ReadAtLeast(30).substr(0, 30), "login:u:p:1:|ENDpwd:u:a:b:|END");
    EXPECT_FALSE(socket.IsPolling());
    socket.StartPolling();
    EXPECT_EQ(server.ReadAtLeast(9).substr(0, 9), "list:|END");
}

TEST_F(ClientSocketTest, ConnectFailsCleanlyAndTwiceConnectedIsTrue) {
    CClientSocket other(poster, targets, FastTiming());
    EXPECT_FALSE(other.Connect("10.0.0.256", server.Port())) << "not a dotted address";
    int refusedPort = 0;
    {
        test::LoopbackServer gone;
        refusedPort = gone.Port();
    }
    EXPECT_FALSE(other.Connect("127.0.0.1", refusedPort));
    EXPECT_FALSE(other.IsConnected());
    EXPECT_TRUE(other.Connect("127.0.0.1", server.Port()));
    EXPECT_TRUE(other.Connect("127.0.0.1", 1)) << "already connected: true at once";
    EXPECT_FALSE(other.IsPolling());
}

TEST_F(ClientSocketTest, ADottedAddressWithLeadingZerosConnects) {
    ASSERT_TRUE(socket.Connect("127.000.000.001", server.Port()));
    EXPECT_TRUE(server.Accept());
}

}  // namespace
}  // namespace qelt
