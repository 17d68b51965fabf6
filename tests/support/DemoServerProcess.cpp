#include "DemoServerProcess.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>

#include "common/Numbers.h"

namespace qelt::test {
namespace {

constexpr auto kStartTimeout = std::chrono::seconds(30);

/// The port of the first line of `text` that holds `prefix` + "127.0.0.1:"; 0 when none.
int PortAfter(const std::string& text, const std::string& prefix) {
    const std::string marker = prefix + "127.0.0.1:";
    size_t at = text.find(marker);
    if (at == std::string::npos) return 0;
    size_t end = text.find('\n', at);
    if (end == std::string::npos) return 0;  // the line is not complete yet
    return LeadingInt(std::string_view(text).substr(at + marker.size(), end - at - marker.size()));
}

}  // namespace

DemoServerProcess::DemoServerProcess(const std::string& executable, const std::string& dataDir,
                                     bool withAdminPort, std::vector<std::string> extraArguments) {
    std::vector<std::string> args{executable, "--port", "0",       "--bind", "127.0.0.1",
                                  "--data",   dataDir,  "--clock", "demo"};
    if (withAdminPort) args.insert(args.end(), {"--admin-port", "0"});
    args.insert(args.end(), extraArguments.begin(), extraArguments.end());
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    int out[2];
    if (::pipe2(out, O_CLOEXEC) != 0) throw std::runtime_error("qelt-server: no pipe for its output");
    m_pid = ::fork();
    if (m_pid == 0) {
        // A test killed by its runner's timeout takes its server along: an orphan would hold
        // the runner's output open and keep it waiting.
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        ::dup2(out[1], STDOUT_FILENO);  // dup2 clears close-on-exec on the copy
        ::execv(executable.c_str(), argv.data());
        ::_exit(127);
    }
    ::close(out[1]);
    std::string seen;
    const bool started = m_pid > 0 && ReadPorts(out[0], withAdminPort, seen);
    // The server prints nothing more to stdout; what it might print later is dropped (it
    // ignores SIGPIPE).
    ::close(out[0]);
    if (!started) {
        Kill();
        throw std::runtime_error("qelt-server (" + executable +
                                 ") did not start listening; it printed: " + seen);
    }
}

bool DemoServerProcess::ReadPorts(int fd, bool withAdminPort, std::string& seen) {
    const auto deadline = std::chrono::steady_clock::now() + kStartTimeout;
    for (;;) {
        m_port = PortAfter(seen, "listening on ");
        if (withAdminPort) m_adminPort = PortAfter(seen, "admin on ");
        if (m_port > 0 && (!withAdminPort || m_adminPort > 0)) return true;
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline -
                                                                          std::chrono::steady_clock::now());
        if (left.count() <= 0) return false;
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(left.count())) <= 0) continue;
        char buffer[512];
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n <= 0) return false;  // the server ended (a bad option, a port in use, a crash)
        seen.append(buffer, static_cast<size_t>(n));
    }
}

DemoServerProcess::~DemoServerProcess() { Kill(); }

bool DemoServerProcess::Admin(const std::string& command) const {
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = htons(static_cast<uint16_t>(m_adminPort));
    bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
    const std::string framed = command + "|END";
    ok = ok && ::send(fd, framed.data(), framed.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(framed.size());
    char reply[256];
    if (ok) [[maybe_unused]]
        ssize_t n = ::recv(fd, reply, sizeof reply, 0);  // the server's answer, if any
    ::close(fd);
    return ok;
}

void DemoServerProcess::Kill() {
    if (m_pid <= 0) return;
    ::kill(m_pid, SIGKILL);
    ::waitpid(m_pid, nullptr, 0);
    m_pid = -1;
}

}  // namespace qelt::test
