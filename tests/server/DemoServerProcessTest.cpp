// The demo server as the end-to-end tests start it: a child process that picks its own
// ports and says which.
#include <gtest/gtest.h>

#include <stdexcept>

#include "ServerHarness.h"
#include "net/Replies.h"
#include "net/Requests.h"
#include "support/DemoServerProcess.h"
#include "support/TempDir.h"

namespace qelt::server::test {
namespace {

TEST(DemoServerProcess, ServersSideBySideBindTheirOwnPortsAndAnswer) {
    qelt::test::TempDir dataA, dataB;
    qelt::test::DemoServerProcess a(QELT_SERVER_PATH, dataA.Path(), true);
    qelt::test::DemoServerProcess b(QELT_SERVER_PATH, dataB.Path());
    ASSERT_TRUE(a.Running());
    EXPECT_NE(a.Port(), b.Port());
    EXPECT_GT(a.AdminPort(), 0);
    EXPECT_EQ(b.AdminPort(), 0);
    for (int port : {a.Port(), b.Port()}) {
        TestClient client(port);
        auto reply = client.Ask(LoginRequest("demo", "demo"), "login");
        ASSERT_TRUE(reply);
        EXPECT_EQ(ParseLogin(SplitKind(*reply).body).code, 0);
    }
    EXPECT_TRUE(a.Admin("notice:hello"));
}

TEST(DemoServerProcess, AServerThatDoesNotStartFailsTheTest) {
    qelt::test::TempDir data;
    EXPECT_THROW(qelt::test::DemoServerProcess(QELT_SERVER_PATH, data.Path(), false, {"--clock", "never"}),
                 std::runtime_error);
    EXPECT_THROW(qelt::test::DemoServerProcess("/nonexistent/qelt-server", data.Path()), std::runtime_error);
}

}  // namespace
}  // namespace qelt::server::test
