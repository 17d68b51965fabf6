#include "Numbers.h"

#include <charconv>
#include <climits>
#include <optional>

#include "Text.h"

namespace qelt {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

/// Length of the longest prefix of `text` that forms a decimal floating literal.
size_t DecimalPrefixLength(std::string_view text) {
    size_t i = 0;
    size_t digits = 0;
    while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
    }
    if (digits == 0) return 0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
        if (j < text.size() && IsDigit(text[j])) {
            while (j < text.size() && IsDigit(text[j])) ++j;
            i = j;
        }
    }
    return i;
}

/// The digits of an unsigned decimal at the start of `text` ("3012.50"): their value as an
/// integer (wrapped when there are more than 19, which no caller then uses), how many there
/// are, how many follow the point, and whether an exponent comes next.
struct DecimalDigits {
    std::uint64_t mantissa = 0;
    std::size_t digits = 0, fraction = 0;
    bool exponentFollows = false;
};

DecimalDigits ScanDecimalDigits(std::string_view text) {
    DecimalDigits d;
    std::size_t i = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i, ++d.digits)
        d.mantissa = d.mantissa * 10 + static_cast<unsigned>(text[i] - '0');
    if (i < text.size() && text[i] == '.') {
        for (++i; i < text.size() && IsDigit(text[i]); ++i, ++d.digits, ++d.fraction)
            d.mantissa = d.mantissa * 10 + static_cast<unsigned>(text[i] - '0');
    }
    d.exponentFollows = i < text.size() && (text[i] == 'e' || text[i] == 'E');
    return d;
}

/// Plain decimal text with at most 15 significant digits and no exponent ("3012.50"), the
/// form nearly every price takes: the digits as an integer divided by a power of ten. Both
/// are exact doubles, and one division rounds correctly, so the result is the very value
/// the general conversion gives. Nothing when the text needs the general conversion.
std::optional<double> PlainDecimal(std::string_view text) {
    static constexpr double kPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                         1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                         1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    const DecimalDigits d = ScanDecimalDigits(text);
    if (d.digits == 0 || d.digits > 15 || d.fraction > 22 || d.exponentFollows) return std::nullopt;
    return static_cast<double>(d.mantissa) / kPowers[d.fraction];
}

}  // namespace

std::int64_t LeadingInt64(std::string_view text) {
    // Volumes and positions are short unsigned digit runs: no blanks, sign or overflow to mind.
    if (!text.empty() && text.size() <= 18 && IsDigit(text.front())) {
        std::int64_t value = 0;
        for (char c : text) {
            if (!IsDigit(c)) break;
            value = value * 10 + (c - '0');
        }
        return value;
    }
    text = TrimLeft(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    std::int64_t value = 0;
    for (char c : text) {
        if (!IsDigit(c)) break;
        if (value > (INT64_MAX - 9) / 10) {
            value = INT64_MAX;
            break;
        }
        value = value * 10 + (c - '0');
    }
    return negative ? -value : value;
}

std::optional<int> LeadingIntIfAny(std::string_view text) {
    std::string_view rest = TrimLeft(text);
    if (!rest.empty() && (rest.front() == '+' || rest.front() == '-')) rest.remove_prefix(1);
    if (rest.empty() || !IsDigit(rest.front())) return std::nullopt;
    return LeadingInt(text);
}

int LeadingInt(std::string_view text) {
    std::int64_t value = LeadingInt64(text);
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}

double LeadingDouble(std::string_view text) {
    text = TrimLeft(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (auto plain = PlainDecimal(text)) return negative ? -*plain : *plain;
    size_t length = DecimalPrefixLength(text);
    if (length == 0) return 0.0;
    double value = 0.0;
    std::from_chars(text.data(), text.data() + length, value, std::chars_format::general);
    return negative ? -value : value;
}

std::string FormatFixed(double value, int decimals) {
    char buffer[384];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    if (result.ec != std::errc()) return "0";
    return std::string(buffer, result.ptr);
}

float LeadingFloat(std::string_view text) {
    // Unsigned plain decimals of up to 7 digits: the digits and the power of ten are exact
    // floats, and a float division of exact operands rounds as the double division followed
    // by the rounding to float does (53 >= 2 * 24 + 2 bits), so the result is the same.
    static constexpr float kPowers[] = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f, 1e6f, 1e7f};
    const DecimalDigits d = ScanDecimalDigits(text);
    if (d.digits > 0 && d.digits <= 7 && !d.exponentFollows) {
        return static_cast<float>(d.mantissa) / kPowers[d.fraction];
    }
    return static_cast<float>(LeadingDouble(text));
}

std::string FormatGeneral(double value, int precision) {
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, precision);
    if (result.ec != std::errc()) return "0";
    return std::string(buffer, result.ptr);
}

std::string FormatFixed2(double value) { return FormatFixed(value, 2); }

std::string FormatPercent(double value) { return FormatFixed2(value) + "%"; }

std::string FormatInt(std::int64_t value) {
    char buffer[24];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

int HistoryProgressPercent(long long remaining, long long largest) {
    if (remaining <= 0) return 90;
    if (remaining >= largest) return 80;
    // 0 < remaining < largest: the product needs more than 64 bits only for counts beyond 9e17.
    const auto tenths = static_cast<long long>(static_cast<__int128>(remaining) * 10 / largest);
    return 90 - static_cast<int>(tenths);
}

}  // namespace qelt
