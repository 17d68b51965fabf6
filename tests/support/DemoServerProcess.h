#pragma once
// The demo quote server as a child process on a free loopback port, with its own data
// directory, for end-to-end tests of the client.
#include <string>
#include <vector>
#include <sys/types.h>

namespace qelt::test {

class DemoServerProcess {
public:
    /// Starts `executable` with `--data dataDir --clock demo` and waits until it accepts.
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
    pid_t m_pid = -1;
    int m_port = 0;
    int m_adminPort = 0;
};

}  // namespace qelt::test
