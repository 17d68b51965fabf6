// The session on the real socket, with a loopback peer that drops the connection again and
// again while the machine is kept busy: each new connection's first message is the re-login,
// whatever the view, the store and the polling had queued when the old one went.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

#include "SessionFakes.h"
#include "app/SocketConnection.h"
#include "common/Messages.h"
#include "support/LoopbackServer.h"
#include "support/QueuePoster.h"

namespace qelt {
namespace {

using namespace std::chrono_literals;

/// The test thread plays the interface thread: what is posted to it runs when it turns.
class InterfaceThread : public Scheduler {
  public:
    void Post(std::function<void()> work) {
        {
            std::lock_guard lock(m_mutex);
            m_queue.push_back(std::move(work));
        }
        m_changed.notify_all();
    }
    void After(int, std::function<void()> then) override { Post(std::move(then)); }
    /// Runs what is posted until `done` holds; false after the deadline.
    bool RunUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout = 20s) {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        while (!done()) {
            std::unique_lock lock(m_mutex);
            if (!m_changed.wait_until(lock, deadline, [&] { return !m_queue.empty(); })) return done();
            auto work = std::move(m_queue.front());
            m_queue.pop_front();
            lock.unlock();
            work();
        }
        return true;
    }
    void RunPending() {
        for (;;) {
            std::unique_lock lock(m_mutex);
            if (m_queue.empty()) return;
            auto work = std::move(m_queue.front());
            m_queue.pop_front();
            lock.unlock();
            work();
        }
    }

  private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<std::function<void()>> m_queue;
};

/// The dialog's pauses go through the interface thread too.
struct PostedLoginDisplay : test::FakeLoginDisplay {
    explicit PostedLoginDisplay(test::Timers& unused, InterfaceThread& ui)
        : FakeLoginDisplay(unused), ui(ui) {}
    void After(int, std::function<void()> then) override { ui.Post(std::move(then)); }
    InterfaceThread& ui;
};

/// Keeps every core busy until it goes.
class BusyMachine {
  public:
    BusyMachine() {
        const unsigned n = std::max(2u, std::thread::hardware_concurrency()) * 2;
        for (unsigned i = 0; i < n; ++i)
            m_threads.emplace_back([this] {
                while (!m_stop.load(std::memory_order_relaxed))
                    m_spins.fetch_add(1, std::memory_order_relaxed);
            });
    }
    ~BusyMachine() {
        m_stop = true;
        for (auto& t : m_threads) t.join();
    }

  private:
    std::atomic<bool> m_stop{false};
    std::atomic<std::uint64_t> m_spins{0};
    std::vector<std::thread> m_threads;
};

/// The first message of what the server read.
std::string FirstMessage(const std::string& bytes) { return bytes.substr(0, bytes.find("|END")); }

TEST(SessionUnderLoad, EveryReconnectionBeginsWithTheRelogin) {
    test::LoopbackServer server;
    test::QueuePoster poster;
    MessageTargets targets;
    CClientSocket::Timing timing;
    timing.pause = 1ms;
    timing.pollInterval = 5ms;
    CClientSocket socket(poster, targets, timing);
    InterfaceThread ui;
    SocketConnection connection(socket, [&ui](std::function<void()> work) { ui.Post(std::move(work)); });
    test::FakeHost host;
    host.keys.clear();  // an empty board: the synchronisation ends after the board
    test::Timers unused;
    PostedLoginDisplay view(unused, ui);
    Session session(connection, ui, host);
    BusyMachine busy;

    // The login and the synchronisation, the server's side played by the test.
    session.BeginLogin(view).OnLogin("demo", "pw", false, "127.0.0.1", std::to_string(server.Port()));
    ASSERT_TRUE(ui.RunUntil([&] { return session.IsConnected(); }));
    ASSERT_TRUE(server.Accept());
    const std::pair<unsigned, std::string> replies[] = {
        {WM_NET_LOGIN, "login:demo:pw:|END"},
        {WM_NET_VER, "ver:1.96:|END"},
        {WM_NET_CATEGORY, "category:|END"},
        {WM_NET_LIST, "list:|END"},
    };
    for (const auto& [notification, request] : replies) {
        ASSERT_EQ(server.ReadAtLeast(request.size()), request);
        session.OnNotify(notification, 0);
        ui.RunPending();
    }
    ASSERT_TRUE(ui.RunUntil([&] { return view.ended == 1; }));
    session.EndLogin(true);
    session.ShowRequests(std::vector<std::string>{"list:"}, false);

    for (int drop = 1; drop <= 8; ++drop) {
        ASSERT_FALSE(server.ReadAtLeast(9).empty()) << "polling before drop " << drop;
        // Traffic of every kind under way when the peer goes.
        for (int i = 0; i < 20; ++i) session.Send("real::0101:20070325:1:");
        socket.SendPaced(std::vector<std::string>(100, "line:12:0101:20070325:1:"));
        server.CloseClient();
        ASSERT_TRUE(poster.WaitForCount(WM_NET_RECONNECT, static_cast<size_t>(drop), 10s));
        session.Send("msg:");  // asked after the drop, before the interface heard of it
        session.OnConnectionLost(0);
        ASSERT_TRUE(ui.RunUntil([&] { return session.IsConnected(); })) << "drop " << drop;
        ASSERT_TRUE(server.Accept());
        session.OnLoginVerdict(0);  // the server's yes, as the store hands it over
        ASSERT_EQ(session.CurrentPhase(), Session::Phase::Online) << "drop " << drop;
        const std::string seen = server.ReadAtLeast(40);
        EXPECT_EQ(FirstMessage(seen), "login:demo:pw:1:") << "drop " << drop << ": " << seen.substr(0, 80);
        EXPECT_EQ(seen.find("line:"), std::string::npos) << "nothing of the old connection's queue";
        EXPECT_EQ(seen.find("msg:"), std::string::npos);
    }
    session.Shutdown();
    socket.Shutdown();
}

}  // namespace
}  // namespace qelt
