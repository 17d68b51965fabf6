#include "app/AlarmRules.h"

#include <algorithm>

#include "common/Numbers.h"
#include "common/Text.h"

namespace qelt {
namespace {

bool IsDigits(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool IsSetPrice(std::string_view price) { return !price.empty() && LeadingDouble(price) > 0; }

}  // namespace

AlarmEntry MakeAlarmEntry(GoodsKey goods, double upperPrice, double lowerPrice, int volume, int netPosition) {
    return AlarmEntry{std::move(goods), FormatFixed(upperPrice, 3), FormatFixed(lowerPrice, 3),
                      FormatInt(volume), FormatInt(netPosition)};
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
            entry.goods.goodsNo,
            entry.goods.dueDate,
            AlarmPriceText(entry),
            AlarmCountText(entry.volume),
            AlarmCountText(entry.netPosition)};
}

std::string AlarmSwitchText(bool on) { return on ? "关  闭" : "开  启"; }

std::string AlarmContractText(std::string_view name, std::string_view dueDate) {
    const std::string_view month = Trim(dueDate);
    if (month.empty()) return std::string(name);
    if (!IsDigits(month) || month.size() <= 2) return std::string(month);
    return std::string(name) + std::string(month.substr(2));
}

std::optional<std::string> AlarmHitTime(std::string_view text) {
    if (text.size() != 8 || text[2] != ':' || text[5] != ':') return std::nullopt;
    if (!IsDigits(text.substr(0, 2)) || !IsDigits(text.substr(3, 2)) || !IsDigits(text.substr(6, 2)))
        return std::nullopt;
    return std::string(text);
}

}  // namespace qelt
