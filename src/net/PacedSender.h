#pragma once
/// Sends batches of commands in order on a thread of its own, each through the sender (which
/// pauses after every command), so a batch of n requests never holds up the interface for
/// n x 100 ms. Dropped batches: Cancel() forgets what has not gone out yet.
#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "MessageSink.h"

namespace qelt {

class PacedSender {
public:
    explicit PacedSender(MessageSender& sender);
    ~PacedSender();
    PacedSender(const PacedSender&) = delete;
    PacedSender& operator=(const PacedSender&) = delete;

    void Enqueue(std::vector<std::string> messages);
    void Cancel();
    /// Messages not yet sent.
    size_t Pending() const;

private:
    void Run();
    MessageSender& m_sender;
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<std::string> m_queue;
    bool m_stop = false;
    std::thread m_thread;
};

}  // namespace qelt
