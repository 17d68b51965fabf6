#pragma once
// A tiny TCP server on 127.0.0.1 with a port chosen by the system, for socket tests. It
// accepts connections one at a time and lets the test read and write raw bytes.
#include <chrono>
#include <string>

namespace qelt::test {

class LoopbackServer {
  public:
    LoopbackServer();
    ~LoopbackServer();
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    int Port() const { return m_port; }
    /// Waits for the next client; false on timeout.
    bool Accept(std::chrono::milliseconds timeout = std::chrono::seconds(5));
    bool Write(const std::string& bytes);
    /// Reads until `bytes` holds at least `count` bytes or the timeout passes.
    std::string ReadAtLeast(size_t count, std::chrono::milliseconds timeout = std::chrono::seconds(5));
    /// Reads until what was read holds `text` (a marker the client sends last) or the
    /// timeout passes; everything read.
    std::string ReadThrough(const std::string& text,
                            std::chrono::milliseconds timeout = std::chrono::seconds(10));
    /// Reads whatever arrives within `window`.
    std::string ReadFor(std::chrono::milliseconds window);
    /// True when the client has closed its side (read returns end of stream or a reset).
    bool WaitPeerClosed(std::chrono::milliseconds timeout = std::chrono::seconds(5));
    /// Closes the accepted client connection (the server side ends it).
    void CloseClient();

  private:
    int m_listen = -1;
    int m_client = -1;
    int m_port = 0;
};

}  // namespace qelt::test
