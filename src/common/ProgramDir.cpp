#include "ProgramDir.h"

#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <string_view>

namespace qelt {

std::string WithTrailingSlash(std::string dir) {
    if (dir.empty()) return "./";
    while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
    if (dir != "/") dir.push_back('/');
    return dir;
}

std::string ExecutableDirectory() {
    char buffer[PATH_MAX];
    ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0) return "./";
    std::string path(buffer, static_cast<size_t>(n));
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? "./" : path.substr(0, slash + 1);
}

std::string ResolveProgramDirectory(int argc, const char* const* argv) {
    for (int i = 1; i < argc; ++i) {
        std::string_view arg = argv[i];
        if (arg == "--home" && i + 1 < argc) return WithTrailingSlash(argv[i + 1]);
        if (arg.substr(0, 7) == "--home=") return WithTrailingSlash(std::string(arg.substr(7)));
    }
    if (const char* env = std::getenv("QELT_HOME"); env && *env) return WithTrailingSlash(env);
    return ExecutableDirectory();
}

}  // namespace qelt
