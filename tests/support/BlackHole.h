#pragma once
// A port on 127.0.0.1 where a connect neither succeeds nor fails: the listening socket's
// queue is full and nobody accepts, so the peer's handshake is dropped as a host that drops
// packets would. The connect hangs until the caller's timeout.
namespace qelt::test {

class BlackHole {
  public:
    BlackHole();
    ~BlackHole();
    BlackHole(const BlackHole&) = delete;
    BlackHole& operator=(const BlackHole&) = delete;
    int Port() const { return m_port; }

  private:
    int m_listen = -1;
    int m_filler = -1;
    int m_port = 0;
};

}  // namespace qelt::test
