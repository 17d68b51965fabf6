#include "tools/TaAnalysisArguments.h"

#include <cmath>

#include "chart/Series.h"
#include "common/Numbers.h"
#include "formula/FormulaNumbers.h"
#include "formula/FormulaText.h"
#include "tools/TaArguments.h"

namespace qelt::ta {
namespace {

TaOptionOutcome Failed(std::string& error, std::string message) {
    error = std::move(message);
    return TaOptionOutcome::Failed;
}

/// A plain decimal number at least `minimum` (above it when `strictly`).
bool ParseAmount(const std::string& text, double minimum, bool strictly, double& value) {
    const std::optional<double> parsed = formula::ParseDecimal(text, true);
    if (!parsed || !std::isfinite(*parsed)) return false;
    if (strictly ? !(*parsed > minimum) : !(*parsed >= minimum)) return false;
    value = *parsed;
    return true;
}

/// "NAME=FROM:TO:STEP".
bool ParseOptimize(const std::string& text, TaOptimize& optimize) {
    const std::size_t equals = text.find('=');
    if (equals == std::string::npos || equals == 0) return false;
    optimize.name = text.substr(0, equals);
    const std::string range = text.substr(equals + 1);
    const std::size_t first = range.find(':');
    const std::size_t second = first == std::string::npos ? first : range.find(':', first + 1);
    if (second == std::string::npos || range.find(':', second + 1) != std::string::npos) return false;
    const auto from = formula::ParseDecimal(std::string_view(range).substr(0, first), true);
    const auto to =
        formula::ParseDecimal(std::string_view(range).substr(first + 1, second - first - 1), true);
    const auto step = formula::ParseDecimal(std::string_view(range).substr(second + 1), true);
    if (!from || !to || !step) return false;
    optimize.from = *from, optimize.to = *to, optimize.step = *step;
    return true;
}

/// The money options of --system: each a number with its least value.
struct MoneyOption {
    const char* name;
    double TaAnalysisArguments::*field;
    double minimum;
    bool strictly;
    const char* expected;
};

constexpr MoneyOption kMoneyOptions[] = {
    {"--capital", &TaAnalysisArguments::capital, 0.0, false, "an amount of 0 or more"},
    {"--lots", &TaAnalysisArguments::lots, 1.0, false, "a whole number of at least 1"},
    {"--multiplier", &TaAnalysisArguments::multiplier, 0.0, true, "a number above 0"},
    {"--commission", &TaAnalysisArguments::commission, 0.0, false, "a rate of 0 or more"},
    {"--slippage", &TaAnalysisArguments::slippage, 0.0, false, "a price of 0 or more"},
};

/// The files after --screen: up to the next option.
void TakeScreenFiles(const std::vector<std::string>& args, std::size_t& i, TaAnalysisArguments& parsed) {
    while (i + 1 < args.size() && args[i + 1].rfind("--", 0) != 0) parsed.screenFiles.push_back(args[++i]);
}

const MoneyOption* FindMoneyOption(const std::string& name) {
    for (const MoneyOption& option : kMoneyOptions)
        if (name == option.name) return &option;
    return nullptr;
}

/// --screen FILE..., --system, --summary.
TaOptionOutcome ParseModeOption(const std::string& name, bool hasValue, const std::string& value,
                                const std::vector<std::string>& args, std::size_t& i,
                                TaAnalysisArguments& parsed, std::string& error) {
    const TaAnalysis kind = name == "--screen" ? TaAnalysis::Screen : TaAnalysis::System;
    if (name == "--summary") {
        if (hasValue) return Failed(error, name + " takes no value");
        parsed.summary = true;
        parsed.systemOptions.push_back(name);
        return TaOptionOutcome::Taken;
    }
    if (parsed.kind != TaAnalysis::None && parsed.kind != kind)
        return Failed(error, "give only one of --screen and --system");
    parsed.kind = kind;
    if (kind == TaAnalysis::System)
        return hasValue ? Failed(error, name + " takes no value") : TaOptionOutcome::Taken;
    if (hasValue) parsed.screenFiles.push_back(value);
    TakeScreenFiles(args, i, parsed);
    return TaOptionOutcome::Taken;
}

/// --at, --optimize and the money options, with their value.
TaOptionOutcome ParseValueOption(const std::string& name, const std::string& text,
                                 TaAnalysisArguments& parsed, std::string& error) {
    if (name == "--at") {
        if (!IsBarDate(text)) return Failed(error, "--at needs a date YYYYMMDD");
        parsed.at = LeadingInt(text);
        return TaOptionOutcome::Taken;
    }
    parsed.systemOptions.push_back(name);
    if (name == "--optimize") {
        TaOptimize optimize;
        if (!ParseOptimize(text, optimize))
            return Failed(error, "--optimize needs NAME=FROM:TO:STEP with numbers");
        parsed.optimize.push_back(std::move(optimize));
        return TaOptionOutcome::Taken;
    }
    const MoneyOption& option = *FindMoneyOption(name);
    double amount = 0.0;
    const bool wholeWanted = option.field == &TaAnalysisArguments::lots;
    if (!ParseAmount(text, option.minimum, option.strictly, amount) ||
        (wholeWanted && std::trunc(amount) != amount))
        return Failed(error, name + " needs " + option.expected);
    parsed.*option.field = amount;
    return TaOptionOutcome::Taken;
}

}  // namespace

TaOptionOutcome ParseAnalysisOption(const std::string& name, bool hasValue, const std::string& value,
                                    const std::vector<std::string>& args, std::size_t& i,
                                    TaAnalysisArguments& parsed, std::string& error) {
    if (name == "--screen" || name == "--system" || name == "--summary")
        return ParseModeOption(name, hasValue, value, args, i, parsed, error);
    if (name != "--at" && name != "--optimize" && !FindMoneyOption(name)) return TaOptionOutcome::NotMine;
    if (hasValue) return ParseValueOption(name, value, parsed, error);
    if (i + 1 >= args.size()) return Failed(error, name + " needs a value");
    return ParseValueOption(name, args[++i], parsed, error);
}

bool CheckAnalysisArguments(const TaArguments& parsed, std::string& error) {
    const TaAnalysisArguments& analysis = parsed.analysis;
    auto fail = [&](std::string message) {
        error = std::move(message);
        return false;
    };
    if (analysis.at != 0 && analysis.kind != TaAnalysis::Screen) return fail("--at needs --screen");
    if (analysis.kind != TaAnalysis::System && !analysis.systemOptions.empty())
        return fail(analysis.systemOptions.front() + " needs --system");
    if (analysis.kind == TaAnalysis::None) return true;
    if (parsed.mode != TaMode::Formula)
        return fail(analysis.kind == TaAnalysis::Screen ? "--screen needs --formula TEXTFILE"
                                                        : "--system needs --formula TEXTFILE");
    if (analysis.kind == TaAnalysis::Screen) {
        if (!parsed.barsFile.empty())
            return fail("--bars does not apply to --screen (give the files after it)");
        if (analysis.screenFiles.empty()) return fail("--screen needs at least one bar file");
        return true;
    }
    if (analysis.optimize.size() > 3) return fail("--optimize takes 1 to 3 parameters");
    for (std::size_t a = 0; a < analysis.optimize.size(); ++a)
        for (std::size_t b = 0; b < a; ++b)
            if (formula::SameName(analysis.optimize[a].name, analysis.optimize[b].name))
                return fail("--optimize " + analysis.optimize[a].name + " is given twice");
    return true;
}

const char* TaAnalysisUsage() {
    return "\n"
           "Screening and trading systems:\n"
           "       qelt-ta --formula TEXTFILE --screen FILE... [--at YYYYMMDD] [--period day|week|month]\n"
           "               [--param NAME=VALUE]...\n"
           "       qelt-ta --bars FILE --formula TEXTFILE --system [--summary] [--capital X] [--lots N]\n"
           "               [--multiplier M] [--commission RATE] [--slippage S] [--period ...] [--param ...]\n"
           "       qelt-ta --bars FILE --formula TEXTFILE --system --optimize NAME=FROM:TO:STEP...\n"
           "               [other --system options]\n"
           "\n"
           "  --screen FILE...  the formula as a condition (true where its first output has a value other\n"
           "                    than 0) at each file's last bar on or before --at: file,date,<output "
           "names>,\n"
           "                    one row per selected file in the order given; a file without a bar on or\n"
           "                    before --at is passed over\n"
           "  --at YYYYMMDD     the screening date (default: each file's newest bar); a week or month bar\n"
           "                    then ends at that date\n"
           "  --system          the formula as a trading system (outputs ENTERLONG, EXITLONG, ENTERSHORT,\n"
           "                    EXITSHORT), filled at the next bar's open: entry_bar,entry_date,side,\n"
           "                    entry_price,exit_bar,exit_date,exit_price,profit, one row per trade; an "
           "open\n"
           "                    position's row has empty exit fields and its profit marked to the last "
           "close\n"
           "  --summary         key,value for trades, wins, win_rate, net_profit, gross_profit, gross_loss,\n"
           "                    profit_factor, average_trade, largest_win, largest_loss, max_drawdown,\n"
           "                    max_drawdown_pct, return_pct, exposure_pct, open_position\n"
           "  --capital X       starting capital (default 100000)\n"
           "  --lots N          lots per trade (default 1)\n"
           "  --multiplier M    units per lot (default 1)\n"
           "  --commission RATE  of each fill's value (default 0)\n"
           "  --slippage S      added to a buy's fill price, taken from a sell's (default 0)\n"
           "  --optimize NAME=FROM:TO:STEP  varies a parameter over FROM, FROM+STEP, ... up to TO (repeat\n"
           "                    for 2 or 3; at most 100000 combinations): NAME1[,NAME2[,NAME3]],net_profit,\n"
           "                    max_drawdown,trades,win_rate, the first parameter varying slowest\n"
           "\n"
           "Numbers are printed %.10g, a figure without a value (a win rate without trades) as an empty "
           "field.\n";
}

}  // namespace qelt::ta
