#include "data/settings/SettingsFile.h"

#include <utility>

#include "common/Files.h"
#include "data/settings/SettingsReports.h"

namespace qelt {

SettingsFile::SettingsFile(std::string directory, std::string fileName, std::size_t maxBytes,
                           SettingsReports* reports)
    : m_directory(std::move(directory)),
      m_fileName(std::move(fileName)),
      m_maxBytes(maxBytes),
      m_reports(reports) {}

std::optional<std::string> SettingsFile::Read() {
    const std::string path = Path();
    std::optional<std::string> bytes = ReadWholeFile(path, m_maxBytes);
    if (bytes) {
        m_state = State::Read;
        return bytes;
    }
    if (!FileExists(path)) {
        m_state = State::Missing;
        return std::nullopt;
    }
    m_state = State::Unreadable;
    if (m_reports) m_reports->ReadFailed(m_fileName);
    return std::nullopt;
}

bool SettingsFile::Write(std::string_view bytes, mode_t mode) {
    // Told once when it was read; each refused write is the same fault.
    if (m_state == State::Unreadable) return false;
    if (WriteFileAtomic(Path(), bytes, mode)) return true;
    if (m_reports) m_reports->WriteFailed(m_fileName);
    return false;
}

}  // namespace qelt
