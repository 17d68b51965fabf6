#include "Numbers.h"

#include <charconv>
#include <climits>

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

}  // namespace

std::int64_t LeadingInt64(std::string_view text) {
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
