#include "net/ReplyWatch.h"

namespace qelt {

void ReplyWatch::PassWritten(Clock::time_point now) {
    std::lock_guard lock(m_mutex);
    if (m_owed) return;
    m_owed = true;
    m_since = now;
}

void ReplyWatch::Received() {
    std::lock_guard lock(m_mutex);
    m_owed = false;
}

bool ReplyWatch::Overdue(Clock::time_point now) const {
    std::lock_guard lock(m_mutex);
    return m_owed && now - m_since >= m_limit;
}

}  // namespace qelt
