#include "views/intraday/TradePoint.h"

#include <algorithm>

#include "common/Numbers.h"
#include "common/Text.h"

namespace qelt {
namespace {

std::string TwoDigits(int value) {
    std::string text = FormatInt(value);
    return text.size() < 2 ? "0" + text : text;
}

}  // namespace

std::string_view FieldOf(const TradeRow& row, std::size_t index) {
    return index < row.size() ? std::string_view(row[index]) : std::string_view();
}

int DateOfRow(const TradeRow& row) { return LeadingInt(FieldOf(row, 4)); }

int MinuteOfTimeText(std::string_view time) { return LeadingInt(time.substr(0, 4)); }

TradePoint ParseTradePoint(const TradeRow& row) {
    TradePoint p;
    p.section = LeadingInt(FieldOf(row, 0));
    p.price = LeadingDouble(FieldOf(row, 1));
    p.compare = LeadingDouble(FieldOf(row, 2));
    p.volume = LeadingInt64(FieldOf(row, 3));
    p.date = DateOfRow(row);
    p.buy = LeadingInt64(FieldOf(row, 5));
    p.sell = LeadingInt64(FieldOf(row, 6));
    p.pure = LeadingInt64(FieldOf(row, 8));
    p.marker = std::string(FieldOf(row, 10));
    p.dynamic = Trim(p.marker).empty();
    p.time = LeadingInt(FieldOf(row, 11));
    p.newest = LeadingDouble(FieldOf(row, 12));
    p.dynVolume = LeadingInt64(FieldOf(row, 13));
    p.reference = LeadingDouble(FieldOf(row, 18));
    p.minuteVolume = LeadingInt64(FieldOf(row, 19));
    return p;
}

int ClampToSessions(int hhmm) {
    if (hhmm < kFirstMinute) return kFirstMinute;
    if (hhmm > 1100 && hhmm < 1330) return 1330;
    if (hhmm > kLastMinute) return kLastMinute;
    return hhmm;
}

int NextTradingMinute(int hhmm) { return ClampToSessions(hhmm % 100 == 59 ? hhmm + 41 : hhmm + 1); }

int MinuteSlot(int hhmm) {
    hhmm = ClampToSessions(hhmm);
    // Minutes past the hour beyond 59 do not occur in the sessions once clamped, but a
    // malformed time may still carry them: keep the position inside the day.
    const int minutes = hhmm / 100 * 60 + std::min(hhmm % 100, 59);
    const int slot = hhmm <= 1100 ? minutes - 9 * 60 : 121 + minutes - (13 * 60 + 30);
    return std::clamp(slot, 0, kMinuteSlotsPerDay);
}

int MinuteOfSlot(int slot) {
    slot = std::clamp(slot, 0, kMinuteSlotsPerDay);
    const int minutes = slot <= 120 ? 9 * 60 + slot : 13 * 60 + 30 + slot - 121;
    return minutes / 60 * 100 + minutes % 60;
}

std::string MonthDayText(int date) {
    return TwoDigits(date / 100 % 100) + "月" + TwoDigits(date % 100) + "日";
}

std::string DashedMonthDay(int date) {
    if (date == 0) return "---";
    return TwoDigits(date / 100 % 100) + "-" + TwoDigits(date % 100);
}

std::string SectionText(int section) {
    std::string text = FormatInt(section + 1);
    return text.size() < 3 ? std::string(3 - text.size(), '0') + text : text;
}

std::string TimeText(int time) {
    std::string text = FormatInt(time);
    return text.size() < 6 ? std::string(6 - text.size(), '0') + text : text;
}

}  // namespace qelt
