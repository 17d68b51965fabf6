#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "common/DecimalScan.h"
#include "common/Numbers.h"

namespace qelt {
namespace {

/// Reads `text` with the scanners the way a bar series holds it: followed by more text (`tail`)
/// and the string's terminator, so that a short text may be read as one word, and checks the
/// values bit for bit against the general helpers. A second read with nothing readable past
/// the text takes the general path and must agree as well.
void ExpectSameAsLeadingHelpers(const std::string& text, const std::string& tail = "|20060102|200606") {
    const std::string row = text + tail;
    const char* begin = row.data();
    const char* end = begin + text.size();
    const char* readable = begin + row.size() + 1;
    const float expected = LeadingFloat(text);
    const float scanned = ScanLeadingFloat(begin, end, readable);
    ASSERT_EQ(std::memcmp(&scanned, &expected, sizeof scanned), 0)
        << "\"" << text << "\": " << scanned << " against " << expected;
    ASSERT_EQ(ScanLeadingInt(begin, end, readable), LeadingInt(text)) << "\"" << text << "\"";
    const double wide = ScanLeadingDouble(begin, end, readable), wideExpected = LeadingDouble(text);
    ASSERT_EQ(std::memcmp(&wide, &wideExpected, sizeof wide), 0) << "\"" << text << "\" as a double";
    ASSERT_EQ(ScanLeadingInt64(begin, end, readable), LeadingInt64(text)) << "\"" << text << "\"";
    const double wideAlone = ScanLeadingDouble(begin, end, end);
    ASSERT_EQ(std::memcmp(&wideAlone, &wideExpected, sizeof wide), 0) << "\"" << text << "\" as a double";
    ASSERT_EQ(ScanLeadingInt64(begin, end, end), LeadingInt64(text)) << "\"" << text << "\" with no room";
    const float alone = ScanLeadingFloat(begin, end, end);
    ASSERT_EQ(std::memcmp(&alone, &expected, sizeof alone), 0) << "\"" << text << "\" with no room";
    ASSERT_EQ(ScanLeadingInt(begin, end, end), LeadingInt(text)) << "\"" << text << "\" with no room";
}

TEST(DecimalScan, TrickyTextsReadAsTheLeadingNumberHelpersReadThem) {
    const std::vector<std::string> texts = {
        "",           "0",         "7",          "3012.50",    "12345",      "99999999",
        "100000000",  "16777216",  "16777217",   "9999999",    "9999999.",   "999999.9",
        "0.000001",   ".5",        "5.",         ".",          "..",         "1.2.3",
        "-3.5",       "+3.5",      " 3.5",       "\t12",       "  -42",      "-",
        "+",          "abc",       "12ab",       "3:rest",     "1e3",        "12.5e1",
        "1E-2",       "2e",        "0x1F",       "inf",        "nan",        "00000001",
        "0000000.1",  "1234567.8", "12345678.9", "2147483647", "2147483648", "-2147483649",
        "4294967296", "1 2",       "12 ",        "\xb9\xc9",   "1\xb9",      "0.1234567",
        "3012.5O",    ".1234567",  "1234567.",   "12345678.",  "99999999.9", "9223372036854775808",
        "-0",         "1e400",
    };
    for (const std::string& text : texts) ExpectSameAsLeadingHelpers(text);
    // Texts at the very end of the row: the terminator right after them.
    for (const std::string& text : texts) ExpectSameAsLeadingHelpers(text, "");
}

TEST(DecimalScan, RandomDigitRunsWithAPointAnywhereReadAsTheHelpersReadThem) {
    std::mt19937 random(20061208);
    const std::string alphabet = "0123456789";
    const std::string noise = "0123456789.-+ eE,x";
    for (int round = 0; round < 20000; ++round) {
        const int length = static_cast<int>(random() % 12);
        std::string text;
        for (int i = 0; i < length; ++i) text += alphabet[random() % alphabet.size()];
        if (length > 0 && random() % 3 != 0) text[random() % text.size()] = '.';
        if (random() % 8 == 0)
            text.insert(text.begin() + random() % (text.size() + 1), noise[random() % noise.size()]);
        ExpectSameAsLeadingHelpers(text);
    }
}

TEST(DecimalScan, SevenDigitDecimalsWithThePointAnywhereReadAsTheHelpersReadThem) {
    // Every place of the point, leading zeros after it, over a dense sweep of mantissas up
    // to seven digits: the word's digits and point must be taken apart right for each.
    for (int fraction = 0; fraction <= 7; ++fraction) {
        for (int mantissa = 0; mantissa <= 9999999; mantissa += mantissa < 100000 ? 1 : 997) {
            std::string digits = std::to_string(mantissa);
            digits.insert(
                0, static_cast<std::size_t>(std::max(0, fraction - static_cast<int>(digits.size()))), '0');
            digits.insert(digits.size() - static_cast<std::size_t>(fraction), ".");
            const std::string row = digits + "|2006";
            const float scanned =
                ScanLeadingFloat(row.data(), row.data() + digits.size(), row.data() + row.size());
            const float expected = LeadingFloat(digits);
            ASSERT_EQ(std::memcmp(&scanned, &expected, sizeof scanned), 0) << digits;
        }
    }
}

}  // namespace
}  // namespace qelt
