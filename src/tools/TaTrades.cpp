#include "tools/TaTrades.h"

#include "chart/MinuteBars.h"
#include "common/Files.h"
#include "common/Numbers.h"
#include "tools/TaBarFile.h"

namespace qelt::ta {
namespace {

constexpr std::size_t kMaxTradesFileBytes = std::size_t{1} << 30;
constexpr std::size_t kTradeFields = 20;

bool IsDigits(std::string_view text, std::size_t least, std::size_t most) {
    if (text.size() < least || text.size() > most) return false;
    for (char c : text)
        if (!IsDigit(c)) return false;
    return true;
}

/// Why a row is malformed; empty when it is not.
std::string ProblemOf(const TradeRow& row) {
    if (row.size() != kTradeFields)
        return "expected 20 fields, found " + FormatInt(static_cast<std::int64_t>(row.size()));
    if (!IsPlainNumber(row[kTradePriceField]))
        return "price \"" + row[kTradePriceField] + "\" is not a number";
    // A record without a continuous price does not count: nothing else of it is read.
    if (LeadingDouble(row[kTradePriceField]) == 0.0) return {};
    if (!IsDigits(row[kTradeDateField], 8, 8)) return "date \"" + row[kTradeDateField] + "\" is not YYYYMMDD";
    if (!IsDigits(row[kTradeTimeField], 1, 6)) return "time \"" + row[kTradeTimeField] + "\" is not HHMMSS";
    if (!IsPlainNumber(row[kTradeVolumeField]))
        return "volume \"" + row[kTradeVolumeField] + "\" is not a number";
    if (!IsPlainNumber(row[kTradePureField]))
        return "pure_num \"" + row[kTradePureField] + "\" is not a number";
    return {};
}

TradeRow SplitRow(std::string_view line) {
    TradeRow fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = line.find(',', start);
        fields.emplace_back(
            line.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start));
        if (comma == std::string_view::npos || fields.size() > kTradeFields) return fields;
        start = comma + 1;
    }
}

int MinutesOfPeriod(std::string_view period) {
    for (int minutes : kMinutePeriods)
        if (period == FormatInt(minutes) + "min") return minutes;
    return 0;
}

}  // namespace

bool AsksForTrades(const std::vector<std::string>& args) {
    for (const std::string& arg : args)
        if (arg == "--trades" || arg.rfind("--trades=", 0) == 0) return true;
    return false;
}

bool ParseTradesFile(std::string_view text, std::vector<TradeRow>& trades, std::string& error) {
    trades.clear();
    std::size_t lineNumber = 0;
    bool firstLine = true;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty()) continue;
        const bool header = firstLine && !IsDigit(line.front());
        firstLine = false;
        if (header) continue;
        TradeRow row = SplitRow(line);
        if (const std::string problem = ProblemOf(row); !problem.empty()) {
            error =
                "line " + FormatInt(static_cast<std::int64_t>(lineNumber)) + ": malformed row: " + problem;
            return false;
        }
        trades.push_back(std::move(row));
    }
    return true;
}

std::string FormatMinuteBarRows(const std::vector<TradeRow>& trades, int minutes) {
    std::string out = "date,time,open_price,close_price,highest_price,lowest_price,num,avg_price,pure_num\n";
    for (const CBarRow& bar : MinuteBarsFromTrades(trades, minutes, "")) {
        const std::string time = FormatInt(bar.Time());
        out += bar[kBarDate];
        out += ',' + std::string(4 - time.size(), '0') + time;
        for (BarField field : {kBarOpen, kBarClose, kBarHigh, kBarLow, kBarNum, kBarAvg, kBarPure}) {
            out += ',';
            out += bar[field];
        }
        out += '\n';
    }
    return out;
}

int RunTrades(const std::vector<std::string>& args, std::string& out, std::string& error) {
    auto fail = [&](const std::string& message) {
        error = "qelt-ta: " + message;
        return 2;
    };
    std::string file, period;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string name = args[i], value;
        bool hasValue = false;
        if (const std::size_t equals = name.find('=');
            name.rfind("--", 0) == 0 && equals != std::string::npos) {
            value = name.substr(equals + 1);
            name.resize(equals);
            hasValue = true;
        }
        if (name != "--trades" && name != "--period")
            return fail("\"" + name + "\" does not apply to --trades (see --help)");
        if (!hasValue) {
            if (i + 1 >= args.size()) return fail(name + " needs a value");
            value = args[++i];
        }
        std::string& target = name == "--trades" ? file : period;
        if (!target.empty()) return fail(name + " is given twice");
        target = value;
    }
    if (file.empty()) return fail("--trades needs a FILE");
    const int minutes = MinutesOfPeriod(period);
    if (minutes == 0) return fail("--trades needs --period 1min, 5min, 15min, 30min or 60min");
    const std::optional<std::string> text = ReadWholeFile(file, kMaxTradesFileBytes);
    if (!text) return fail("cannot read " + file);
    std::vector<TradeRow> trades;
    std::string problem;
    if (!ParseTradesFile(*text, trades, problem)) return fail(file + ": " + problem);
    out = FormatMinuteBarRows(trades, minutes);
    return 0;
}

}  // namespace qelt::ta
