#pragma once
/// `CUpDateSocket`: the updater's TCP client. One connection, one request, then a stream of
/// bytes read in exact amounts until the server closes it. Every wait is cut into short
/// slices so that a stop request (the user closing the dialog) is noticed quickly, and a
/// server that falls silent for longer than the idle limit ends the transfer instead of
/// hanging the updater for ever.
#include <atomic>
#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace qelt {

/// True when a TCP socket can be created at all (the networking start-up check).
bool SocketsAvailable();

class CUpDateSocket {
  public:
    /// How a read ended when it delivered fewer bytes than asked.
    enum class ReadEnd { Complete, Closed, Failed, TimedOut, Stopped };

    /// `stop` may be null; when it becomes true every wait ends with Stopped / false.
    explicit CUpDateSocket(const std::atomic<bool>* stop = nullptr,
                           std::chrono::milliseconds idleLimit = std::chrono::seconds(60));
    ~CUpDateSocket();
    CUpDateSocket(const CUpDateSocket&) = delete;
    CUpDateSocket& operator=(const CUpDateSocket&) = delete;

    /// Creates a socket and connects to `dottedAddress`:`port` within `timeout`. False when
    /// the socket cannot be created, the address or port is invalid, or the connect fails.
    bool Connect(const std::string& dottedAddress, int port, std::chrono::milliseconds timeout);

    /// Sends all of `bytes`; false on failure.
    bool SendAll(std::string_view bytes);

    /// Reads exactly `count` bytes into `out` unless the stream ends first. Returns the
    /// number read and sets `end` (Complete when all `count` bytes arrived).
    size_t ReadExact(char* out, size_t count, ReadEnd& end);

    /// Closes with linger on and a zero timeout: nothing more is owed to the server.
    void Close();

  private:
    /// Waits for the socket to become ready for `events`; Complete when ready.
    ReadEnd Wait(short events, std::chrono::steady_clock::time_point deadline);
    bool Stopping() const { return m_stop && m_stop->load(); }

    const std::atomic<bool>* m_stop;
    std::chrono::milliseconds m_idleLimit;
    int m_fd = -1;
    std::vector<char> m_buffer;
    size_t m_begin = 0;
    size_t m_end = 0;
};

}  // namespace qelt
