#pragma once
/// mylist.ini: the self-selected goods, entries "goods_no|due_date|category||" one after
/// another with no line breaks, in the order they were added. GBK on disk. The settings
/// object reads it once and keeps the entries for the run.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "data/SelfSelected.h"

namespace qelt {

/// Far above any real list (a few dozen bytes an entry); a larger file is not ours.
inline constexpr std::size_t kMaxSelfSelectedFileBytes = 4u << 20;

/// Entries of the file text (UTF-8): split on "||", each entry on "|"; missing fields are empty.
std::vector<SelfSelectedEntry> ParseSelfSelected(std::string_view content);

/// "%s|%s|%s||" per entry (UTF-8).
std::string FormatSelfSelected(const std::vector<SelfSelectedEntry>& entries);

}  // namespace qelt
