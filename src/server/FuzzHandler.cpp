// libFuzzer target: arbitrary bytes as the input stream of one client (or of the admin
// port), cut at "|END" and handed to the request handler. Built only with clang
// (scripts/fuzz-server.sh).
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "net/Framer.h"
#include "server/RequestHandler.h"
#include "server/ServerState.h"

namespace {

using namespace qelt::server;

class NoSessions : public SessionControl {
  public:
    bool UserHasSession(const std::string& user, std::uint64_t) override { return user == "trader"; }
    size_t DisconnectUser(const std::string&, std::uint64_t) override { return 0; }
    size_t Broadcast(const std::string&) override { return 0; }
};

struct World {
    ServerState state;
    NoSessions sessions;
    RequestHandler handler;
    World() : state(MemoryOptions(), 1796695200), handler(state, sessions) {}
    static ServerOptions MemoryOptions() {
        ServerOptions o;
        o.dataDir.clear();  // memory only: the fuzzer writes no files
        return o;
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static World* world = new World();
    if (size == 0) return 0;
    const std::uint8_t mode = data[0];
    std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    Session session;
    session.id = 1;
    if (mode & 1) {  // half the inputs start logged in, so the market paths are reached
        session.user = "demo";
        session.loggedIn = true;
        session.historySent = true;
    }
    qelt::Framer framer(16 * 1024);
    std::string out;
    if (!framer.Feed(bytes)) return 0;
    std::string_view message;
    while (framer.Next(message)) {
        if (mode & 2)
            world->handler.HandleAdmin(message, out);
        else
            world->handler.Handle(session, message, out);
        if (out.size() > (1u << 20)) out.clear();
    }
    // Every reply ends with the terminator (unless it is the binary update stream).
    if (!out.empty() && !session.closeAfterFlush && out.compare(out.size() - 4, 4, "|END") != 0)
        __builtin_trap();
    return 0;
}
