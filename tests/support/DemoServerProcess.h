#pragma once
// The demo quote server as a child process on a loopback port of its own choosing, with its
// own data directory, for end-to-end tests of the client.
#include <sys/types.h>

#include <string>
#include <vector>

namespace qelt::test {

class DemoServerProcess {
  public:
    /// Starts `executable` with `--port 0 --bind 127.0.0.1 --data dataDir --clock demo` (and
    /// `--admin-port 0` when asked) and reads the ports it prints once it listens ("listening
    /// on 127.0.0.1:PORT", "admin on 127.0.0.1:PORT"): no port is picked before the server
    /// binds it, so servers started side by side cannot race for one. Throws
    /// std::runtime_error, after ending the child, when the server does not start listening
    /// within 30 s (it exited, or it printed no port): the test fails instead of running
    /// against no server.
    DemoServerProcess(const std::string& executable, const std::string& dataDir, bool withAdminPort = false,
                      std::vector<std::string> extraArguments = {});
    ~DemoServerProcess();
    DemoServerProcess(const DemoServerProcess&) = delete;
    DemoServerProcess& operator=(const DemoServerProcess&) = delete;

    bool Running() const { return m_pid > 0; }
    int Port() const { return m_port; }
    /// The loopback administration port (0 unless asked for).
    int AdminPort() const { return m_adminPort; }
    /// Sends one administration command ("dis:USER", "notice:TEXT"); false when it failed.
    bool Admin(const std::string& command) const;
    /// Ends the server at once (as a crash or a cut cable would).
    void Kill();

  private:
    /// Reads the child's first lines from `fd` until the ports are known; false on timeout
    /// or when the child closed its output first. `seen` gets what was read.
    bool ReadPorts(int fd, bool withAdminPort, std::string& seen);

    pid_t m_pid = -1;
    int m_port = 0;
    int m_adminPort = 0;
};

}  // namespace qelt::test
