// Connecting without making the caller wait: a host that drops packets, a cancel, a refusal.
#include <gtest/gtest.h>

#include <chrono>
#include <future>

#include "net/TcpConnect.h"
#include "support/BlackHole.h"
#include "support/LoopbackServer.h"

namespace qelt {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

TEST(AsyncConnector, ABlackHoleNeitherHoldsTheCallerNorOutlivesACancel) {
    test::BlackHole hole;
    AsyncConnector connector;
    std::promise<bool> result;
    const auto start = Clock::now();
    connector.Start("127.0.0.1", hole.Port(), 10s, [&](UniqueFd fd) { result.set_value(fd.Valid()); });
    EXPECT_LT(Clock::now() - start, 200ms) << "Start returns at once";
    auto outcome = result.get_future();
    EXPECT_EQ(outcome.wait_for(300ms), std::future_status::timeout) << "the handshake is still hanging";
    connector.Cancel();
    ASSERT_EQ(outcome.wait_for(2s), std::future_status::ready)
        << "a cancel ends the attempt well before its timeout";
    EXPECT_FALSE(outcome.get());
}

TEST(AsyncConnector, ConnectsRefusesAndTimesOut) {
    test::LoopbackServer server;
    {
        AsyncConnector connector;
        std::promise<bool> result;
        connector.Start("127.0.0.1", server.Port(), 2s, [&](UniqueFd fd) { result.set_value(fd.Valid()); });
        EXPECT_TRUE(result.get_future().get());
    }
    EXPECT_FALSE(ConnectTcp("127.0.0.1", 0, 1s).Valid()) << "port 0";
    EXPECT_FALSE(ConnectTcp("not an address", server.Port(), 1s).Valid());
    test::BlackHole hole;
    const auto start = Clock::now();
    EXPECT_FALSE(ConnectTcp("127.0.0.1", hole.Port(), 300ms).Valid());
    EXPECT_LT(Clock::now() - start, 2s);
}

}  // namespace
}  // namespace qelt
