#include "analysis/ConditionAlarmFile.h"

#include <set>

#include "common/Numbers.h"
#include "formula/FormulaNumbers.h"

namespace qelt {
namespace {

constexpr std::string_view kCondNextKey = "next=";
constexpr std::string_view kCondEntryKey = "entry=";
constexpr std::string_view kCondHitKey = "hit=";
constexpr std::string_view kCondSelfWord = "self";
/// Ids and formula ids stay far below the int range, so next=... + 1 never overflows.
constexpr int kCondMaxId = 1000000000;

std::vector<std::string_view> CondSplit(std::string_view text, char mark) {
    std::vector<std::string_view> out;
    for (;;) {
        const size_t at = text.find(mark);
        out.push_back(text.substr(0, at));
        if (at == std::string_view::npos) return out;
        text.remove_prefix(at + 1);
    }
}

/// A plain positive decimal integer up to kCondMaxId, without sign or blanks.
std::optional<int> CondReadId(std::string_view text) {
    if (text.empty() || text.size() > 10) return std::nullopt;
    std::int64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    if (value < 1 || value > kCondMaxId) return std::nullopt;
    return static_cast<int>(value);
}

/// A day as YYYYMMDD: eight digits, a month and a day that can be.
std::optional<int> CondReadDay(std::string_view text) {
    if (text.size() != 8) return std::nullopt;
    const std::optional<int> day = CondReadId(text);
    if (!day) return std::nullopt;
    const int month = *day / 100 % 100, dom = *day % 100;
    if (month < 1 || month > 12 || dom < 1 || dom > 31) return std::nullopt;
    return day;
}

std::optional<double> CondReadValue(std::string_view text) {
    if (text.size() > 32) return std::nullopt;
    return formula::ParseDecimal(text, true);
}

std::optional<GoodsKey> CondReadGoods(std::string_view number, std::string_view month) {
    if (!IsConditionGoodsText(number) || !IsConditionGoodsText(month)) return std::nullopt;
    return GoodsKey{std::string(number), std::string(month)};
}

std::optional<ConditionAlarmEntry> CondReadEntry(std::string_view value) {
    const std::vector<std::string_view> f = CondSplit(value, '|');
    if (f.size() != 5) return std::nullopt;
    ConditionAlarmEntry entry;
    const std::optional<int> id = CondReadId(f[0]), formula = CondReadId(f[1]);
    if (!id || !formula || (f[2] != "0" && f[2] != "1")) return std::nullopt;
    entry.id = *id;
    entry.formulaId = *formula;
    entry.on = f[2] == "1";
    if (!f[3].empty()) {
        const std::vector<std::string_view> values = CondSplit(f[3], ',');
        if (values.size() > kMaxConditionAlarmValues) return std::nullopt;
        for (std::string_view text : values) {
            const std::optional<double> v = CondReadValue(text);
            if (!v) return std::nullopt;
            entry.values.push_back(*v);
        }
    }
    if (f[4] == kCondSelfWord) {
        entry.selfSelected = true;
    } else if (!f[4].empty()) {
        const std::vector<std::string_view> goods = CondSplit(f[4], ',');
        if (goods.size() > kMaxConditionAlarmGoods) return std::nullopt;
        for (std::string_view text : goods) {
            const size_t slash = text.find('/');
            if (slash == std::string_view::npos) return std::nullopt;
            const std::optional<GoodsKey> key = CondReadGoods(text.substr(0, slash), text.substr(slash + 1));
            if (!key) return std::nullopt;
            entry.goods.push_back(*key);
        }
    }
    return entry;
}

/// Takes a line into `settings`; false for a line it does not take. Hits are taken after
/// all entries are known (`hitLines`), so a hit line may come before its entry.
bool CondTakeLine(std::string_view line, ConditionAlarmSettings& settings, std::set<int>& ids,
                  std::vector<std::string_view>& hitLines) {
    if (line.starts_with(kCondNextKey)) {
        const std::optional<int> next = CondReadId(line.substr(kCondNextKey.size()));
        if (next) settings.nextId = std::max(settings.nextId, *next);
        return next.has_value();
    }
    if (line.starts_with(kCondHitKey)) {
        hitLines.push_back(line);
        return true;
    }
    if (!line.starts_with(kCondEntryKey) || settings.entries.size() >= kMaxConditionAlarmEntries)
        return false;
    std::optional<ConditionAlarmEntry> entry = CondReadEntry(line.substr(kCondEntryKey.size()));
    if (!entry || !ids.insert(entry->id).second) return false;
    settings.nextId = std::max(settings.nextId, entry->id + 1);
    settings.entries.push_back(std::move(*entry));
    return true;
}

bool CondTakeHit(std::string_view line, ConditionAlarmSettings& settings, const std::set<int>& ids) {
    if (settings.hits.Days().size() >= kMaxConditionHitDays) return false;
    const std::vector<std::string_view> f = CondSplit(line.substr(kCondHitKey.size()), '|');
    if (f.size() != 4) return false;
    const std::optional<int> entry = CondReadId(f[0]), day = CondReadDay(f[3]);
    const std::optional<GoodsKey> goods = CondReadGoods(f[1], f[2]);
    if (!entry || !day || !goods || !ids.count(*entry)) return false;
    if (settings.hits.LastHitDay(*entry, *goods)) return false;  // one day per entry and goods
    settings.hits.Record(*entry, *goods, *day);
    return true;
}

std::string CondFormatValue(double value) { return FormatGeneral(value, 17); }

}  // namespace

const ConditionAlarmEntry* ConditionAlarmSettings::Find(int id) const {
    for (const ConditionAlarmEntry& entry : entries)
        if (entry.id == id) return &entry;
    return nullptr;
}

bool IsConditionGoodsText(std::string_view text) {
    if (text.empty() || text.size() > kMaxConditionGoodsText) return false;
    for (char c : text)
        if (c <= ' ' || c > '~' || c == '|' || c == ',' || c == '/') return false;
    return true;
}

std::string FormatConditionAlarmFile(const ConditionAlarmSettings& settings) {
    std::string out = std::string(kCondNextKey) + FormatInt(settings.nextId) + "\r\n";
    for (const ConditionAlarmEntry& entry : settings.entries) {
        out += kCondEntryKey;
        out += FormatInt(entry.id) + "|" + FormatInt(entry.formulaId) + "|" + (entry.on ? "1" : "0") + "|";
        for (size_t i = 0; i < entry.values.size(); ++i)
            out += (i ? "," : "") + CondFormatValue(entry.values[i]);
        out += "|";
        if (entry.selfSelected) {
            out += kCondSelfWord;
        } else {
            for (size_t i = 0; i < entry.goods.size(); ++i)
                out += (i ? "," : "") + entry.goods[i].goodsNo + "/" + entry.goods[i].dueDate;
        }
        out += "\r\n";
    }
    for (const auto& [key, day] : settings.hits.Days())
        out += std::string(kCondHitKey) + FormatInt(key.first) + "|" + key.second.goodsNo + "|" +
               key.second.dueDate + "|" + FormatInt(day) + "\r\n";
    for (const std::string& line : settings.kept) out += line + "\r\n";
    return out;
}

ConditionAlarmSettings ParseConditionAlarmFile(std::string_view content) {
    ConditionAlarmSettings settings;
    std::set<int> ids;
    std::vector<std::string_view> hitLines;
    while (!content.empty()) {
        const size_t end = content.find('\n');
        std::string_view line = content.substr(0, end);
        content.remove_prefix(end == std::string_view::npos ? content.size() : end + 1);
        if (line.ends_with('\r')) line.remove_suffix(1);
        if (line.empty()) continue;
        if (!CondTakeLine(line, settings, ids, hitLines)) settings.kept.emplace_back(line);
    }
    for (std::string_view line : hitLines)
        if (!CondTakeHit(line, settings, ids)) settings.kept.emplace_back(line);
    return settings;
}

}  // namespace qelt
