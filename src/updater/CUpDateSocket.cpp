#include "updater/CUpDateSocket.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace qelt {
namespace {

/// How long one wait lasts before the stop flag is looked at again.
constexpr std::chrono::milliseconds kSlice{100};
constexpr size_t kBufferSize = 64 * 1024;

}  // namespace

bool SocketsAvailable() {
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    ::close(fd);
    return true;
}

CUpDateSocket::CUpDateSocket(const std::atomic<bool>* stop, std::chrono::milliseconds idleLimit)
    : m_stop(stop), m_idleLimit(idleLimit), m_buffer(kBufferSize) {}

CUpDateSocket::~CUpDateSocket() { Close(); }

CUpDateSocket::ReadEnd CUpDateSocket::Wait(short events, std::chrono::steady_clock::time_point deadline) {
    for (;;) {
        if (Stopping()) return ReadEnd::Stopped;
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline -
                                                                          std::chrono::steady_clock::now());
        if (left.count() <= 0) return ReadEnd::TimedOut;
        pollfd p{m_fd, events, 0};
        int n = ::poll(&p, 1, static_cast<int>(std::min(left, kSlice).count()) + 1);
        if (n < 0 && errno != EINTR) return ReadEnd::Failed;
        if (n > 0) return ReadEnd::Complete;  // ready, or an error the next call reports
    }
}

bool CUpDateSocket::Connect(const std::string& dottedAddress, int port, std::chrono::milliseconds timeout) {
    Close();
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    if (port <= 0 || port > 65535 || ::inet_pton(AF_INET, dottedAddress.c_str(), &addr.sin_addr) != 1)
        return false;
    addr.sin_port = htons(static_cast<uint16_t>(port));
    m_fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (m_fd < 0) return false;
    if (::connect(m_fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        if (errno != EINPROGRESS ||
            Wait(POLLOUT, std::chrono::steady_clock::now() + timeout) != ReadEnd::Complete) {
            Close();
            return false;
        }
        int error = 0;
        socklen_t len = sizeof error;
        if (::getsockopt(m_fd, SOL_SOCKET, SO_ERROR, &error, &len) != 0 || error != 0) {
            Close();
            return false;
        }
    }
    m_begin = m_end = 0;
    return true;
}

bool CUpDateSocket::SendAll(std::string_view bytes) {
    while (!bytes.empty()) {
        if (m_fd < 0) return false;
        ssize_t n = ::send(m_fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (n > 0) {
            bytes.remove_prefix(static_cast<size_t>(n));
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK) &&
            Wait(POLLOUT, std::chrono::steady_clock::now() + m_idleLimit) == ReadEnd::Complete)
            continue;
        return false;
    }
    return true;
}

size_t CUpDateSocket::ReadExact(char* out, size_t count, ReadEnd& end) {
    size_t done = 0;
    end = ReadEnd::Complete;
    while (done < count) {
        if (m_begin < m_end) {
            size_t n = std::min(count - done, m_end - m_begin);
            std::memcpy(out + done, m_buffer.data() + m_begin, n);
            m_begin += n;
            done += n;
            continue;
        }
        if (m_fd < 0) {
            end = ReadEnd::Failed;
            return done;
        }
        ssize_t n = ::recv(m_fd, m_buffer.data(), m_buffer.size(), 0);
        if (n > 0) {
            m_begin = 0;
            m_end = static_cast<size_t>(n);
            continue;
        }
        if (n == 0) {
            end = ReadEnd::Closed;
            return done;
        }
        if (errno == EINTR) continue;
        if (errno != EAGAIN && errno != EWOULDBLOCK) {
            end = ReadEnd::Failed;
            return done;
        }
        end = Wait(POLLIN, std::chrono::steady_clock::now() + m_idleLimit);
        if (end != ReadEnd::Complete) return done;
    }
    return done;
}

void CUpDateSocket::Close() {
    if (m_fd < 0) return;
    linger off{1, 0};
    ::setsockopt(m_fd, SOL_SOCKET, SO_LINGER, &off, sizeof off);
    ::close(m_fd);
    m_fd = -1;
    m_begin = m_end = 0;
}

}  // namespace qelt
