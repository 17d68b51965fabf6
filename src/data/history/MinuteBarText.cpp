#include "data/history/MinuteBarText.h"

#include <array>

#include "common/Numbers.h"

namespace qelt {
namespace {

constexpr std::size_t kLineFields = 9;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

/// Optional minus, digits, optional "." and digits: what FormatFixed2 and FormatInt write.
bool IsPlainNumber(std::string_view text) {
    std::size_t i = 0, digits = 0;
    if (i < text.size() && text[i] == '-') ++i;
    while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
    }
    return digits > 0 && i == text.size();
}

bool IsSessionTime(std::string_view text) {
    if (text.empty() || text.size() > 4) return false;
    for (char c : text)
        if (!IsDigit(c)) return false;
    const int hhmm = LeadingInt(text);
    // A bar starts at a minute of a session: 0900-1059 or 1330-1529.
    return hhmm % 100 < 60 && ((hhmm >= 900 && hhmm < 1100) || (hhmm >= 1330 && hhmm < 1530));
}

}  // namespace

std::string FormatMinuteBars(const BarSeries& bars) {
    std::string text;
    text.reserve(bars.size() * 48);
    for (const CBarRow& bar : bars) {
        text += FormatInt(bar.Time());
        for (BarField field :
             {kBarOpen, kBarClose, kBarHigh, kBarLow, kBarNum, kBarAvg, kBarPure, kBarNull}) {
            text += ',';
            text += bar[field];
        }
        text += '\n';
    }
    return text;
}

bool ParseMinuteBars(std::string_view text, std::string_view date, std::string_view dueDate, BarSeries& out) {
    BarSeries bars;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (line.size() > kMaxMinuteLine || bars.size() >= kMaxMinuteBarsPerDay) return false;
        std::array<std::string_view, kLineFields> fields{};
        std::size_t count = 0, start = 0;
        for (;;) {
            const std::size_t comma = line.find(',', start);
            if (count == kLineFields) return false;
            fields[count++] =
                line.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start);
            if (comma == std::string_view::npos) break;
            start = comma + 1;
        }
        if (count != kLineFields || !IsSessionTime(fields[0])) return false;
        for (std::size_t k = 1; k < kLineFields; ++k)
            if (!IsPlainNumber(fields[k])) return false;
        CBarRow bar({date, fields[1], fields[2], fields[3], fields[4], fields[5], fields[6], fields[7],
                     fields[8], dueDate});
        bar.SetTime(LeadingInt(fields[0]));
        bars.push_back(std::move(bar));
    }
    out.insert(out.end(), std::make_move_iterator(bars.begin()), std::make_move_iterator(bars.end()));
    return true;
}

}  // namespace qelt
