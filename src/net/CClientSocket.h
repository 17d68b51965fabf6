#pragma once
/// `CClientSocket`: the one TCP connection to the quote server, its polling thread and its
/// receive thread.
///
/// - Send: a message leaves in one piece (never interleaved with another thread's), then the
///   sender pauses 100 ms so consecutive commands are spaced. An empty message runs one
///   polling pass: the standing requests back to back, then one alarm query per alarm entry
///   (while the alarm window is on), each followed by the pause.
/// - Polling: one pass per second while on, none while off. The polling thread ends with the
///   connection; StartPolling starts a new one when the old one has ended.
/// - Receive thread: reads 2048-byte pieces, cuts them at "|END", converts each message to
///   UTF-8, hands it to the sink on this thread and then posts WM_NET_INDEX to the main frame.
///   When the peer ends a connection still marked connected it posts WM_NET_RECONNECT
///   (wParam 0) to the application exactly once; after the server's own "dis" it posts
///   WM_NET_RECONNECT with wParam 10 instead (no re-login follows), and nothing more. Text waiting for a
///   terminator is capped: a peer that never sends one loses the connection as if it had dropped it.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "Framer.h"
#include "MessageSink.h"
#include "TcpConnect.h"
#include "common/Poster.h"

namespace qelt {

class CClientSocket : public MessageSender {
  public:
    struct Timing {
        std::chrono::milliseconds pause{100};          ///< after a single command or alarm query
        std::chrono::milliseconds pollInterval{1000};  ///< between polling passes
        std::chrono::milliseconds connectTimeout{5000};
        size_t maxPending = Framer::kDefaultMaxPending;
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
    /// connect timeout. True at once when already connected.
    bool Connect(const std::string& dottedAddress, int port);
    /// Takes over a connection opened elsewhere (AsyncConnector): the interface thread never
    /// waits for a connect. False (and the descriptor closed) when already connected.
    bool Adopt(UniqueFd fd);
    void Send(const std::string& message) override;
    void ClearStanding();
    void AddStanding(const std::string& message);
    /// Replaces the standing list in one step (a polling pass sees old or new, whole).
    void SetStanding(std::vector<std::string> messages);
    std::vector<std::string> Standing() const;
    void StartPolling();
    void StopPolling();
    /// Client-initiated disconnect: no WM_NET_RECONNECT follows.
    void Close();
    /// Starts the receive thread for the current connection (after each successful Connect).
    bool StartReceiveThread();
    /// Close, then wait for both threads to end: after it no message reaches the sink. The
    /// owner calls it before destroying the sink.
    void Shutdown();

    bool IsConnected() const { return m_connected.load(); }
    std::chrono::milliseconds ConnectTimeout() const { return m_timing.connectTimeout; }
    bool IsPolling() const { return m_polling.load(); }
    /// Marks the connection lost without closing it (the re-login path does this first).
    void MarkDisconnected();

  private:
    void PollLoop();
    void ReceiveLoop(int fd);
    void RunPollingPass();
    /// Writes message + "|END" whole; false when there is no connection or the write fails.
    bool SendFramed(const std::string& utf8);
    void Pause();
    void WakePoller();
    /// Ends the previous connection's threads before a new connection starts.
    void JoinFinishedThreads();

    Poster& m_poster;
    const MessageTargets& m_targets;
    Timing m_timing;
    MessageSink* m_sink = nullptr;

    mutable std::mutex m_fdMutex;  ///< guards m_fd, sends and m_receiving
    int m_fd = -1;
    bool m_receiving = false;

    mutable std::mutex m_standingMutex;
    std::vector<std::string> m_standing;
    std::function<std::vector<std::string>()> m_alarmSource;

    std::atomic<bool> m_connected{false};
    std::atomic<bool> m_polling{false};

    std::mutex m_pollMutex;
    std::condition_variable m_pollWake;
    bool m_pollThreadEnded = true;
    bool m_shuttingDown = false;
    std::thread m_pollThread;
    std::thread m_receiveThread;
};

}  // namespace qelt
