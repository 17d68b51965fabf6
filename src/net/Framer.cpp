#include "Framer.h"

#include <string.h>

#include "Requests.h"

namespace qelt {

namespace {

// The terminator is looked for with memmem, whole, in one call. The string's own find and rfind
// compare with memcmp at every '|' (the board's field separator) or at every position, and the
// sanitizer and fuzzing builds intercept each of those calls: they framed a stream at a
// fraction of the speed.

/// Where the first terminator at or after `from` starts in `text`; npos when there is none.
size_t FindTerminator(std::string_view text, size_t from) {
    if (from >= text.size()) return std::string_view::npos;
    const void* found =
        memmem(text.data() + from, text.size() - from, kTerminator.data(), kTerminator.size());
    return found ? static_cast<size_t>(static_cast<const char*>(found) - text.data())
                 : std::string_view::npos;
}

/// Where the last terminator in `text` starts; npos when there is none.
size_t FindLastTerminator(std::string_view text) {
    size_t last = std::string_view::npos;
    for (size_t at = FindTerminator(text, 0); at != std::string_view::npos;
         at = FindTerminator(text, at + kTerminator.size()))
        last = at;
    return last;
}

}  // namespace

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
    size_t last = FindLastTerminator(std::string_view(m_buffer).substr(from));
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
        size_t at = FindTerminator(m_buffer, from);
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
