#pragma once
/// The texts of the price alarms, without widgets: how an entry is written, how the entry
/// list and the alarm window show entries and fired alarms, and the switch's caption. (The
/// query an entry sends is built in net/Requests.h; the entries file in
/// data/settings/AlarmFile.h.)
#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "data/settings/AlarmFile.h"

namespace qelt {

/// The entry of the dialog's values: the two texts as chosen, prices "%.3f", counts "%d".
AlarmEntry MakeAlarmEntry(GoodsKey goods, double upperPrice, double lowerPrice, int volume, int netPosition);

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

/// The contract as the alarm window names it, so that contracts of one month stay apart
/// ("生丝2701" would be both 270115 and 270125): the goods' name and the whole delivery date
/// without its century ("生丝" and "20270115" give "生丝270115"); a month that is not a date
/// (the indices' names) stands alone; a blank month leaves the name.
std::string AlarmContractText(std::string_view name, std::string_view dueDate);

/// The hit's time as the alarm window shows it: "HH:MM:SS" when `text` is one (the server's
/// time of the hit), else nothing.
std::optional<std::string> AlarmHitTime(std::string_view text);

}  // namespace qelt
