#pragma once
/// The texts of the price alarms, without widgets: how an entry is written, how the entry
/// list and the alarm window show entries and fired alarms, and the switch's caption. (The
/// query an entry sends is built in net/Requests.h; the entries file in
/// data/settings/AlarmFile.h.)
#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "data/settings/AlarmFile.h"

namespace qelt {

/// The entry of the dialog's values: the two texts as chosen, prices "%.3f", counts "%d".
AlarmEntry MakeAlarmEntry(std::string goodsNo, std::string dueDate, double upperPrice, double lowerPrice,
                          int volume, int netPosition);

/// The list's "价  格" text: "大于" + upper when the upper price is set (non-empty, above
/// 0), then " 或者 小于" + lower when the lower price is set; empty when neither is.
std::string AlarmPriceText(const AlarmEntry& entry);
/// The list's "成交量" / "净持仓量" text: the threshold when it reads as an integer above 0,
/// else empty.
std::string AlarmCountText(std::string_view threshold);

/// The six columns of the entry list: "%4d" of the 1-based position, goods number,
/// delivery month, price text, volume text, net position text.
using AlarmListRow = std::array<std::string, 6>;
AlarmListRow MakeAlarmListRow(const AlarmEntry& entry, std::size_t position);

/// The on/off button: "关  闭" while the alarms are on, "开  启" while they are off.
std::string AlarmSwitchText(bool on);

/// The delivery month as the alarm window shows it: without its first two characters, cut
/// to four ("20261225" gives "2612"). Counts characters, not bytes, so a month that is not
/// plain digits is never cut inside a character.
std::string ShortDeliveryMonth(std::string_view dueDate);

/// Every distinct goods number and every distinct delivery month of the given records
/// (goods number, month), each in order of first appearance.
std::pair<std::vector<std::string>, std::vector<std::string>> DistinctGoodsAndMonths(
    const std::vector<std::pair<std::string, std::string>>& records);

}  // namespace qelt
