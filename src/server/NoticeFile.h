#pragma once
/// The market notice ("msg"): "<data>/notice.txt", UTF-8 (GBK is accepted too), re-read
/// whenever its modification time or size changes. Created with a greeting when missing.
#include <cstdint>
#include <string>

namespace qelt::server {

class NoticeFile {
  public:
    /// An empty dataDir keeps the notice in memory only.
    explicit NoticeFile(std::string dataDir);
    /// The current notice (UTF-8), re-read first when the file changed.
    const std::string& Current();
    /// Replaces the notice and rewrites the file; false when the write failed.
    bool Set(const std::string& utf8);

  private:
    void Reload();
    std::string m_path;
    std::string m_text;
    std::int64_t m_mtime = -1;
    std::int64_t m_size = -1;
};

/// Bytes that are valid UTF-8 as they are; otherwise they are read as GBK.
std::string ToUtf8Text(const std::string& bytes);

}  // namespace qelt::server
