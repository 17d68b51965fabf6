#include "CClientSocket.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <optional>

#include "Replies.h"
#include "Requests.h"
#include "TcpConnect.h"
#include "common/DiagnosticLog.h"
#include "common/Gbk.h"
#include "common/Messages.h"
#include "common/Numbers.h"

namespace qelt {
namespace {

constexpr size_t kReceivePiece = 2048;

/// Closing with lingering on and a zero timeout resets the connection at once instead of
/// draining it.
void SetLingerZero(int fd) {
    linger l{};
    l.l_onoff = 1;
    l.l_linger = 0;
    ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &l, sizeof l);
}

}  // namespace

CClientSocket::CClientSocket(Poster& poster, const MessageTargets& targets)
    : CClientSocket(poster, targets, Timing{}) {}

CClientSocket::CClientSocket(Poster& poster, const MessageTargets& targets, Timing timing)
    : m_poster(poster),
      m_targets(targets),
      m_timing(timing),
      m_replyWatch(timing.replyTimeout),
      m_outbox(*this, PacedSender::Timing{timing.pause, timing.pollInterval}) {}

CClientSocket::~CClientSocket() { Shutdown(); }

void CClientSocket::SetAlarmQuerySource(std::function<std::vector<std::string>()> source) {
    m_outbox.SetAlarmQuerySource(std::move(source));
}

void CClientSocket::JoinFinishedThreads() {
    {
        // A receive thread of an earlier connection may still be on its way out.
        std::lock_guard lock(m_fdMutex);
        if (m_fd >= 0) ::shutdown(m_fd, SHUT_RDWR);
    }
    if (m_receiveThread.joinable() && m_receiveThread.get_id() != std::this_thread::get_id())
        m_receiveThread.join();
    std::lock_guard lock(m_fdMutex);
    if (m_fd >= 0) {
        SetLingerZero(m_fd);
        ::close(m_fd);
        m_fd = -1;
    }
}

bool CClientSocket::Connect(const std::string& dottedAddress, int port, std::string first) {
    if (m_connected) return true;
    return Adopt(ConnectTcp(dottedAddress, port, m_timing.connectTimeout), std::move(first));
}

bool CClientSocket::Adopt(UniqueFd fd, std::string first) {
    if (m_connected || !fd.Valid()) return false;
    JoinFinishedThreads();
    std::uint64_t connection;
    {
        std::lock_guard lock(m_fdMutex);
        m_fd = fd.Release();
        connection = ++m_connection;
    }
    // From here on a message meant for an earlier connection is never written: the writer
    // checks each message's connection under the same lock as the descriptor.
    m_replyWatch.Reset();
    m_outbox.Open(connection, std::move(first));
    m_connected = true;
    return true;
}

