#pragma once
// An in-process qelt-server on a loopback port chosen by the system, and a blocking test
// client that speaks the wire protocol (GBK, "|END").
#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <thread>

#include "net/Framer.h"
#include "server/EventLoop.h"
#include "server/ServerState.h"
#include "support/TempDir.h"

namespace qelt::server::test {

/// 2026-12-08 10:00 China time (02:00 UTC): the morning session is running.
inline constexpr std::int64_t kMorning = 1796695200;

class ServerHarness {
  public:
    explicit ServerHarness(ServerOptions options = {});
    ~ServerHarness();
    int Port() const { return m_loop->Port(); }
    int AdminPort() const { return m_loop->AdminPort(); }
    const std::string& DataDir() const { return m_dir.Path(); }
    EventLoop& Loop() { return *m_loop; }

  private:
    qelt::test::TempDir m_dir;
    std::unique_ptr<ServerState> m_state;
    std::unique_ptr<EventLoop> m_loop;
    std::thread m_thread;
};

class TestClient {
  public:
    explicit TestClient(int port);
    ~TestClient();
    bool Send(const std::string& utf8);      ///< adds "|END", converts to GBK
    bool SendRaw(const std::string& bytes);  ///< as it is
    /// The next message (UTF-8), or nothing on timeout or end of stream.
    std::optional<std::string> Next(std::chrono::milliseconds timeout = std::chrono::seconds(5));
    /// The next message whose kind is `kind`, skipping others.
    std::optional<std::string> NextOfKind(const std::string& kind,
                                          std::chrono::milliseconds timeout = std::chrono::seconds(5));
    /// Sends and waits for the reply of the given kind.
    std::optional<std::string> Ask(const std::string& message, const std::string& kind);
    bool Closed(std::chrono::milliseconds timeout = std::chrono::seconds(5));
    int Fd() const { return m_fd; }

  private:
    int m_fd = -1;
    Framer m_framer{64u << 20};
    std::string m_current;
};

}  // namespace qelt::server::test
