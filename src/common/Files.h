#pragma once
/// Settings files are small: read whole, rewritten whole. A rewrite goes to a temporary
/// file beside the target ("<name>.tmp<pid>_<n>"), reaches the disk and is renamed over it,
/// and the rename itself is made durable, so a crash or a full disk never leaves a
/// half-written file behind nor brings an old one back.
#include <sys/types.h>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace qelt {

/// Bytes of the file, or nothing when it cannot be opened or read to its end (a read error,
/// a directory). Files beyond `maxBytes` are refused (nothing), so a corrupt or hostile file
/// cannot exhaust memory.
std::optional<std::string> ReadWholeFile(const std::string& path, size_t maxBytes = 64u << 20);

/// Replaces the file's content atomically; false (any old file left as it was) when the write
/// fails. A new file is created with permission `mode` (less the umask); a file that exists
/// keeps its own permission bits (a user's chmod survives every save), except that a private
/// `mode` (no bits for group and others: sys.ini) never leaves a file readable by others.
bool WriteFileAtomic(const std::string& path, std::string_view content, mode_t mode = 0644);

/// Removes the temporaries of rewrites that never finished (a crash, a power cut) from
/// `directory`: files named "<name>.tmp<pid>_<n>" whose process no longer runs. Those of a
/// running process (another client on the same directory, mid-save) are left alone, and so
/// is every other file. Returns how many were removed.
std::size_t RemoveStaleTemporaries(const std::string& directory);

bool FileExists(const std::string& path);

/// The system calls a read and a rewrite make (open, read, write, flush to disk, rename; the
/// directory is opened and flushed after the rename), behind a seam so that tests can make
/// them fail as a damaged file, a full disk or a read-only directory would. The defaults are
/// the system's own calls; each returns what the POSIX call returns and sets errno as it does.
class FileCalls {
  public:
    virtual ~FileCalls() = default;
    virtual int Open(const char* path, int flags, mode_t mode);
    virtual ssize_t Read(int fd, void* data, size_t size);
    virtual ssize_t Write(int fd, const void* data, size_t size);
    virtual int Sync(int fd);
    virtual int Rename(const char* from, const char* to);
};

/// Makes every later read and rewrite of this process go through `calls` (nullptr: the
/// system's own calls again) and returns the calls used until now. For tests; not meant to be
/// switched while another thread reads or rewrites a file.
FileCalls* SetFileCalls(FileCalls* calls);

/// Creates the directory (one level); true when it exists afterwards.
bool EnsureDirectory(const std::string& path);

}  // namespace qelt
