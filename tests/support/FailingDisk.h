#pragma once
// A file layer that fails on demand: while a FailingDisk is alive, every rewrite of the
// process (WriteFileAtomic) meets the fault it was made with, as it would on a real full
// disk or read-only directory. Reads are untouched.
#include <cstddef>

#include "common/Files.h"

namespace qelt::test {

class FailingDisk : public FileWriteCalls {
  public:
    enum class Fault {
        ReadOnlyDirectory,  ///< the temporary file cannot be created (EROFS)
        FullDisk,           ///< writes stop after `room` bytes (ENOSPC)
        SyncFails,          ///< the data never reaches the disk (EIO)
        RenameFails,        ///< the finished file cannot replace the old one (EIO)
    };
    explicit FailingDisk(Fault fault, std::size_t room = 0);
    ~FailingDisk() override;
    FailingDisk(const FailingDisk&) = delete;
    FailingDisk& operator=(const FailingDisk&) = delete;

    int Open(const char* path, int flags, mode_t mode) override;
    ssize_t Write(int fd, const void* data, std::size_t size) override;
    int Sync(int fd) override;
    int Rename(const char* from, const char* to) override;

  private:
    Fault m_fault;
    std::size_t m_room;
    FileWriteCalls* m_previous;
};

}  // namespace qelt::test
