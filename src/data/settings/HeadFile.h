#pragma once
/// head.ini in the program directory: the quote board's column slots as "title|width|" for
/// every slot, in GBK, on one line without a line break. Read whole, rewritten atomically.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "data/settings/SettingsReports.h"  // kHeadFileName

namespace qelt {

/// head.ini is one short line; anything much bigger is not ours.
inline constexpr std::size_t kMaxHeadFileBytes = 64 * 1024;

/// The file's text in UTF-8; nothing when it is missing or unreadable. A file over 64 KB is
/// not ours and reads as missing. (The client keeps the text for the run in ViewSettings.)
std::optional<std::string> ReadHeadFile(const std::string& programDirectory);
/// Writes the UTF-8 text as GBK, atomically; false when the write failed (the old file stays).
bool WriteHeadFile(const std::string& programDirectory, std::string_view utf8Text);

}  // namespace qelt
