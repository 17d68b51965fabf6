#pragma once
/// The command line of qelt-ta, the indicator calculator:
///   qelt-ta --bars FILE [--period day|week|month] [--last L] [--visible V] [--home DIR]
///           (--indicator CODE | --ma | --ox [--goods-no NO])
///   qelt-ta --bars FILE --formula TEXTFILE [--drawings] [--param NAME=VALUE]... [--period day|week|month]
///   qelt-ta --help | --version
/// The trades mode (--trades, TaTrades.h) and the analysis modes (--screen, --system,
/// TaAnalysisArguments.h) have lines of their own in the usage.
/// Options take their value as the next argument or after "=" ("--last=40", "--param=N=5").
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "tools/TaAnalysisArguments.h"

namespace qelt::ta {

enum class TaMode { Bars, Indicator, MovingAverages, OX, Formula };

struct TaArguments {
    bool help = false;
    bool version = false;
    std::string barsFile;
    int period = 1;  ///< 1 day, 2 week, 3 month
    int last = -1;   ///< -1: the newest bar
    int visible = 100;
    std::string home;  ///< directory with indi.ini; empty: the defaults
    TaMode mode = TaMode::Bars;
    int code = 0;
    std::string goodsNo;
    std::string formulaFile;
    /// The formula's parameters in the order given: each name with its value (the default,
    /// minimum and maximum all at once: ranges do not apply here).
    std::vector<std::pair<std::string, double>> parameters;
    /// --drawings: the marks of the formula's drawing statements instead of its outputs.
    bool drawings = false;
    /// --screen, --system and their options (TaAnalysisArguments.h).
    TaAnalysisArguments analysis;
};

/// The parsed arguments (argv without the program name), or a one-line error in `error`.
/// Without a mode, --period must be given (the aggregated bars are printed).
std::optional<TaArguments> ParseTaArguments(const std::vector<std::string>& args, std::string& error);

/// The usage text printed by --help.
const char* TaUsage();

/// What --version prints: "qelt-ta 1.96".
const char* TaVersion();

}  // namespace qelt::ta
