#include "data/settings/KLineSettingsFiles.h"

#include "common/Files.h"
#include "common/Gbk.h"
#include "common/Numbers.h"

namespace qelt {
namespace {

// Both files hold a handful of numbers; anything much bigger is not ours.
constexpr std::size_t kMaxFile = 64 * 1024;

}  // namespace

std::vector<int> ParseWinfile(std::string_view text) {
    std::vector<int> ids;
    while (!text.empty() && ids.size() < kMaxLowerPanes) {
        const std::size_t bar = text.find('|');
        if (bar == std::string_view::npos) {
            ids.push_back(0);
            break;
        }
        ids.push_back(LeadingInt(text.substr(0, bar)));
        text.remove_prefix(bar + 1);
    }
    return ids;
}

std::string FormatWinfile(const std::vector<int>& lowerPaneIds) {
    std::string text;
    for (int id : lowerPaneIds) text.append(FormatInt(id)).push_back('|');
    return text;
}

std::optional<std::vector<int>> ReadWinfile(const std::string& programDirectory) {
    const std::optional<std::string> bytes = ReadWholeFile(programDirectory + kWinFileName, kMaxFile);
    if (!bytes) return std::nullopt;
    return ParseWinfile(GbkToUtf8(*bytes));
}

bool WriteWinfile(const std::string& programDirectory, const std::vector<int>& lowerPaneIds) {
    return WriteFileAtomic(programDirectory + kWinFileName, Utf8ToGbk(FormatWinfile(lowerPaneIds)));
}

bool ReadLogScale(const std::string& programDirectory) {
    const std::optional<std::string> bytes = ReadWholeFile(programDirectory + kLogScaleFileName, kMaxFile);
    return bytes && LeadingInt(*bytes) == 1;
}

bool WriteLogScale(const std::string& programDirectory, bool logarithmic) {
    return WriteFileAtomic(programDirectory + kLogScaleFileName, logarithmic ? "1" : "0");
}

}  // namespace qelt
