// bench_server_load [--clients N] [--seconds S] [--port P]
//
// Without --port an in-process qelt-server (memory only, demo clock) runs on its own
// thread. N clients (at most 5000) connect over 127.0.0.1, log in as "demo", then each
// second send "list:" and one standing "real" request, spread evenly over the second.
// Reports every reply's latency (send to last byte of the reply) and dropped clients.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/epoll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "common/Numbers.h"
#include "server/EventLoop.h"
#include "server/ServerState.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Client {
    int fd = -1;
    std::string in;
    bool loggedIn = false;
    bool dropped = false;
    Clock::time_point sentAt;
    int awaiting = 0;  // replies still due for the last poll
    size_t pollIndex = 0;
};

double Micros(Clock::duration d) { return std::chrono::duration<double, std::micro>(d).count(); }

}  // namespace

int main(int argc, char** argv) {
    int clients = 1000, seconds = 20, port = 0;
    for (int i = 1; i + 1 < argc; i += 2) {
        std::string a = argv[i];
        int v = qelt::LeadingInt(argv[i + 1]);
        if (a == "--clients")
            clients = std::clamp(v, 1, 5000);
        else if (a == "--seconds")
            seconds = std::clamp(v, 1, 120);
        else if (a == "--port")
            port = v;
    }
    rlimit rl{};
    getrlimit(RLIMIT_NOFILE, &rl);
    rl.rlim_cur = std::min<rlim_t>(rl.rlim_max, 65536);
    setrlimit(RLIMIT_NOFILE, &rl);

    std::unique_ptr<qelt::server::ServerState> state;
    std::unique_ptr<qelt::server::EventLoop> loop;
    std::thread serverThread;
    if (port == 0) {
        qelt::server::ServerOptions o;
        o.dataDir.clear();
        o.demoClock = true;
        auto now = std::chrono::duration_cast<std::chrono::seconds>(
            std::chrono::system_clock::now().time_since_epoch());
        state = std::make_unique<qelt::server::ServerState>(o, now.count());
        loop = std::make_unique<qelt::server::EventLoop>(*state);
        std::string error;
        if (!loop->Listen("127.0.0.1", 0, 0, error)) {
            std::fprintf(stderr, "%s\n", error.c_str());
            return 1;
        }
        port = loop->Port();
        serverThread = std::thread([&] { loop->Run(); });
    }

    int ep = epoll_create1(0);
    std::vector<Client> all(static_cast<size_t>(clients));
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<uint16_t>(port));
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    for (int i = 0; i < clients; ++i) {
        Client& c = all[static_cast<size_t>(i)];
        c.fd = socket(AF_INET, SOCK_STREAM, 0);
        if (c.fd < 0 || connect(c.fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
            std::fprintf(stderr, "connect %d failed\n", i);
            return 1;
        }
        int one = 1;
        setsockopt(c.fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        epoll_event ev{};
        ev.events = EPOLLIN;
        ev.data.u32 = static_cast<uint32_t>(i);
        epoll_ctl(ep, EPOLL_CTL_ADD, c.fd, &ev);
        static const std::string login = "login:demo:demo:|END";
        send(c.fd, login.data(), login.size(), MSG_NOSIGNAL);
    }
    // The contracts polled: the trading months of the board, one per client in turn.
    std::vector<std::string> contracts;
    if (state) {
        for (const auto& q : state->Quotes().Quotes())
            if (q.contract.state > 0 && q.contract.kind == qelt::server::ContractKind::Future)
                contracts.push_back("real::" + q.contract.goodsNo + ":" + q.contract.dueDate + ":1:|END");
    }
    if (contracts.empty()) contracts.push_back("real::0112:20270125:1:|END");

    std::vector<double> latencies;
    latencies.reserve(static_cast<size_t>(clients) * static_cast<size_t>(seconds) * 2);
    size_t late = 0, replies = 0;
    const auto start = Clock::now() + std::chrono::milliseconds(500);
    const auto end = start + std::chrono::seconds(seconds);
    const auto stride = std::chrono::microseconds(1000000 / clients);
    std::vector<Clock::time_point> nextPoll(static_cast<size_t>(clients));
    for (int i = 0; i < clients; ++i) nextPoll[static_cast<size_t>(i)] = start + stride * i;
    epoll_event events[512];
    size_t cursor = 0;
    while (Clock::now() < end) {
        // Send the polls that are due (clients in order of their slot within the second).
        auto now = Clock::now();
        for (size_t k = 0; k < all.size(); ++k) {
            size_t i = (cursor + k) % all.size();
            Client& c = all[i];
            if (nextPoll[i] > now) {
                cursor = i;
                break;
            }
            nextPoll[i] += std::chrono::seconds(1);
            if (c.dropped || !c.loggedIn) continue;
            if (c.awaiting > 0) ++late;  // the previous poll is still unanswered
            std::string message = "list:|END" + contracts[c.pollIndex++ % contracts.size()];
            c.sentAt = Clock::now();
            c.awaiting = 2;
            if (send(c.fd, message.data(), message.size(), MSG_NOSIGNAL) < 0) c.dropped = true;
        }
        int n = epoll_wait(ep, events, 512, 1);
        for (int e = 0; e < n; ++e) {
            Client& c = all[events[e].data.u32];
            char buffer[65536];
            ssize_t got = read(c.fd, buffer, sizeof buffer);
            if (got <= 0) {
                if (!c.dropped) std::fprintf(stderr, "client %u dropped\n", events[e].data.u32);
                c.dropped = true;
                epoll_ctl(ep, EPOLL_CTL_DEL, c.fd, nullptr);
                continue;
            }
            c.in.append(buffer, static_cast<size_t>(got));
            size_t at;
            while ((at = c.in.find("|END")) != std::string::npos) {
                if (c.in.rfind("login:0", 0) == 0)
                    c.loggedIn = true;
                else if (c.awaiting > 0) {
                    --c.awaiting;
                    latencies.push_back(Micros(Clock::now() - c.sentAt));
                    ++replies;
                }
                c.in.erase(0, at + 4);
            }
        }
    }
    size_t dropped = 0;
    for (auto& c : all) {
        dropped += c.dropped;
        close(c.fd);
    }
    if (loop) {
        loop->Stop();
        serverThread.join();
    }
    std::sort(latencies.begin(), latencies.end());
    auto pct = [&](double p) {
        return latencies.empty()
                   ? 0.0
                   : latencies[std::min(latencies.size() - 1, static_cast<size_t>(p * latencies.size()))];
    };
    std::printf("clients %d, %d s: %zu replies, %zu dropped, %zu polls sent before the previous answer\n",
                clients, seconds, replies, dropped, late);
    std::printf("latency ms: p50 %.2f  p90 %.2f  p99 %.2f  max %.2f\n", pct(0.50) / 1000, pct(0.90) / 1000,
                pct(0.99) / 1000, latencies.empty() ? 0.0 : latencies.back() / 1000);
    return dropped == 0 ? 0 : 1;
}
