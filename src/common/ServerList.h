#pragma once
/// config.ini: the quote servers, one per line, "name:address:port\r\n", GBK. Read by the
/// client's login and server dialogs and by the updater.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qelt {

struct ServerEntry {
    std::string name;
    std::string address;  ///< dotted IPv4 or a host name
    std::string port;     ///< decimal text, not checked
    friend bool operator==(const ServerEntry&, const ServerEntry&) = default;
};

/// Lines split at "\r\n", each line at ":" (both by the one splitting rule); a line with
/// fewer than three fields is ignored. `content` is UTF-8.
std::vector<ServerEntry> ParseServerList(std::string_view content);

/// One "%s:%s:%s\r\n" line per entry, in order (UTF-8).
std::string FormatServerList(const std::vector<ServerEntry>& entries);

/// Reads "<dir>config.ini" (GBK on disk); a missing file gives an empty list.
std::vector<ServerEntry> ReadServerList(const std::string& programDirectory);

/// Rewrites "<dir>config.ini" whole and atomically; false when the write failed.
bool WriteServerList(const std::string& programDirectory, const std::vector<ServerEntry>& entries);

}  // namespace qelt
