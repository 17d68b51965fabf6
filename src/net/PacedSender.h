#pragma once
/// The one ordered path of everything sent to the server: one thread writes every message of
/// a connection, so nothing overtakes what was meant to go first.
///
/// - Single commands (a login, a view's request, a password change) go out in their order,
///   ahead of the bulk requests still queued (a store's thousand series requests), each
///   followed by the pacing pause. Neither a single command nor a batch of n requests ever
///   holds up the caller (n x 100 ms).
/// - Polling: while on, one pass a second: the standing requests back to back, then (when
///   included) one alarm query per alarm entry, each followed by the pause. A pass waits for
///   the single commands queued before it is due.
/// - Connections: every message is meant for the connection open when it was queued.
///   `Open` starts a new connection: what is still queued for an earlier one is dropped,
///   polling stops, and the connection's first message (the login) goes out before anything
///   else; a message meant for a connection that is no longer open is never written.
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "MessageSink.h"

namespace qelt {

/// Writes one message whole to the connection it was meant for.
class ConnectionWriter {
  public:
    virtual ~ConnectionWriter() = default;
    /// Writes `message` and its terminator to connection `connection` in one piece; false, with
    /// nothing written, when that connection is not the open one (or the write failed).
    virtual bool Write(std::uint64_t connection, const std::string& message) = 0;
    /// A polling pass wrote its standing requests on `connection`: the server owes a reply.
    virtual void PassWritten(std::uint64_t connection) { (void)connection; }
};

class PacedSender : public MessageSender {
  public:
    struct Timing {
        std::chrono::milliseconds pause{100};          ///< after a command or an alarm query
        std::chrono::milliseconds pollInterval{1000};  ///< between the starts of polling passes
    };

    explicit PacedSender(ConnectionWriter& writer);
    PacedSender(ConnectionWriter& writer, Timing timing);
    ~PacedSender() override;
    PacedSender(const PacedSender&) = delete;
    PacedSender& operator=(const PacedSender&) = delete;

    /// Connection `connection` is open from now on: everything still queued is dropped,
    /// polling stops, and `first` (unless empty) is the first message written on it.
    void Open(std::uint64_t connection, std::string first = {});

    /// Bulk lane: the messages go out after everything queued before them.
    void Enqueue(std::vector<std::string> messages);
    /// Bulk lane, one message (the store's series requests come this way).
    void Send(const std::string& message) override { Enqueue({message}); }
    /// Single-command lane: goes out after the single commands queued before it, ahead of
    /// the bulk lane.
    void SendFirst(const std::string& message);
    /// Drops everything not yet sent.
    void Cancel();
    /// Messages not yet sent.
    size_t Pending() const;

    // ---- polling ----
    /// Replaces the standing requests in one step (a pass sees the old list or the new one).
    void SetStanding(std::vector<std::string> requests);
    std::vector<std::string> Standing() const;
    /// The alarm queries of a pass (asked at every pass; none while the alarms are off).
    void SetAlarmQuerySource(std::function<std::vector<std::string>()> source);
    /// Whether passes carry the alarm queries (the view on show may opt out).
    void IncludeAlarmQueries(bool included);
    /// A pass at once, then one a second, until StopPolling.
    void StartPolling();
    void StopPolling();
    bool IsPolling() const;
    /// One pass, whether polling is on or not (an empty "message" on the socket).
    void PollOnce();

  private:
    struct Entry {
        std::uint64_t connection = 0;
        std::string text;
    };
    void Run();
    /// Writes the next thing due; called with `lock` held, returns with it held.
    void SendNext(std::unique_lock<std::mutex>& lock);
    void RunPass(std::uint64_t connection, const std::vector<std::string>& standing,
                 const std::function<std::vector<std::string>()>& alarms, std::unique_lock<std::mutex>& lock);
    /// Waits the pacing pause (cut short by the destructor); `lock` held around it.
    void Pause(std::unique_lock<std::mutex>& lock);
    bool PassDue(std::chrono::steady_clock::time_point now) const;

    ConnectionWriter& m_writer;
    const Timing m_timing;
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    std::uint64_t m_connection = 0;
    std::deque<Entry> m_first;  ///< single commands
    std::deque<Entry> m_bulk;   ///< bulk requests
    std::vector<std::string> m_standing;
    std::function<std::vector<std::string>()> m_alarmSource;
    bool m_alarmsIncluded = true;
    bool m_polling = false;
    bool m_passRequested = false;
    std::chrono::steady_clock::time_point m_nextPass{};
    bool m_stop = false;
    std::thread m_thread;
};

}  // namespace qelt
