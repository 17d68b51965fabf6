#include "server/Calendar.h"

#include "common/CivilDate.h"
#include "common/Numbers.h"

namespace qelt::server {

long DaysFromDate(int yyyymmdd) {
    return static_cast<long>(DaysFromCivil(yyyymmdd / 10000, yyyymmdd / 100 % 100, yyyymmdd % 100));
}

int DateFromDays(long days) {
    const CivilDate date = CivilFromDays(days);
    return static_cast<int>(date.year * 10000 + date.month * 100 + date.day);
}

int AddDays(int yyyymmdd, int days) { return DateFromDays(DaysFromDate(yyyymmdd) + days); }

int Weekday(int yyyymmdd) { return WeekdayOfDays(DaysFromDate(yyyymmdd)); }

bool IsTradingDay(int yyyymmdd) {
    int w = Weekday(yyyymmdd);
    return w != 0 && w != 6;
}

int PreviousTradingDay(int yyyymmdd) {
    int d = AddDays(yyyymmdd, -1);
    while (!IsTradingDay(d)) d = AddDays(d, -1);
    return d;
}

int AddMonths(int yyyymmdd, int months) {
    int y = yyyymmdd / 10000;
    int m = yyyymmdd / 100 % 100 - 1 + months;
    y += m >= 0 ? m / 12 : -((11 - m) / 12);
    m = ((m % 12) + 12) % 12;
    return y * 10000 + (m + 1) * 100 + 1;
}

std::string DateText(int yyyymmdd) { return FormatInt(yyyymmdd); }

namespace {
constexpr int kMorningOpen = 9 * 3600;
constexpr int kMorningClose = 11 * 3600;
constexpr int kAfternoonOpen = 13 * 3600 + 1800;
constexpr int kAfternoonClose = 15 * 3600 + 1800;
constexpr int kHalf = kMorningClose - kMorningOpen;
}  // namespace

int SessionSecondToClock(int s) {
    int wall = s < kHalf ? kMorningOpen + s : kAfternoonOpen + (s - kHalf);
    if (s >= kSessionSeconds) wall = kAfternoonClose;
    return wall / 3600 * 10000 + wall / 60 % 60 * 100 + wall % 60;
}

int ClockToSessionSecond(int t) {
    if (t <= kMorningOpen) return 0;
    if (t <= kMorningClose) return t - kMorningOpen;
    if (t <= kAfternoonOpen) return kHalf;
    if (t <= kAfternoonClose) return kHalf + (t - kAfternoonOpen);
    return kSessionSeconds;
}

MarketTime MarketTimeAt(std::int64_t unixSeconds, bool demo) {
    std::int64_t china = unixSeconds + 8 * 3600;
    long days = static_cast<long>(china >= 0 ? china / 86400 : (china - 86399) / 86400);
    MarketTime t;
    t.date = DateFromDays(days);
    t.secondOfDay = static_cast<int>(china - static_cast<std::int64_t>(days) * 86400);
    if (!demo) {
        if (IsTradingDay(t.date)) {
            t.sessionSecond = ClockToSessionSecond(t.secondOfDay);
        } else {
            // A closed day shows the last trading day as it ended.
            t.date = PreviousTradingDay(t.date);
            t.sessionSecond = kSessionSeconds;
        }
        return t;
    }
    t.cycle = t.secondOfDay / kSessionSeconds;
    t.sessionSecond = t.secondOfDay % kSessionSeconds;
    int clock = SessionSecondToClock(t.sessionSecond);
    t.secondOfDay = clock / 10000 * 3600 + clock / 100 % 100 * 60 + clock % 100;
    return t;
}

}  // namespace qelt::server
