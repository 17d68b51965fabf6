#pragma once
/// Opening the TCP connection to the quote server: a bounded wait, a way to give up early,
/// and a connection that runs on a thread of its own so that the interface never waits for
/// a host that drops packets.
#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace qelt {

/// A socket descriptor that closes itself unless released.
class UniqueFd {
  public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : m_fd(fd) {}
    ~UniqueFd() { Reset(); }
    UniqueFd(UniqueFd&& other) noexcept : m_fd(other.Release()) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept;
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;

    int Get() const { return m_fd; }
    bool Valid() const { return m_fd >= 0; }
    int Release();
    void Reset();

  private:
    int m_fd = -1;
};

/// Connects to a dotted IPv4 address within `timeout`; an invalid descriptor when the address
/// or port is unusable, the peer refuses or does not answer in time, or `cancelFd` (when not
/// -1) becomes readable meanwhile. The connection is blocking, without Nagle's delay, with a
/// 5 s send timeout so a peer that stops reading cannot hold a sender forever.
UniqueFd ConnectTcp(const std::string& dottedAddress, int port, std::chrono::milliseconds timeout,
                    int cancelFd = -1);

/// One connection attempt at a time, on a thread of its own.
class AsyncConnector {
  public:
    /// Gets the connection, or an invalid descriptor when it failed or was cancelled.
    using Done = std::function<void(UniqueFd)>;

    AsyncConnector();
    /// Cancels the attempt under way and waits for its thread (a moment: cancelling wakes it).
    ~AsyncConnector();
    AsyncConnector(const AsyncConnector&) = delete;
    AsyncConnector& operator=(const AsyncConnector&) = delete;

    /// Starts an attempt (one under way is cancelled first); `done` runs on the connecting
    /// thread when the attempt ends.
    void Start(std::string dottedAddress, int port, std::chrono::milliseconds timeout, Done done);
    /// Makes the attempt under way end now, unconnected.
    void Cancel();

  private:
    void Join();
    std::mutex m_mutex;
    int m_cancelRead = -1;
    int m_cancelWrite = -1;
    std::thread m_thread;
};

}  // namespace qelt
