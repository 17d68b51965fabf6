#include "DemoServerProcess.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

namespace qelt::test {
namespace {

int FreePort() {
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    socklen_t len = sizeof addr;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
    ::close(fd);
    return ntohs(addr.sin_port);
}

bool Accepts(int port) {
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = htons(static_cast<uint16_t>(port));
    bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
    ::close(fd);
    return ok;
}

}  // namespace

DemoServerProcess::DemoServerProcess(const std::string& executable, const std::string& dataDir,
                                     bool withAdminPort, std::vector<std::string> extraArguments) {
    m_port = FreePort();
    if (withAdminPort) m_adminPort = FreePort();
    std::vector<std::string> args{executable, "--port", std::to_string(m_port), "--bind", "127.0.0.1",
                                  "--data", dataDir, "--clock", "demo"};
    if (withAdminPort) args.insert(args.end(), {"--admin-port", std::to_string(m_adminPort)});
    args.insert(args.end(), extraArguments.begin(), extraArguments.end());
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    m_pid = ::fork();
    if (m_pid == 0) {
        ::execv(executable.c_str(), argv.data());
        ::_exit(127);
    }
    for (int i = 0; i < 200 && !Accepts(m_port); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(50));
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
    if (ok) [[maybe_unused]] ssize_t n = ::recv(fd, reply, sizeof reply, 0);  // the server's answer, if any
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
