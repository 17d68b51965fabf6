#include "PacedSender.h"

namespace qelt {

PacedSender::PacedSender(MessageSender& sender) : m_sender(sender), m_thread(&PacedSender::Run, this) {}

PacedSender::~PacedSender() {
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
        m_first.clear();
        m_queue.clear();
    }
    m_wake.notify_all();
    m_thread.join();
}

void PacedSender::Enqueue(std::vector<std::string> messages) {
    {
        std::lock_guard lock(m_mutex);
        for (auto& m : messages)
            if (!m.empty()) m_queue.push_back(std::move(m));
    }
    m_wake.notify_all();
}

void PacedSender::SendFirst(const std::string& message) {
    if (message.empty()) return;
    {
        std::lock_guard lock(m_mutex);
        m_first.push_back(message);
    }
    m_wake.notify_all();
}

void PacedSender::Cancel() {
    std::lock_guard lock(m_mutex);
    m_first.clear();
    m_queue.clear();
}

size_t PacedSender::Pending() const {
    std::lock_guard lock(m_mutex);
    return m_first.size() + m_queue.size();
}

void PacedSender::Run() {
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [&] { return m_stop || !m_first.empty() || !m_queue.empty(); });
        if (m_stop) return;
        std::deque<std::string>& lane = m_first.empty() ? m_queue : m_first;
        std::string next = std::move(lane.front());
        lane.pop_front();
        lock.unlock();
        m_sender.Send(next);
        lock.lock();
    }
}

}  // namespace qelt
