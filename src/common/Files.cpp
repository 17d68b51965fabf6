#include "Files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "DiagnosticLog.h"

namespace qelt {
namespace {

FileWriteCalls g_systemCalls;
std::atomic<FileWriteCalls*> g_writeCalls{&g_systemCalls};

bool WriteAll(FileWriteCalls& calls, int fd, std::string_view data) {
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

}  // namespace

int FileWriteCalls::Open(const char* path, int flags, mode_t mode) { return ::open(path, flags, mode); }

ssize_t FileWriteCalls::Write(int fd, const void* data, size_t size) { return ::write(fd, data, size); }

int FileWriteCalls::Sync(int fd) { return ::fsync(fd); }

int FileWriteCalls::Rename(const char* from, const char* to) { return ::rename(from, to); }

FileWriteCalls* SetFileWriteCalls(FileWriteCalls* calls) {
    FileWriteCalls* previous = g_writeCalls.exchange(calls ? calls : &g_systemCalls);
    return previous == &g_systemCalls ? nullptr : previous;
}

std::optional<std::string> ReadWholeFile(const std::string& path, size_t maxBytes) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    std::string content;
    char buffer[8192];
    for (;;) {
        ssize_t n = ::read(fd, buffer, sizeof buffer);
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
    std::string temp = path + ".tmp" + std::to_string(::getpid()) + "_" + std::to_string(counter++);
    FileWriteCalls& calls = *g_writeCalls.load();
    int fd = calls.Open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, mode);
    if (fd < 0) {
        LogFailedSave(path, errno);
        return false;
    }
    bool ok = WriteAll(calls, fd, content) && calls.Sync(fd) == 0;
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
    }
    return ok;
}

bool FileExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

bool EnsureDirectory(const std::string& path) {
    if (::mkdir(path.c_str(), 0755) == 0) return true;
    struct stat st {};
    return errno == EEXIST && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace qelt
