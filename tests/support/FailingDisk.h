#pragma once
// A file layer that fails on demand: while a FailingDisk is alive, every read or rewrite of the
// process (ReadWholeFile, WriteFileAtomic) meets the fault it was made with, as it would on a
// damaged disk, a full disk or a read-only directory.
#include <cstddef>

#include "common/Files.h"

namespace qelt::test {

class FailingDisk : public FileCalls {
  public:
    enum class Fault {
        ReadOnlyDirectory,  ///< the temporary file cannot be created (EROFS); reads work
        FullDisk,           ///< writes stop after `room` bytes (ENOSPC)
        SyncFails,          ///< the data never reaches the disk (EIO)
        RenameFails,        ///< the finished file cannot replace the old one (EIO)
        ReadFails,          ///< a file that is there cannot be read (EIO); writes work
    };
    explicit FailingDisk(Fault fault, std::size_t room = 0);
    ~FailingDisk() override;
    FailingDisk(const FailingDisk&) = delete;
    FailingDisk& operator=(const FailingDisk&) = delete;

    int Open(const char* path, int flags, mode_t mode) override;
    ssize_t Read(int fd, void* data, std::size_t size) override;
    ssize_t Write(int fd, const void* data, std::size_t size) override;
    int Sync(int fd) override;
    int Rename(const char* from, const char* to) override;

  private:
    Fault m_fault;
    std::size_t m_room;
    FileCalls* m_previous;
};

}  // namespace qelt::test
