#include <gtest/gtest.h>

#include <charconv>
#include <climits>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>

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
    // The exponent mark in either case, with or without its sign: never read as the end of a
    // plain decimal ("2.5E3" is not 2.5).
    EXPECT_DOUBLE_EQ(LeadingDouble("2.5E3"), 2500.0);
    EXPECT_DOUBLE_EQ(LeadingDouble("2.5e3"), 2500.0);
    EXPECT_DOUBLE_EQ(LeadingDouble("15E-1|next"), 1.5);
    EXPECT_DOUBLE_EQ(LeadingDouble("-4E+2"), -400.0);
    EXPECT_DOUBLE_EQ(LeadingDouble("7E"), 7.0);
    EXPECT_DOUBLE_EQ(LeadingDouble("7E-"), 7.0) << "a sign without digits ends the number too";
    EXPECT_FLOAT_EQ(LeadingFloat("1.25E2"), 125.0f);
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

TEST(LeadingNumbers, PlainDecimalsReadBitForBitAsTheGeneralConversion) {
    // Prices take the short path; it must give exactly the correctly rounded value.
    std::mt19937_64 random(3);
    for (int n = 0; n < 200000; ++n) {
        std::string text = random() % 4 == 0 ? "-" : "";
        const int whole = static_cast<int>(random() % 10), fraction = static_cast<int>(random() % 8);
        for (int i = 0; i < whole; ++i) text += static_cast<char>('0' + random() % 10);
        if (fraction > 0 || random() % 2) text += '.';
        for (int i = 0; i < fraction; ++i) text += static_cast<char>('0' + random() % 10);
        if (text.find_first_of("0123456789") == std::string::npos) continue;
        double expected = 0;
        std::from_chars(text.data() + (text[0] == '-'), text.data() + text.size(), expected);
        if (text[0] == '-') expected = -expected;
        const double got = LeadingDouble(text);
        ASSERT_EQ(std::memcmp(&got, &expected, sizeof got), 0) << text;
        const float single = LeadingFloat(text), expectedSingle = static_cast<float>(expected);
        ASSERT_EQ(std::memcmp(&single, &expectedSingle, sizeof single), 0) << text;
    }
    EXPECT_DOUBLE_EQ(LeadingDouble("1234567890.123456"), 1234567890.123456) << "16 digits: the general path";
    EXPECT_EQ(LeadingInt64("123456789012345678x"), 123456789012345678) << "a volume's short path";
    EXPECT_EQ(LeadingInt64("1234567890123456789"), 1234567890123456789) << "19 digits: the general path";
    EXPECT_EQ(LeadingInt("2147483648"), 2147483647);
    EXPECT_DOUBLE_EQ(LeadingDouble("12.5e1"), 125.0);
    EXPECT_FLOAT_EQ(LeadingFloat("12.5e1"), 125.0f);
    EXPECT_FLOAT_EQ(LeadingFloat(" 3.5"), 3.5f);
    EXPECT_FLOAT_EQ(LeadingFloat("16777217"), 16777216.0f) << "eight digits: the general path";
}

TEST(FormatNumbers, GeneralFormatMatchesTheCLibrarysSixSignificantDigits) {
    for (double v :
         {0.0, -0.0, 1.0, 1234567.0, 0.0001, 0.00001234, 123456.5, 99999.95, -2.5e-7, 1e21, 33.3333333}) {
        char expected[64];
        std::snprintf(expected, sizeof expected, "%.6g", v);
        EXPECT_EQ(FormatGeneral(v, 6), expected) << expected;
    }
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
