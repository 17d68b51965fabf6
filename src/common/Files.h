#pragma once
/// Settings files are small: read whole, rewritten whole. A rewrite goes to a temporary
/// file beside the target and is renamed over it, so a crash or a full disk never leaves a
/// half-written file behind.
#include <sys/types.h>

#include <optional>
#include <string>
#include <string_view>

namespace qelt {

/// Bytes of the file, or nothing when it cannot be opened or read to its end (a read error,
/// a directory). Files beyond `maxBytes` are refused (nothing), so a corrupt or hostile file
/// cannot exhaust memory.
std::optional<std::string> ReadWholeFile(const std::string& path, size_t maxBytes = 64u << 20);

/// Replaces the file's content atomically; creates it with permission `mode` when new.
/// Returns false (and leaves any old file as it was) when the write fails.
bool WriteFileAtomic(const std::string& path, std::string_view content, mode_t mode = 0644);

bool FileExists(const std::string& path);

/// The system calls a rewrite makes (open the temporary file, write, flush to disk, rename
/// it over the target), behind a seam so that tests can make them fail as a full disk or a
/// read-only directory would. The defaults are the system's own calls; each returns what the
/// POSIX call returns and sets errno as it does.
class FileWriteCalls {
  public:
    virtual ~FileWriteCalls() = default;
    virtual int Open(const char* path, int flags, mode_t mode);
    virtual ssize_t Write(int fd, const void* data, size_t size);
    virtual int Sync(int fd);
    virtual int Rename(const char* from, const char* to);
};

/// Makes every later rewrite of this process go through `calls` (nullptr: the system's own
/// calls again) and returns the calls used until now. For tests; not meant to be switched
/// while another thread rewrites a file.
FileWriteCalls* SetFileWriteCalls(FileWriteCalls* calls);

/// Creates the directory (one level); true when it exists afterwards.
bool EnsureDirectory(const std::string& path);

}  // namespace qelt
