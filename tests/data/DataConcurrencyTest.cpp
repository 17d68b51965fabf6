// The receive thread folds while the interface thread reads copies.
#include <gtest/gtest.h>

#include <condition_variable>
#include <thread>

#include "StoreFixture.h"
#include "common/Messages.h"

namespace qelt::test {
namespace {

TEST(StoreConcurrency, ReadersAreNotBlockedWhileSeriesRequestsGoOut) {
    StoreFixture f;
    f.Categories();
    std::mutex m;
    std::condition_variable cv;
    bool readerDone = false;
    bool readerTimedOut = false;
    // The first request waits until a reader on another thread has read the store: with the
    // lock held during sending this would time out.
    f.sender.onSend = [&](const std::string&) {
        std::unique_lock lock(m);
        if (!cv.wait_for(lock, std::chrono::seconds(2), [&] { return readerDone; })) readerTimedOut = true;
    };
    std::thread reader([&] {
        f.poster.WaitFor([](const auto&) { return false; }, std::chrono::milliseconds(20));
        auto rows = f.data.MainList();  // waits for the fold itself, never for the sends
        std::lock_guard lock(m);
        readerDone = true;
        cv.notify_all();
    });
    f.data.Dispatch(ListReply({ListRow("0101", "20060525"), ListRow("0101", "20060625")}));
    reader.join();
    EXPECT_FALSE(readerTimedOut);
    EXPECT_EQ(f.sender.Sent().size(), 4u);
    EXPECT_EQ(f.poster.Count(WM_NET_LIST), 1u);
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
                rows.push_back(ListRow("0101", "200606" + std::to_string(10 + i)).State(i % 3 == 0 ? "1" : "2")
                                   .Price(std::to_string(10 + round), "10"));
            f.data.Dispatch(ListReply(rows));
            f.data.Dispatch("line:01012006061" + std::to_string(round % 10) + ":3:20060601|1|2|3|0.5|10|1.5|7|8|x||");
            f.data.Dispatch("real:01012006061" + std::to_string(round % 10) + "::a|b|c|d|e|f|g|" +
                            std::to_string(round) + "||");
            f.data.Dispatch("alarm:" + std::to_string(round + 1) + "|x||");
        }
        done = true;
    });
    std::size_t reads = 0;
    while (!done) {
        auto rows = f.data.GoodsOfCategory(0);
        auto current = f.data.CurrentGoods(0, 0, "");
        auto contracts = f.data.ContractList();
        auto hits = f.data.AlarmHits();
        for (const auto& g : rows) EXPECT_EQ(g.goods_no, "0101");
        ++reads;
    }
    receiver.join();
    EXPECT_GT(reads, 0u);
    EXPECT_EQ(f.data.MainCount(), 20u);
    EXPECT_EQ(f.data.AlarmHits().size(), 60u);
    EXPECT_EQ(f.data.MainList()[0].price, "69.00");
}

}  // namespace
}  // namespace qelt::test
