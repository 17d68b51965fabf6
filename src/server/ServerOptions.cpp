#include "server/ServerOptions.h"

#include "common/Address.h"
#include "common/Numbers.h"
#include "common/ProgramDir.h"

namespace qelt::server {
namespace {

bool IsNumber(const std::string& s) {
    if (s.empty() || s.size() > 19) return false;
    for (char c : s)
        if (c < '0' || c > '9') return false;
    return true;
}

}  // namespace

std::optional<ServerOptions> ParseServerOptions(const std::vector<std::string>& args, std::string& error) {
    ServerOptions o;
    for (const std::string& a : args) {
        if (a == "--help" || a == "-h") o.help = true;
        if (a == "--version" || a == "-v") o.version = true;
    }
    if (o.help || o.version) return o;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a.rfind("--", 0) != 0) {
            error = "unexpected argument " + a;
            return std::nullopt;
        }
        if (i + 1 >= args.size()) {
            error = "missing value for " + a;
            return std::nullopt;
        }
        const std::string& v = args[++i];
        if (a == "--port" || a == "--admin-port") {
            if (!IsNumber(v) || LeadingInt(v) > 65535) {
                error = "bad port: " + v;
                return std::nullopt;
            }
            if (a == "--port")
                o.port = LeadingInt(v);
            else  // 0 asks for any free port, as for the client port (printed at start)
                o.adminPort = LeadingInt(v) == 0 ? -1 : LeadingInt(v);
        } else if (a == "--bind") {
            if (!IsDottedIPv4(v)) {
                error = "bad address: " + v;
                return std::nullopt;
            }
            o.bindAddress = v;
        } else if (a == "--data") {
            o.dataDir = v.empty() ? std::string() : WithTrailingSlash(v);
        } else if (a == "--seed") {
            if (!IsNumber(v)) {
                error = "bad seed: " + v;
                return std::nullopt;
            }
            o.seed = static_cast<std::uint64_t>(LeadingInt64(v));
        } else if (a == "--clock") {
            if (v != "real" && v != "demo") {
                error = "clock must be real or demo";
                return std::nullopt;
            }
            o.demoClock = v == "demo";
        } else if (a == "--client-version") {
            o.clientVersion = v;
        } else {
            error = "unknown option " + a;
            return std::nullopt;
        }
    }
    return o;
}

}  // namespace qelt::server
