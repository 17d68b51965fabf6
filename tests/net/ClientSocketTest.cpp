#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <atomic>
#include <future>
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

/// A second connection polling at the test's interval: the test's clock. While it makes its
/// passes, a connection that must stay quiet has had every chance to send one.
class Metronome {
  public:
    explicit Metronome(std::chrono::milliseconds interval) : m_socket(m_poster, m_targets, Timing(interval)) {
        EXPECT_TRUE(m_socket.Connect("127.0.0.1", m_server.Port()));
        EXPECT_TRUE(m_server.Accept());
        m_socket.SetStanding({"tick:"});
        m_socket.StartPolling();
    }
    /// Waits for `n` more passes.
    bool Ticks(int n) {
        const std::string wanted = "tick:|END";
        std::string got;
        while (static_cast<int>(Count(got, wanted)) < n) {
            const std::string more = m_server.ReadAtLeast(1, std::chrono::seconds(20));
            if (more.empty()) return false;
            got += more;
        }
        return true;
    }

  private:
    static CClientSocket::Timing Timing(std::chrono::milliseconds interval) {
        CClientSocket::Timing t;
        t.pause = std::chrono::milliseconds(1);
        t.pollInterval = interval;
        return t;
    }
    static size_t Count(const std::string& text, const std::string& part) {
        size_t n = 0;
        for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size()))
            ++n;
        return n;
    }
    test::LoopbackServer m_server;
    test::QueuePoster m_poster;
    MessageTargets m_targets;
    CClientSocket m_socket;
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
    socket.Send("before:");  // behind whatever pass was under way
    server.ReadThrough("before:|END");
    Metronome metronome(FastTiming().pollInterval);
    ASSERT_TRUE(metronome.Ticks(3));
    socket.Send("after:");
    EXPECT_EQ(server.ReadThrough("after:|END"), "after:|END")
        << "no pass while polling is off, while a socket polling as often made three";
    socket.StartPolling();
    EXPECT_EQ(server.ReadAtLeast(9).substr(0, 9), "list:|END") << "resumed";
}

