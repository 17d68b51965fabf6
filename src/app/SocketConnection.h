#pragma once
/// The session's connection on the real socket: connects on the connector's thread (the
/// interface never waits for a host that drops packets), adopts the new connection with its
/// first message, starts its receive thread and reports back on the interface thread.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/Session.h"
#include "net/CClientSocket.h"
#include "net/TcpConnect.h"

namespace qelt {

class SocketConnection : public Connection {
  public:
    /// `post` runs a function later on the interface thread; it may be called from any thread.
    using Post = std::function<void(std::function<void()>)>;

    SocketConnection(CClientSocket& socket, Post post);
    /// A connect under way is cancelled; its result is never reported.
    ~SocketConnection() override;
    SocketConnection(const SocketConnection&) = delete;
    SocketConnection& operator=(const SocketConnection&) = delete;

    void Connect(const std::string& dottedAddress, int port, std::string first,
                 std::function<void(bool)> done) override;
    void CancelConnect() override;
    bool IsConnected() const override { return m_socket.IsConnected(); }
    void Send(const std::string& message) override;
    void SendPaced(std::vector<std::string> messages) override { m_socket.SendPaced(std::move(messages)); }
    void Poll(std::vector<std::string> standing, bool withAlarms) override;
    void StopPolling() override { m_socket.StopPolling(); }
    void Close() override { m_socket.Close(); }

  private:
    CClientSocket& m_socket;
    Post m_post;
    /// Counts the attempts on the interface thread: a result of an earlier one is dropped.
    std::uint64_t m_attempt = 0;
    /// Gone with this object: a result posted before it went finds it expired.
    std::shared_ptr<int> m_alive = std::make_shared<int>(0);
    AsyncConnector m_connector;
};

}  // namespace qelt
