#include "updater/UpdateFileWriter.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <optional>

#include "updater/UpdateTarget.h"

namespace qelt {
namespace {

timespec ToTimespec(std::uint64_t fileTime) {
    std::optional<UnixTime> t = FileTimeToUnix(fileTime);
    if (!t) return {0, UTIME_OMIT};
    return {static_cast<time_t>(t->seconds), static_cast<long>(t->nanoseconds)};
}

}  // namespace

UpdateFileWriter::UpdateFileWriter(std::string targetPath) : m_target(std::move(targetPath)) {
    size_t slash = m_target.rfind('/');
    std::string dir = slash == std::string::npos ? std::string() : m_target.substr(0, slash + 1);
    std::string base = slash == std::string::npos ? m_target : m_target.substr(slash + 1);
    m_temp = dir + "." + base + ".part-XXXXXX";
    m_fd = ::mkostemp(m_temp.data(), O_CLOEXEC);
    m_ok = m_fd >= 0;
    if (!m_ok) m_temp.clear();
}

UpdateFileWriter::~UpdateFileWriter() { Abandon(); }

void UpdateFileWriter::Write(std::string_view piece) {
    if (!m_ok) return;
    if (m_firstBytes.size() < 4) m_firstBytes.append(piece.substr(0, 4 - m_firstBytes.size()));
    while (!piece.empty()) {
        ssize_t n = ::write(m_fd, piece.data(), piece.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            m_ok = false;
            return;
        }
        piece.remove_prefix(static_cast<size_t>(n));
    }
}

bool UpdateFileWriter::Commit(const UpdateFileHeader& header) {
    if (!m_ok) {
        Abandon();
        return false;
    }
    struct stat old {};
    std::optional<mode_t> oldMode;
    if (::stat(m_target.c_str(), &old) == 0 && S_ISREG(old.st_mode)) oldMode = old.st_mode;
    const timespec times[2] = {ToTimespec(header.lastAccessTime), ToTimespec(header.lastWriteTime)};
    // The times are set last before closing: nothing writes to the file afterwards.
    bool ok =
        ::fsync(m_fd) == 0 && ::fchmod(m_fd, UpdateFileMode(header.attributes, oldMode, m_firstBytes)) == 0;
    if (ok) ::futimens(m_fd, times);  // a file system refusing a time still gets the file
    ok = ::close(m_fd) == 0 && ok;
    m_fd = -1;
    if (ok) ok = ::rename(m_temp.c_str(), m_target.c_str()) == 0;
    if (!ok) {
        Abandon();
        return false;
    }
    m_temp.clear();
    return true;
}

void UpdateFileWriter::Abandon() {
    if (m_fd >= 0) ::close(m_fd);
    m_fd = -1;
    if (!m_temp.empty()) ::unlink(m_temp.c_str());
    m_temp.clear();
    m_ok = false;
}

}  // namespace qelt
