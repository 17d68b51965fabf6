#pragma once
// A loopback relay between a client and a server on 127.0.0.1 that keeps a copy of every
// byte the clients send: end-to-end tests read what the real client put on the wire while
// the real server answers it. One thread moves the bytes of every connection both ways.
#include <atomic>
#include <mutex>
#include <string>
#include <thread>

namespace qelt::test {

class RecordingRelay {
  public:
    /// Listens on a free loopback port and relays each connection to 127.0.0.1:targetPort.
    explicit RecordingRelay(int targetPort);
    ~RecordingRelay();
    RecordingRelay(const RecordingRelay&) = delete;
    RecordingRelay& operator=(const RecordingRelay&) = delete;

    int Port() const { return m_port; }
    /// Everything the clients sent so far, in arrival order.
    std::string ClientBytes() const;

  private:
    void Run();

    int m_listen = -1;
    int m_port = 0;
    int m_target = 0;
    int m_wake[2] = {-1, -1};
    mutable std::mutex m_mutex;
    std::string m_sent;
    std::thread m_thread;
};

}  // namespace qelt::test
