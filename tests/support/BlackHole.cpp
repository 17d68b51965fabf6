#include "support/BlackHole.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace qelt::test {

BlackHole::BlackHole() {
    m_listen = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    ::bind(m_listen, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    ::listen(m_listen, 0);  // room for one connection nobody accepts
    ::getsockname(m_listen, reinterpret_cast<sockaddr*>(&addr), &len);
    m_port = ntohs(addr.sin_port);
    m_filler = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    ::connect(m_filler, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    // The filler's handshake completes (its socket turns writable), so that the queue is full
    // for whoever comes next.
    pollfd done{m_filler, POLLOUT, 0};
    ::poll(&done, 1, 5000);
}

BlackHole::~BlackHole() {
    if (m_filler >= 0) ::close(m_filler);
    if (m_listen >= 0) ::close(m_listen);
}

}  // namespace qelt::test
