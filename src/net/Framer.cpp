#include "Framer.h"

#include "Requests.h"

namespace qelt {

bool Framer::Feed(std::string_view bytes) {
    if (m_failed) return false;
    if (m_read > 0 && m_read * 2 >= m_buffer.size()) {
        // Compact once the consumed part dominates, so the buffer does not creep.
        m_buffer.erase(0, m_read);
        m_scan -= m_read;
        m_tail -= m_read;
        m_read = 0;
    }
    const size_t oldSize = m_buffer.size();
    m_buffer.append(bytes);
    // Only the text after the last terminator can be waiting for one; look for a terminator
    // in the new bytes (and the three before them) to move that mark.
    size_t from = oldSize >= kTerminator.size() - 1 ? oldSize - (kTerminator.size() - 1) : 0;
    if (from < m_tail) from = m_tail;
    size_t last = std::string_view(m_buffer).substr(from).rfind(kTerminator);
    if (last != std::string_view::npos) m_tail = from + last + kTerminator.size();
    if (m_buffer.size() - m_tail > m_maxPending) {
        m_failed = true;
        return false;
    }
    return true;
}

bool Framer::Next(std::string_view& message) {
    for (;;) {
        size_t from = m_scan > m_read ? m_scan : m_read;
        size_t at = m_buffer.find(kTerminator, from);
        if (at == std::string::npos) {
            // A terminator may straddle the next piece: rescan its first three bytes then.
            size_t keep = kTerminator.size() - 1;
            m_scan = m_buffer.size() > m_read + keep ? m_buffer.size() - keep : m_read;
            return false;
        }
        size_t start = m_read;
        m_read = at + kTerminator.size();
        m_scan = m_read;
        if (at > start) {
            message = std::string_view(m_buffer).substr(start, at - start);
            return true;
        }
    }
}

void Framer::Reset() {
    m_buffer.clear();
    m_read = 0;
    m_scan = 0;
    m_tail = 0;
    m_failed = false;
}

}  // namespace qelt
