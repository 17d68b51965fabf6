#include "server/UpdateService.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <vector>

#include "common/Files.h"
#include "common/Gbk.h"

namespace qelt::server {
namespace {

void PutU32(std::string& out, size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out[at + static_cast<size_t>(i)] = static_cast<char>((v >> (8 * i)) & 0xFF);
}
void PutU64(std::string& out, size_t at, std::uint64_t v) {
    PutU32(out, at, static_cast<std::uint32_t>(v));
    PutU32(out, at + 4, static_cast<std::uint32_t>(v >> 32));
}

}  // namespace

std::string UpdateHeader(std::string_view utf8Name, std::uint64_t size, std::int64_t unixMtime,
                         std::uint32_t attributes) {
    std::string h(kUpdateHeaderSize, '\0');
    std::uint64_t fileTime = static_cast<std::uint64_t>(unixMtime + 11644473600LL) * 10000000ull;
    PutU32(h, 0, attributes);
    PutU64(h, 4, fileTime);
    PutU64(h, 12, fileTime);
    PutU64(h, 20, fileTime);
    PutU32(h, 28, static_cast<std::uint32_t>(size >> 32));
    PutU32(h, 32, static_cast<std::uint32_t>(size));
    std::string name = Utf8ToGbk(utf8Name);
    if (name.size() > 259) name.resize(259);
    std::copy(name.begin(), name.end(), h.begin() + 44);
    return h;
}

std::string UpdateStream(const std::string& updateDir) {
    std::vector<std::string> names;
    if (DIR* dir = ::opendir(updateDir.c_str())) {
        while (dirent* e = ::readdir(dir)) {
            std::string name = e->d_name;
            if (name.empty() || name[0] == '.') continue;
            names.push_back(name);
        }
        ::closedir(dir);
    }
    std::sort(names.begin(), names.end());
    std::string out;
    for (const auto& name : names) {
        std::string path = updateDir + name;
        struct stat st {};
        if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
        if (out.size() + kUpdateHeaderSize + static_cast<std::uint64_t>(st.st_size) > kMaxUpdateBytes)
            continue;
        auto content = ReadWholeFile(path, kMaxUpdateBytes);
        if (!content) continue;
        out += UpdateHeader(name, content->size(), static_cast<std::int64_t>(st.st_mtim.tv_sec));
        out += *content;
    }
    return out;
}

}  // namespace qelt::server
