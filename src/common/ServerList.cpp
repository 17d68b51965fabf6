#include "ServerList.h"

#include "Files.h"
#include "Gbk.h"
#include "Split.h"

namespace qelt {

std::vector<ServerEntry> ParseServerList(std::string_view content) {
    std::vector<ServerEntry> out;
    for (std::string_view line : SplitViews(content, "\r\n")) {
        std::vector<std::string_view> fields = SplitViews(line, ":");
        if (fields.size() < 3) continue;
        out.push_back({std::string(fields[0]), std::string(fields[1]), std::string(fields[2])});
    }
    return out;
}

std::string FormatServerList(const std::vector<ServerEntry>& entries) {
    std::string out;
    for (const ServerEntry& e : entries) out += e.name + ":" + e.address + ":" + e.port + "\r\n";
    return out;
}

std::vector<ServerEntry> ReadServerList(const std::string& programDirectory) {
    std::optional<std::string> content = ReadWholeFile(programDirectory + "config.ini", 1u << 20);
    if (!content) return {};
    return ParseServerList(GbkToUtf8(*content));
}

bool WriteServerList(const std::string& programDirectory, const std::vector<ServerEntry>& entries) {
    return WriteFileAtomic(programDirectory + "config.ini", Utf8ToGbk(FormatServerList(entries)));
}

}  // namespace qelt
