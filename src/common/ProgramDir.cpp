#include "ProgramDir.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <memory>
#include <string_view>

#include "Files.h"
#include "common/InstallPaths.h"

namespace qelt {
namespace {

/// A default settings file is small; anything bigger is not one of ours.
constexpr size_t kMaxDefaultFileBytes = 1u << 20;

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

bool IsAbsolute(const std::string& path) { return !path.empty() && path.front() == '/'; }

/// mkdir -p, new levels readable by the user alone (the directory holds the remembered login).
bool MakeDirectories(const std::string& directory) {
    struct stat st {};
    if (::stat(directory.c_str(), &st) == 0) return S_ISDIR(st.st_mode);
    for (size_t slash = directory.find('/', 1); slash != std::string::npos;
         slash = directory.find('/', slash + 1)) {
        const std::string level = directory.substr(0, slash);
        if (::mkdir(level.c_str(), 0700) != 0 && errno != EEXIST) return false;
    }
    if (::mkdir(directory.c_str(), 0700) != 0 && errno != EEXIST) return false;
    return ::stat(directory.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool IsRegularFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool Exists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

}  // namespace

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

std::string InstalledDefaultsDirectory() { return ExecutableDirectory() + install::kDefaultsFromBin; }

ProgramDirectoryChoice ChooseProgramDirectory(const ProgramDirectorySources& s) {
    if (!s.homeOption.empty()) return {WithTrailingSlash(s.homeOption)};
    if (!s.homeVariable.empty()) return {WithTrailingSlash(s.homeVariable)};
    if (s.executableDirectoryUsable) return {WithTrailingSlash(s.executableDirectory)};
    // A relative XDG_DATA_HOME is invalid and ignored, as the base-directory rules say.
    if (IsAbsolute(s.dataHome)) return {WithTrailingSlash(s.dataHome) + "qelt/", true};
    if (IsAbsolute(s.userHome)) return {WithTrailingSlash(s.userHome) + ".local/share/qelt/", true};
    // Nowhere of the user's own: the executable's directory, as a portable copy has it.
    return {WithTrailingSlash(s.executableDirectory)};
}

bool PreparePerUserDirectory(const std::string& directory, const std::string& defaultsDirectory) {
    const std::string dir = WithTrailingSlash(directory);
    if (!MakeDirectories(dir.size() > 1 ? dir.substr(0, dir.size() - 1) : dir)) return false;
    std::unique_ptr<DIR, int (*)(DIR*)> defaults(::opendir(defaultsDirectory.c_str()), ::closedir);
    if (!defaults) return true;  // nothing installed to copy: the client makes its files itself
    const std::string from = WithTrailingSlash(defaultsDirectory);
    while (const dirent* entry = ::readdir(defaults.get())) {
        const std::string name = entry->d_name;
        if (name == "." || name == ".." || !IsRegularFile(from + name) || Exists(dir + name)) continue;
        if (auto content = ReadWholeFile(from + name, kMaxDefaultFileBytes))
            WriteFileAtomic(dir + name, *content, 0600);
    }
    return true;
}

std::string ResolveProgramDirectory(int argc, const char* const* argv) {
    ProgramDirectorySources sources;
    for (int i = 1; i < argc && sources.homeOption.empty(); ++i) {
        std::string_view arg = argv[i];
        if (arg == "--home" && i + 1 < argc) sources.homeOption = argv[i + 1];
        if (arg.substr(0, 7) == "--home=") sources.homeOption = std::string(arg.substr(7));
    }
    sources.homeVariable = Environment("QELT_HOME");
    sources.executableDirectory = ExecutableDirectory();
    sources.executableDirectoryUsable = ::access(sources.executableDirectory.c_str(), W_OK) == 0 &&
                                        IsRegularFile(sources.executableDirectory + "config.ini");
    sources.dataHome = Environment("XDG_DATA_HOME");
    sources.userHome = Environment("HOME");
    ProgramDirectoryChoice choice = ChooseProgramDirectory(sources);
    if (choice.perUser && !PreparePerUserDirectory(choice.directory, InstalledDefaultsDirectory()))
        return sources.executableDirectory;
    return choice.directory;
}

}  // namespace qelt
