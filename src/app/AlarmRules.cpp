#include "app/AlarmRules.h"

#include <unordered_set>

#include "common/Numbers.h"

namespace qelt {
namespace {

/// Bytes of the UTF-8 character starting with `lead` (1 for a stray byte).
size_t CharacterBytes(unsigned char lead) {
    if (lead >= 0xF0) return 4;
    if (lead >= 0xE0) return 3;
    if (lead >= 0xC0) return 2;
    return 1;
}

/// Byte offset of character `n` in `text` (its size when it has fewer characters).
size_t CharacterOffset(std::string_view text, size_t n) {
    size_t at = 0;
    for (size_t i = 0; i < n && at < text.size(); ++i)
        at += CharacterBytes(static_cast<unsigned char>(text[at]));
    return std::min(at, text.size());
}

bool IsSetPrice(std::string_view price) { return !price.empty() && LeadingDouble(price) > 0; }

}  // namespace

AlarmEntry MakeAlarmEntry(std::string goodsNo, std::string dueDate, double upperPrice, double lowerPrice,
                          int volume, int netPosition) {
    return AlarmEntry{std::move(goodsNo),         std::move(dueDate), FormatFixed(upperPrice, 3),
                      FormatFixed(lowerPrice, 3), FormatInt(volume),  FormatInt(netPosition)};
}

std::string AlarmPriceText(const AlarmEntry& entry) {
    std::string text;
    if (IsSetPrice(entry.upperPrice)) text = "大于" + entry.upperPrice;
    if (IsSetPrice(entry.lowerPrice)) text += " 或者 小于" + entry.lowerPrice;
    return text;
}

std::string AlarmCountText(std::string_view threshold) {
    return LeadingInt(threshold) > 0 ? std::string(threshold) : std::string();
}

AlarmListRow MakeAlarmListRow(const AlarmEntry& entry, std::size_t position) {
    std::string number = FormatInt(static_cast<std::int64_t>(position) + 1);
    if (number.size() < 4) number.insert(0, 4 - number.size(), ' ');
    return {number,
            entry.goodsNo,
            entry.dueDate,
            AlarmPriceText(entry),
            AlarmCountText(entry.volume),
            AlarmCountText(entry.netPosition)};
}

std::string AlarmSwitchText(bool on) { return on ? "关  闭" : "开  启"; }

std::string ShortDeliveryMonth(std::string_view dueDate) {
    const size_t from = CharacterOffset(dueDate, 2);
    std::string_view rest = dueDate.substr(from);
    return std::string(rest.substr(0, CharacterOffset(rest, 4)));
}

std::pair<std::vector<std::string>, std::vector<std::string>> DistinctGoodsAndMonths(
    const std::vector<std::pair<std::string, std::string>>& records) {
    std::pair<std::vector<std::string>, std::vector<std::string>> out;
    std::unordered_set<std::string> goodsSeen, monthsSeen;
    for (const auto& [goodsNo, dueDate] : records) {
        if (goodsSeen.insert(goodsNo).second) out.first.push_back(goodsNo);
        if (monthsSeen.insert(dueDate).second) out.second.push_back(dueDate);
    }
    return out;
}

}  // namespace qelt
