#pragma once
/// Numbers travel as text. These helpers read and write them independently of the user's
/// locale (the Qt application runs with it installed, so the C library's atof/printf would
/// read and write "," as the decimal point in some locales).
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qelt {

/// "Leading number, 0 when none", as the C library's atoi: leading white space, an optional
/// sign, then decimal digits; anything else ends the number. "12ab" is 12, "abc" and "" are 0.
/// Values beyond the int range are clamped to it.
int LeadingInt(std::string_view text);

/// As LeadingInt, but nothing when the text holds no leading number at all ("", "abc", "-",
/// "|1"): for replies where a missing number must not read as 0.
std::optional<int> LeadingIntIfAny(std::string_view text);

/// As LeadingInt but 64-bit.
std::int64_t LeadingInt64(std::string_view text);

/// "Leading number, 0 when none", as the C library's atof for decimal text: leading white
/// space, an optional sign, digits with an optional "." fraction and an optional exponent.
/// "10.5x" is 10.5, ".5" is 0.5, "x" is 0. Hexadecimal, "inf" and "nan" read as 0.
double LeadingDouble(std::string_view text);

/// The same value rounded to single precision, for the quantities computed in 32-bit floats.
/// Exactly static_cast<float>(LeadingDouble(text)), faster for short plain decimals.
float LeadingFloat(std::string_view text);

/// A value counts as zero when its magnitude is below 0.001.
inline bool IsZeroValue(double value) { return value < 0.001 && value > -0.001; }

/// "%.2f" with "." as the decimal point.
std::string FormatFixed2(double value);

/// "%.<decimals>f" with "." as the decimal point (decimals 0 to 9).
std::string FormatFixed(double value, int decimals);

/// "%.<precision>g" with "." as the decimal point (precision 1 to 17): six significant digits
/// for "%.6g", trailing zeros removed, exponent form for very large or small magnitudes.
std::string FormatGeneral(double value, int precision);

/// "%.2f%%".
std::string FormatPercent(double value);

/// "%d".
std::string FormatInt(std::int64_t value);

/// The history step of the start-up synchronisation as a percentage: 90 - remaining * 10 /
/// largest, where `remaining` is the count of the latest "his" reply and `largest` the
/// largest count seen so far. Computed without overflow for any counts the server sends and
/// kept within 80..90: 90 when nothing remains (remaining <= 0), 80 when the remaining count
/// is at least the largest one (including largest <= 0).
int HistoryProgressPercent(long long remaining, long long largest);

}  // namespace qelt