bool CClientSocket::Write(std::uint64_t connection, const std::string& utf8) {
    std::string wire = Utf8ToGbk(utf8);
    wire.append(kTerminator);
    // The send runs on a descriptor of its own, outside the lock: a peer that stops reading
    // holds this thread alone, never Close (断开行情主站, quitting) nor the receive thread.
    // Shutting the connection down ends a send under way; the descriptor number stays the
    // writer's until it is done, so it is never reused under the send.
    UniqueFd own;
    {
        std::lock_guard lock(m_fdMutex);
        if (m_fd < 0 || connection != m_connection) return false;
        own = UniqueFd(::fcntl(m_fd, F_DUPFD_CLOEXEC, 0));
    }
    if (!own.Valid()) return false;
    std::string_view rest = wire;
    while (!rest.empty()) {
        ssize_t n = ::send(own.Get(), rest.data(), rest.size(), MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;  // the receive thread notices a broken connection
        rest.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

void CClientSocket::Send(const std::string& message) {
    if (message.empty()) {
        m_outbox.PollOnce();
        return;
    }
    m_outbox.SendFirst(message);
}

void CClientSocket::ClearStanding() { m_outbox.SetStanding({}); }

void CClientSocket::AddStanding(const std::string& message) {
    std::vector<std::string> standing = m_outbox.Standing();
    standing.push_back(message);
    m_outbox.SetStanding(std::move(standing));
}

void CClientSocket::SetStanding(std::vector<std::string> messages) {
    m_outbox.SetStanding(std::move(messages));
}

void CClientSocket::PassWritten(std::uint64_t connection) {
    (void)connection;  // a pass for an earlier connection was never written
    m_replyWatch.PassWritten(Now());
}

ReplyWatch::Clock::time_point CClientSocket::Now() const {
    return m_timing.clock ? m_timing.clock() : ReplyWatch::Clock::now();
}

void CClientSocket::StartPolling() {
    if (!m_connected) return;
    m_replyWatch.Reset();
    m_outbox.StartPolling();
}

void CClientSocket::StopPolling() {
    m_outbox.StopPolling();
    m_replyWatch.Reset();
}

void CClientSocket::MarkDisconnected() { m_connected = false; }

void CClientSocket::Close() {
    StopPolling();
    MarkDisconnected();
    m_outbox.Cancel();
    std::lock_guard lock(m_fdMutex);
    if (m_fd < 0) return;
    Log("connection closed by the client");
    SetLingerZero(m_fd);
    ::shutdown(m_fd, SHUT_RDWR);  // ends a send under way on the writer's descriptor too
    if (!m_receiving) {
        // No receive thread owns the descriptor: close it here. Otherwise that thread closes
        // it on its way out, so a descriptor number is never reused under its reads.
        ::close(m_fd);
        m_fd = -1;
    }
}

bool CClientSocket::StartReceiveThread() {
    int fd;
    {
        std::lock_guard lock(m_fdMutex);
        if (m_fd < 0 || m_receiving) return false;
        m_receiving = true;
        fd = m_fd;
    }
    if (m_receiveThread.joinable()) m_receiveThread.join();
    m_receiveThread = std::thread(&CClientSocket::ReceiveLoop, this, fd);
    return true;
}

bool CClientSocket::WaitReadable(int fd) {
    const int tick = static_cast<int>(
        std::max<std::int64_t>(1, std::min(m_timing.watchTick.count(), m_timing.replyTimeout.count())));
    for (;;) {
        pollfd watch{fd, POLLIN, 0};
        const int ready = ::poll(&watch, 1, tick);
        if (ready > 0) return true;  // data, the end of the stream or an error: recv tells
        if (ready < 0 && errno != EINTR) return true;
        if (m_replyWatch.Overdue(Now())) {
            Log("no reply from the server for " +
                FormatInt(static_cast<std::int64_t>(m_timing.replyTimeout.count())) +
                " ms while polling: connection dropped");
            return false;
        }
    }
}

void CClientSocket::ReceiveLoop(int fd) {
    Framer framer(m_timing.maxPending);
    char piece[kReceivePiece];
    for (;;) {
        if (!WaitReadable(fd)) break;
        ssize_t n = ::recv(fd, piece, sizeof piece, 0);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        m_replyWatch.Received();
        if (!framer.Feed(std::string_view(piece, static_cast<size_t>(n)))) {
            Log("the server sent more than " + FormatInt(static_cast<std::int64_t>(m_timing.maxPending)) +
                " bytes without a terminator: connection dropped");
            break;
        }
        std::string_view message;
        while (framer.Next(message)) {
            const std::string utf8 = GbkToUtf8(message);
            LogReceived(utf8);
            if (m_sink) m_sink->Dispatch(utf8);
            // After the server's own "dis" the session is over: the application hears it
            // once (no re-login), and the connection's end that follows is no loss to
            // recover from.
            if (KindOf(SplitKind(utf8).kind) == ReplyKind::Dis && m_connected.exchange(false)) {
                Log("the server ended the session (dis)");
                StopPolling();
                m_poster.PostThreadMessage(WM_NET_RECONNECT, kReconnectAfterDisconnect, 0);
            }
            if (WindowId frame = m_targets.mainFrame.load(); frame != kNoWindow)
                m_poster.PostWindowMessage(frame, WM_NET_INDEX, 0, 0);
        }
    }
    {
        std::lock_guard lock(m_fdMutex);
        m_receiving = false;
        if (m_fd == fd) {
            SetLingerZero(fd);
            ::shutdown(fd, SHUT_RDWR);  // a send under way on a silent connection ends too
            ::close(fd);
            m_fd = -1;
        }
    }
    if (m_connected.exchange(false)) {
        Log("connection lost");
        StopPolling();
        m_poster.PostThreadMessage(WM_NET_RECONNECT, 0, 0);
    }
}

void CClientSocket::Shutdown() {
    Close();
    JoinFinishedThreads();
}

}  // namespace qelt
