#pragma once
/// The program directory holds every settings file and his/qelt.db. It is the executable's
/// directory, unless `--home DIR` is given on the command line or QELT_HOME is set, so that
/// several installations (and the tests) can each have their own. Always ends in "/".
#include <string>

namespace qelt {

/// Decides the program directory from the command line, the environment and the executable.
std::string ResolveProgramDirectory(int argc, const char* const* argv);

/// `dir` with exactly one trailing "/".
std::string WithTrailingSlash(std::string dir);

/// Directory of the running executable, with a trailing "/".
std::string ExecutableDirectory();

}  // namespace qelt
