#include "net/TcpConnect.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <optional>

#include "common/Address.h"
#include "common/DiagnosticLog.h"
#include "common/Numbers.h"

namespace qelt {

UniqueFd& UniqueFd::operator=(UniqueFd&& other) noexcept {
    if (this != &other) {
        Reset();
        m_fd = other.Release();
    }
    return *this;
}

int UniqueFd::Release() {
    const int fd = m_fd;
    m_fd = -1;
    return fd;
}

void UniqueFd::Reset() {
    if (m_fd >= 0) ::close(m_fd);
    m_fd = -1;
}

namespace {

/// The connect itself; `why` says what went wrong when the descriptor is invalid.
UniqueFd OpenConnection(const std::string& dottedAddress, int port, std::chrono::milliseconds timeout,
                        int cancelFd, std::string& why) {
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<uint16_t>(port));
    // The same reading as everywhere else a dotted address is told from a host name
    // ("192.168.001.010" included, which inet_pton refuses).
    const std::optional<std::uint32_t> dotted = ParseDottedIPv4(dottedAddress);
    if (port <= 0 || port > 65535 || !dotted) {
        why = "no usable address or port";
        return {};
    }
    addr.sin_addr.s_addr = htonl(*dotted);
    UniqueFd fd(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    if (!fd.Valid()) {
        why = std::strerror(errno);
        return {};
    }
    int rc = ::connect(fd.Get(), reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    const int connectError = rc != 0 ? errno : 0;
    if (rc != 0) why = std::strerror(connectError);
    if (rc != 0 && connectError == EINPROGRESS) {
        pollfd watch[2] = {{fd.Get(), POLLOUT, 0}, {cancelFd, POLLIN, 0}};
        const nfds_t count = cancelFd >= 0 ? 2 : 1;
        int error = 0;
        socklen_t len = sizeof error;
        rc = -1;
        int ready;
        do {
            ready = ::poll(watch, count, static_cast<int>(timeout.count()));
        } while (ready < 0 && errno == EINTR);
        const bool cancelled = count == 2 && (watch[1].revents & POLLIN) != 0;
        if (ready > 0 && !cancelled && (watch[0].revents & (POLLOUT | POLLERR | POLLHUP)) != 0 &&
            ::getsockopt(fd.Get(), SOL_SOCKET, SO_ERROR, &error, &len) == 0 && error == 0)
            rc = 0;
        if (cancelled)
            why = "cancelled";
        else if (ready == 0)
            why = "no answer within " + FormatInt(static_cast<int>(timeout.count())) + " ms";
        else
            why = std::strerror(error ? error : EIO);
    }
    if (rc != 0) return {};
    ::fcntl(fd.Get(), F_SETFL, ::fcntl(fd.Get(), F_GETFL) & ~O_NONBLOCK);
    int one = 1;
    ::setsockopt(fd.Get(), IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    // A peer that stops reading must not hold a sender (and the interface) forever.
    timeval sendTimeout{5, 0};
    ::setsockopt(fd.Get(), SOL_SOCKET, SO_SNDTIMEO, &sendTimeout, sizeof sendTimeout);
    return fd;
}

}  // namespace

UniqueFd ConnectTcp(const std::string& dottedAddress, int port, std::chrono::milliseconds timeout,
                    int cancelFd) {
    const std::string where =
        (dottedAddress.empty() ? "(no address)" : dottedAddress) + ":" + FormatInt(port);
    Log("connecting to " + where);
    std::string why;
    UniqueFd fd = OpenConnection(dottedAddress, port, timeout, cancelFd, why);
    Log(fd.Valid() ? "connected to " + where : "connection to " + where + " failed: " + why);
    return fd;
}

AsyncConnector::AsyncConnector() = default;

AsyncConnector::~AsyncConnector() {
    Cancel();
    Join();
}

void AsyncConnector::Join() {
    if (m_thread.joinable()) m_thread.join();
    std::lock_guard lock(m_mutex);
    if (m_cancelRead >= 0) ::close(m_cancelRead);
    if (m_cancelWrite >= 0) ::close(m_cancelWrite);
    m_cancelRead = m_cancelWrite = -1;
}

void AsyncConnector::Cancel() {
    std::lock_guard lock(m_mutex);
    if (m_cancelWrite >= 0) {
        const char wake = 1;
        [[maybe_unused]] ssize_t n = ::write(m_cancelWrite, &wake, 1);
    }
}

void AsyncConnector::Start(std::string dottedAddress, int port, std::chrono::milliseconds timeout,
                           Done done) {
    Cancel();
    Join();
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC | O_NONBLOCK) != 0) {
        done(UniqueFd());
        return;
    }
    {
        std::lock_guard lock(m_mutex);
        m_cancelRead = pipeFds[0];
        m_cancelWrite = pipeFds[1];
    }
    const int cancelRead = pipeFds[0];
    m_thread =
        std::thread([address = std::move(dottedAddress), port, timeout, cancelRead, done = std::move(done)] {
            done(ConnectTcp(address, port, timeout, cancelRead));
        });
}

}  // namespace qelt
