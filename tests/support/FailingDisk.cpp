#include "FailingDisk.h"

#include <fcntl.h>

#include <algorithm>
#include <cerrno>

namespace qelt::test {

FailingDisk::FailingDisk(Fault fault, std::size_t room)
    : m_fault(fault), m_room(room), m_previous(SetFileCalls(this)) {}

FailingDisk::~FailingDisk() { SetFileCalls(m_previous); }

int FailingDisk::Open(const char* path, int flags, mode_t mode) {
    // A read-only directory still reads: only a file to be written cannot be made.
    if (m_fault == Fault::ReadOnlyDirectory && (flags & (O_CREAT | O_WRONLY | O_RDWR))) {
        errno = EROFS;
        return -1;
    }
    return FileCalls::Open(path, flags, mode);
}

ssize_t FailingDisk::Read(int fd, void* data, std::size_t size) {
    if (m_fault == Fault::ReadFails) {
        errno = EIO;
        return -1;
    }
    return FileCalls::Read(fd, data, size);
}

ssize_t FailingDisk::Write(int fd, const void* data, std::size_t size) {
    if (m_fault != Fault::FullDisk) return FileCalls::Write(fd, data, size);
    if (m_room == 0) {
        errno = ENOSPC;
        return -1;
    }
    // A disk about to fill takes part of a write, then nothing more.
    ssize_t written = FileCalls::Write(fd, data, std::min(size, m_room));
    if (written > 0) m_room -= static_cast<std::size_t>(written);
    return written;
}

int FailingDisk::Sync(int fd) {
    if (m_fault == Fault::SyncFails) {
        errno = EIO;
        return -1;
    }
    return FileCalls::Sync(fd);
}

int FailingDisk::Rename(const char* from, const char* to) {
    if (m_fault == Fault::RenameFails) {
        errno = EIO;
        return -1;
    }
    return FileCalls::Rename(from, to);
}

}  // namespace qelt::test
