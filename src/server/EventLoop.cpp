#include "server/EventLoop.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <optional>

#include "common/Address.h"
#include "net/Requests.h"
#include "server/NewsPage.h"

namespace qelt::server {
namespace {

constexpr int kMaxEvents = 256;
/// Reads per readable event, so one busy client cannot starve the others.
constexpr int kReadsPerEvent = 4;
constexpr size_t kReadPiece = 16 * 1024;
/// Messages handled per read piece before the loop moves on.
constexpr int kMessagesPerRead = 64;
/// Connections beyond this are closed as soon as they are accepted.
constexpr size_t kMaxConnections = 20000;

std::int64_t SystemSeconds() {
    return std::chrono::duration_cast<std::chrono::seconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

std::int64_t NowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

int OpenListener(const std::string& address, int port, int& boundPort, std::string& error) {
    // Read as the options were checked ("127.000.000.001" included): an address inet_pton
    // refused would leave the listener on every interface.
    const std::optional<std::uint32_t> dotted = ParseDottedIPv4(address);
    if (!dotted) {
        error = "bad address: " + address;
        return -1;
    }
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        error = std::strerror(errno);
        return -1;
    }
    int one = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<uint16_t>(port));
    addr.sin_addr.s_addr = htonl(*dotted);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(fd, 1024) != 0) {
        error = "cannot listen on " + address + ":" + std::to_string(port) + ": " + std::strerror(errno);
        ::close(fd);
        return -1;
    }
    socklen_t len = sizeof addr;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
    boundPort = ntohs(addr.sin_port);
    return fd;
}

}  // namespace

EventLoop::EventLoop(ServerState& state, std::function<std::int64_t()> clock)
    : m_state(state), m_handler(state, *this), m_clock(clock ? std::move(clock) : SystemSeconds) {
    m_epoll = ::epoll_create1(EPOLL_CLOEXEC);
    m_wake = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    m_spare = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    epoll_event ev{};
    ev.events = EPOLLIN;
    ev.data.fd = m_wake;
    ::epoll_ctl(m_epoll, EPOLL_CTL_ADD, m_wake, &ev);
}

EventLoop::~EventLoop() {
    for (auto& [fd, c] : m_connections) ::close(fd);
    for (int fd : {m_listen, m_adminListen, m_wake, m_epoll, m_spare})
        if (fd >= 0) ::close(fd);
}

bool EventLoop::Listen(const std::string& bindAddress, int port, int adminPort, std::string& error) {
    m_listen = OpenListener(bindAddress, port, m_port, error);
    if (m_listen < 0) return false;
    epoll_event ev{};
    ev.events = EPOLLIN;
    ev.data.fd = m_listen;
    ::epoll_ctl(m_epoll, EPOLL_CTL_ADD, m_listen, &ev);
    if (adminPort != 0) {
        // Administration is for this machine only: the admin port never listens outside.
        m_adminListen = OpenListener("127.0.0.1", adminPort < 0 ? 0 : adminPort, m_adminPort, error);
        if (m_adminListen < 0) return false;
        ev.data.fd = m_adminListen;
        ::epoll_ctl(m_epoll, EPOLL_CTL_ADD, m_adminListen, &ev);
    }
    return true;
}

void EventLoop::Stop() {
    m_stop = true;
    std::uint64_t one = 1;
    [[maybe_unused]] auto n = ::write(m_wake, &one, sizeof one);
}

void EventLoop::Run() {
    epoll_event events[kMaxEvents];
    std::int64_t nextTick = NowMs() + 1000;
    while (!m_stop) {
        int timeout = static_cast<int>(std::max<std::int64_t>(0, nextTick - NowMs()));
        int n = ::epoll_wait(m_epoll, events, kMaxEvents, timeout);
        if (n < 0 && errno != EINTR) break;
        for (int i = 0; i < n; ++i) {
            int fd = events[i].data.fd;
            if (fd == m_wake) continue;
            if (fd == m_listen || fd == m_adminListen) {
                Accept(fd, fd == m_adminListen);
                continue;
            }
            auto it = m_connections.find(fd);
            if (it == m_connections.end() || it->second->dead) continue;
            Connection& c = *it->second;
            if (events[i].events & (EPOLLERR | EPOLLHUP)) {
                Kill(c);
                continue;
            }
            if (events[i].events & EPOLLOUT) AfterOutput(c);
            if (!c.dead && (events[i].events & EPOLLIN)) OnReadable(c);
        }
        CloseDead();
        if (NowMs() >= nextTick) {
            Tick();
            nextTick += 1000;
            if (nextTick < NowMs()) nextTick = NowMs() + 1000;
        }
    }
}

void EventLoop::Tick() { m_state.Tick(m_clock()); }

void EventLoop::Accept(int listenFd, bool admin) {
    for (;;) {
        int fd = ::accept4(listenFd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0 && (errno == EMFILE || errno == ENFILE) && m_spare >= 0) {
            // Out of descriptors: take the waiting client with the spare one and close it at
            // once, or the level-triggered listener would wake the loop for ever.
            ::close(m_spare);
            fd = ::accept(listenFd, nullptr, nullptr);
            if (fd >= 0) ::close(fd);
            m_spare = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
            if (fd < 0) return;  // nobody was waiting (the limit reports before the queue)
            continue;
        }
        if (fd < 0) return;
        if (m_connections.size() >= kMaxConnections) {
            ::close(fd);
            continue;
        }
        int one = 1;
        ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        auto c = std::make_unique<Connection>(m_state.Options().maxInputBytes);
        c->fd = fd;
        c->admin = admin;
        c->session.id = m_nextSession++;
        epoll_event ev{};
        ev.events = EPOLLIN;
        ev.data.fd = fd;
        if (::epoll_ctl(m_epoll, EPOLL_CTL_ADD, fd, &ev) != 0) {
            ::close(fd);
            continue;
        }
        m_connections[fd] = std::move(c);
        m_clientCount = m_connections.size();
    }
}

