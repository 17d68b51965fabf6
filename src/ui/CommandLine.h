#pragma once
/// The client's command line, read before the application object exists (so that --help
/// answers without a display, and the browser engine can be prepared first).
///
///   qelt [--home DIR] [--auto-login] [--offline] [--verbose]
///        developer: [--send-pause MS]
///                   [--screenshot FILE [--screenshot-delay MS] [--screenshot-view NAME]
///                                      [--screenshot-goods DIGITS]]
///
/// NAME is board (the default), kline, intraday, trades, multi or info; --screenshot-kline is
/// kept as another way to say --screenshot-view kline. system, heatmap and marks picture
/// 交易评测 on the goods' K-line chart: the window with the example moving-average cross
/// tested, the window with its two periods optimised, and the chart with its trades marked;
/// screening pictures the 条件选股 window after a screening of every contract.
///
/// Qt's own options (-platform NAME, -style NAME, ...) are accepted and left to Qt.
#include <QString>
#include <QStringList>
#include <optional>

#include "CQeltApp.h"

namespace qelt {

struct ClientCommandLine {
    AppOptions options;
    bool verbose = false;  ///< the log shows the messages received too
    /// Set when the program ends at once with this status (--help, --version: 0, a bad
    /// command line: 2) after printing `text` (to standard output for 0, else standard error).
    std::optional<int> exitCode;
    QString text;
};

/// Reads `arguments` (the program's name first). The program directory is --home DIR, else
/// QELT_HOME, else the rule of common/ProgramDir.h.
ClientCommandLine ParseClientCommandLine(const QStringList& arguments);

/// The arguments of main() as Qt strings.
QStringList ArgumentList(int argc, const char* const* argv);

}  // namespace qelt
