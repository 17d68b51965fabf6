#pragma once
/// The updater's command line, read before any window exists:
///
///   update ["ADDRESS|PORT"] [--batch] [--home DIR] [--help] [--version]
///
/// The client passes "ADDRESS|PORT" (ignored: the servers come from config.ini). Qt's own
/// options (-platform NAME, ...) pass to Qt.
#include <QString>
#include <QStringList>
#include <optional>
#include <string>

namespace qelt {

struct UpdateCommandLine {
    bool batch = false;
    std::string programDirectory;  ///< --home DIR, else as the client decides it
    /// Set when the program ends at once with this status (--help, --version: 0; a bad
    /// command line: 2) after printing `text` (standard output for 0, else standard error).
    std::optional<int> exitCode;
    QString text;
};

/// Reads `arguments` (the program's name first).
UpdateCommandLine ParseUpdateCommandLine(const QStringList& arguments);

}  // namespace qelt