TEST_F(ClientSocketTest, EmptyStandingListWithAlarmsOffSendsNothing) {
    ConnectAndReceive();
    socket.StartPolling();
    socket.Send("");  // and one pass asked for at once
    Metronome metronome(FastTiming().pollInterval);
    ASSERT_TRUE(metronome.Ticks(3));
    socket.Send("mark:");
    EXPECT_EQ(server.ReadThrough("mark:|END"), "mark:|END") << "the passes sent nothing";
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

/// A server that stops reading while a long message is on its way: 断开行情主站 and quitting
/// go on at once, whatever the send is waiting for. (The connection here has no send
/// timeout of its own, so a close that waited for the send would wait for ever.)
TEST_F(ClientSocketTest, ClosingNeverWaitsForASendToAServerThatStoppedReading) {
    UniqueFd fd = ConnectTcp("127.0.0.1", server.Port(), 5s);
    ASSERT_TRUE(fd.Valid());
    timeval never{0, 0};
    ASSERT_EQ(::setsockopt(fd.Get(), SOL_SOCKET, SO_SNDTIMEO, &never, sizeof never), 0);
    auto stuck = std::make_unique<CClientSocket>(poster, targets, FastTiming());
    ASSERT_TRUE(stuck->Adopt(std::move(fd)));
    ASSERT_TRUE(server.Accept());
    ASSERT_TRUE(stuck->StartReceiveThread());
    // Far more than the kernel buffers on both sides hold: the writer is held in its send.
    stuck->Send("big:" + std::string(32u << 20, 'x'));
    ASSERT_FALSE(server.ReadAtLeast(1).empty()) << "the send is under way";

    auto closed = std::async(std::launch::async, [&] {
        stuck->Close();
        stuck.reset();  // quitting: the writer and the receive thread end too
    });
    const bool done = closed.wait_for(60s) == std::future_status::ready;
    EXPECT_TRUE(done) << "closing waited for the send";
    if (!done) server.CloseClient();  // lets the send fail, so the test can end
    closed.get();
    EXPECT_EQ(poster.Count(WM_NET_RECONNECT), 0u) << "a close of the user's own is no loss";
}

/// The test's clock for the reply watch, and a count of the looks taken at it, so the test
/// knows when the receive thread has seen a time.
struct WatchClock {
    std::atomic<std::int64_t> ms{0};
    std::atomic<std::uint64_t> looks{0};
    ReplyWatch::Clock::time_point Now() {
        ++looks;
        return ReplyWatch::Clock::time_point(std::chrono::milliseconds(ms.load()));
    }
    /// Moves the clock on and waits until it has been looked at a few times since.
    bool Advance(std::chrono::milliseconds by) {
        ms += by.count();
        const std::uint64_t seen = looks.load();
        const auto deadline = std::chrono::steady_clock::now() + 10s;
        while (looks.load() < seen + 3) {
            if (std::chrono::steady_clock::now() > deadline) return false;
            std::this_thread::sleep_for(1ms);
        }
        return true;
    }
};

/// A server that stops answering is noticed: a polling pass unanswered for the reply timeout
/// loses the connection, as a dropped one does. Any reply resets the count, and a stop in
/// polling is no silence.
TEST_F(ClientSocketTest, APassUnansweredForTheReplyTimeoutLosesTheConnection) {
    WatchClock clock;
    CClientSocket::Timing t = FastTiming();
    t.pollInterval = 1h;  // only the passes the test asks for
    t.replyTimeout = 10s;
    t.watchTick = 1ms;
    t.clock = [&clock] { return clock.Now(); };
    CClientSocket watched(poster, targets, t);
    watched.SetSink(&sink);
    ASSERT_TRUE(watched.Connect("127.0.0.1", server.Port()));
    ASSERT_TRUE(server.Accept());
    ASSERT_TRUE(watched.StartReceiveThread());
    watched.SetStanding({"list:"});
    auto pass = [&] {
        watched.Send("");
        std::string got = server.ReadThrough("list:|END");
        watched.Send("mark:");  // written once the pass is over
        return got + server.ReadThrough("mark:|END");
    };
    auto lost = [&] { return poster.Count(WM_NET_RECONNECT) > 0 || !watched.IsConnected(); };

    ASSERT_EQ(pass(), "list:|ENDmark:|END");  // owed from 0 s
    ASSERT_TRUE(clock.Advance(9999ms));
    EXPECT_FALSE(lost()) << "a reply still has time";
    server.Write("list:|END");
    ASSERT_TRUE(WaitMessages(1));
    ASSERT_TRUE(clock.Advance(9999ms));
    EXPECT_FALSE(lost()) << "the reply settled the pass";

    pass();  // owed from 19.998 s
    ASSERT_TRUE(clock.Advance(9999ms));
    watched.StopPolling();
    ASSERT_TRUE(clock.Advance(5s));
    EXPECT_FALSE(lost()) << "stopping the polling owes nothing";

    pass();  // owed from 34.997 s
    ASSERT_TRUE(clock.Advance(9999ms));
    EXPECT_FALSE(lost());
    clock.ms += 1;
    ASSERT_TRUE(poster.WaitForCount(WM_NET_RECONNECT, 1, 10s)) << "ten seconds without a reply";
    EXPECT_TRUE(server.WaitPeerClosed());
    EXPECT_FALSE(watched.IsConnected());
    watched.Shutdown();
    EXPECT_EQ(poster.Count(WM_NET_RECONNECT), 1u);
    for (const auto& p : poster.All()) {
        if (p.message == WM_NET_RECONNECT) EXPECT_EQ(p.wParam, 0) << "the usual re-login follows";
    }
}

TEST(ReplyWatch, TheEarliestUnansweredPassCounts) {
    using Clock = ReplyWatch::Clock;
    ReplyWatch watch(10s);
    const Clock::time_point t0{};
    EXPECT_FALSE(watch.Overdue(t0 + 1h)) << "nothing owed before a pass";
    watch.PassWritten(t0);
    watch.PassWritten(t0 + 5s);  // a second pass, still no reply: the first one counts
    EXPECT_FALSE(watch.Overdue(t0 + 9999ms));
    EXPECT_TRUE(watch.Overdue(t0 + 10s));
    watch.Received();
    EXPECT_FALSE(watch.Overdue(t0 + 1h));
    watch.PassWritten(t0 + 20s);
    watch.Reset();
    EXPECT_FALSE(watch.Overdue(t0 + 1h));
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
