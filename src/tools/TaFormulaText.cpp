#include "tools/TaFormulaText.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "formula/Formula.h"

namespace qelt::ta {

std::optional<std::string> ReadFormulaText(const std::string& path) {
    const std::size_t limit = kMaxFormulaBytes + 1;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    std::string content(limit, '\0');
    std::size_t got = 0;
    while (got < limit) {
        const ssize_t n = ::read(fd, content.data() + got, limit - got);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {  // a read error (or a directory)
            ::close(fd);
            return std::nullopt;
        }
        if (n == 0) break;
        got += static_cast<std::size_t>(n);
    }
    ::close(fd);
    content.resize(got);
    return content;
}

}  // namespace qelt::ta
