#pragma once
/// Where a file from the update service goes, and with which permissions. The service
/// promises plain names; this is where that promise is checked, because a name comes from
/// the network and must never lead outside the program directory.
#include <sys/types.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qelt {

/// A plain file name: not empty, not ".", no "/", no "\", no "..", no NUL or other control
/// character. Anything else (a path, an absolute name, a parent reference) is refused.
bool IsSafeUpdateName(std::string_view name);

/// Database files (names ending in ".db") belong in the history folder "his/".
bool IsHistoryFile(std::string_view name);

/// "<dir>his/<name>" for database files, "<dir><name>" otherwise; nothing for an unsafe
/// name. `programDirectory` ends in "/"; `name` is UTF-8.
std::optional<std::string> UpdateTargetPath(const std::string& programDirectory, std::string_view name);

/// Permission bits for a written file. The read-only attribute clears every write bit;
/// otherwise the owner may write. A file that replaces another keeps the other bits of the
/// old one (so a program stays executable); a new file gets 0644, or 0755 when its content
/// starts like a program ("\x7f" "ELF" or "#!"), since the attributes know no such bit.
mode_t UpdateFileMode(std::uint32_t attributes, std::optional<mode_t> existingMode,
                      std::string_view firstBytes);

}  // namespace qelt
