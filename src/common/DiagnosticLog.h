#pragma once
/// The diagnostic log: what happened to the connection, for whoever supports a user. One
/// timestamped line per event ("2026-12-08 06:20:27.123 connected to 127.0.0.1:3500") goes
/// to standard error and to qelt.log in the program directory. The file is bounded: when a
/// line would take it past its limit it becomes qelt.log.1 (replacing the previous one) and a
/// new qelt.log starts, so the two never hold more than twice the limit.
///
/// Any thread may log; lines never interleave. Nothing is written before StartLog (tests and
/// tools stay quiet). Callers never pass a password: the log is a file a user sends around.
#include <cstddef>
#include <string>
#include <string_view>

namespace qelt {

struct LogSettings {
    std::string directory;  ///< where qelt.log goes (with a trailing "/"); empty: no file
    bool toStderr = true;
    bool verbose = false;                ///< also the messages received, shortened
    size_t maxFileBytes = 256u * 1024u;  ///< qelt.log rotates before it grows past this
};

/// The longest line written, timestamp included; a longer text is cut (at a whole UTF-8
/// character) and ends in "...".
inline constexpr size_t kMaxLogLine = 512;
/// How much of a received message --verbose shows.
inline constexpr size_t kLoggedMessageBytes = 160;

/// Starts (or restarts with new settings) the log. False when the file cannot be opened;
/// standard error is written to all the same.
bool StartLog(const LogSettings& settings);
/// Ends the log: later lines go nowhere.
void StopLog();
/// Writes one line. Line breaks and other control characters in `text` become spaces, so a
/// line is always one event.
void Log(std::string_view text);
/// True when --verbose is on (callers can skip building a line nobody reads).
bool LogIsVerbose();
/// --verbose: "received " and the message's first kLoggedMessageBytes bytes.
void LogReceived(std::string_view message);

/// The path of the log file in `directory` ("qelt.log").
std::string LogFilePath(const std::string& directory);

}  // namespace qelt
