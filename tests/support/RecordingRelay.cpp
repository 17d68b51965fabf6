#include "RecordingRelay.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <vector>

namespace qelt::test {
namespace {

sockaddr_in Loopback(int port) {
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = htons(static_cast<uint16_t>(port));
    return addr;
}

bool SendAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        ssize_t n = ::send(fd, data, size, MSG_NOSIGNAL);
        if (n <= 0) return false;
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

struct Pair {
    int client;
    int server;
};

}  // namespace

RecordingRelay::RecordingRelay(int targetPort) : m_target(targetPort) {
    m_listen = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr = Loopback(0);
    ::bind(m_listen, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    ::listen(m_listen, 8);
    socklen_t len = sizeof addr;
    ::getsockname(m_listen, reinterpret_cast<sockaddr*>(&addr), &len);
    m_port = ntohs(addr.sin_port);
    if (::pipe2(m_wake, O_CLOEXEC) != 0) m_wake[0] = m_wake[1] = -1;
    m_thread = std::thread([this] { Run(); });
}

RecordingRelay::~RecordingRelay() {
    if (m_wake[1] >= 0) (void)::write(m_wake[1], "x", 1);
    m_thread.join();
    for (int fd : {m_listen, m_wake[0], m_wake[1]})
        if (fd >= 0) ::close(fd);
}

std::string RecordingRelay::ClientBytes() const {
    std::lock_guard lock(m_mutex);
    return m_sent;
}

void RecordingRelay::Run() {
    std::vector<Pair> pairs;
    char buffer[65536];
    for (;;) {
        std::vector<pollfd> fds{{m_wake[0], POLLIN, 0}, {m_listen, POLLIN, 0}};
        for (const Pair& p : pairs) {
            fds.push_back({p.client, POLLIN, 0});
            fds.push_back({p.server, POLLIN, 0});
        }
        if (::poll(fds.data(), fds.size(), -1) < 0) continue;
        if (fds[0].revents) break;
        if (fds[1].revents & POLLIN) {
            int client = ::accept4(m_listen, nullptr, nullptr, SOCK_CLOEXEC);
            int server = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
            sockaddr_in target = Loopback(m_target);
            if (client >= 0 && ::connect(server, reinterpret_cast<sockaddr*>(&target), sizeof target) == 0) {
                pairs.push_back({client, server});
            } else {
                if (client >= 0) ::close(client);
                ::close(server);
            }
        }
        std::vector<Pair> alive;
        for (size_t i = 0; i < pairs.size(); ++i) {
            const Pair p = pairs[i];
            bool open = true;
            for (int side = 0; side < 2 && open; ++side) {
                if (!fds[2 + 2 * i + side].revents) continue;
                const int from = side == 0 ? p.client : p.server;
                const int to = side == 0 ? p.server : p.client;
                ssize_t n = ::recv(from, buffer, sizeof buffer, 0);
                if (n <= 0) {
                    open = false;
                    break;
                }
                if (side == 0) {
                    std::lock_guard lock(m_mutex);
                    m_sent.append(buffer, static_cast<size_t>(n));
                }
                open = SendAll(to, buffer, static_cast<size_t>(n));
            }
            if (open) {
                alive.push_back(p);
            } else {
                ::close(p.client);
                ::close(p.server);
            }
        }
        pairs = std::move(alive);
    }
    for (const Pair& p : pairs) {
        ::close(p.client);
        ::close(p.server);
    }
}

}  // namespace qelt::test
