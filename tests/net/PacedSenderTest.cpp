#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>

#include "net/PacedSender.h"

namespace qelt {
namespace {

using namespace std::chrono_literals;

class SlowSender : public MessageSender {
  public:
    void Send(const std::string& m) override {
        {
            std::lock_guard lock(mutex);
            sent.push_back(m);
        }
        std::this_thread::sleep_for(5ms);
    }
    std::vector<std::string> Sent() {
        std::lock_guard lock(mutex);
        return sent;
    }
    std::mutex mutex;
    std::vector<std::string> sent;
};

TEST(PacedSender, SendsBatchesInOrderWithoutHoldingTheCaller) {
    SlowSender sender;
    PacedSender paced(sender);
    paced.Enqueue({"real::0001:a:8:", "real::0001:b:8:"});
    paced.Enqueue({"real::0002:c:8:", ""});
    for (int i = 0; i < 200 && sender.Sent().size() < 3; ++i) std::this_thread::sleep_for(5ms);
    EXPECT_EQ(sender.Sent(),
              (std::vector<std::string>{"real::0001:a:8:", "real::0001:b:8:", "real::0002:c:8:"}));
    EXPECT_EQ(paced.Pending(), 0u);
}

TEST(PacedSender, SingleCommandsOvertakeTheBulkLaneInTheirOwnOrder) {
    SlowSender sender;
    PacedSender paced(sender);
    std::vector<std::string> bulk(50, "line:");
    paced.Enqueue(bulk);
    paced.SendFirst("msg:");
    paced.SendFirst("ver:1.96");
    for (int i = 0; i < 400 && sender.Sent().size() < 52; ++i) std::this_thread::sleep_for(5ms);
    const auto sent = sender.Sent();
    ASSERT_EQ(sent.size(), 52u);
    const auto msg = std::find(sent.begin(), sent.end(), "msg:");
    ASSERT_NE(msg, sent.end());
    EXPECT_LE(msg - sent.begin(), 2) << "at most the bulk message on its way goes first";
    EXPECT_EQ(*(msg + 1), "ver:1.96");
}

TEST(PacedSender, CancelForgetsWhatHasNotGoneOut) {
    SlowSender sender;
    PacedSender paced(sender);
    std::vector<std::string> many(100, "x:");
    paced.Enqueue(many);
    paced.Cancel();
    std::this_thread::sleep_for(30ms);
    EXPECT_LE(sender.Sent().size(), 2u);
}

}  // namespace
}  // namespace qelt
