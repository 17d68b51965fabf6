#pragma once
/// The command line of qelt-server.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "common/Version.h"

namespace qelt::server {

struct ServerOptions {
    int port = 3500;
    std::string bindAddress = "0.0.0.0";
    int adminPort = 0;  ///< loopback-only admin commands; 0 = none, -1 = any free port ("--admin-port 0")
    std::string dataDir = "server-data/";  ///< always with a trailing "/"; empty = memory only
    std::uint64_t seed = 1;
    bool demoClock = false;
    std::string clientVersion{kClientVersion};
    size_t maxOutputBytes = 8u << 20;  ///< a client further behind than this is dropped
    size_t maxInputBytes = 16u << 10;  ///< text without "|END" beyond this ends the client
    bool help = false;                 ///< --help / -h: print kServerUsage and end with 0
    bool version = false;              ///< --version / -v: print the version and end with 0
};

/// Parses the arguments (without the program name). Nothing, and a message in `error`,
/// when an option is unknown or its value unusable. --help and --version win over the rest.
std::optional<ServerOptions> ParseServerOptions(const std::vector<std::string>& args, std::string& error);

inline constexpr const char* kServerUsage =
    "usage: qelt-server [--port 3500] [--bind 0.0.0.0] [--data DIR] [--seed N]\n"
    "                   [--clock real|demo] [--client-version " QELT_VERSION_TEXT
    "] [--admin-port P]\n"
    "       qelt-server --admin-send PORT COMMAND   (e.g. \"dis:trader\", \"notice:text\")\n"
    "       qelt-server --help | --version\n"
    "\n"
    "The demo quote server.\n"
    "  --port P            client port (0: any free port, printed at start); default 3500\n"
    "  --bind A            address the client port listens on; default 0.0.0.0\n"
    "  --data DIR          data directory, created and filled on first start; default server-data\n"
    "  --seed N            market seed: the same seed replays the same market; default 1\n"
    "  --clock real|demo   China trading hours, or always in session; default real\n"
    "  --client-version V  \"ver\" answers 0 for this version, 1 (update) otherwise; "
    "default " QELT_VERSION_TEXT
    "\n"
    "  --admin-port P      admin commands on 127.0.0.1:P only (0: any free port); default none\n"
    "  --admin-send PORT COMMAND  sends one admin command to a running server and prints its answer\n"
    "  -h, --help          this text\n"
    "  -v, --version       the server's version\n";

inline constexpr const char* kServerVersion = "qelt-server " QELT_VERSION_TEXT "\n";

}  // namespace qelt::server
