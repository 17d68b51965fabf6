#pragma once
/// Tells a silent server from a slow one: a connection whose polling pass has had no reply
/// for a bounded time (10 s by default) is treated as lost, as if the peer had dropped it.
/// Without this a server that stops answering (a frozen process, a cable pulled somewhere
/// beyond the next router) leaves the board frozen under a live title until the kernel gives
/// up, which takes many minutes.
///
/// The watch is armed by the first pass written after the last message received and
/// disarmed by any message received; starting or stopping the polling disarms it, so a
/// pause in polling never counts as silence. Times are handed in, so the rule is tested with
/// a clock of the test's own. Any thread may call it.
#include <chrono>
#include <mutex>

namespace qelt {

class ReplyWatch {
  public:
    using Clock = std::chrono::steady_clock;

    explicit ReplyWatch(std::chrono::milliseconds limit) : m_limit(limit) {}

    /// A polling pass went out at `now`: a reply is owed from then on (an earlier pass still
    /// unanswered keeps its own, earlier time).
    void PassWritten(Clock::time_point now);
    /// Something came from the server: nothing is owed any more.
    void Received();
    /// Polling starts or stops, or a connection begins: nothing is owed.
    void Reset() { Received(); }
    /// True once a reply has been owed for the whole limit.
    bool Overdue(Clock::time_point now) const;
    std::chrono::milliseconds Limit() const { return m_limit; }

  private:
    const std::chrono::milliseconds m_limit;
    mutable std::mutex m_mutex;
    bool m_owed = false;
    Clock::time_point m_since{};
};

}  // namespace qelt
