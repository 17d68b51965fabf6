#pragma once
/// The command line of qelt-server.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace qelt::server {

struct ServerOptions {
    int port = 3500;
    std::string bindAddress = "0.0.0.0";
    int adminPort = 0;  ///< loopback-only admin commands; 0 = none, -1 = any free port ("--admin-port 0")
    std::string dataDir = "server-data/";  ///< always with a trailing "/"; empty = memory only
    std::uint64_t seed = 1;
    bool demoClock = false;
    std::string clientVersion = "1.96";
    size_t maxOutputBytes = 8u << 20;  ///< a client further behind than this is dropped
    size_t maxInputBytes = 16u << 10;  ///< text without "|END" beyond this ends the client
};

/// Parses the arguments (without the program name). Nothing, and a message in `error`,
/// when an option is unknown or its value unusable.
std::optional<ServerOptions> ParseServerOptions(const std::vector<std::string>& args, std::string& error);

inline constexpr const char* kServerUsage =
    "usage: qelt-server [--port 3500] [--bind 0.0.0.0] [--data DIR] [--seed N]\n"
    "                   [--clock real|demo] [--client-version 1.96] [--admin-port P]\n"
    "       qelt-server --admin-send PORT COMMAND   (e.g. \"dis:trader\", \"notice:text\")\n";

}  // namespace qelt::server
