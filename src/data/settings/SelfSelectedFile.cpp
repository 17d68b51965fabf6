#include "data/settings/SelfSelectedFile.h"

#include <algorithm>

#include "common/Files.h"
#include "common/Gbk.h"
#include "common/Split.h"

namespace qelt {
namespace {

constexpr size_t kMaxSelfSelectedFileBytes = 4u << 20;

std::string SelfSelectedFilePath(const std::string& programDirectory) {
    return programDirectory + "mylist.ini";
}

bool WriteEntries(const std::string& programDirectory, const std::vector<SelfSelectedEntry>& entries) {
    return WriteFileAtomic(SelfSelectedFilePath(programDirectory), Utf8ToGbk(FormatSelfSelected(entries)));
}

}  // namespace

std::vector<SelfSelectedEntry> ParseSelfSelected(std::string_view content) {
    std::vector<SelfSelectedEntry> out;
    for (std::string_view record : SplitViews(content, kRecordSeparator)) {
        std::vector<std::string_view> f = SplitViews(record, kFieldSeparator);
        SelfSelectedEntry e;
        if (f.size() > 0) e.goods.goodsNo = f[0];
        if (f.size() > 1) e.goods.dueDate = f[1];
        if (f.size() > 2) e.category = f[2];
        out.push_back(std::move(e));
    }
    return out;
}

std::string FormatSelfSelected(const std::vector<SelfSelectedEntry>& entries) {
    std::string out;
    for (const SelfSelectedEntry& e : entries)
        out += e.goods.goodsNo + "|" + e.goods.dueDate + "|" + e.category + "||";
    return out;
}

std::vector<SelfSelectedEntry> ReadSelfSelectedFile(const std::string& programDirectory) {
    std::optional<std::string> content =
        ReadWholeFile(SelfSelectedFilePath(programDirectory), kMaxSelfSelectedFileBytes);
    if (!content) return {};
    return ParseSelfSelected(GbkToUtf8(*content));
}

bool AddSelfSelectedEntry(const std::string& programDirectory, const SelfSelectedEntry& entry) {
    std::vector<SelfSelectedEntry> entries = ReadSelfSelectedFile(programDirectory);
    if (std::find(entries.begin(), entries.end(), entry) != entries.end()) return true;
    entries.push_back(entry);
    return WriteEntries(programDirectory, entries);
}

bool RemoveSelfSelectedEntry(const std::string& programDirectory, const SelfSelectedEntry& entry) {
    std::vector<SelfSelectedEntry> entries = ReadSelfSelectedFile(programDirectory);
    std::erase(entries, entry);
    return WriteEntries(programDirectory, entries);
}

}  // namespace qelt
