#pragma once
/// The program directory holds every settings file and his/qelt.db. Tried in turn:
/// `--home DIR`, the environment's QELT_HOME, the executable's directory when it is writable
/// and holds config.ini (the build tree, a portable copy), else the per-user directory
/// `$XDG_DATA_HOME/qelt` (by default ~/.local/share/qelt), made on first start and filled from
/// the installed defaults. An installed executable's directory is not the user's to write, so
/// nothing is ever written under the installation. Always ends in "/".
#include <string>

namespace qelt {

/// What the choice is made from, gathered by ResolveProgramDirectory.
struct ProgramDirectorySources {
    std::string homeOption;    ///< --home DIR; empty when not given
    std::string homeVariable;  ///< QELT_HOME
    std::string executableDirectory;
    bool executableDirectoryUsable = false;  ///< writable and holding config.ini
    std::string dataHome;                    ///< XDG_DATA_HOME
    std::string userHome;                    ///< HOME
};

struct ProgramDirectoryChoice {
    std::string directory;  ///< with a trailing "/"
    bool perUser = false;   ///< to be made and filled from the installed defaults first
};

ProgramDirectoryChoice ChooseProgramDirectory(const ProgramDirectorySources& sources);

/// Makes `directory` (and its missing parents, private to the user) and copies in each regular
/// file of `defaultsDirectory` that it lacks; what the user already has is never replaced.
/// False when the directory cannot be made; a default that cannot be copied is skipped.
bool PreparePerUserDirectory(const std::string& directory, const std::string& defaultsDirectory);

/// Decides the program directory from the command line, the environment and the executable,
/// and prepares the per-user directory when that is the one. When it cannot be made the
/// executable's directory stands in.
std::string ResolveProgramDirectory(int argc, const char* const* argv);

/// `dir` with exactly one trailing "/".
std::string WithTrailingSlash(std::string dir);

/// Directory of the running executable, with a trailing "/".
std::string ExecutableDirectory();

/// Where an installation keeps the client's default settings files (relative to the
/// executable: they go together), with a trailing "/".
std::string InstalledDefaultsDirectory();

}  // namespace qelt
