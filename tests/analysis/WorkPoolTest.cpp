// The work pool: every item once, results in input order whatever the threads, progress
// one call at a time and rising, cancellation between items, exceptions carried back.
#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <vector>

#include "analysis/WorkPool.h"

namespace qelt {
namespace {

TEST(WorkPool, RunsEveryItemOnceIntoItsOwnSlotOnAnyNumberOfThreads) {
    for (int threads : {1, 2, 4}) {
        const WorkPool pool(threads);
        EXPECT_EQ(pool.Threads(), threads);
        for (int count : {0, 1, 3, 1000}) {
            std::vector<int> runs(static_cast<std::size_t>(count)), squares(static_cast<std::size_t>(count));
            std::vector<std::atomic<int>> workers(static_cast<std::size_t>(threads));
            ASSERT_TRUE(pool.Run(count, [&](int item, int worker) {
                ++runs[static_cast<std::size_t>(item)];
                squares[static_cast<std::size_t>(item)] = item * item;
                ++workers.at(static_cast<std::size_t>(worker));
            }));
            for (int i = 0; i < count; ++i) {
                EXPECT_EQ(runs[static_cast<std::size_t>(i)], 1) << threads << " threads, item " << i;
                EXPECT_EQ(squares[static_cast<std::size_t>(i)], i * i);
            }
        }
    }
    EXPECT_GE(WorkPool().Threads(), 1) << "one per core, at least one";
    EXPECT_EQ(WorkPool(-3).Threads(), WorkPool(0).Threads());
}

TEST(WorkPool, ProgressIsOneCallAtATimeWithRisingCountsEndingAtTheTotal) {
    const WorkPool pool(4);
    std::atomic<bool> inside{false};
    bool overlapped = false;
    std::vector<int> counts;
    ASSERT_TRUE(pool.Run(
        500, [](int, int) {}, nullptr,
        [&](int done) {
            if (inside.exchange(true)) overlapped = true;
            counts.push_back(done);
            inside = false;
        }));
    EXPECT_FALSE(overlapped);
    ASSERT_FALSE(counts.empty());
    EXPECT_EQ(counts.back(), 500);
    for (std::size_t i = 1; i < counts.size(); ++i) EXPECT_LT(counts[i - 1], counts[i]);
}

TEST(WorkPool, ACancelStopsFurtherItemsAndTheRunSaysSo) {
    for (int threads : {1, 2, 3}) {
        const WorkPool pool(threads);
        std::atomic<bool> cancel{false};
        std::atomic<int> started{0}, startedAfterTheFlag{0};
        const bool finished = pool.Run(
            1000,
            [&](int item, int) {
                ++started;
                if (cancel) ++startedAfterTheFlag;
                if (item == 10) cancel = true;
            },
            &cancel);
        EXPECT_FALSE(finished);
        // Once a thread has seen the flag it takes no further item: only an item another
        // thread took just before the flag was set can still start.
        EXPECT_LE(startedAfterTheFlag.load(), threads - 1);
        if (threads == 1) {
            EXPECT_EQ(started.load(), 11);
        }

        started = 0;
        EXPECT_FALSE(pool.Run(
            5, [&](int, int) { ++started; }, &cancel))
            << "set before the start";
        EXPECT_EQ(started.load(), 0);
    }
    std::atomic<bool> never{false};
    EXPECT_TRUE(WorkPool(2).Run(
        10, [](int, int) {}, &never));
}

TEST(WorkPool, AnItemsExceptionStopsTheOthersAndIsThrownToTheCaller) {
    const WorkPool pool(2);
    std::atomic<int> started{0};
    EXPECT_THROW(pool.Run(10000,
                          [&](int item, int) {
                              ++started;
                              if (item == 3) throw std::runtime_error("item 3");
                          }),
                 std::runtime_error);
    // The pool works on afterwards.
    std::atomic<int> done{0};
    EXPECT_TRUE(pool.Run(50, [&](int, int) { ++done; }));
    EXPECT_EQ(done.load(), 50);
}

}  // namespace
}  // namespace qelt
