#include "app/SocketConnection.h"

namespace qelt {

SocketConnection::SocketConnection(CClientSocket& socket, Post post)
    : m_socket(socket), m_post(std::move(post)) {}

SocketConnection::~SocketConnection() { CancelConnect(); }

void SocketConnection::Connect(const std::string& dottedAddress, int port, std::string first,
                               std::function<void(bool)> done) {
    const std::uint64_t attempt = ++m_attempt;
    std::weak_ptr<int> alive = m_alive;
    m_connector.Start(dottedAddress, port, m_socket.ConnectTimeout(),
                      [this, alive, attempt, first = std::move(first), done = std::move(done)](UniqueFd fd) {
                          // On the connector's thread: only the hand-over to the interface
                          // thread. A descriptor nobody takes closes with its holder.
                          auto connection = std::make_shared<UniqueFd>(std::move(fd));
                          m_post([this, alive, attempt, connection, first, done] {
                              if (alive.expired() || attempt != m_attempt) return;  // cancelled or superseded
                              const bool connected = connection->Valid() &&
                                                     m_socket.Adopt(std::move(*connection), first) &&
                                                     m_socket.StartReceiveThread();
                              done(connected);
                          });
                      });
}

void SocketConnection::CancelConnect() {
    ++m_attempt;
    m_connector.Cancel();
}

void SocketConnection::Send(const std::string& message) {
    if (!message.empty()) m_socket.Send(message);
}

void SocketConnection::Poll(std::vector<std::string> standing, bool withAlarms) {
    m_socket.SetStanding(std::move(standing));
    m_socket.IncludeAlarmQueries(withAlarms);
    m_socket.StartPolling();
}

}  // namespace qelt
