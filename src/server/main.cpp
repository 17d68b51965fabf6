// qelt-server: the demo quote server.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include "common/Address.h"
#include "common/Gbk.h"
#include "common/Numbers.h"
#include "server/EventLoop.h"
#include "server/ServerOptions.h"

namespace {

qelt::server::EventLoop* g_loop = nullptr;

void OnSignal(int) {
    if (g_loop) g_loop->Stop();
}

/// `--admin-send PORT COMMAND`: one admin command to a running server on this machine.
int AdminSend(const std::string& port, const std::string& command) {
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<uint16_t>(qelt::LeadingInt(port)));
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (fd < 0 || ::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        std::fprintf(stderr, "qelt-server: cannot reach the admin port %s\n", port.c_str());
        return 1;
    }
    std::string message = qelt::Utf8ToGbk(command) + "|END";  // the admin port speaks GBK
    if (::send(fd, message.data(), message.size(), MSG_NOSIGNAL) != static_cast<ssize_t>(message.size()))
        return 1;
    std::string reply;
    char buffer[512];
    while (reply.find("|END") == std::string::npos) {
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n <= 0) break;
        reply.append(buffer, static_cast<size_t>(n));
    }
    ::close(fd);
    reply = qelt::GbkToUtf8(reply);
    std::printf("%s\n", reply.c_str());
    return reply.rfind("ok:", 0) == 0 ? 0 : 1;
}

std::int64_t UnixNow() {
    return std::chrono::duration_cast<std::chrono::seconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 3 && args[0] == "--admin-send") return AdminSend(args[1], args[2]);
    std::string error;
    auto options = qelt::server::ParseServerOptions(args, error);
    if (!options) {
        std::fprintf(stderr, "qelt-server: %s\n\n%s", error.c_str(), qelt::server::kServerUsage);
        return 2;
    }
    if (options->help || options->version) {
        std::fputs(options->help ? qelt::server::kServerUsage : qelt::server::kServerVersion, stdout);
        return 0;
    }
    // Many clients need many descriptors: take what the system allows.
    rlimit files{};
    if (::getrlimit(RLIMIT_NOFILE, &files) == 0 && files.rlim_cur < files.rlim_max) {
        files.rlim_cur = files.rlim_max;
        ::setrlimit(RLIMIT_NOFILE, &files);
    }
    auto started = std::chrono::steady_clock::now();
    qelt::server::ServerState state(*options, UnixNow());
    auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started);
    qelt::server::EventLoop loop(state);
    if (!loop.Listen(options->bindAddress, options->port, options->adminPort, error)) {
        std::fprintf(stderr, "qelt-server: %s\n", error.c_str());
        return 1;
    }
    g_loop = &loop;
    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
    std::signal(SIGPIPE, SIG_IGN);
    // The first lines say where the ports are bound (port 0 picks any free one): scripts and
    // tests read them.
    std::printf("qelt-server: listening on %s:%d\n", qelt::ResolveServerAddress(options->bindAddress).c_str(),
                loop.Port());
    if (options->adminPort != 0) std::printf("qelt-server: admin on 127.0.0.1:%d\n", loop.AdminPort());
    std::printf("qelt-server: data %s (%s, %lld ms), clock %s, trading day %d\n",
                options->dataDir.empty() ? "(memory)" : options->dataDir.c_str(),
                state.History().LoadedFromFile() ? "history loaded" : "history generated",
                static_cast<long long>(ms.count()), options->demoClock ? "demo" : "real", state.Today());
    std::fflush(stdout);
    loop.Run();
    return 0;
}
