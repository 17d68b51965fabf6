#pragma once
/// `CClientSocket`: the one TCP connection to the quote server, the one ordered path of what
/// is sent on it, and its receive thread.
///
/// - Sending: every message goes through one writer thread (`PacedSender`) in one piece,
///   followed by the 100 ms pause: single commands in their order, the polling passes, then
///   the bulk requests. Each message is meant for the connection open when it was queued;
///   a new connection (`Adopt`) drops what was queued for an earlier one and writes its
///   first message (the login) before anything else.
/// - Polling: one pass per second while on, none while off: the standing requests back to
///   back, then one alarm query per alarm entry (while the alarms are on and the passes carry
///   them), each followed by the pause. A new connection starts with polling off; a lost one
///   stops it.
/// - Receive thread: reads 2048-byte pieces, cuts them at "|END", converts each message to
///   UTF-8, hands it to the sink on this thread and then posts WM_NET_INDEX to the main frame.
///   When the peer ends a connection still marked connected it posts WM_NET_RECONNECT
///   (wParam 0) to the application exactly once; after the server's own "dis" it posts
///   WM_NET_RECONNECT with wParam 10 instead (no re-login follows), and nothing more. Text
///   waiting for a terminator is capped: a peer that never sends one loses the connection
///   as if it had dropped it. So does a peer that leaves a polling pass unanswered for the
///   reply timeout (ReplyWatch).
/// - Closing never waits on a send: a message goes out on a descriptor of the writer's own,
///   outside the lock, and closing shuts the connection down under it, which ends the send.
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "Framer.h"
#include "MessageSink.h"
#include "PacedSender.h"
#include "ReplyWatch.h"
#include "TcpConnect.h"
#include "common/Poster.h"

namespace qelt {

class CClientSocket : public MessageSender, private ConnectionWriter {
  public:
    struct Timing {
        std::chrono::milliseconds pause{100};          ///< after a single command or alarm query
        std::chrono::milliseconds pollInterval{1000};  ///< between polling passes
        std::chrono::milliseconds connectTimeout{5000};
        size_t maxPending = Framer::kDefaultMaxPending;
        /// A polling pass unanswered for this long loses the connection.
        std::chrono::milliseconds replyTimeout{10000};
        /// How often the receive thread looks at the reply watch while nothing arrives.
        std::chrono::milliseconds watchTick{500};
        /// The reply watch's clock (empty: the steady clock); tests hand in their own.
        std::function<ReplyWatch::Clock::time_point()> clock;
    };

    CClientSocket(Poster& poster, const MessageTargets& targets);
    CClientSocket(Poster& poster, const MessageTargets& targets, Timing timing);
    ~CClientSocket() override;
    CClientSocket(const CClientSocket&) = delete;
    CClientSocket& operator=(const CClientSocket&) = delete;

    /// Where complete messages go (the store). Set before the first receive thread starts.
    void SetSink(MessageSink* sink) { m_sink = sink; }
    /// Called at every polling pass; returns the alarm queries to send (none while the alarm
    /// window is off).
    void SetAlarmQuerySource(std::function<std::vector<std::string>()> source);

    /// Connects to a dotted IPv4 address (leading zeros are decimal), waiting up to the
    /// connect timeout, and makes `first` the connection's first message. True at once when
    /// already connected.
    bool Connect(const std::string& dottedAddress, int port, std::string first = {});
    /// Takes over a connection opened elsewhere (AsyncConnector): the interface thread never
    /// waits for a connect. What is still queued for an earlier connection is dropped,
    /// polling is off, and `first` (unless empty) is the first message written on the new
    /// one. False (and the descriptor closed) when already connected.
    bool Adopt(UniqueFd fd, std::string first = {});
    /// A single command, queued behind the single commands before it; an empty message
    /// runs one polling pass. Never waits.
    void Send(const std::string& message) override;
    /// Commands queued behind everything else, in order (a batch of requests).
    void SendPaced(std::vector<std::string> messages) { m_outbox.Enqueue(std::move(messages)); }
    /// The bulk lane as a sender (the store's series requests).
    MessageSender& BulkLane() { return m_outbox; }
    /// Drops everything queued and not yet sent.
    void CancelPending() { m_outbox.Cancel(); }
    void ClearStanding();
    void AddStanding(const std::string& message);
    /// Replaces the standing list in one step (a polling pass sees old or new, whole).
    void SetStanding(std::vector<std::string> messages);
    std::vector<std::string> Standing() const { return m_outbox.Standing(); }
    /// Whether the polling passes carry the alarm queries.
    void IncludeAlarmQueries(bool included) { m_outbox.IncludeAlarmQueries(included); }
    /// Starts polling on a connected socket (nothing happens otherwise).
    void StartPolling();
    void StopPolling();
    /// Client-initiated disconnect: no WM_NET_RECONNECT follows; what is queued is dropped.
    void Close();
    /// Starts the receive thread for the current connection (after each successful Connect).
    bool StartReceiveThread();
    /// Close, then wait for the receive thread to end: after it no message reaches the sink.
    /// The owner calls it before destroying the sink.
    void Shutdown();

    bool IsConnected() const { return m_connected.load(); }
    std::chrono::milliseconds ConnectTimeout() const { return m_timing.connectTimeout; }
    bool IsPolling() const { return m_outbox.IsPolling(); }
    /// Marks the connection lost without closing it (the re-login path does this first).
    void MarkDisconnected();

  private:
    // ConnectionWriter: only the writer thread calls it.
    bool Write(std::uint64_t connection, const std::string& utf8) override;
    void PassWritten(std::uint64_t connection) override;
    ReplyWatch::Clock::time_point Now() const;
    /// Waits until `fd` has something to read (true) or the polling pass it was asked for has
    /// gone unanswered for the reply timeout (false).
    bool WaitReadable(int fd);
    void ReceiveLoop(int fd);
    /// Ends the previous connection's receive thread before a new connection starts.
    void JoinFinishedThreads();

    Poster& m_poster;
    const MessageTargets& m_targets;
    Timing m_timing;
    MessageSink* m_sink = nullptr;

    mutable std::mutex m_fdMutex;  ///< guards m_fd, m_connection, writes and m_receiving
    int m_fd = -1;
    std::uint64_t m_connection = 0;  ///< counts the connections adopted
    bool m_receiving = false;

    std::atomic<bool> m_connected{false};
    ReplyWatch m_replyWatch;
    std::thread m_receiveThread;
    /// Last: its writer thread ends before the members it writes through.
    PacedSender m_outbox;
};

}  // namespace qelt
