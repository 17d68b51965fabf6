#include "PacedSender.h"

namespace qelt {

PacedSender::PacedSender(ConnectionWriter& writer) : PacedSender(writer, Timing{}) {}

PacedSender::PacedSender(ConnectionWriter& writer, Timing timing)
    : m_writer(writer), m_timing(timing), m_thread(&PacedSender::Run, this) {}

PacedSender::~PacedSender() {
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
        m_first.clear();
        m_bulk.clear();
    }
    m_wake.notify_all();
    m_thread.join();
}

void PacedSender::Open(std::uint64_t connection, std::string first) {
    {
        std::lock_guard lock(m_mutex);
        m_connection = connection;
        m_first.clear();
        m_bulk.clear();
        m_polling = false;
        m_passRequested = false;
        if (!first.empty()) m_first.push_back({connection, std::move(first)});
    }
    m_wake.notify_all();
}

void PacedSender::Enqueue(std::vector<std::string> messages) {
    {
        std::lock_guard lock(m_mutex);
        for (auto& m : messages)
            if (!m.empty()) m_bulk.push_back({m_connection, std::move(m)});
    }
    m_wake.notify_all();
}

void PacedSender::SendFirst(const std::string& message) {
    if (message.empty()) return;
    {
        std::lock_guard lock(m_mutex);
        m_first.push_back({m_connection, message});
    }
    m_wake.notify_all();
}

void PacedSender::Cancel() {
    std::lock_guard lock(m_mutex);
    m_first.clear();
    m_bulk.clear();
}

size_t PacedSender::Pending() const {
    std::lock_guard lock(m_mutex);
    return m_first.size() + m_bulk.size();
}

void PacedSender::SetStanding(std::vector<std::string> requests) {
    std::lock_guard lock(m_mutex);
    m_standing = std::move(requests);
}

std::vector<std::string> PacedSender::Standing() const {
    std::lock_guard lock(m_mutex);
    return m_standing;
}

void PacedSender::SetAlarmQuerySource(std::function<std::vector<std::string>()> source) {
    std::lock_guard lock(m_mutex);
    m_alarmSource = std::move(source);
}

void PacedSender::IncludeAlarmQueries(bool included) {
    std::lock_guard lock(m_mutex);
    m_alarmsIncluded = included;
}

void PacedSender::StartPolling() {
    {
        std::lock_guard lock(m_mutex);
        if (m_polling) return;
        m_polling = true;
        m_nextPass = std::chrono::steady_clock::now();
    }
    m_wake.notify_all();
}

void PacedSender::StopPolling() {
    std::lock_guard lock(m_mutex);
    m_polling = false;
}

bool PacedSender::IsPolling() const {
    std::lock_guard lock(m_mutex);
    return m_polling;
}

void PacedSender::PollOnce() {
    {
        std::lock_guard lock(m_mutex);
        m_passRequested = true;
    }
    m_wake.notify_all();
}

bool PacedSender::PassDue(std::chrono::steady_clock::time_point now) const {
    return m_passRequested || (m_polling && now >= m_nextPass);
}

void PacedSender::Run() {
    std::unique_lock lock(m_mutex);
    for (;;) {
        auto ready = [&] {
            return m_stop || !m_first.empty() || !m_bulk.empty() || PassDue(std::chrono::steady_clock::now());
        };
        if (m_polling)
            m_wake.wait_until(lock, m_nextPass, ready);
        else
            m_wake.wait(lock, ready);
        if (m_stop) return;
        SendNext(lock);
    }
}

void PacedSender::SendNext(std::unique_lock<std::mutex>& lock) {
    // Single commands first, then a pass that is due, then the bulk lane.
    if (!m_first.empty() || (!PassDue(std::chrono::steady_clock::now()) && !m_bulk.empty())) {
        std::deque<Entry>& lane = m_first.empty() ? m_bulk : m_first;
        Entry next = std::move(lane.front());
        lane.pop_front();
        lock.unlock();
        const bool written = m_writer.Write(next.connection, next.text);
        lock.lock();
        if (written) Pause(lock);
        return;
    }
    if (!PassDue(std::chrono::steady_clock::now())) return;
    m_passRequested = false;
    if (m_polling) m_nextPass = std::chrono::steady_clock::now() + m_timing.pollInterval;
    const std::vector<std::string> standing = m_standing;
    std::function<std::vector<std::string>()> alarms;
    if (m_alarmsIncluded) alarms = m_alarmSource;
    RunPass(m_connection, standing, alarms, lock);
}

void PacedSender::RunPass(std::uint64_t connection, const std::vector<std::string>& standing,
                          const std::function<std::vector<std::string>()>& alarms,
                          std::unique_lock<std::mutex>& lock) {
    lock.unlock();
    bool written = false;
    for (const std::string& request : standing) written = m_writer.Write(connection, request) || written;
    if (written) m_writer.PassWritten(connection);
    const std::vector<std::string> queries = alarms ? alarms() : std::vector<std::string>{};
    lock.lock();
    for (const std::string& query : queries) {
        if (m_stop) return;
        lock.unlock();
        const bool written = m_writer.Write(connection, query);
        lock.lock();
        if (written) Pause(lock);
    }
}

void PacedSender::Pause(std::unique_lock<std::mutex>& lock) {
    m_wake.wait_for(lock, m_timing.pause, [&] { return m_stop; });
}

}  // namespace qelt
