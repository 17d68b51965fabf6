#include "Files.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "DiagnosticLog.h"
#include "FileAppend.h"

namespace qelt {
namespace {

constexpr std::string_view kTemporaryMark = ".tmp";

FileCalls g_systemCalls;
std::atomic<FileCalls*> g_calls{&g_systemCalls};

bool WriteAll(FileCalls& calls, int fd, std::string_view data) {
    while (!data.empty()) {
        ssize_t n = calls.Write(fd, data.data(), data.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (n == 0) return false;  // no progress: a device that takes nothing more
        data.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

/// Every settings file and export goes through WriteFileAtomic: a failed save is logged here,
/// once for all of them.
void LogFailedSave(const std::string& path, int error) {
    Log("could not save " + path + ": " + (error ? std::strerror(error) : "no space written"));
}

std::string DirectoryOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

/// The permission bits the rewritten file gets: those of the file it replaces (nothing for a
/// new file, which takes `requested` through open's umask). A private request stays private.
std::optional<mode_t> KeptMode(const std::string& path, mode_t requested) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
    mode_t kept = st.st_mode & 07777;
    if ((requested & 077) == 0) kept &= ~static_cast<mode_t>(077);
    return kept;
}

/// The rename is an entry of the directory: without flushing it a crash may bring the old
/// file back (or none) although the new one was on disk. The content is safe either way, so
/// a directory that cannot be flushed is logged, not taken for a failed save.
void SyncDirectory(FileCalls& calls, const std::string& path) {
    const std::string directory = DirectoryOf(path);
    const int fd = calls.Open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0);
    // Some file systems cannot flush a directory at all (EINVAL): nothing to tell.
    if (fd < 0 || (calls.Sync(fd) != 0 && errno != EINVAL && errno != EROFS))
        Log("could not flush the directory of " + path + ": " + std::strerror(errno));
    if (fd >= 0) ::close(fd);
}

bool AllDigits(std::string_view text) {
    if (text.empty()) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    return true;
}

/// The process a temporary of ours belongs to: "<name>.tmp<pid>_<n>"; nothing for any other name.
std::optional<pid_t> TemporaryOwner(std::string_view name) {
    const size_t mark = name.rfind(kTemporaryMark);
    if (mark == std::string_view::npos || mark == 0) return std::nullopt;
    const std::string_view rest = name.substr(mark + kTemporaryMark.size());
    const size_t bar = rest.find('_');
    if (bar == std::string_view::npos) return std::nullopt;
    const std::string_view pid = rest.substr(0, bar);
    if (!AllDigits(pid) || !AllDigits(rest.substr(bar + 1)) || pid.size() > 9) return std::nullopt;
    pid_t value = 0;
    for (char c : pid) value = value * 10 + (c - '0');
    return value;
}

bool ProcessRuns(pid_t pid) { return pid > 0 && (::kill(pid, 0) == 0 || errno == EPERM); }

}  // namespace

int FileCalls::Open(const char* path, int flags, mode_t mode) { return ::open(path, flags, mode); }

ssize_t FileCalls::Read(int fd, void* data, size_t size) { return ::read(fd, data, size); }

ssize_t FileCalls::Write(int fd, const void* data, size_t size) { return ::write(fd, data, size); }

int FileCalls::Sync(int fd) { return ::fsync(fd); }

int FileCalls::Rename(const char* from, const char* to) { return ::rename(from, to); }

FileCalls* SetFileCalls(FileCalls* calls) {
    FileCalls* previous = g_calls.exchange(calls ? calls : &g_systemCalls);
    return previous == &g_systemCalls ? nullptr : previous;
}

std::optional<std::string> ReadWholeFile(const std::string& path, size_t maxBytes) {
    FileCalls& calls = *g_calls.load();
    int fd = calls.Open(path.c_str(), O_RDONLY | O_CLOEXEC, 0);
    if (fd < 0) return std::nullopt;
    std::string content;
    char buffer[8192];
    for (;;) {
        ssize_t n = calls.Read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {  // a read error (or a directory): what was read is not the file
            ::close(fd);
            return std::nullopt;
        }
        if (n == 0) break;
        if (content.size() + static_cast<size_t>(n) > maxBytes) {
            ::close(fd);
            return std::nullopt;
        }
        content.append(buffer, static_cast<size_t>(n));
    }
    ::close(fd);
    return content;
}

bool WriteFileAtomic(const std::string& path, std::string_view content, mode_t mode) {
    static std::atomic<unsigned> counter{0};
    std::string temp =
        path + std::string(kTemporaryMark) + std::to_string(::getpid()) + "_" + std::to_string(counter++);
    FileCalls& calls = *g_calls.load();
    const std::optional<mode_t> kept = KeptMode(path, mode);
    int fd = calls.Open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, mode);
    if (fd < 0) {
        LogFailedSave(path, errno);
        return false;
    }
    bool ok = (!kept || ::fchmod(fd, *kept) == 0) && WriteAll(calls, fd, content) && calls.Sync(fd) == 0;
    int error = ok ? 0 : errno;
    if (::close(fd) != 0 && ok) {
        ok = false;
        error = errno;
    }
    if (ok && calls.Rename(temp.c_str(), path.c_str()) != 0) {
        ok = false;
        error = errno;
    }
    if (!ok) {
        ::unlink(temp.c_str());
        LogFailedSave(path, error);
        return false;
    }
    SyncDirectory(calls, path);
    return true;
}

std::size_t RemoveStaleTemporaries(const std::string& directory) {
    DIR* dir = ::opendir(directory.c_str());
    if (!dir) return 0;
    const std::string prefix = directory.empty() || directory.back() == '/' ? directory : directory + "/";
    std::size_t removed = 0;
    while (const dirent* entry = ::readdir(dir)) {
        const std::optional<pid_t> owner = TemporaryOwner(entry->d_name);
        if (!owner || *owner == ::getpid() || ProcessRuns(*owner)) continue;
        const std::string path = prefix + entry->d_name;
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
        if (::unlink(path.c_str()) == 0) {
            ++removed;
            Log("removed " + path + ", left by a save that never finished");
        }
    }
    ::closedir(dir);
    return removed;
}

bool FileExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

bool AppendToFile(const std::string& path, std::string_view content, mode_t mode) {
    FileCalls& calls = *g_calls.load();
    const int fd = calls.Open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, mode);
    if (fd < 0) {
        LogFailedSave(path, errno);
        return false;
    }
    struct stat st {};
    const bool sized = ::fstat(fd, &st) == 0;
    bool ok = sized && WriteAll(calls, fd, content);
    const int error = ok ? 0 : errno;
    if (!ok && sized && ::ftruncate(fd, st.st_size) != 0) Log("could not cut back " + path);
    if (::close(fd) != 0) ok = false;
    if (!ok) LogFailedSave(path, error);
    return ok;
}

std::optional<std::uint64_t> RegularFileSize(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
    return static_cast<std::uint64_t>(st.st_size);
}

bool RenameFile(const std::string& from, const std::string& to) {
    return g_calls.load()->Rename(from.c_str(), to.c_str()) == 0;
}

bool EnsureDirectory(const std::string& path) {
    if (::mkdir(path.c_str(), 0755) == 0) return true;
    struct stat st {};
    return errno == EEXIST && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace qelt
