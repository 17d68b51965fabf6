#include "LoopbackServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

namespace qelt::test {

LoopbackServer::LoopbackServer() {
    m_listen = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    ::bind(m_listen, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    ::listen(m_listen, 8);
    socklen_t len = sizeof addr;
    ::getsockname(m_listen, reinterpret_cast<sockaddr*>(&addr), &len);
    m_port = ntohs(addr.sin_port);
}

LoopbackServer::~LoopbackServer() {
    CloseClient();
    if (m_listen >= 0) ::close(m_listen);
}

bool LoopbackServer::Accept(std::chrono::milliseconds timeout) {
    pollfd p{m_listen, POLLIN, 0};
    if (::poll(&p, 1, static_cast<int>(timeout.count())) != 1) return false;
    CloseClient();
    m_client = ::accept4(m_listen, nullptr, nullptr, SOCK_CLOEXEC);
    return m_client >= 0;
}

bool LoopbackServer::Write(const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::send(m_client, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

std::string LoopbackServer::ReadAtLeast(size_t count, std::chrono::milliseconds timeout) {
    std::string out;
    auto deadline = std::chrono::steady_clock::now() + timeout;
    while (out.size() < count) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline -
                                                                          std::chrono::steady_clock::now());
        if (left.count() <= 0) break;
        pollfd p{m_client, POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(left.count())) != 1) break;
        char buf[4096];
        ssize_t n = ::recv(m_client, buf, sizeof buf, 0);
        if (n <= 0) break;
        out.append(buf, static_cast<size_t>(n));
    }
    return out;
}

std::string LoopbackServer::ReadThrough(const std::string& text, std::chrono::milliseconds timeout) {
    std::string out;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (out.find(text) == std::string::npos) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) break;
        pollfd p{m_client, POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(left.count())) != 1) break;
        char buf[4096];
        ssize_t n = ::recv(m_client, buf, sizeof buf, 0);
        if (n <= 0) break;
        out.append(buf, static_cast<size_t>(n));
    }
    return out;
}

std::string LoopbackServer::ReadFor(std::chrono::milliseconds window) {
    std::string out;
    auto deadline = std::chrono::steady_clock::now() + window;
    for (;;) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline -
                                                                          std::chrono::steady_clock::now());
        if (left.count() <= 0) break;
        pollfd p{m_client, POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(left.count())) != 1) break;
        char buf[4096];
        ssize_t n = ::recv(m_client, buf, sizeof buf, 0);
        if (n <= 0) break;
        out.append(buf, static_cast<size_t>(n));
    }
    return out;
}

bool LoopbackServer::WaitPeerClosed(std::chrono::milliseconds timeout) {
    auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline -
                                                                          std::chrono::steady_clock::now());
        if (left.count() <= 0) return false;
        pollfd p{m_client, POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(left.count())) != 1) return false;
        char buf[4096];
        ssize_t n = ::recv(m_client, buf, sizeof buf, 0);
        if (n <= 0) return true;
    }
}

void LoopbackServer::CloseClient() {
    if (m_client >= 0) ::close(m_client);
    m_client = -1;
}

}  // namespace qelt::test
