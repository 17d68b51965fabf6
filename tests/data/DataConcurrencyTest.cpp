// The receive thread folds while the interface thread reads copies.
#include <gtest/gtest.h>

#include <thread>

#include "StoreFixture.h"
#include "common/Messages.h"

namespace qelt::test {
namespace {

TEST(StoreConcurrency, ReadersAreNotBlockedWhileSeriesRequestsGoOut) {
    StoreFixture f;
    f.Categories();
    std::vector<bool> freeDuringSend;
    std::vector<std::size_t> recordsSeen;
    // Each request is sent while another thread reads the store: with the lock held during
    // the paced sends that read would wait for all of them.
    f.sender.onSend = [&](const std::string&) {
        freeDuringSend.push_back(StoreIsFree(f.data));
        recordsSeen.push_back(f.data.MainCount());
    };
    f.data.Dispatch(ListReply({ListRow("0101", "20060525"), ListRow("0101", "20060625")}));
    EXPECT_EQ(freeDuringSend, std::vector<bool>(4, true));
    EXPECT_EQ(recordsSeen, std::vector<std::size_t>(4, 2));  // the fold is complete before the first send
    EXPECT_EQ(f.sender.Sent().size(), 4u);
    EXPECT_EQ(f.poster.Count(WM_NET_LIST), 1u);
}

/// Checks, at every post, that the store lock is free.
class ProbingPoster : public QueuePoster {
  public:
    explicit ProbingPoster(const CQeltData* const& data) : m_data(data) {}
    void PostWindowMessage(WindowId window, unsigned message, std::intptr_t wParam,
                           std::intptr_t lParam) override {
        if (m_data != nullptr && !StoreIsFree(*m_data)) ++lockedPosts;
        QueuePoster::PostWindowMessage(window, message, wParam, lParam);
    }
    void PostThreadMessage(unsigned message, std::intptr_t wParam, std::intptr_t lParam) override {
        if (m_data != nullptr && !StoreIsFree(*m_data)) ++lockedPosts;
        QueuePoster::PostThreadMessage(message, wParam, lParam);
    }
    int lockedPosts = 0;

  private:
    const CQeltData* const& m_data;
};

TEST(StoreConcurrency, NotificationsAndAlarmRefreshRunWithTheLockReleased) {
    const CQeltData* probe = nullptr;
    ProbingPoster poster(probe);
    MessageTargets targets;
    targets.notification = kView;
    targets.passwordDialog = 3;
    CQeltData data(poster, targets);
    probe = &data;
    bool refreshFree = false;
    data.SetAlarmRefresh([&] { refreshFree = StoreIsFree(data); });
    for (const char* message :
         {"login:0|a|1", "ver:0:", "category:0101|生丝|0||",
          "list:20060525|1|1|1|1|1|1|1|1|0101|1|1|1|1|1|1|1|1|1|1|1|1|1|1|1|1|1|",
          "line:010120060525:12:20060601|1|2|3|0.5|10|1.5|7|8|x||", "real:010120060525::a|b||",
          "hisreal:x:1:a||", "his:0:", "msg:hello", "dis:", "pwd:0", "alarm:1|x||"})
        data.Dispatch(message);
    EXPECT_EQ(poster.lockedPosts, 0);
    EXPECT_EQ(poster.All().size(), 10u) << "every kind but \"dis\" (the connection reports that one)";
    EXPECT_TRUE(refreshFree);
}

TEST(StoreConcurrency, SendingStopsWhenTheConnectionGoesAway) {
    StoreFixture f;
    f.Categories();
    f.sender.onSend = [&](const std::string&) { f.online = false; };
    f.data.Dispatch(ListReply({ListRow("0101", "20060525"), ListRow("0101", "20060625")}));
    EXPECT_EQ(f.sender.Sent().size(), 1u);
}

TEST(StoreConcurrency, FoldingAndReadingCopiesTogether) {
    StoreFixture f;
    f.online = false;
    f.Categories();
    std::atomic<bool> done{false};
    std::thread receiver([&] {
        for (int round = 0; round < 60; ++round) {
            std::vector<ListRow> rows;
            for (int i = 0; i < 20; ++i)
                rows.push_back(ListRow("0101", "200606" + std::to_string(10 + i))
                                   .State(i % 3 == 0 ? "1" : "2")
                                   .Price(std::to_string(10 + round), "10"));
            f.data.Dispatch(ListReply(rows));
            f.data.Dispatch("line:01012006061" + std::to_string(round % 10) +
                            ":3:20060601|1|2|3|0.5|10|1.5|7|8|x||");
            f.data.Dispatch("real:01012006061" + std::to_string(round % 10) + "::a|b|c|d|e|f|g|" +
                            std::to_string(round) + "||");
            f.data.Dispatch("alarm:" + std::to_string(round + 1) + "|x||");
        }
        done = true;
    });
    std::size_t reads = 0;
    // At least one read, however fast the receiver is done.
    do {
        auto rows = f.data.GoodsOfCategory(0);
        auto current = f.data.CurrentGoods(0, 0, "");
        auto contracts = f.data.Copy(GoodsList::Contract);
        auto hits = f.data.AlarmHits();
        for (const auto& g : rows) EXPECT_EQ(g.goods_no, "0101");
        ++reads;
    } while (!done);
    receiver.join();
    EXPECT_GT(reads, 0u);
    EXPECT_EQ(f.data.MainCount(), 20u);
    EXPECT_EQ(f.data.AlarmHits().size(), 60u);
    EXPECT_EQ(f.data.MainList()[0].price, "69.00");
}

}  // namespace
}  // namespace qelt::test
