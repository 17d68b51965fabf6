#pragma once
/// mylist.ini: the self-selected goods, entries "goods_no|due_date|category||" one after
/// another with no line breaks, in the order they were added. GBK on disk.
#include <string>
#include <string_view>
#include <vector>

#include "data/SelfSelected.h"

namespace qelt {

/// Entries of the file text (UTF-8): split on "||", each entry on "|"; missing fields are empty.
std::vector<SelfSelectedEntry> ParseSelfSelected(std::string_view content);

/// "%s|%s|%s||" per entry (UTF-8).
std::string FormatSelfSelected(const std::vector<SelfSelectedEntry>& entries);

/// The entries of "<dir>mylist.ini"; a missing file gives none.
std::vector<SelfSelectedEntry> ReadSelfSelectedFile(const std::string& programDirectory);

/// Appends the entry unless an equal one (all three texts) is already there. False when the
/// file could not be rewritten.
bool AddSelfSelectedEntry(const std::string& programDirectory, const SelfSelectedEntry& entry);

/// Rewrites the file without the entries equal to `entry`; a missing file becomes an empty one.
bool RemoveSelfSelectedEntry(const std::string& programDirectory, const SelfSelectedEntry& entry);

}  // namespace qelt
