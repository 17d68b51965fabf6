#pragma once
/// Small text rules shared by every layer. "White space" is the C locale's: blank, tab,
/// line feed, vertical tab, form feed and carriage return.
#include <span>
#include <string>
#include <string_view>

namespace qelt {

inline bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

std::string_view TrimLeft(std::string_view text);
std::string_view TrimRight(std::string_view text);
std::string_view Trim(std::string_view text);

/// Replaces every occurrence of `from` (non-empty) in `text` by `to`.
std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to);

/// One field of a CSV file (RFC 4180): a field holding ",", a double quote, CR or LF is
/// wrapped in double quotes with every double quote inside doubled; any other field is
/// returned byte for byte. Applied to UTF-8 before the GBK conversion (no GBK trail byte is
/// a comma or a quote, so the quoting survives it).
std::string CsvField(std::string_view field);
/// Appends one CSV line: the fields (each as CsvField makes it) separated by commas, then
/// "\r\n" as the exports end their lines.
void AppendCsvLine(std::string& out, std::span<const std::string> fields);

}  // namespace qelt
