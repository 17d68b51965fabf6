#include "data/settings/AlarmFile.h"

#include "common/Files.h"
#include "common/Gbk.h"
#include "common/Numbers.h"
#include "common/Text.h"
#include "data/settings/SettingsReports.h"

namespace qelt {
namespace {

constexpr std::string_view kWindowKey = "window=";
constexpr std::string_view kSoundKey = "sound=";
constexpr std::string_view kEntryKey = "alarm=";

std::string AlarmFilePath(const std::string& programDirectory) { return programDirectory + kAlarmFileName; }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

/// Digits with at most one "." among them (`allowPoint`), at least one digit.
bool IsPlainNumber(std::string_view text, bool allowPoint) {
    bool digit = false, point = false;
    for (char c : text) {
        if (IsDigit(c)) {
            digit = true;
        } else if (c == '.' && allowPoint && !point) {
            point = true;
        } else {
            return false;
        }
    }
    return digit;
}

/// The fields of "a|b|c" cut at every bar (empty fields kept: an entry made without goods
/// has an empty number and month).
std::vector<std::string_view> Fields(std::string_view text) {
    std::vector<std::string_view> out;
    for (;;) {
        size_t bar = text.find('|');
        out.push_back(text.substr(0, bar));
        if (bar == std::string_view::npos) return out;
        text.remove_prefix(bar + 1);
    }
}

std::optional<bool> ReadFlag(std::string_view value) {
    if (value == "1") return true;
    if (value == "0") return false;
    return std::nullopt;
}

std::optional<AlarmEntry> ReadEntry(std::string_view value) {
    std::vector<std::string_view> f = Fields(value);
    if (f.size() != 6) return std::nullopt;
    return CanonicalAlarmEntry({{std::string(f[0]), std::string(f[1])},
                                std::string(f[2]),
                                std::string(f[3]),
                                std::string(f[4]),
                                std::string(f[5])});
}

/// Takes a switch or an entry into `settings`; false for a line it does not take.
bool TakeLine(std::string_view line, AlarmSettings& settings) {
    if (line.starts_with(kWindowKey)) {
        const std::optional<bool> flag = ReadFlag(line.substr(kWindowKey.size()));
        if (flag) settings.windowOn = *flag;
        return flag.has_value();
    }
    if (line.starts_with(kSoundKey)) {
        const std::optional<bool> flag = ReadFlag(line.substr(kSoundKey.size()));
        if (flag) settings.sound = *flag;
        return flag.has_value();
    }
    if (!line.starts_with(kEntryKey) || settings.entries.size() >= kMaxAlarmEntries) return false;
    std::optional<AlarmEntry> entry = ReadEntry(line.substr(kEntryKey.size()));
    if (entry) settings.entries.push_back(std::move(*entry));
    return entry.has_value();
}

}  // namespace

bool IsSafeAlarmText(std::string_view text) {
    if (text.size() > kMaxAlarmTextBytes) return false;
    for (char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '\'' || c == '|' || u < 0x20 || u == 0x7F) return false;
    }
    return true;
}

std::optional<double> ReadAlarmPrice(std::string_view text) {
    text = Trim(text);
    if (!IsPlainNumber(text, true)) return std::nullopt;
    const double value = LeadingDouble(text);
    if (value > kMaxAlarmThreshold) return std::nullopt;
    return value;
}

std::optional<int> ReadAlarmCount(std::string_view text) {
    text = Trim(text);
    // Seven digits and more are out of range whatever they are (and never overflow).
    if (!IsPlainNumber(text, false) || text.size() > 12) return std::nullopt;
    const std::int64_t value = LeadingInt64(text);
    if (value > static_cast<std::int64_t>(kMaxAlarmThreshold)) return std::nullopt;
    return static_cast<int>(value);
}

std::optional<AlarmEntry> CanonicalAlarmEntry(const AlarmEntry& e) {
    if (!IsSafeAlarmText(e.goods.goodsNo) || !IsSafeAlarmText(e.goods.dueDate)) return std::nullopt;
    std::optional<double> upper = ReadAlarmPrice(e.upperPrice), lower = ReadAlarmPrice(e.lowerPrice);
    std::optional<int> volume = ReadAlarmCount(e.volume), position = ReadAlarmCount(e.netPosition);
    if (!upper || !lower || !volume || !position) return std::nullopt;
    return AlarmEntry{e.goods, FormatFixed(*upper, 3), FormatFixed(*lower, 3), FormatInt(*volume),
                      FormatInt(*position)};
}

std::string FormatAlarmFile(const AlarmSettings& settings) {
    std::string out;
    out += std::string(kWindowKey) + (settings.windowOn ? "1" : "0") + "\r\n";
    out += std::string(kSoundKey) + (settings.sound ? "1" : "0") + "\r\n";
    for (const AlarmEntry& e : settings.entries)
        out += std::string(kEntryKey) + e.goods.goodsNo + "|" + e.goods.dueDate + "|" + e.upperPrice + "|" +
               e.lowerPrice + "|" + e.volume + "|" + e.netPosition + "\r\n";
    for (const std::string& line : settings.kept) out += line + "\r\n";
    return out;
}

AlarmSettings ParseAlarmFile(std::string_view content) {
    AlarmSettings settings;
    while (!content.empty()) {
        size_t end = content.find('\n');
        std::string_view line = content.substr(0, end);
        content.remove_prefix(end == std::string_view::npos ? content.size() : end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);

        if (line.empty()) continue;
        if (!TakeLine(line, settings)) settings.kept.emplace_back(line);
    }
    return settings;
}

std::optional<AlarmSettings> LoadAlarmFile(const std::string& programDirectory) {
    const std::string path = AlarmFilePath(programDirectory);
    std::optional<std::string> content = ReadWholeFile(path, kMaxAlarmFileBytes);
    if (!content) {
        if (FileExists(path)) return std::nullopt;
        return AlarmSettings{};
    }
    return ParseAlarmFile(GbkToUtf8(*content));
}

AlarmSettings ReadAlarmFile(const std::string& programDirectory) {
    return LoadAlarmFile(programDirectory).value_or(AlarmSettings{});
}

bool WriteAlarmFile(const std::string& programDirectory, const AlarmSettings& settings) {
    return WriteFileAtomic(AlarmFilePath(programDirectory), Utf8ToGbk(FormatAlarmFile(settings)));
}

}  // namespace qelt
