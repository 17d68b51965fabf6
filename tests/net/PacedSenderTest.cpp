#include <gtest/gtest.h>

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
    EXPECT_EQ(sender.Sent(), (std::vector<std::string>{"real::0001:a:8:", "real::0001:b:8:", "real::0002:c:8:"}));
    EXPECT_EQ(paced.Pending(), 0u);
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
