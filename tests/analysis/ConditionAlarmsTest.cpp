// Condition alarms: a hit when the condition holds at the last bar, once per entry, goods
// and day (also after a restart, through the remembered days), live updates giving the
// verdicts of a computation from scratch, and entries set, refused and removed.
#include <gtest/gtest.h>

#include "AnalysisTestSupport.h"
#include "analysis/ConditionAlarms.h"

namespace qelt {
namespace {

using test::MustCompile;

const GoodsKey kCopper{"0101", "200606"};
const GoodsKey kSilk{"0102", "200606"};

/// The goods' series after an update, with the promise about its leading bars.
WatchedGoodsUpdate Update(const GoodsKey& goods, const BarSeries& days, int unchanged,
                          std::vector<int> entries) {
    return WatchedGoodsUpdate{goods, &days, unchanged, std::move(entries)};
}

std::vector<ConditionHit> Evaluate(ConditionAlarms& alarms, const std::vector<WatchedGoodsUpdate>& updates,
                                   ConditionHitMemory& memory) {
    return alarms.Evaluate(updates, memory);
}

std::vector<int> Days(const std::vector<ConditionHit>& hits) {
    std::vector<int> days;
    for (const ConditionHit& hit : hits) days.push_back(hit.day);
    return days;
}

TEST(ConditionAlarms, AHitOncePerEntryGoodsAndDayAlsoAfterARestart) {
    ConditionAlarms alarms;
    ASSERT_FALSE(alarms.SetEntry(1, MustCompile("C>10;"), {}));
    ConditionHitMemory memory;
    BarSeries days = test::Consecutive(20060102, {{9, 9}, {9, 11}});
    std::vector<ConditionHit> hits = Evaluate(alarms, {Update(kCopper, days, 0, {1})}, memory);
    ASSERT_EQ(hits.size(), 1u);
    EXPECT_EQ(hits[0].entry, 1);
    EXPECT_EQ(hits[0].goods, kCopper);
    EXPECT_EQ(hits[0].day, 20060103);
    EXPECT_EQ(hits[0].bar, 1);
    EXPECT_EQ(hits[0].price, 11.0);
    EXPECT_EQ(memory.LastHitDay(1, kCopper), 20060103);
    // The same day again, with a new last price: no second hit.
    days.back() = test::MakeDayBar({20060103, 9, 12});
    EXPECT_TRUE(Evaluate(alarms, {Update(kCopper, days, 1, {1})}, memory).empty());
    // A restart: a new engine with the remembered days.
    ConditionAlarms restarted;
    ASSERT_FALSE(restarted.SetEntry(1, MustCompile("C>10;"), {}));
    EXPECT_TRUE(Evaluate(restarted, {Update(kCopper, days, 0, {1})}, memory).empty());
    // The next day it may hit again; another goods or entry has days of its own.
    days.push_back(test::MakeDayBar({20060104, 12, 13}));
    ASSERT_FALSE(restarted.SetEntry(2, MustCompile("C>12;"), {}));
    hits = Evaluate(restarted, {Update(kCopper, days, 2, {1, 2}), Update(kSilk, days, 0, {1})}, memory);
    EXPECT_EQ(Days(hits), (std::vector<int>{20060104, 20060104, 20060104}));
    EXPECT_EQ(hits[1].entry, 2);
    EXPECT_EQ(hits[2].goods, kSilk);
    EXPECT_EQ(memory.Days().size(), 3u);
}

TEST(ConditionAlarms, OnlyTheLastBarCountsAndEntriesNotSetArePassedOver) {
    ConditionAlarms alarms;
    ASSERT_FALSE(alarms.SetEntry(1, MustCompile("UP:C>REF(C,1);"), {}));
    ConditionHitMemory memory;
    const BarSeries fell = test::Consecutive(20060102, {{9, 9}, {9, 11}, {11, 10}});
    EXPECT_TRUE(Evaluate(alarms, {Update(kCopper, fell, 0, {1, 5})}, memory).empty());
    const BarSeries none = test::Consecutive(20060102, {{9, 9}});
    EXPECT_TRUE(Evaluate(alarms, {Update(kCopper, none, 0, {1})}, memory).empty()) << "no value: false";
    EXPECT_TRUE(Evaluate(alarms, {Update(kCopper, BarSeries{}, 0, {1})}, memory).empty());
    EXPECT_TRUE(memory.Days().empty());
}

TEST(ConditionAlarms, LiveUpdatesGiveTheVerdictsOfAComputationFromScratch) {
    // Four goods updated together, again and again: the last bar rewritten, a day added, the
    // series loaded afresh. Each verdict must be that of a new engine computing from bar 0.
    const CompiledFormula formula = MustCompile("C>MA(C,3) AND C>REF(C,1); M:MA(C,3);");
    ConditionAlarms live;
    ASSERT_FALSE(live.SetEntry(1, formula, {}));
    std::vector<BarSeries> series(4, test::Walk(30, 9));
    std::mt19937 random(4);
    for (int step = 0; step < 40; ++step) {
        std::vector<WatchedGoodsUpdate> updates;
        for (std::size_t g = 0; g < series.size(); ++g) {
            BarSeries& days = series[g];
            int unchanged = static_cast<int>(days.size()) - 1;
            const int kind = static_cast<int>(random() % 4);
            const double price = 950.0 + static_cast<double>(random() % 100);
            if (kind == 0) {
                days.back() = test::MakeDayBar(
                    {test::DateAfter(20060101, static_cast<int>(days.size()) - 1), 1000, price});
            } else if (kind == 1) {
                days.push_back(test::MakeDayBar(
                    {test::DateAfter(20060101, static_cast<int>(days.size())), 1000, price}));
                unchanged = static_cast<int>(days.size()) - 1;
            } else {
                days[days.size() / 2] = test::MakeDayBar({20060101, 1, price});  // a reload
                days.back() = test::MakeDayBar(
                    {test::DateAfter(20060101, static_cast<int>(days.size()) - 1), 1000, price});
                unchanged = 0;
            }
            updates.push_back(Update(GoodsKey{FormatInt(static_cast<int>(g)), ""}, days, unchanged, {1}));
        }
        ConditionHitMemory liveMemory, freshMemory;
        ConditionAlarms fresh;
        ASSERT_FALSE(fresh.SetEntry(1, formula, {}));
        const WorkPool pool(2);
        std::vector<WatchedGoodsUpdate> freshUpdates = updates;
        for (WatchedGoodsUpdate& update : freshUpdates) update.unchangedBars = 0;
        const std::vector<ConditionHit> expected = fresh.Evaluate(freshUpdates, freshMemory);
        const std::vector<ConditionHit> actual =
            live.Evaluate(updates, liveMemory, step % 2 ? &pool : nullptr);
        ASSERT_EQ(actual.size(), expected.size()) << "step " << step;
        for (std::size_t h = 0; h < actual.size(); ++h) {
            EXPECT_EQ(actual[h].goods, expected[h].goods);
            EXPECT_EQ(actual[h].price, expected[h].price);
        }
    }
}

TEST(ConditionAlarms, APromiseIsTrustedOnlyForRunsMadeAtTheGoodsPreviousUpdate) {
    // Entry 1 sits out the update that reloads the series; entry 2 is there. At the next
    // update the promise (all bars but the last unchanged since the reload) does not hold
    // for entry 1's run, which last read the series before the reload.
    ConditionAlarms alarms;
    ASSERT_FALSE(alarms.SetEntry(1, MustCompile("C>REF(C,1);"), {}));
    ASSERT_FALSE(alarms.SetEntry(2, MustCompile("C<0;"), {}));
    ConditionHitMemory memory;
    BarSeries days = test::Consecutive(20060102, {{10, 10}, {10, 10}, {10, 10}});
    EXPECT_TRUE(Evaluate(alarms, {Update(kCopper, days, 0, {1, 2})}, memory).empty());
    days = test::Consecutive(20060102, {{10, 10}, {10, 20}, {10, 10}});
    EXPECT_TRUE(Evaluate(alarms, {Update(kCopper, days, 0, {2})}, memory).empty());
    days.back() = test::MakeDayBar({20060104, 10, 15});
    EXPECT_TRUE(Evaluate(alarms, {Update(kCopper, days, 2, {1, 2})}, memory).empty())
        << "15 is below the 20 before it, which entry 1 has not read yet";
    days.back() = test::MakeDayBar({20060104, 10, 25});
    EXPECT_EQ(Evaluate(alarms, {Update(kCopper, days, 2, {1, 2})}, memory).size(), 1u);
}

TEST(ConditionAlarms, EntriesAreRefusedReplacedAndRemoved) {
    ConditionAlarms alarms;
    ConditionHitMemory memory;
    const std::optional<FormulaError> fault =
        alarms.SetEntry(1, MustCompile("C>MA(C,N-5);", {{"N", 10, 1, 50}}), {5});
    ASSERT_TRUE(fault);
    EXPECT_EQ(fault->line, 1);
    EXPECT_FALSE(alarms.HasEntry(1));
    const BarSeries days = test::Consecutive(20060102, {{9, 9}, {9, 11}});
    EXPECT_TRUE(Evaluate(alarms, {Update(kCopper, days, 0, {1})}, memory).empty());
    ASSERT_FALSE(alarms.SetEntry(1, MustCompile("C>MA(C,N-5);", {{"N", 10, 1, 50}}), {7}));
    EXPECT_EQ(Evaluate(alarms, {Update(kCopper, days, 0, {1})}, memory).size(), 1u);
    // Replaced by a formula that holds nowhere: no hit however the bars are promised.
    ASSERT_FALSE(alarms.SetEntry(1, MustCompile("C>100;"), {}));
    memory.ForgetEntry(1);
    EXPECT_TRUE(Evaluate(alarms, {Update(kCopper, days, 2, {1})}, memory).empty());
    ASSERT_FALSE(alarms.SetEntry(2, MustCompile("C>0;"), {}));
    EXPECT_EQ(Evaluate(alarms, {Update(kCopper, days, 2, {2})}, memory).size(), 1u);
    alarms.RemoveEntry(2);
    EXPECT_FALSE(alarms.HasEntry(2));
    memory.Record(3, kCopper, 20060101);
    memory.ForgetEntry(2);
    EXPECT_EQ(memory.Days().size(), 1u) << "only entry 2's days go";
    EXPECT_EQ(memory.LastHitDay(3, kCopper), 20060101);
}

}  // namespace
}  // namespace qelt
