#include "common/ChinaClock.h"

#include <chrono>

#include "common/CivilDate.h"

namespace qelt {
namespace {

constexpr std::int64_t kChinaOffsetSeconds = 8 * 3600;

/// YYYYMMDD of a day count since 1970-01-01.
int DateOfDays(std::int64_t days) {
    const CivilDate date = CivilFromDays(days);
    return static_cast<int>(date.year * 10000 + date.month * 100 + date.day);
}

std::int64_t UnixNow() {
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    return std::chrono::duration_cast<std::chrono::seconds>(now).count();
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

ChinaTime SystemChinaTime() { return ChinaTimeAt(UnixNow()); }

int ChinaSecondOfDay(std::int64_t unixSeconds) {
    const std::int64_t second = (unixSeconds + kChinaOffsetSeconds) % 86400;
    return static_cast<int>(second < 0 ? second + 86400 : second);
}

int SystemChinaSecondOfDay() { return ChinaSecondOfDay(UnixNow()); }

std::string ClockText(int secondOfDay) {
    const int parts[3] = {secondOfDay / 3600 % 24, secondOfDay / 60 % 60, secondOfDay % 60};
    std::string text;
    for (int part : parts) {
        if (!text.empty()) text += ':';
        text += static_cast<char>('0' + part / 10);
        text += static_cast<char>('0' + part % 10);
    }
    return text;
}

}  // namespace qelt
