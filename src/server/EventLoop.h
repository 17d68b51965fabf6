#pragma once
/// The server's single-threaded event loop (epoll): accepts clients, cuts their input at
/// "|END", hands each message to the RequestHandler and writes the replies without ever
/// blocking. Input is bounded (text without a terminator beyond the limit ends that client),
/// output is bounded (a client that stops reading is dropped), and the market advances
/// once a second. An optional admin port on 127.0.0.1 takes "dis:USER" and "notice:TEXT".
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "net/Framer.h"
#include "server/RequestHandler.h"
#include "server/ServerState.h"

namespace qelt::server {

class EventLoop : public SessionControl {
  public:
    /// `clock` gives unix seconds (tests inject their own).
    EventLoop(ServerState& state, std::function<std::int64_t()> clock = {});
    ~EventLoop() override;
    EventLoop(const EventLoop&) = delete;
    EventLoop& operator=(const EventLoop&) = delete;

    /// Binds the client port (0 = any free port) and the admin port on 127.0.0.1 (0 = none,
    /// negative = any free port).
    bool Listen(const std::string& bindAddress, int port, int adminPort, std::string& error);
    int Port() const { return m_port; }
    int AdminPort() const { return m_adminPort; }

    /// Runs until Stop().
    void Run();
    /// Thread-safe; Run returns soon after.
    void Stop();

    size_t ClientCount() const { return m_clientCount.load(); }

    bool UserHasSession(const std::string& user, std::uint64_t except) override;
    size_t DisconnectUser(const std::string& user, std::uint64_t except) override;
    size_t Broadcast(const std::string& framedGbk) override;

  private:
    struct Connection {
        int fd = -1;
        bool admin = false;
        Session session;
        Framer framer;
        std::string out;
        size_t outPos = 0;
        bool watchingWrite = false;
        bool dead = false;        ///< closed at the end of the current event batch
        bool decided = false;     ///< the first bytes told quote client from browser
        bool http = false;        ///< a browser asking for a page
        std::string httpRequest;  ///< the browser's request head so far
        explicit Connection(size_t maxInput) : framer(maxInput) {}
    };

    void Accept(int listenFd, bool admin);
    void OnReadable(Connection& c);
    /// Browser input; true when the bytes were taken as HTTP.
    bool TakeHttp(Connection& c, std::string_view bytes);
    /// Writes what it can; false when the connection must end.
    bool Flush(Connection& c);
    void WatchWrite(Connection& c, bool on);
    /// Marks the connection for closing at the end of the event batch.
    void Kill(Connection& c);
    void CloseDead();
    /// After replies were queued: flush, drop when too far behind, close when finished.
    void AfterOutput(Connection& c);
    void Tick();

    ServerState& m_state;
    RequestHandler m_handler;
    std::function<std::int64_t()> m_clock;
    int m_epoll = -1;
    int m_listen = -1;
    int m_adminListen = -1;
    int m_wake = -1;
    int m_spare = -1;  ///< a descriptor kept in reserve for refusing clients when none are left
    int m_port = 0;
    int m_adminPort = 0;
    std::uint64_t m_nextSession = 1;
    std::unordered_map<int, std::unique_ptr<Connection>> m_connections;
    std::vector<int> m_dead;
    std::atomic<size_t> m_clientCount{0};
    std::atomic<bool> m_stop{false};
};

}  // namespace qelt::server
