#pragma once
/// The market keeps China time (UTC+8, no daylight saving). The intraday chart's minute rules
/// need "now" in that time; they take it through a `ChinaClock`, so tests fix the moment.
#include <cstdint>
#include <functional>
#include <string>

namespace qelt {

struct ChinaTime {
    int date = 0;  ///< YYYYMMDD
    int hhmm = 0;  ///< hours × 100 + minutes, 0 .. 2359
    friend bool operator==(const ChinaTime&, const ChinaTime&) = default;
};

using ChinaClock = std::function<ChinaTime()>;

/// China date and time of a moment given in seconds since 1970-01-01 00:00 UTC. The date is
/// China's too: at 17:00 UTC it is already 01:00 of the next day there.
ChinaTime ChinaTimeAt(std::int64_t unixSeconds);

/// China date and time now, from the system clock.
ChinaTime SystemChinaTime();

/// Seconds since China's midnight of a moment given in seconds since 1970-01-01 00:00 UTC.
int ChinaSecondOfDay(std::int64_t unixSeconds);
/// Seconds since China's midnight now, from the system clock.
int SystemChinaSecondOfDay();
/// "HH:MM:SS" of a second of the day (0 .. 86399).
std::string ClockText(int secondOfDay);

}  // namespace qelt
