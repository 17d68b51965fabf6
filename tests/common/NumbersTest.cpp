#include <gtest/gtest.h>

#include <climits>
#include <clocale>
#include <cmath>

#include "common/Numbers.h"

namespace qelt {
namespace {

TEST(LeadingNumbers, IntegersReadAsTheCLibraryDoes) {
    EXPECT_EQ(LeadingInt("123"), 123);
    EXPECT_EQ(LeadingInt("  -42abc"), -42);
    EXPECT_EQ(LeadingInt("+7"), 7);
    EXPECT_EQ(LeadingInt("12.9"), 12);
    EXPECT_EQ(LeadingInt("abc"), 0);
    EXPECT_EQ(LeadingInt(""), 0);
    EXPECT_EQ(LeadingInt("-"), 0);
    EXPECT_EQ(LeadingInt("3:rest"), 3);
    EXPECT_EQ(LeadingInt("99999999999999999999"), 2147483647) << "clamped, never undefined";
    EXPECT_EQ(LeadingInt64("12345678901"), 12345678901LL);
}

TEST(LeadingNumbers, DecimalsReadAsTheCLibraryDoes) {
    EXPECT_DOUBLE_EQ(LeadingDouble("10.5x"), 10.5);
    EXPECT_DOUBLE_EQ(LeadingDouble(" .5"), 0.5);
    EXPECT_DOUBLE_EQ(LeadingDouble("-3."), -3.0);
    EXPECT_DOUBLE_EQ(LeadingDouble("1e2"), 100.0);
    EXPECT_DOUBLE_EQ(LeadingDouble("1e"), 1.0) << "a bare exponent mark ends the number";
    EXPECT_DOUBLE_EQ(LeadingDouble("."), 0.0);
    EXPECT_DOUBLE_EQ(LeadingDouble("abc"), 0.0);
    EXPECT_DOUBLE_EQ(LeadingDouble("inf"), 0.0);
    EXPECT_DOUBLE_EQ(LeadingDouble("0x10"), 0.0);
    EXPECT_FLOAT_EQ(LeadingFloat("12.345"), 12.345f);
}

TEST(LeadingNumbers, IgnoreTheProcessLocale) {
    // A locale with a decimal comma must not change how text is read or written.
    const char* set = std::setlocale(LC_ALL, "de_DE.UTF-8");
    EXPECT_DOUBLE_EQ(LeadingDouble("2.50"), 2.5);
    EXPECT_EQ(FormatFixed2(2.5), "2.50");
    std::setlocale(LC_ALL, "C");
    (void)set;
}

TEST(Formatting, PricesPercentagesAndVolumes) {
    EXPECT_EQ(FormatFixed2(10), "10.00");
    EXPECT_EQ(FormatFixed2(2.005), "2.00") << "rounds the binary value as printf does";
    EXPECT_EQ(FormatFixed2(2.675), "2.67");
    EXPECT_EQ(FormatFixed2(-0.001), "-0.00");
    EXPECT_EQ(FormatFixed2(0.125), "0.12") << "ties to even on exact binary halves, as printf";
    EXPECT_EQ(FormatPercent(25), "25.00%");
    EXPECT_EQ(FormatInt(-17), "-17");
    EXPECT_EQ(FormatFixed(3.14159, 3), "3.142");
}

TEST(Zero, MagnitudeBelowOneThousandth) {
    EXPECT_TRUE(IsZeroValue(0.0009));
    EXPECT_TRUE(IsZeroValue(-0.0009));
    EXPECT_FALSE(IsZeroValue(0.001));
}

TEST(HistoryProgress, NinetyDownToEightyWithoutOverflow) {
    EXPECT_EQ(HistoryProgressPercent(500, 1000), 85);
    EXPECT_EQ(HistoryProgressPercent(1000, 1000), 80);
    EXPECT_EQ(HistoryProgressPercent(1, 1000), 90);
    EXPECT_EQ(HistoryProgressPercent(0, 1000), 90);
    // Counts whose tenfold overflows an int (above 214,748,364) and a 64-bit integer.
    EXPECT_EQ(HistoryProgressPercent(300000000, 600000000), 85);
    EXPECT_EQ(HistoryProgressPercent(2147483647, 2147483647), 80);
    EXPECT_EQ(HistoryProgressPercent(LLONG_MAX - 1, LLONG_MAX), 81);
    // Out of order or hostile counts stay in range.
    EXPECT_EQ(HistoryProgressPercent(-5, 10), 90);
    EXPECT_EQ(HistoryProgressPercent(7, 0), 80);
    EXPECT_EQ(HistoryProgressPercent(LLONG_MAX, -1), 80);
    EXPECT_EQ(HistoryProgressPercent(LLONG_MIN, LLONG_MIN), 90);
}

}  // namespace
}  // namespace qelt
