// Parameter optimisation: the ranges' values, their faults, the table's order, rows equal
// to single tests whatever the threads, and a cancelled run leaving no table.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <limits>

#include "AnalysisTestSupport.h"
#include "analysis/Optimisation.h"

namespace qelt {
namespace {

TEST(OptimisationRanges, ValuesRunFromFromInStepsWhileAtMostToPlusAThousandthOfAStep) {
    EXPECT_EQ(RangeValueCount({0, 5, 20, 5}), 4);
    EXPECT_EQ(RangeValueCount({0, 3, 3, 1}), 1);
    // 1 + 10 × 0.1 is 2.0000000000000004: the STEP/1000 beyond TO keeps it.
    EXPECT_EQ(RangeValueCount({0, 1, 2, 0.1}), 11);
    EXPECT_DOUBLE_EQ(RangeValue({0, 1, 2, 0.1}, 10), 2.0);
    EXPECT_EQ(RangeValueCount({0, 0, 1, 0.3}), 4) << "0, 0.3, 0.6, 0.9: 1.2 is beyond";
    EXPECT_EQ(RangeValueCount({0, 0, 0.9, 0.3}), 4) << "3 × 0.3 is 0.8999999999999999: within 0.9";
    EXPECT_EQ(RangeValueCount({0, -2, 2, 2}), 3);
    EXPECT_EQ(RangeValueCount({0, 2, 1, 1}), 0);
    EXPECT_EQ(RangeValueCount({0, 1, 2, 0}), 0);
    EXPECT_EQ(RangeValueCount({0, 1, 2, -1}), 0);
    EXPECT_EQ(RangeValueCount({0, 1, 1e300, 1}), kMaxCombinations + 1) << "counted no further than the limit";
    EXPECT_EQ(RangeValueCount({0, 1, 1e300, 1e-300}), kMaxCombinations + 1);
}

TEST(OptimisationRanges, FaultsAreNamedBeforeAnythingRuns) {
    EXPECT_EQ(CheckRanges({}, 2), RangeFault::NoParameter);
    EXPECT_EQ(CheckRanges({{0, 1, 2, 1}, {1, 1, 2, 1}, {2, 1, 2, 1}, {3, 1, 2, 1}}, 6),
              RangeFault::TooManyParameters);
    EXPECT_EQ(CheckRanges({{2, 1, 2, 1}}, 2), RangeFault::UnknownParameter);
    EXPECT_EQ(CheckRanges({{0, 1, 2, 1}, {0, 1, 3, 1}}, 2), RangeFault::RepeatedParameter);
    EXPECT_EQ(CheckRanges({{0, 1, std::numeric_limits<double>::infinity(), 1}}, 1), RangeFault::NotANumber);
    EXPECT_EQ(CheckRanges({{0, 1, 2, 0}}, 1), RangeFault::StepNotPositive);
    EXPECT_EQ(CheckRanges({{0, 3, 2, 1}}, 1), RangeFault::EmptyRange);
    EXPECT_EQ(CheckRanges({{0, 1, 100000, 1}}, 1), RangeFault::None);
    EXPECT_EQ(CheckRanges({{0, 1, 100001, 1}}, 1), RangeFault::TooManyCombinations);
    EXPECT_EQ(CheckRanges({{0, 1, 1000, 1}, {1, 1, 100, 1}}, 2), RangeFault::None);
    EXPECT_EQ(CheckRanges({{0, 1, 1000, 1}, {1, 1, 101, 1}}, 2), RangeFault::TooManyCombinations);
    EXPECT_EQ(CheckRanges({{0, 1, 1e5, 1}, {1, 1, 1e5, 1}, {2, 1, 1e5, 1}}, 3),
              RangeFault::TooManyCombinations)
        << "a product beyond any integer is still only too many";
}

class OptimisationRun : public ::testing::Test {
  protected:
    OptimisationRequest CrossRequest(std::vector<ParameterRange> ranges) {
        const CompiledFormula formula = test::MustCompile(
            "ENTERLONG:CROSS(MA(C,FAST),MA(C,SLOW)); ENTERSHORT:CROSS(MA(C,SLOW),MA(C,FAST)); "
            "EXITLONG:C<REF(C,K);",
            {{"FAST", 5, 1, 100}, {"SLOW", 20, 2, 200}, {"K", 3, 1, 10}});
        return OptimisationRequest{*TradingSystem::Of(formula),
                                   {5, 20, 30},
                                   std::move(ranges),
                                   SystemCosts{50000, 2, 5, 0.0003, 0.2}};
    }
    const BarSeries m_bars = test::Walk(400, 11);
};

TEST_F(OptimisationRun, RowsComeFirstParameterSlowestAndEqualSingleTestsOnAnyThreads) {
    const OptimisationRequest request = CrossRequest({{1, 10, 30, 10}, {0, 2, 8, 3}});
    const std::optional<std::vector<OptimisationRow>> rows = RunOptimisation(request, m_bars, WorkPool(2));
    ASSERT_TRUE(rows);
    ASSERT_EQ(rows->size(), 9u);
    for (std::size_t i = 0; i < rows->size(); ++i) {
        const OptimisationRow& row = (*rows)[i];
        const double l = 10.0 + 10.0 * static_cast<double>(i / 3), s = 2.0 + 3.0 * static_cast<double>(i % 3);
        ASSERT_EQ(row.values, (std::vector<double>{l, s})) << i;
        // The parameter not varied keeps the value given (K = 30).
        const SystemTest single = TestSystem(request.system, m_bars, {s, l, 30}, request.costs);
        EXPECT_FALSE(row.fault);
        EXPECT_EQ(row.report, single.result.report) << i;
    }
    EXPECT_GT((*rows)[0].report.trades, 0) << "the series gives the system trades to count";
    // Any number of threads, any run: the same table.
    for (int threads : {1, 3}) {
        const auto again = RunOptimisation(request, m_bars, WorkPool(threads));
        ASSERT_TRUE(again);
        for (std::size_t i = 0; i < rows->size(); ++i) EXPECT_EQ((*again)[i].report, (*rows)[i].report) << i;
    }
}

TEST_F(OptimisationRun, ACombinationWhoseValuesBreakAConstantHasNoFiguresAndStopsNothing) {
    // S = 0 asks for MA(C,0): that row only has no figures.
    const OptimisationRequest request = CrossRequest({{0, 0, 2, 1}});
    const auto rows = RunOptimisation(request, m_bars, WorkPool(2));
    ASSERT_TRUE(rows);
    ASSERT_EQ(rows->size(), 3u);
    EXPECT_TRUE((*rows)[0].fault);
    EXPECT_FALSE((*rows)[1].fault);
    EXPECT_EQ((*rows)[2].report,
              TestSystem(request.system, m_bars, {2, 20, 30}, request.costs).result.report);
}

TEST_F(OptimisationRun, CancelledOrFaultyRunsLeaveNoTable) {
    std::atomic<bool> cancel{false};
    int calls = 0;
    const auto rows =
        RunOptimisation(CrossRequest({{0, 1, 50, 1}}), m_bars, WorkPool(2), &cancel, [&](int done) {
            ++calls;
            if (done == 5) cancel = true;
        });
    EXPECT_FALSE(rows);
    EXPECT_LT(calls, 50);
    EXPECT_FALSE(RunOptimisation(CrossRequest({{0, 5, 1, 1}}), m_bars, WorkPool(1)));
    EXPECT_FALSE(RunOptimisation(CrossRequest({{7, 1, 2, 1}}), m_bars, WorkPool(1)));
    // Progress counts every combination of a run that is not cancelled.
    std::vector<int> counts;
    ASSERT_TRUE(RunOptimisation(CrossRequest({{0, 1, 6, 1}}), m_bars, WorkPool(2), nullptr,
                                [&](int done) { counts.push_back(done); }));
    EXPECT_EQ(counts.back(), 6);
    EXPECT_TRUE(std::is_sorted(counts.begin(), counts.end()));
}

}  // namespace
}  // namespace qelt
