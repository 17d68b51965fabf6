#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "net/PacedSender.h"

namespace qelt {
namespace {

using namespace std::chrono_literals;

/// A connection that takes a few milliseconds per message and writes only to the connection
/// it was told is open, as the socket does.
class SlowWriter : public ConnectionWriter {
  public:
    bool Write(std::uint64_t connection, const std::string& m) override {
        if (connection != open.load()) return false;
        {
            std::lock_guard lock(mutex);
            sent.push_back(m);
            on.push_back(connection);
        }
        changed.notify_all();
        std::this_thread::sleep_for(2ms);
        return true;
    }
    std::vector<std::string> Sent() {
        std::lock_guard lock(mutex);
        return sent;
    }
    /// Waits until `m` has been written (at most 5 s).
    bool WaitFor(const std::string& m) {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, 5s,
                                [&] { return std::find(sent.begin(), sent.end(), m) != sent.end(); });
    }
    bool WaitForCount(size_t n) {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, 5s, [&] { return sent.size() >= n; });
    }
    /// What was written on `connection`, once it holds `m` (at most 5 s).
    std::vector<std::string> OnceWrittenOn(std::uint64_t connection, const std::string& m) {
        std::unique_lock lock(mutex);
        std::vector<std::string> written;
        changed.wait_for(lock, 5s, [&] {
            written.clear();
            for (size_t i = 0; i < sent.size(); ++i)
                if (on[i] == connection) written.push_back(sent[i]);
            return std::find(written.begin(), written.end(), m) != written.end();
        });
        return written;
    }
    std::atomic<std::uint64_t> open{0};
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::string> sent;
    std::vector<std::uint64_t> on;
};

PacedSender::Timing Fast() { return {1ms, 40ms}; }

TEST(PacedSender, SendsBatchesInOrderWithoutHoldingTheCaller) {
    SlowWriter writer;
    PacedSender paced(writer, Fast());
    paced.Enqueue({"real::0001:a:8:", "real::0001:b:8:"});
    paced.Enqueue({"real::0002:c:8:", ""});
    ASSERT_TRUE(writer.WaitForCount(3));
    EXPECT_EQ(writer.Sent(),
              (std::vector<std::string>{"real::0001:a:8:", "real::0001:b:8:", "real::0002:c:8:"}));
    EXPECT_EQ(paced.Pending(), 0u);
}

TEST(PacedSender, SingleCommandsOvertakeTheBulkLaneInTheirOwnOrder) {
    SlowWriter writer;
    PacedSender paced(writer, Fast());
    std::vector<std::string> bulk(50, "line:");
    paced.Enqueue(bulk);
    paced.SendFirst("msg:");
    paced.SendFirst("ver:1.96");
    ASSERT_TRUE(writer.WaitForCount(52));
    const auto sent = writer.Sent();
    const auto msg = std::find(sent.begin(), sent.end(), "msg:");
    ASSERT_NE(msg, sent.end());
    EXPECT_LE(msg - sent.begin(), 1) << "at most the bulk message on its way goes first";
    EXPECT_EQ(*(msg + 1), "ver:1.96");
}

TEST(PacedSender, CancelForgetsWhatHasNotGoneOut) {
    SlowWriter writer;
    PacedSender paced(writer, Fast());
    std::vector<std::string> many(100, "x:");
    paced.Enqueue(many);
    paced.Cancel();
    EXPECT_EQ(paced.Pending(), 0u);
    paced.SendFirst("after:");
    ASSERT_TRUE(writer.WaitFor("after:"));
    EXPECT_LE(writer.Sent().size(), 2u) << "at most the message on its way, then the next command";
}

/// A connection that holds each message until the test lets it through.
class GatedWriter : public ConnectionWriter {
  public:
    bool Write(std::uint64_t, const std::string& m) override {
        std::unique_lock lock(mutex);
        waiting = m;
        changed.notify_all();
        changed.wait(lock, [&] { return passes > 0; });
        --passes;
        waiting.clear();
        ++written;
        changed.notify_all();
        return true;
    }
    /// Waits until a message is held at the gate (at most 5 s).
    bool WaitHeld() {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, 5s, [&] { return !waiting.empty(); });
    }
    void Let(int count) {
        std::lock_guard lock(mutex);
        passes += count;
        changed.notify_all();
    }
    bool WaitWritten(int count) {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, 5s, [&] { return written >= count; });
    }
    std::mutex mutex;
    std::condition_variable changed;
    std::string waiting;
    int passes = 0, written = 0;
};

