#include "updater/UpdateTarget.h"

#include "updater/UpdateFileHeader.h"

namespace qelt {

bool IsSafeUpdateName(std::string_view name) {
    if (name.empty() || name == ".") return false;
    if (name.find("..") != std::string_view::npos) return false;
    for (char c : name) {
        auto u = static_cast<unsigned char>(c);
        if (c == '/' || c == '\\' || u < 0x20 || u == 0x7F) return false;
    }
    return true;
}

bool IsHistoryFile(std::string_view name) {
    return name.size() >= 3 && name.substr(name.size() - 3) == ".db";
}

std::optional<std::string> UpdateTargetPath(const std::string& programDirectory, std::string_view name) {
    if (!IsSafeUpdateName(name)) return std::nullopt;
    if (IsHistoryFile(name)) return programDirectory + "his/" + std::string(name);
    return programDirectory + std::string(name);
}

mode_t UpdateFileMode(std::uint32_t attributes, std::optional<mode_t> existingMode,
                      std::string_view firstBytes) {
    mode_t mode = 0644;
    if (existingMode) {
        mode = *existingMode & 0777;
    } else if (firstBytes.substr(0, 4) ==
                   "\x7f"
                   "ELF" ||
               firstBytes.substr(0, 2) == "#!") {
        mode = 0755;
    }
    if (attributes & kFileAttributeReadOnly) return mode & ~mode_t(0222);
    return mode | 0200;
}

}  // namespace qelt
