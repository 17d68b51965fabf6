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
    : m_poster(poster), m_targets(targets), m_timing(timing) {}

CClientSocket::~CClientSocket() { Shutdown(); }

void CClientSocket::SetAlarmQuerySource(std::function<std::vector<std::string>()> source) {
    std::lock_guard lock(m_standingMutex);
    m_alarmSource = std::move(source);
}

void CClientSocket::WakePoller() {
    std::lock_guard lock(m_pollMutex);
    m_pollWake.notify_all();
}

void CClientSocket::JoinFinishedThreads() {
    {
        // A receive thread of an earlier connection may still be on its way out.
        std::lock_guard lock(m_fdMutex);
        if (m_fd >= 0) ::shutdown(m_fd, SHUT_RDWR);
    }
    WakePoller();
    if (m_receiveThread.joinable() && m_receiveThread.get_id() != std::this_thread::get_id())
        m_receiveThread.join();
    if (m_pollThread.joinable() && m_pollThread.get_id() != std::this_thread::get_id()) m_pollThread.join();
    std::lock_guard lock(m_fdMutex);
    if (m_fd >= 0) {
        SetLingerZero(m_fd);
        ::close(m_fd);
        m_fd = -1;
    }
}

bool CClientSocket::Connect(const std::string& dottedAddress, int port) {
    if (m_connected) return true;
    return Adopt(ConnectTcp(dottedAddress, port, m_timing.connectTimeout));
}

bool CClientSocket::Adopt(UniqueFd fd) {
    if (m_connected || !fd.Valid()) return false;
    JoinFinishedThreads();
    {
        std::lock_guard lock(m_fdMutex);
        m_fd = fd.Release();
    }
    m_connected = true;
    {
        std::lock_guard lock(m_pollMutex);
        m_pollThreadEnded = false;
    }
    m_pollThread = std::thread(&CClientSocket::PollLoop, this);  // waits until StartPolling
    return true;
}

bool CClientSocket::SendFramed(const std::string& utf8) {
    std::string wire = Utf8ToGbk(utf8);
    wire.append(kTerminator);
    std::lock_guard lock(m_fdMutex);
    if (m_fd < 0) return false;
    std::string_view rest = wire;
    while (!rest.empty()) {
        ssize_t n = ::send(m_fd, rest.data(), rest.size(), MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;  // the receive thread notices a broken connection
        rest.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

void CClientSocket::Pause() { std::this_thread::sleep_for(m_timing.pause); }

void CClientSocket::Send(const std::string& message) {
    if (message.empty()) {
        RunPollingPass();
        return;
    }
    if (SendFramed(message)) Pause();
}

void CClientSocket::RunPollingPass() {
    std::vector<std::string> standing;
    std::function<std::vector<std::string>()> alarmSource;
    {
        std::lock_guard lock(m_standingMutex);
        standing = m_standing;
        alarmSource = m_alarmSource;
    }
    for (const std::string& request : standing) SendFramed(request);
    if (!alarmSource) return;
    for (const std::string& query : alarmSource()) {
        if (SendFramed(query)) Pause();
    }
}

void CClientSocket::ClearStanding() {
    std::lock_guard lock(m_standingMutex);
    m_standing.clear();
}

void CClientSocket::AddStanding(const std::string& message) {
    std::lock_guard lock(m_standingMutex);
    m_standing.push_back(message);
}

void CClientSocket::SetStanding(std::vector<std::string> messages) {
    std::lock_guard lock(m_standingMutex);
    m_standing = std::move(messages);
}

std::vector<std::string> CClientSocket::Standing() const {
    std::lock_guard lock(m_standingMutex);
    return m_standing;
}

void CClientSocket::StartPolling() {
    if (m_polling || !m_connected) return;
    m_polling = true;
    bool ended;
    {
        std::lock_guard lock(m_pollMutex);
        ended = m_pollThreadEnded;
    }
    if (ended) {
        if (m_pollThread.joinable()) m_pollThread.join();
        {
            std::lock_guard lock(m_pollMutex);
            m_pollThreadEnded = false;
        }
        m_pollThread = std::thread(&CClientSocket::PollLoop, this);
    }
    WakePoller();
}

void CClientSocket::StopPolling() {
    if (m_polling.exchange(false)) WakePoller();
}

void CClientSocket::PollLoop() {
    std::unique_lock lock(m_pollMutex);
    for (;;) {
        m_pollWake.wait(lock, [&] { return m_shuttingDown || !m_connected || m_polling; });
        if (m_shuttingDown || !m_connected) break;
        lock.unlock();
        RunPollingPass();
        lock.lock();
        m_pollWake.wait_for(lock, m_timing.pollInterval, [&] { return m_shuttingDown || !m_connected; });
    }
    m_pollThreadEnded = true;
}

void CClientSocket::MarkDisconnected() {
    m_connected = false;
    WakePoller();
}

void CClientSocket::Close() {
    StopPolling();
    MarkDisconnected();
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
                WakePoller();
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
        WakePoller();
        m_poster.PostThreadMessage(WM_NET_RECONNECT, 0, 0);
    }
}

void CClientSocket::Shutdown() {
    {
        std::lock_guard lock(m_pollMutex);
        m_shuttingDown = true;
    }
    Close();
    JoinFinishedThreads();
    std::lock_guard lock(m_pollMutex);
    m_shuttingDown = false;
    m_pollThreadEnded = true;
}

}  // namespace qelt
