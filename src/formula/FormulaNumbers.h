#pragma once
/// Numbers of the formula language and of the formula file, read and written without the
/// user's locale (beside common/Numbers.h, whose leading-number reads give 0 for what is
/// not a number; here a text that is not exactly a number must be told apart).
#include <optional>
#include <string>
#include <string_view>

namespace qelt::formula {

/// An ASCII decimal digit (never a locale's idea of one).
inline bool IsDigit(char c) { return c >= '0' && c <= '9'; }

/// The value of `text` when the whole of it is one decimal literal: digits with an optional
/// fraction ("12", "0.5", ".5", "3.") and an optional exponent ("1e3", "2E-4"), with an
/// optional leading sign when `signAllowed`. Nothing for anything else ("", "1e", "0x10",
/// "nan", " 1") and for a literal beyond the range of a double (overflow or underflow).
std::optional<double> ParseDecimal(std::string_view text, bool signAllowed);

/// The shortest text that reads back as exactly `value` ("0.1", "12", "1e+20"); finite
/// values only.
std::string FormatShortest(double value);

}  // namespace qelt::formula
