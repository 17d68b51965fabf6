#pragma once
/// `CUpdateApp`: the updater program. The client starts it as `update "<address>|<port>"`;
/// that argument is ignored, the servers come from config.ini. The program directory is
/// decided as the client's (`--home DIR`, QELT_HOME, common/ProgramDir.h).
/// `--batch` runs without a window and reports through the exit code (see UpdateBatch.h).
namespace qelt {

class CUpdateApp {
  public:
    /// Runs the program; returns the process exit code (0 when the dialog was closed).
    static int Run(int argc, char** argv);

    /// True when `--batch` is among the arguments.
    static bool WantsBatch(int argc, const char* const* argv);
};

}  // namespace qelt