TEST(PacedSender, PendingCountsBothLanesUntilEachMessageHasGoneOut) {
    GatedWriter writer;
    PacedSender paced(writer, Fast());
    // Whatever fails, the gate opens before the sender's thread is joined.
    struct OpenedAtTheEnd {
        GatedWriter& writer;
        ~OpenedAtTheEnd() { writer.Let(1 << 20); }
    } opened{writer};
    paced.Enqueue({"line:1", "line:2", "line:3", "line:4", "line:5"});
    ASSERT_TRUE(writer.WaitHeld());
    EXPECT_EQ(paced.Pending(), 4u) << "the one at the gate has left the queue";
    paced.SendFirst("msg:");
    paced.SendFirst("ver:1.96");
    EXPECT_EQ(paced.Pending(), 6u) << "single commands and the bulk lane";
    writer.Let(3);
    ASSERT_TRUE(writer.WaitWritten(3));
    ASSERT_TRUE(writer.WaitHeld());
    EXPECT_EQ(paced.Pending(), 3u) << "both commands out, then a line";
    writer.Let(100);
    ASSERT_TRUE(writer.WaitWritten(7));
    EXPECT_EQ(paced.Pending(), 0u);
}

/// A new connection: nothing queued for the old one reaches it, its first message leads,
/// and polling waits to be started again.
TEST(PacedSender, ANewConnectionBeginsWithItsFirstMessageAndDropsTheOldQueue) {
    SlowWriter writer;
    PacedSender paced(writer, Fast());
    paced.SetStanding({"list:"});
    paced.Open(1, "login:u:p:");
    writer.open = 1;
    paced.StartPolling();
    ASSERT_TRUE(writer.WaitFor("list:"));
    paced.Enqueue(std::vector<std::string>(200, "line:old"));
    paced.SendFirst("pwd:old");
    // The connection drops; the messages queued meanwhile were meant for it.
    writer.open = 2;
    paced.SendFirst("real:during-the-drop");
    paced.Open(2, "login:u:p:1:");
    EXPECT_FALSE(paced.IsPolling()) << "a new connection starts without polling";
    paced.StartPolling();
    const std::vector<std::string> second = writer.OnceWrittenOn(2, "list:");
    ASSERT_GE(second.size(), 2u);
    EXPECT_EQ(second[0], "login:u:p:1:");
    EXPECT_EQ(second[1], "list:");
    EXPECT_EQ(std::count(second.begin(), second.end(), "line:old"), 0);
    EXPECT_EQ(std::count(second.begin(), second.end(), "pwd:old"), 0);
    EXPECT_EQ(std::count(second.begin(), second.end(), "real:during-the-drop"), 0);
}

/// A pass: the standing requests, then the alarm queries unless the view on show opts out;
/// a pass waits for the single commands queued before it is due.
TEST(PacedSender, PassesCarryTheStandingRequestsThenTheAlarmQueries) {
    SlowWriter writer;
    PacedSender paced(writer, Fast());
    paced.Open(1);
    writer.open = 1;
    paced.SetAlarmQuerySource([] { return std::vector<std::string>{"alarm:a", "alarm:b"}; });
    paced.SetStanding({"list:", "real::0101:1:1:"});
    paced.SendFirst("first:");
    paced.PollOnce();
    ASSERT_TRUE(writer.WaitForCount(5));
    EXPECT_EQ(writer.Sent(),
              (std::vector<std::string>{"first:", "list:", "real::0101:1:1:", "alarm:a", "alarm:b"}));

    paced.IncludeAlarmQueries(false);
    paced.SetStanding({});
    paced.PollOnce();
    paced.SendFirst("marker:");
    ASSERT_TRUE(writer.WaitFor("marker:"));
    EXPECT_EQ(writer.Sent().size(), 6u) << "an empty pass without the alarms sends nothing";

    paced.IncludeAlarmQueries(true);
    paced.StartPolling();
    ASSERT_TRUE(writer.WaitForCount(10));
    paced.StopPolling();
    const auto sent = writer.Sent();
    EXPECT_EQ(std::vector<std::string>(sent.begin() + 6, sent.begin() + 10),
              (std::vector<std::string>{"alarm:a", "alarm:b", "alarm:a", "alarm:b"}))
        << "a view without standing requests polls the alarm queries alone";
}

}  // namespace
}  // namespace qelt
