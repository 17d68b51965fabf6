#pragma once
/// Cuts a byte stream into messages at "|END". A buffer plus a read position: Next() tells
/// "a message" from "need more input"; text without a terminator is capped, and going over
/// the cap is an error that ends the connection.
///
/// Why end it rather than drop the text and read on: the stream has no other mark to find
/// its way back by, so whatever follows dropped text is itself the tail of a broken message;
/// a new connection (the re-login path) starts from a clean stream. The cap only bounds
/// memory: it is far above the largest reply the store can take (a goods' trade list at its
/// cap, some megabytes). Below it, a reply that follows unterminated text arrives glued to
/// it as one message. The glue cannot store absurd texts: a record that took in more than a
/// short field's worth of that text is dropped whole by the reply parsers (net/Replies.h),
/// and the records after it stand.
#include <cstddef>
#include <string>
#include <string_view>

namespace qelt {

class Framer {
  public:
    static constexpr size_t kDefaultMaxPending = 64u << 20;

    explicit Framer(size_t maxPending = kDefaultMaxPending) : m_maxPending(maxPending) {}

    /// Appends received bytes. Returns false when the text still waiting for a terminator
    /// would exceed the cap; the framer is then in the error state and takes nothing more.
    bool Feed(std::string_view bytes);

    /// The next complete message, skipping the empty pieces between two terminators. The
    /// view stays valid until the next Feed. Returns false when more input is needed.
    bool Next(std::string_view& message);

    bool Failed() const { return m_failed; }
    /// Bytes received but not yet returned as messages.
    size_t Pending() const { return m_buffer.size() - m_read; }
    void Reset();

  private:
    std::string m_buffer;
    size_t m_read = 0;  ///< start of the unconsumed text
    size_t m_scan = 0;  ///< no terminator starts before this position (past m_read)
    size_t m_tail = 0;  ///< just past the last terminator received
    size_t m_maxPending;
    bool m_failed = false;
};

}  // namespace qelt
