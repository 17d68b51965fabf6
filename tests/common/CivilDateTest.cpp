// The one calendar: days since 1970 and back over every era, negative years included, and the
// weekday, checked against dates whose day counts are known.
#include <gtest/gtest.h>

#include "common/ChinaClock.h"
#include "common/CivilDate.h"

namespace qelt {
namespace {

TEST(CivilDate, KnownDaysAndWeekdays) {
    EXPECT_EQ(DaysFromCivil(1970, 1, 1), 0);
    EXPECT_EQ(DaysFromCivil(2000, 3, 1), 11017);
    EXPECT_EQ(DaysFromCivil(1969, 12, 31), -1);
    EXPECT_EQ(DaysFromCivil(0, 3, 1), -719468) << "the start of the calendar's eras";
    EXPECT_EQ(DaysFromCivil(-1, 12, 31), -719529) << "year -1 (2 BC) is no leap year";
    EXPECT_EQ(DaysFromCivil(-400, 3, 1), -719468 - 146097) << "one whole era before";
    EXPECT_EQ(DaysFromCivil(2026, 4, 31), DaysFromCivil(2026, 5, 1)) << "a day past the month runs on";
    EXPECT_EQ(WeekdayOfDays(0), 4) << "1970-01-01 was a Thursday";
    EXPECT_EQ(WeekdayOfDays(DaysFromCivil(2026, 12, 8)), 2) << "a Tuesday";
    EXPECT_EQ(WeekdayOfDays(-1), 3);
    EXPECT_EQ(WeekdayOfDays(DaysFromCivil(-1, 12, 31)), WeekdayOfDays(DaysFromCivil(-1, 12, 24)));
}

TEST(CivilDate, EveryDayRoundTripsAcrossLeapDaysCenturiesAndNegativeYears) {
    // Two years of days around each of these turns of the year, one day after another.
    for (std::int64_t year : {-801, -401, -101, -5, -1, 0, 1, 100, 1600, 1900, 2000, 2024, 2100}) {
        const std::int64_t first = DaysFromCivil(year, 1, 1) - 366;
        CivilDate previous = CivilFromDays(first - 1);
        for (std::int64_t days = first; days < first + 732; ++days) {
            const CivilDate date = CivilFromDays(days);
            ASSERT_EQ(DaysFromCivil(date.year, date.month, date.day), days) << year;
            const bool nextInMonth =
                date.year == previous.year && date.month == previous.month && date.day == previous.day + 1;
            const bool firstOfNextMonth = date.day == 1 && (date.month == previous.month % 12 + 1);
            ASSERT_TRUE(nextInMonth || firstOfNextMonth)
                << date.year << "-" << date.month << "-" << date.day << " after " << previous.day;
            previous = date;
        }
    }
    const auto hasLeapDay = [](std::int64_t year) {
        return CivilFromDays(DaysFromCivil(year, 2, 29)).month == 2;
    };
    EXPECT_TRUE(hasLeapDay(2000));
    EXPECT_FALSE(hasLeapDay(1900));
    EXPECT_TRUE(hasLeapDay(-4));
    EXPECT_FALSE(hasLeapDay(-100));
    EXPECT_TRUE(hasLeapDay(-400));
}

TEST(CivilDate, ChinaTimeUsesTheSameCalendarBeforeTheEpoch) {
    EXPECT_EQ(ChinaTimeAt(-1), (ChinaTime{19700101, 759})) << "08:00 China time less a second";
    EXPECT_EQ(ChinaTimeAt(-8 * 3600 - 1), (ChinaTime{19691231, 2359}));
    EXPECT_EQ(ChinaTimeAt(DaysFromCivil(-1, 12, 31) * 86400).date, -10000 + 1231);
    EXPECT_EQ(ChinaSecondOfDay(-1), 8 * 3600 - 1);
    EXPECT_EQ(ClockText(ChinaSecondOfDay(1709137800)), "00:30:00");
}

}  // namespace
}  // namespace qelt
