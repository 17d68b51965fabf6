#include "tools/TaArguments.h"

#include <charconv>

#include "common/Version.h"
#include "formula/FormulaNumbers.h"
#include "indicators/IndicatorTable.h"

namespace qelt::ta {
namespace {

bool ParseInt(const std::string& text, int& value) {
    const char* end = text.data() + text.size();
    auto result = std::from_chars(text.data(), end, value);
    return !text.empty() && result.ec == std::errc() && result.ptr == end;
}

std::nullopt_t Fail(std::string& error, std::string message) {
    error = std::move(message);
    return std::nullopt;
}

/// "NAME=VALUE" of --param, the value a plain decimal number.
bool ParseParameter(const std::string& text, std::pair<std::string, double>& parameter, std::string& error) {
    const std::size_t equals = text.find('=');
    if (equals == std::string::npos || equals == 0) {
        error = "--param needs NAME=VALUE";
        return false;
    }
    const std::optional<double> value =
        formula::ParseDecimal(std::string_view(text).substr(equals + 1), true);
    if (!value) {
        error = "--param " + text + ": the value is not a number";
        return false;
    }
    parameter = {text.substr(0, equals), *value};
    return true;
}

}  // namespace

const char* TaUsage() {
    return "usage: qelt-ta --bars FILE [--period day|week|month] [--last L] [--visible V] [--home DIR]\n"
           "               (--indicator CODE | --ma | --ox [--goods-no NO])\n"
           "       qelt-ta --bars FILE --formula TEXTFILE [--drawings] [--param NAME=VALUE]...\n"
           "               [--period day|week|month]\n"
           "       qelt-ta --trades FILE --period 1min|5min|15min|30min|60min\n"
           "       qelt-ta --help | --version\n"
           "\n"
           "Prints the lines of a technical indicator, the five moving averages of the main chart, the\n"
           "point-and-figure columns or the outputs of a formula of a bar file, or the minute bars of a\n"
           "file of trades, as CSV.\n"
           "\n"
           "  --bars FILE       ten fields per line: "
           "date,open_price,close_price,highest_price,lowest_price,\n"
           "                    num,avg_price,pure_num,null_num,due_date; a first line that does not start\n"
           "                    with a digit is a header; a minute bar file has the time HHMM as an\n"
           "                    eleventh field on every row\n"
           "  --period P        aggregate day bars to week or month bars first; without a mode, print\n"
           "                    those bars; with --trades the minute bars' length\n"
           "  --last L          index of the last visible bar (default: the newest)\n"
           "  --visible V       number of visible bars (default 100)\n"
           "  --home DIR        take the parameters from DIR/indi.ini (default: the built-in defaults)\n"
           "  --indicator CODE  1-5 VOL CCL VR OBV PVT, 21-27 MACD DMI BOLL SAR JS CDP EXPMA,\n"
           "                    41-49 RSI ROC KDJ EMV WR ADTM BBI AMV CCI: bar,<line names>\n"
           "  --ma              the five moving averages of the close: bar,MA<P1>,...,MA<P5>\n"
           "  --ox              the OX columns: column,open_price,close_price,highest_price,lowest_price,\n"
           "                    num,count; --goods-no NO chooses the box size rule (0009 the index,\n"
           "                    0121 dried cocoons, others raw silk)\n"
           "  --formula TEXTFILE  the statements of a formula (UTF-8), computed over the whole series:\n"
           "                    bar,<output names>, each value %.10g; an error in the text prints\n"
           "                    TEXTFILE:LINE:COL: message\n"
           "  --drawings        with --formula: the marks of its drawing statements instead of its\n"
           "                    outputs: bar,kind,p1,p2,text in bar order, then statement order; kind\n"
           "                    stickline, drawtext, drawnumber, drawicon or polyline; p1 P or P1 and p2\n"
           "                    STICKLINE's P2, each %.10g; text DRAWTEXT's text, DRAWNUMBER's X %.2f or\n"
           "                    DRAWICON's K; a text with a comma or a double quote is quoted as in\n"
           "                    RFC 4180\n"
           "  --param NAME=VALUE  defines a parameter of the formula (repeat for each)\n"
           "  --trades FILE     minute bars of trade records (20 comma-separated fields per line) in the\n"
           "                    period given: date,time,open_price,close_price,highest_price,lowest_price,\n"
           "                    num,avg_price,pure_num, one row per bar in time order (time as HHMM)\n"
           "  -h, --help        this text\n"
           "  -v, --version     the program's version\n"
           "\n"
           "A row is printed for every bar that has a value; a line without a value there leaves its field\n"
           "empty. Errors print one line on stderr and exit with status 2.\n";
}

const char* TaVersion() { return "qelt-ta " QELT_VERSION_TEXT; }

std::optional<TaArguments> ParseTaArguments(const std::vector<std::string>& args, std::string& error) {
    TaArguments parsed;
    bool periodGiven = false, modeGiven = false, windowGiven = false, homeGiven = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string name = args[i], value;
        bool hasValue = false;
        if (auto equals = name.find('='); name.rfind("--", 0) == 0 && equals != std::string::npos) {
            value = name.substr(equals + 1);
            name.resize(equals);
            hasValue = true;
        }
        auto take = [&]() -> bool {
            if (hasValue) return true;
            if (i + 1 >= args.size()) {
                error = name + " needs a value";
                return false;
            }
            value = args[++i];
            return true;
        };
        auto setMode = [&](TaMode mode) {
            if (modeGiven) {
                error = "give only one of --indicator, --ma, --ox and --formula";
                return false;
            }
            modeGiven = true;
            parsed.mode = mode;
            return true;
        };
        if (name == "--help" || name == "-h") {
            parsed.help = true;
            return parsed;
        } else if (name == "--version" || name == "-v") {
            parsed.version = true;
            return parsed;
        } else if (name == "--bars") {
            if (!take()) return std::nullopt;
            parsed.barsFile = value;
        } else if (name == "--period") {
            if (!take()) return std::nullopt;
            periodGiven = true;
            if (value == "day") {
                parsed.period = 1;
            } else if (value == "week") {
                parsed.period = 2;
            } else if (value == "month") {
                parsed.period = 3;
            } else {
                return Fail(error, "unknown period \"" + value + "\" (day, week or month)");
            }
        } else if (name == "--last") {
            windowGiven = true;
            if (!take()) return std::nullopt;
            if (!ParseInt(value, parsed.last)) return Fail(error, "--last needs a bar index");
        } else if (name == "--visible") {
            windowGiven = true;
            if (!take()) return std::nullopt;
            if (!ParseInt(value, parsed.visible) || parsed.visible < 1) {
                return Fail(error, "--visible needs a count of at least 1");
            }
        } else if (name == "--home") {
            homeGiven = true;
            if (!take()) return std::nullopt;
            parsed.home = value;
        } else if (name == "--indicator") {
            if (!take() || !setMode(TaMode::Indicator)) return std::nullopt;
            if (!ParseInt(value, parsed.code) || !FindIndicatorDefinition(parsed.code)) {
                return Fail(error, "unknown indicator code \"" + value + "\"");
            }
        } else if (name == "--ma") {
            if (hasValue) return Fail(error, "--ma takes no value");
            if (!setMode(TaMode::MovingAverages)) return std::nullopt;
        } else if (name == "--ox") {
            if (hasValue) return Fail(error, "--ox takes no value");
            if (!setMode(TaMode::OX)) return std::nullopt;
        } else if (name == "--goods-no") {
            if (!take()) return std::nullopt;
            parsed.goodsNo = value;
        } else if (name == "--formula") {
            if (!take() || !setMode(TaMode::Formula)) return std::nullopt;
            parsed.formulaFile = value;
        } else if (name == "--drawings") {
            if (hasValue) return Fail(error, "--drawings takes no value");
            parsed.drawings = true;
        } else if (name == "--param") {
            std::pair<std::string, double> parameter;
            if (!take() || !ParseParameter(value, parameter, error)) return std::nullopt;
            parsed.parameters.push_back(std::move(parameter));
        } else if (const TaOptionOutcome outcome =
                       ParseAnalysisOption(name, hasValue, value, args, i, parsed.analysis, error);
                   outcome != TaOptionOutcome::NotMine) {
            if (outcome == TaOptionOutcome::Failed) return std::nullopt;
        } else {
            error = "unknown option \"" + name + "\" (see --help)";
            return std::nullopt;
        }
    }
    if (!CheckAnalysisArguments(parsed, error)) return std::nullopt;
    if (parsed.barsFile.empty() && parsed.analysis.kind != TaAnalysis::Screen)
        return Fail(error, "--bars FILE is required (see --help)");
    if (!parsed.parameters.empty() && parsed.mode != TaMode::Formula)
        return Fail(error, "--param needs --formula");
    if (parsed.drawings && (parsed.mode != TaMode::Formula || parsed.analysis.kind != TaAnalysis::None))
        return Fail(error, "--drawings needs --formula (without --screen or --system)");
    // A formula is computed over the whole series with its own parameters.
    if (parsed.mode == TaMode::Formula) {
        if (windowGiven) return Fail(error, "--last and --visible do not apply to --formula");
        if (homeGiven) return Fail(error, "--home does not apply to --formula");
        if (!parsed.goodsNo.empty()) return Fail(error, "--goods-no does not apply to --formula");
    }
    if (!modeGiven && !periodGiven) {
        return Fail(error, "give --indicator CODE, --ma, --ox, --formula TEXTFILE or --period (see --help)");
    }
    return parsed;
}

}  // namespace qelt::ta
