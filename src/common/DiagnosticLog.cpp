#include "DiagnosticLog.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <mutex>

namespace qelt {
namespace {

struct LogState {
    std::mutex mutex;
    bool started = false;
    LogSettings settings;
    int fd = -1;
    size_t fileBytes = 0;
};

LogState& State() {
    // Never destroyed: a thread may still log while the process exits.
    static LogState* state = new LogState;
    return *state;
}

std::atomic<bool> g_verbose{false};

void WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return;  // a log that cannot be written is not worth stopping for
        bytes.remove_prefix(static_cast<size_t>(n));
    }
}

void CloseFile(LogState& s) {
    if (s.fd >= 0) ::close(s.fd);
    s.fd = -1;
    s.fileBytes = 0;
}

bool OpenFile(LogState& s, bool truncate) {
    const std::string path = LogFilePath(s.settings.directory);
    s.fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC | (truncate ? O_TRUNC : 0), 0644);
    if (s.fd < 0) return false;
    struct stat st {};
    s.fileBytes = ::fstat(s.fd, &st) == 0 ? static_cast<size_t>(st.st_size) : 0;
    return true;
}

/// qelt.log becomes qelt.log.1 and a new qelt.log starts.
void Rotate(LogState& s) {
    CloseFile(s);
    const std::string path = LogFilePath(s.settings.directory);
    ::rename(path.c_str(), (path + ".1").c_str());
    OpenFile(s, true);
}

/// "2026-12-08 06:20:27.123 " in local time (digits only: no locale in play).
std::string Timestamp() {
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    const auto millis =
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
    std::tm local{};
    ::localtime_r(&seconds, &local);
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d.%03d ", local.tm_year + 1900,
                  local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec,
                  static_cast<int>(millis));
    return buffer;
}

/// The longest prefix of `text` of at most `bytes` bytes that does not split a UTF-8
/// character.
std::string_view WholeCharacters(std::string_view text, size_t bytes) {
    if (text.size() <= bytes) return text;
    size_t end = bytes;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
    return text.substr(0, end);
}

std::string FormatLine(std::string_view text) {
    std::string line = Timestamp();
    const size_t room = kMaxLogLine - line.size() - 1;  // the line break
    std::string_view kept = text;
    const bool cut = text.size() > room;
    if (cut) kept = WholeCharacters(text, room - 3);
    for (char c : kept) line.push_back(static_cast<unsigned char>(c) < 0x20 || c == 0x7F ? ' ' : c);
    if (cut) line.append("...");
    line.push_back('\n');
    return line;
}

}  // namespace

std::string LogFilePath(const std::string& directory) { return directory + "qelt.log"; }

bool StartLog(const LogSettings& settings) {
    LogState& s = State();
    std::lock_guard lock(s.mutex);
    CloseFile(s);
    s.settings = settings;
    s.started = true;
    g_verbose = settings.verbose;
    if (settings.directory.empty()) return true;
    if (!OpenFile(s, false)) return false;
    if (s.fileBytes >= settings.maxFileBytes) Rotate(s);
    return s.fd >= 0;
}

void StopLog() {
    LogState& s = State();
    std::lock_guard lock(s.mutex);
    CloseFile(s);
    s.started = false;
    g_verbose = false;
}

void Log(std::string_view text) {
    LogState& s = State();
    std::lock_guard lock(s.mutex);
    if (!s.started) return;
    const std::string line = FormatLine(text);
    if (s.settings.toStderr) WriteAll(STDERR_FILENO, line);
    if (s.settings.directory.empty()) return;
    if (s.fd >= 0 && s.fileBytes + line.size() > s.settings.maxFileBytes) Rotate(s);
    if (s.fd < 0) return;
    WriteAll(s.fd, line);
    s.fileBytes += line.size();
}

bool LogIsVerbose() { return g_verbose.load(); }

void LogReceived(std::string_view message) {
    if (!LogIsVerbose()) return;
    std::string line = "received ";
    line.append(WholeCharacters(message, kLoggedMessageBytes));
    if (message.size() > kLoggedMessageBytes) line.append("...");
    Log(line);
}

}  // namespace qelt
