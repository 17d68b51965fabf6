#include "CClientSocket.h"

#include <sys/socket.h>
#include <unistd.h>

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
    m_outbox.Open(connection, std::move(first));
    m_connected = true;
    return true;
}

bool CClientSocket::Write(std::uint64_t connection, const std::string& utf8) {
    std::string wire = Utf8ToGbk(utf8);
    wire.append(kTerminator);
    std::lock_guard lock(m_fdMutex);
    if (m_fd < 0 || connection != m_connection) return false;
    std::string_view rest = wire;
    while (!rest.empty()) {
        ssize_t n = ::send(m_fd, rest.data(), rest.size(), MSG_NOSIGNAL);
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

void CClientSocket::StartPolling() {
    if (m_connected) m_outbox.StartPolling();
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
    ::shutdown(m_fd, SHUT_RDWR);
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

void CClientSocket::ReceiveLoop(int fd) {
    Framer framer(m_timing.maxPending);
    char piece[kReceivePiece];
    for (;;) {
        ssize_t n = ::recv(fd, piece, sizeof piece, 0);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
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
