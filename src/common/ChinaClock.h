#pragma once
/// The market keeps China time (UTC+8, no daylight saving). The intraday chart's minute rules
/// need "now" in that time; they take it through a `ChinaClock`, so tests fix the moment.
#include <cstdint>
#include <functional>

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

}  // namespace qelt
