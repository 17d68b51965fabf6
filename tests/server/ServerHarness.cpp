#include "ServerHarness.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "common/Gbk.h"

namespace qelt::server::test {

ServerHarness::ServerHarness(ServerOptions options) {
    options.dataDir = m_dir.Path();
    options.port = 0;
    m_state = std::make_unique<ServerState>(options, kMorning);
    m_loop = std::make_unique<EventLoop>(*m_state, [] { return kMorning; });
    std::string error;
    if (!m_loop->Listen("127.0.0.1", 0, options.adminPort, error)) throw std::runtime_error(error);
    m_thread = std::thread([this] { m_loop->Run(); });
}

ServerHarness::~ServerHarness() {
    m_loop->Stop();
    m_thread.join();
}

TestClient::TestClient(int port) {
    m_fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<uint16_t>(port));
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(m_fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        ::close(m_fd);
        m_fd = -1;
    }
}

TestClient::~TestClient() {
    if (m_fd >= 0) ::close(m_fd);
}

bool TestClient::SendRaw(const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::send(m_fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

bool TestClient::Send(const std::string& utf8) { return SendRaw(Utf8ToGbk(utf8) + "|END"); }

std::optional<std::string> TestClient::Next(std::chrono::milliseconds timeout) {
    auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        std::string_view message;
        if (m_framer.Next(message)) return GbkToUtf8(message);
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline -
                                                                          std::chrono::steady_clock::now());
        if (left.count() <= 0) return std::nullopt;
        pollfd p{m_fd, POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(left.count())) <= 0) return std::nullopt;
        char buffer[65536];
        ssize_t n = ::read(m_fd, buffer, sizeof buffer);
        if (n <= 0) return std::nullopt;
        m_framer.Feed(std::string_view(buffer, static_cast<size_t>(n)));
    }
}

std::optional<std::string> TestClient::NextOfKind(const std::string& kind,
                                                  std::chrono::milliseconds timeout) {
    auto deadline = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < deadline) {
        auto m = Next(std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now()));
        if (!m) return std::nullopt;
        if (m->rfind(kind + ":", 0) == 0) return m;
    }
    return std::nullopt;
}

std::optional<std::string> TestClient::Ask(const std::string& message, const std::string& kind) {
    if (!Send(message)) return std::nullopt;
    return NextOfKind(kind);
}

bool TestClient::Closed(std::chrono::milliseconds timeout) {
    auto deadline = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < deadline) {
        pollfd p{m_fd, POLLIN, 0};
        if (::poll(&p, 1, 50) <= 0) continue;
        char buffer[65536];
        ssize_t n = ::read(m_fd, buffer, sizeof buffer);
        if (n <= 0) return true;
    }
    return false;
}

}  // namespace qelt::server::test
