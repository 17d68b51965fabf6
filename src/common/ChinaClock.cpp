#include "common/ChinaClock.h"

#include <chrono>

namespace qelt {
namespace {

constexpr std::int64_t kChinaOffsetSeconds = 8 * 3600;

/// Civil date of a day count since 1970-01-01 (proleptic Gregorian calendar).
int DateOfDays(std::int64_t days) {
    days += 719468;
    const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const std::int64_t dayOfEra = days - era * 146097;
    const std::int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::int64_t mp = (5 * dayOfYear + 2) / 153;
    const std::int64_t day = dayOfYear - (153 * mp + 2) / 5 + 1;
    const std::int64_t month = mp < 10 ? mp + 3 : mp - 9;
    const std::int64_t year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
    return static_cast<int>(year * 10000 + month * 100 + day);
}

}  // namespace

ChinaTime ChinaTimeAt(std::int64_t unixSeconds) {
    const std::int64_t local = unixSeconds + kChinaOffsetSeconds;
    std::int64_t days = local / 86400;
    std::int64_t second = local % 86400;
    if (second < 0) {
        second += 86400;
        --days;
    }
    return {DateOfDays(days), static_cast<int>(second / 3600 * 100 + second % 3600 / 60)};
}

ChinaTime SystemChinaTime() {
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    return ChinaTimeAt(std::chrono::duration_cast<std::chrono::seconds>(now).count());
}

}  // namespace qelt
