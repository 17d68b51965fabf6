#include "tools/TaBarFile.h"

#include <vector>

#include "common/Numbers.h"

namespace qelt::ta {

bool IsPlainNumber(std::string_view text) {
    std::size_t i = 0, digits = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
    }
    return digits > 0 && i == text.size();
}

namespace {

std::vector<std::string_view> SplitFields(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    for (;;) {
        std::size_t comma = line.find(',', start);
        fields.push_back(
            line.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start));
        if (comma == std::string_view::npos) return fields;
        start = comma + 1;
    }
}

/// A minute bar's time: one to four digits HHMM, an hour to 23, minutes to 59.
bool IsBarTime(std::string_view text) {
    if (text.empty() || text.size() > 4) return false;
    for (char c : text)
        if (!IsDigit(c)) return false;
    const int hhmm = LeadingInt(text);
    return hhmm / 100 <= 23 && hhmm % 100 <= 59;
}

bool ParseRow(std::string_view line, bool minute, CBarRow& bar, std::string& problem) {
    std::vector<std::string_view> fields = SplitFields(line);
    const std::size_t expected = CBarRow::kFieldCount + (minute ? 1 : 0);
    if (fields.size() != expected) {
        problem = "expected " + FormatInt(static_cast<std::int64_t>(expected)) + " fields, found " +
                  FormatInt(static_cast<std::int64_t>(fields.size()));
        return false;
    }
    if (minute && !IsBarTime(fields.back())) {
        problem = "time \"" + std::string(fields.back()) + "\" is not HHMM";
        return false;
    }
    const std::string_view date = fields[kBarDate];
    bool dateOk = date.size() == 8;
    for (char c : date) dateOk = dateOk && IsDigit(c);
    if (!dateOk) {
        problem = "date \"" + std::string(date) + "\" is not YYYYMMDD";
        return false;
    }
    static constexpr const char* kNames[] = {"date",         "open_price", "close_price", "highest_price",
                                             "lowest_price", "num",        "avg_price",   "pure_num",
                                             "null_num",     "due_date"};
    for (std::size_t i = kBarOpen; i <= kBarNull; ++i) {
        if (!IsPlainNumber(fields[i])) {
            problem = std::string(kNames[i]) + " \"" + std::string(fields[i]) + "\" is not a number";
            return false;
        }
    }
    bar = CBarRow(fields);
    if (minute) bar.SetTime(LeadingInt(fields.back()));
    return true;
}

}  // namespace

bool ParseBarFile(std::string_view text, BarFile& file, std::string& error) {
    file = {};
    std::size_t lineNumber = 0;
    bool firstLine = true;
    while (!text.empty()) {
        std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty()) continue;
        if (firstLine && !IsDigit(line.front())) {
            file.hasHeader = true;
            file.header = std::string(line);
            firstLine = false;
            continue;
        }
        // The first row says whether the file is of minute bars.
        if (file.bars.empty()) file.minute = SplitFields(line).size() == CBarRow::kFieldCount + 1;
        firstLine = false;
        CBarRow bar;
        std::string problem;
        if (!ParseRow(line, file.minute, bar, problem)) {
            error =
                "line " + FormatInt(static_cast<std::int64_t>(lineNumber)) + ": malformed row: " + problem;
            return false;
        }
        file.bars.push_back(std::move(bar));
    }
    return true;
}

std::string FormatBarRow(const CBarRow& bar) {
    std::string row;
    for (std::size_t i = 0; i < CBarRow::kFieldCount; ++i) {
        if (i) row += ',';
        row += bar.Get(i);
    }
    return row;
}

std::string FormatBarFileRow(const CBarRow& bar, bool minute) {
    std::string row = FormatBarRow(bar);
    if (!minute) return row;
    const std::string time = FormatInt(bar.Time());
    return row + ',' + std::string(time.size() < 4 ? 4 - time.size() : 0, '0') + time;
}

}  // namespace qelt::ta
