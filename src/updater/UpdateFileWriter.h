#pragma once
/// Writes one downloaded file so that a broken transfer never damages the file it would
/// replace: the content goes to a hidden temporary file beside the target, and only a
/// complete file is renamed over it (which also works while the old program is running).
/// A writer that could not open, or whose write failed, keeps accepting content and
/// discards it, so the caller can still consume the file's bytes from the stream.
#include <string>
#include <string_view>

#include "updater/UpdateFileHeader.h"

namespace qelt {

class UpdateFileWriter {
  public:
    /// Opens a temporary file in the target's directory. `Ok()` tells whether it worked.
    explicit UpdateFileWriter(std::string targetPath);
    /// Removes the temporary file unless Commit succeeded.
    ~UpdateFileWriter();
    UpdateFileWriter(const UpdateFileWriter&) = delete;
    UpdateFileWriter& operator=(const UpdateFileWriter&) = delete;

    /// True while every step so far succeeded.
    bool Ok() const { return m_ok; }

    void Write(std::string_view piece);

    /// Flushes, applies the header's permissions and access/modification times (Linux keeps
    /// no settable creation time, so that one is dropped) and renames the file into place.
    /// False, with the target untouched, when anything failed.
    bool Commit(const UpdateFileHeader& header);

    /// Drops the temporary file; the target stays as it was.
    void Abandon();

  private:
    std::string m_target;
    std::string m_temp;
    std::string m_firstBytes;  ///< enough of the start to recognise a program
    int m_fd = -1;
    bool m_ok = false;
};

}  // namespace qelt
