#pragma once
/// Files that only grow, such as logs: appending, the size, a rename. They go through the same
/// system calls as the settings files' reads and rewrites (FileCalls, Files.h), so tests can
/// make them fail the same way.
#include <sys/types.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qelt {

/// Adds `content` at the end of the file (made with `mode`, less the umask, when missing). A
/// write that fails leaves the file as it was (what was written is cut off again), so a full
/// disk never leaves half a line; false then.
bool AppendToFile(const std::string& path, std::string_view content, mode_t mode = 0644);

/// The size of the file in bytes; nothing when it does not exist or is no regular file.
std::optional<std::uint64_t> RegularFileSize(const std::string& path);

/// Renames `from` to `to`, replacing `to`; false when that fails.
bool RenameFile(const std::string& from, const std::string& to);

}  // namespace qelt
