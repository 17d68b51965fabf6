#pragma once
/// The one rule every settings file of the program directory follows, in one place:
/// - a file that is there but cannot be read whole (no permission, a read error, larger than
///   any file of its kind) may hold what this run does not know, so it is never written over
///   this run: the run works on the defaults in memory;
/// - a write that fails leaves the old file whole (an atomic rewrite) and the value in effect
///   in memory, and the next change tries the file again;
/// - both are told once per file and run (SettingsReports), never a message at every change.
///
/// The owner of a value reads its file once, keeps the value for the run and writes every
/// change through here. Interface thread only.
#include <sys/types.h>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace qelt {

class SettingsReports;

class SettingsFile {
  public:
    enum class State { NotRead, Missing, Read, Unreadable };

    /// "<directory><fileName>", at most `maxBytes` long. `reports` tells the failures; nullptr
    /// for an owner that tells them itself (a dialog that stays open after a failed save).
    SettingsFile(std::string directory, std::string fileName, std::size_t maxBytes, SettingsReports* reports);

    /// The file's bytes as stored; nothing when there is no file or it cannot be read (which
    /// is reported, and no write replaces it from then on).
    std::optional<std::string> Read();
    /// Replaces the file's content with `bytes` (WriteFileAtomic: `mode` for a new file). False
    /// when refused (the file could not be read) or when the write failed (reported).
    bool Write(std::string_view bytes, mode_t mode = 0644);

    State LastRead() const { return m_state; }
    bool Unreadable() const { return m_state == State::Unreadable; }
    const std::string& FileName() const { return m_fileName; }
    std::string Path() const { return m_directory + m_fileName; }

  private:
    std::string m_directory;
    std::string m_fileName;
    std::size_t m_maxBytes;
    SettingsReports* m_reports;
    State m_state = State::NotRead;
};

}  // namespace qelt
