// Connecting without making the caller wait: a host that drops packets, a cancel, a refusal,
// and the reason of each failed attempt as the log tells whoever supports a user.
#include <gtest/gtest.h>

#include <chrono>
#include <future>

#include "common/DiagnosticLog.h"
#include "common/Files.h"
#include "net/TcpConnect.h"
#include "support/BlackHole.h"
#include "support/LoopbackServer.h"
#include "support/TempDir.h"

namespace qelt {
namespace {

using namespace std::chrono_literals;

/// The diagnostic log of the test, in a folder of its own.
class LoggedConnects : public ::testing::Test {
  protected:
    LoggedConnects() {
        LogSettings settings;
        settings.directory = dir.Path();
        settings.toStderr = false;
        StartLog(settings);
    }
    ~LoggedConnects() override { StopLog(); }
    std::string Logged() const { return ReadWholeFile(LogFilePath(dir.Path())).value_or(""); }
    bool Logged(const std::string& line) const { return Logged().find(line) != std::string::npos; }
    test::TempDir dir;
};

TEST_F(LoggedConnects, ABlackHoleNeitherHoldsTheCallerNorOutlivesACancel) {
    test::BlackHole hole;
    AsyncConnector connector;
    std::promise<bool> result;
    auto outcome = result.get_future();
    connector.Start("127.0.0.1", hole.Port(), 60s, [&](UniqueFd fd) { result.set_value(fd.Valid()); });
    EXPECT_EQ(outcome.wait_for(0s), std::future_status::timeout)
        << "Start returned before the attempt ended: the caller never waits for the handshake";
    connector.Cancel();
    ASSERT_EQ(outcome.wait_for(30s), std::future_status::ready) << "a cancel ends the attempt";
    EXPECT_FALSE(outcome.get());
    const std::string where = "127.0.0.1:" + std::to_string(hole.Port());
    EXPECT_TRUE(Logged("connection to " + where + " failed: cancelled"))
        << "ended by the cancel, not by its 60 s timeout\n"
        << Logged();
}

TEST_F(LoggedConnects, ConnectsRefusesAndTimesOutEachForItsOwnReason) {
    test::LoopbackServer server;
    {
        AsyncConnector connector;
        std::promise<bool> result;
        connector.Start("127.0.0.1", server.Port(), 2s, [&](UniqueFd fd) { result.set_value(fd.Valid()); });
        EXPECT_TRUE(result.get_future().get());
    }
    const std::string served = "127.0.0.1:" + std::to_string(server.Port());
    EXPECT_TRUE(Logged("connecting to " + served));
    EXPECT_TRUE(Logged("connected to " + served));

    EXPECT_FALSE(ConnectTcp("127.0.0.1", 0, 1s).Valid()) << "port 0";
    EXPECT_TRUE(Logged("connection to 127.0.0.1:0 failed: no usable address or port"));
    EXPECT_FALSE(ConnectTcp("not an address", server.Port(), 1s).Valid());
    EXPECT_TRUE(Logged("connection to not an address:" + std::to_string(server.Port()) +
                       " failed: no usable address or port"));
    EXPECT_FALSE(ConnectTcp("", 3500, 1s).Valid());
    EXPECT_TRUE(Logged("connection to (no address):3500 failed: no usable address or port"));

    int refusedPort = 0;
    {
        test::LoopbackServer gone;
        refusedPort = gone.Port();
    }
    EXPECT_FALSE(ConnectTcp("127.0.0.1", refusedPort, 5s).Valid());
    EXPECT_TRUE(
        Logged("connection to 127.0.0.1:" + std::to_string(refusedPort) + " failed: Connection refused"))
        << Logged();

    test::BlackHole hole;
    EXPECT_FALSE(ConnectTcp("127.0.0.1", hole.Port(), 300ms).Valid());
    EXPECT_TRUE(
        Logged("connection to 127.0.0.1:" + std::to_string(hole.Port()) + " failed: no answer within 300 ms"))
        << Logged();
}

}  // namespace
}  // namespace qelt
