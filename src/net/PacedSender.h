#pragma once
/// Sends commands in order on a thread of its own, each through the sender (which pauses
/// after every command), so neither a single command nor a batch of n requests ever holds up
/// the interface (n x 100 ms). Two lanes: single commands the user is waiting for (a login,
/// a view's request) go before the bulk requests still queued (a store's thousand series
/// requests), each lane in its own order. Cancel() forgets what has not gone out yet.
#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "MessageSink.h"

namespace qelt {

class PacedSender : public MessageSender {
  public:
    explicit PacedSender(MessageSender& sender);
    ~PacedSender() override;
    PacedSender(const PacedSender&) = delete;
    PacedSender& operator=(const PacedSender&) = delete;

    /// Bulk lane: the messages go out after everything queued before them.
    void Enqueue(std::vector<std::string> messages);
    /// Bulk lane, one message (the store's series requests come this way).
    void Send(const std::string& message) override { Enqueue({message}); }
    /// Single-command lane: goes out after the single commands queued before it, ahead of
    /// the bulk lane.
    void SendFirst(const std::string& message);
    void Cancel();
    /// Messages not yet sent.
    size_t Pending() const;

  private:
    void Run();
    MessageSender& m_sender;
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<std::string> m_first;  ///< single commands
    std::deque<std::string> m_queue;  ///< bulk requests
    bool m_stop = false;
    std::thread m_thread;
};

}  // namespace qelt