void EventLoop::OnReadable(Connection& c) {
    char buffer[kReadPiece];
    for (int r = 0; r < kReadsPerEvent && !c.dead; ++r) {
        ssize_t got = ::read(c.fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) break;
        if (got <= 0) {
            Kill(c);
            return;
        }
        if (c.session.closeAfterFlush) continue;  // finishing: further input is ignored
        if (!c.admin && TakeHttp(c, std::string_view(buffer, static_cast<size_t>(got)))) {
            if (!c.dead) AfterOutput(c);
            continue;
        }
        if (!c.framer.Feed(std::string_view(buffer, static_cast<size_t>(got)))) {
            Kill(c);  // no terminator within the limit
            return;
        }
        std::string_view message;
        int handled = 0;
        while (!c.dead && c.framer.Next(message)) {
            if (c.admin)
                m_handler.HandleAdmin(message, c.out);
            else
                m_handler.Handle(c.session, message, c.out);
            if (++handled % kMessagesPerRead == 0) AfterOutput(c);
        }
        if (!c.dead) AfterOutput(c);
        if (static_cast<size_t>(got) < sizeof buffer) break;
    }
}

bool EventLoop::TakeHttp(Connection& c, std::string_view bytes) {
    if (c.decided && !c.http) return false;
    c.httpRequest.append(bytes);
    if (!c.decided) {
        bool undecided = false;
        c.http = LooksLikeHttp(c.httpRequest, undecided);
        if (undecided) return true;  // wait for more bytes
        c.decided = true;
        if (!c.http) {
            // A quote client: hand over what was held back.
            std::string held = std::move(c.httpRequest);
            c.httpRequest.clear();
            if (!c.framer.Feed(held)) {
                Kill(c);
                return true;
            }
            std::string_view message;
            while (!c.dead && c.framer.Next(message)) m_handler.Handle(c.session, message, c.out);
            return true;
        }
    }
    const size_t end = c.httpRequest.find("\r\n\r\n");
    if (end == std::string::npos) {
        if (c.httpRequest.size() > kMaxHttpRequest) Kill(c);
        return true;
    }
    c.out += HttpResponse(std::string_view(c.httpRequest).substr(0, end), m_state);
    c.session.closeAfterFlush = true;
    return true;
}

void EventLoop::AfterOutput(Connection& c) {
    if (c.dead) return;
    if (!Flush(c)) {
        Kill(c);
        return;
    }
    size_t pending = c.out.size() - c.outPos;
    if (pending == 0 && c.session.closeAfterFlush) {
        Kill(c);
        return;
    }
    // A client that stops reading must not hold the server's memory; an update stream is
    // bounded by the update service itself.
    if (pending > m_state.Options().maxOutputBytes && !c.session.closeAfterFlush) {
        Kill(c);
        return;
    }
    WatchWrite(c, pending > 0);
}

bool EventLoop::Flush(Connection& c) {
    while (c.outPos < c.out.size()) {
        ssize_t n = ::send(c.fd, c.out.data() + c.outPos, c.out.size() - c.outPos, MSG_NOSIGNAL);
        if (n < 0) {
            if (errno == EINTR) continue;
            if (errno == EAGAIN || errno == EWOULDBLOCK) break;
            return false;
        }
        c.outPos += static_cast<size_t>(n);
    }
    if (c.outPos == c.out.size()) {
        c.out.clear();
        c.outPos = 0;
    } else if (c.outPos > (1u << 20) && c.outPos * 2 > c.out.size()) {
        c.out.erase(0, c.outPos);
        c.outPos = 0;
    }
    return true;
}

void EventLoop::WatchWrite(Connection& c, bool on) {
    if (c.watchingWrite == on) return;
    epoll_event ev{};
    ev.events = EPOLLIN | (on ? EPOLLOUT : 0u);
    ev.data.fd = c.fd;
    ::epoll_ctl(m_epoll, EPOLL_CTL_MOD, c.fd, &ev);
    c.watchingWrite = on;
}

void EventLoop::Kill(Connection& c) {
    if (c.dead) return;
    c.dead = true;
    c.session.loggedIn = false;
    m_dead.push_back(c.fd);
}

void EventLoop::CloseDead() {
    for (int fd : m_dead) {
        ::epoll_ctl(m_epoll, EPOLL_CTL_DEL, fd, nullptr);
        ::close(fd);
        m_connections.erase(fd);
    }
    m_dead.clear();
    m_clientCount = m_connections.size();
}

bool EventLoop::UserHasSession(const std::string& user, std::uint64_t except) {
    for (auto& [fd, c] : m_connections)
        if (!c->dead && c->session.loggedIn && c->session.user == user && c->session.id != except)
            return true;
    return false;
}

size_t EventLoop::DisconnectUser(const std::string& user, std::uint64_t except) {
    size_t count = 0;
    for (auto& [fd, c] : m_connections) {
        if (c->dead || c->admin || !c->session.loggedIn || c->session.user != user || c->session.id == except)
            continue;
        AppendReply(c->out, "dis:");
        c->session.loggedIn = false;
        c->session.closeAfterFlush = true;
        AfterOutput(*c);
        ++count;
    }
    return count;
}

size_t EventLoop::Broadcast(const std::string& framedGbk) {
    size_t count = 0;
    for (auto& [fd, c] : m_connections) {
        if (c->dead || c->admin || !c->session.loggedIn || c->session.closeAfterFlush) continue;
        c->out += framedGbk;
        AfterOutput(*c);
        ++count;
    }
    return count;
}

}  // namespace qelt::server
