#pragma once
/// The one calendar of the code base: days since 1970-01-01 of a date of the proleptic
/// Gregorian calendar and back, for every year (negative ones included), and the weekday. The
/// server's market calendar, China time, the week bars and the date strip all count days here.
#include <cstdint>

namespace qelt {

struct CivilDate {
    std::int64_t year = 1970;
    int month = 1;  ///< 1 .. 12
    int day = 1;    ///< 1 .. 31
    friend bool operator==(const CivilDate&, const CivilDate&) = default;
};

/// Days since 1970-01-01 (negative before it). `month` is 1 .. 12; a `day` beyond its month's
/// end counts on into the next month (31 April is 1 May).
std::int64_t DaysFromCivil(std::int64_t year, int month, int day);
/// The date `days` days after 1970-01-01.
CivilDate CivilFromDays(std::int64_t days);
/// 0 Sunday .. 6 Saturday of the day `days` days after 1970-01-01 (a Thursday).
int WeekdayOfDays(std::int64_t days);

}  // namespace qelt
