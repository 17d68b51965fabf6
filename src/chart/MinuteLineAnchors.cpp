#include "chart/MinuteLineAnchors.h"

#include <algorithm>

#include "chart/MinuteBars.h"
#include "common/CivilDate.h"

namespace qelt {
namespace {

constexpr int kMinutesPerDay = 24 * 60;

/// A bar slot in time: the day (days since 1970) and the slot of that day.
struct Slot {
    std::int64_t day = 0;
    int slot = 0;
};

bool IsWeekday(std::int64_t day) {
    const int weekday = WeekdayOfDays(day);
    return weekday >= 1 && weekday <= 5;
}

int StampOf(const Slot& s, int minutes) {
    const int hhmm = SlotTime(s.slot, minutes);
    return static_cast<int>(s.day * kMinutesPerDay + hhmm / 100 * 60 + hhmm % 100);
}

Slot SlotOfStamp(int stamp, int minutes) {
    const std::int64_t day =
        stamp >= 0 ? stamp / kMinutesPerDay : -((-stamp + kMinutesPerDay - 1) / kMinutesPerDay);
    const int minuteOfDay = static_cast<int>(stamp - day * kMinutesPerDay);
    const int hhmm = minuteOfDay / 60 * 100 + minuteOfDay % 60;
    const int number = DayMinuteNumber(TradeMinute(static_cast<std::int64_t>(hhmm) * 100));
    const int perSession = BarsPerDay(minutes) / 2;
    return {day, number / kSessionMinutes * perSession + number % kSessionMinutes / minutes};
}

Slot Step(Slot s, int minutes, bool forward) {
    const int slots = BarsPerDay(minutes);
    if (forward) {
        if (++s.slot < slots) return s;
        s.slot = 0;
        do ++s.day;
        while (!IsWeekday(s.day));
    } else {
        if (--s.slot >= 0) return s;
        s.slot = slots - 1;
        do --s.day;
        while (!IsWeekday(s.day));
    }
    return s;
}

}  // namespace

int MinuteStamp(const CBarRow& bar) {
    const std::int64_t date = bar.Date();
    if (date < 19000101 || date > 29991231) return 0;
    const std::int64_t day =
        DaysFromCivil(date / 10000, static_cast<int>(date / 100 % 100), static_cast<int>(date % 100));
    return static_cast<int>(day * kMinutesPerDay + bar.Time() / 100 * 60 + bar.Time() % 100);
}

int IndexOfStamp(const BarSeries& bars, int stamp, int minutes) {
    if (bars.empty()) return 0;
    const int n = static_cast<int>(bars.size());
    const int first = MinuteStamp(bars.front()), last = MinuteStamp(bars.back());
    if (stamp > last) {
        Slot s = SlotOfStamp(last, minutes);
        int index = n - 1;
        for (int k = 0; k < kMaxSlotSteps && StampOf(s, minutes) < stamp; ++k, ++index)
            s = Step(s, minutes, true);
        return index;
    }
    if (stamp < first) {
        Slot s = SlotOfStamp(first, minutes);
        int index = 0;
        for (int k = 0; k < kMaxSlotSteps && StampOf(s, minutes) > stamp; ++k, --index)
            s = Step(s, minutes, false);
        return index;
    }
    // Within the series: the bar at the stamp, or the next one after a slot without trades.
    const auto at = std::lower_bound(bars.begin(), bars.end(), stamp,
                                     [](const CBarRow& bar, int s) { return MinuteStamp(bar) < s; });
    return static_cast<int>(at - bars.begin());
}

int StampOfIndex(const BarSeries& bars, int index, int minutes) {
    if (bars.empty()) return 0;
    const int n = static_cast<int>(bars.size());
    if (index >= 0 && index < n) return MinuteStamp(bars[static_cast<std::size_t>(index)]);
    const bool forward = index >= n;
    Slot s = SlotOfStamp(MinuteStamp(forward ? bars.back() : bars.front()), minutes);
    const int steps = std::min(forward ? index - (n - 1) : -index, kMaxSlotSteps);
    for (int k = 0; k < steps; ++k) s = Step(s, minutes, forward);
    return StampOf(s, minutes);
}

std::vector<CMyLine> LinesAtIndexes(std::vector<CMyLine> lines, const BarSeries& bars, int minutes) {
    for (CMyLine& line : lines)
        for (CKLinePoint& anchor : line.anchors) anchor.index = IndexOfStamp(bars, anchor.index, minutes);
    return lines;
}

std::vector<CMyLine> LinesAtStamps(std::vector<CMyLine> lines, const BarSeries& bars, int minutes) {
    for (CMyLine& line : lines)
        for (CKLinePoint& anchor : line.anchors) anchor.index = StampOfIndex(bars, anchor.index, minutes);
    return lines;
}

}  // namespace qelt
