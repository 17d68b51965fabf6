#include "formula/FormulaNumbers.h"

#include <charconv>
#include <system_error>

namespace qelt::formula {
namespace {

/// Length of the decimal literal at the start of `text` (0 when there is none).
std::size_t LiteralLength(std::string_view text) {
    std::size_t i = 0, digits = 0;
    while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
    }
    if (digits == 0) return 0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
        if (j >= text.size() || !IsDigit(text[j])) return 0;  // "1e" is no literal
        while (j < text.size() && IsDigit(text[j])) ++j;
        i = j;
    }
    return i;
}

}  // namespace

std::optional<double> ParseDecimal(std::string_view text, bool signAllowed) {
    bool negative = false;
    if (signAllowed && !text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty() || LiteralLength(text) != text.size()) return std::nullopt;
    // from_chars reads "." as the decimal point whatever the locale; it refuses a leading
    // "." only for want of a digit before it, so ".5" goes in as "0.5".
    std::string buffer;
    if (text.front() == '.') {
        buffer = "0";
        buffer += text;
        text = buffer;
    }
    double value = 0.0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size()) return std::nullopt;
    return negative ? -value : value;
}

std::string FormatShortest(double value) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    if (result.ec != std::errc()) return "0";
    return std::string(buffer, result.ptr);
}

}  // namespace qelt::formula
