#include "server/NoticeFile.h"

#include <sys/stat.h>

#include "common/Files.h"
#include "common/Gbk.h"

namespace qelt::server {
namespace {

constexpr std::size_t kMaxNotice = 64 * 1024;

bool IsValidUtf8(const std::string& s) {
    size_t i = 0;
    while (i < s.size()) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        size_t n = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : 9;
        if (n == 9 || (n > 0 && i + n >= s.size())) return false;
        for (size_t k = 1; k <= n; ++k)
            if ((static_cast<unsigned char>(s[i + k]) >> 6) != 2) return false;
        i += n + 1;
    }
    return true;
}

}  // namespace

std::string ToUtf8Text(const std::string& bytes) { return IsValidUtf8(bytes) ? bytes : GbkToUtf8(bytes); }

NoticeFile::NoticeFile(std::string dataDir) {
    if (dataDir.empty()) {
        m_text = "欢迎使用Qelt演示行情服务";
        return;
    }
    m_path = dataDir + "notice.txt";
    if (!FileExists(m_path)) WriteFileAtomic(m_path, "欢迎使用Qelt演示行情服务。本服务行情为模拟数据。\n");
    Reload();
}

void NoticeFile::Reload() {
    struct stat st {};
    if (::stat(m_path.c_str(), &st) != 0) {
        m_text.clear();
        m_mtime = m_size = -1;
        return;
    }
    std::int64_t mtime = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    if (mtime == m_mtime && st.st_size == m_size) return;
    m_mtime = mtime;
    m_size = st.st_size;
    auto content = ReadWholeFile(m_path, kMaxNotice);
    m_text = content ? ToUtf8Text(*content) : std::string();
}

const std::string& NoticeFile::Current() {
    if (!m_path.empty()) Reload();
    return m_text;
}

bool NoticeFile::Set(const std::string& utf8) {
    m_text = utf8.substr(0, kMaxNotice);
    if (m_path.empty()) return true;
    bool ok = WriteFileAtomic(m_path, m_text);
    m_mtime = -1;
    Reload();
    return ok;
}

}  // namespace qelt::server
