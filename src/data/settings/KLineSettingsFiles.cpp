#include "data/settings/KLineSettingsFiles.h"

#include <algorithm>

#include "common/Files.h"
#include "common/Gbk.h"
#include "common/Numbers.h"

namespace qelt {

namespace {

/// The leading integer before each "|", up to `limit` of them; a trailing piece without "|"
/// is a 0 and ends the text.
std::vector<int> ParseWinfileIds(std::string_view text, std::size_t limit = kMaxKLineFileBytes) {
    std::vector<int> ids;
    while (!text.empty() && ids.size() < limit) {
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

}  // namespace

std::vector<int> ParseWinfile(std::string_view text) { return ParseWinfileIds(text, kMaxLowerPanes); }

std::string FormatWinfile(const std::vector<int>& lowerPaneIds) {
    std::string text;
    for (int id : lowerPaneIds) text.append(FormatInt(id)).push_back('|');
    return text;
}

std::optional<std::vector<int>> ReadWinfile(const std::string& programDirectory) {
    const std::optional<std::string> bytes =
        ReadWholeFile(programDirectory + kWinFileName, kMaxKLineFileBytes);
    if (!bytes) return std::nullopt;
    return ParseWinfile(GbkToUtf8(*bytes));
}

bool WriteWinfile(const std::string& programDirectory, const std::vector<int>& lowerPaneIds) {
    return WriteFileAtomic(programDirectory + kWinFileName, Utf8ToGbk(FormatWinfile(lowerPaneIds)));
}

bool ReadLogScale(const std::string& programDirectory) {
    const std::optional<std::string> bytes =
        ReadWholeFile(programDirectory + kLogScaleFileName, kMaxKLineFileBytes);
    return bytes && LeadingInt(*bytes) == 1;
}

bool WriteLogScale(const std::string& programDirectory, bool logarithmic) {
    return WriteFileAtomic(programDirectory + kLogScaleFileName, logarithmic ? "1" : "0");
}

std::vector<int> ParseMainFormulas(std::string_view text) {
    constexpr int kFirstUserFormulaId = 1000;  // formula.txt's ids start there
    std::vector<int> ids;
    for (const int id : ParseWinfileIds(text)) {
        if (ids.size() >= kMaxMainFormulas) break;
        if (id >= kFirstUserFormulaId && std::find(ids.begin(), ids.end(), id) == ids.end())
            ids.push_back(id);
    }
    return ids;
}

std::string FormatMainFormulas(const std::vector<int>& ids) { return FormatWinfile(ids); }

int ParseKLinePeriod(std::string_view text) {
    const int period = LeadingInt(text);
    return period >= 1 && period <= 8 ? period : 1;
}

std::string FormatKLinePeriod(int period) { return FormatInt(period); }

}  // namespace qelt
