#pragma once
/// The command line of qelt-ta's analysis modes:
///   qelt-ta --formula TEXTFILE --screen FILE... [--at YYYYMMDD] [--period day|week|month] [--param
///   NAME=VALUE]... qelt-ta --bars FILE --formula TEXTFILE --system [--summary] [--capital X] [--lots N]
///   [--multiplier M]
///           [--commission RATE] [--slippage S] [--period ...] [--param NAME=VALUE]...
///   qelt-ta --bars FILE --formula TEXTFILE --system --optimize NAME=FROM:TO:STEP... [other --system options]
/// --screen takes every argument after it up to the next option as a bar file.
#include <optional>
#include <string>
#include <vector>

namespace qelt::ta {

struct TaArguments;

enum class TaAnalysis { None, Screen, System };

/// One --optimize: a parameter's name and its range.
struct TaOptimize {
    std::string name;
    double from = 0.0, to = 0.0, step = 0.0;
};

struct TaAnalysisArguments {
    TaAnalysis kind = TaAnalysis::None;
    std::vector<std::string> screenFiles;  ///< as written on the command line
    int at = 0;                            ///< --at YYYYMMDD; 0: each file's newest bar
    bool summary = false;
    double capital = 100000.0;
    double lots = 1.0;
    double multiplier = 1.0;
    double commission = 0.0;
    double slippage = 0.0;
    std::vector<TaOptimize> optimize;
    /// The options given that only --system takes (for the message when it is missing).
    std::vector<std::string> systemOptions;
};

enum class TaOptionOutcome { NotMine, Taken, Failed };

/// Reads option `name` when it is one of the analysis modes' (its value after "=" when
/// `hasValue`, otherwise taken from args[i + 1] on, moving `i` past what it took). Failed
/// sets `error` to one line.
TaOptionOutcome ParseAnalysisOption(const std::string& name, bool hasValue, const std::string& value,
                                    const std::vector<std::string>& args, std::size_t& i,
                                    TaAnalysisArguments& parsed, std::string& error);

/// The checks that involve the analysis options once every option is read: false with
/// `error` set when they do not fit together.
bool CheckAnalysisArguments(const TaArguments& parsed, std::string& error);

/// The analysis modes' part of --help.
const char* TaAnalysisUsage();

}  // namespace qelt::ta
