// The work of 交易评测 off the interface thread: a test and an optimisation give what the
// engine gives on the caller's thread, their messages come in order and end with one
// WM_SYSTEM_DONE, 取消 leaves no table at all; the goods a test runs on; the example
// systems, added to a new formula.txt and offered to an older one without touching the
// user's formulas.
#include <gtest/gtest.h>

#include <mutex>

#include "app/AppContext.h"
#include "app/ExampleSystems.h"
#include "app/SystemGoods.h"
#include "app/SystemTestRunner.h"
#include "common/Files.h"
#include "support/FakeViewServices.h"
#include "support/KLineTestSupport.h"
#include "support/QueuePoster.h"
#include "support/TempDir.h"

namespace qelt {
namespace {

constexpr WindowId kWindow = 7;

TradingSystem Cross() {
    FormulaCompileResult compiled =
        CompileFormula("ENTERLONG:CROSS(MA(C,S),MA(C,LONG));ENTERSHORT:CROSS(MA(C,LONG),MA(C,S));",
                       {{"S", 5, 1, 100}, {"LONG", 20, 2, 300}});
    EXPECT_TRUE(compiled.formula) << compiled.error.Describe();
    return *TradingSystem::Of(*compiled.formula);
}

BarSeries Bars(int n) {
    // A wave the crosses trade on.
    BarSeries bars = test::KLineDays(n);
    for (int i = 0; i < n; ++i) {
        const double price = 100 + 20 * std::sin(i / 9.0) + (i % 5);
        bars[static_cast<std::size_t>(i)].Set(kBarOpen, FormatFixed2(price));
        bars[static_cast<std::size_t>(i)].Set(kBarClose, FormatFixed2(price + 1));
    }
    return bars;
}

std::optional<SystemJobOutcome> WaitDone(test::QueuePoster& poster, SystemTestRunner& runner, int job) {
    EXPECT_TRUE(poster.WaitForCount(WM_SYSTEM_DONE, 1, std::chrono::seconds(60)));
    const std::vector<test::Posted> all = poster.All();
    EXPECT_EQ(all.back().message, WM_SYSTEM_DONE) << "the job's last word";
    EXPECT_EQ(all.back().window, kWindow);
    EXPECT_EQ(all.back().wParam, job);
    return runner.Finish(job);
}

TEST(SystemRunner, ATestGivesWhatTheEngineGivesAndTheRunnerIsFreeAfterwards) {
    test::QueuePoster poster;
    SystemTestRunner runner(poster, kWindow);
    const BarSeries bars = Bars(300);
    SystemCosts costs;
    costs.commissionRate = 0.001;
    const int job = runner.StartTest(Cross(), {4, 17}, costs, bars);
    ASSERT_GT(job, 0);
    EXPECT_EQ(runner.StartTest(Cross(), {4, 17}, costs, bars), 0) << "one job at a time";
    std::optional<SystemJobOutcome> outcome = WaitDone(poster, runner, job);
    ASSERT_TRUE(outcome && outcome->test);
    EXPECT_FALSE(outcome->cancelled);
    const SystemTest direct = TestSystem(Cross(), bars, {4, 17}, costs);
    EXPECT_EQ(outcome->test->result, direct.result);
    EXPECT_GT(direct.result.report.trades, 3);
    EXPECT_FALSE(runner.Running());
    EXPECT_FALSE(runner.Finish(job)) << "a job's outcome is taken once";
    EXPECT_GT(runner.StartTest(Cross(), {4, 17}, costs, bars), job);
}

TEST(SystemRunner, AnOptimisationOnTwoThreadsEqualsOneTestPerCombination) {
    test::QueuePoster poster;
    SystemTestRunner runner(poster, kWindow, 2);
    const BarSeries bars = Bars(250);
    OptimisationRequest request{Cross(), {5, 20}, {{0, 2, 8, 1}, {1, 10, 40, 5}}, {}};
    const int job = runner.StartOptimisation(request, bars);
    std::optional<SystemJobOutcome> outcome = WaitDone(poster, runner, job);
    ASSERT_TRUE(outcome && outcome->rows);
    ASSERT_EQ(outcome->rows->size(), 7u * 7u);
    for (std::size_t k = 0; k < outcome->rows->size(); ++k) {
        const OptimisationRow& row = (*outcome->rows)[k];
        const double s = 2 + static_cast<double>(k / 7), l = 10 + 5 * static_cast<double>(k % 7);
        ASSERT_EQ(row.values, (std::vector<double>{s, l})) << "the first parameter varies slowest";
        EXPECT_EQ(row.report, TestSystem(Cross(), bars, {s, l}, {}).result.report) << k;
    }
    // The progress only rises, at most once per thousandth, and reaches the whole.
    std::vector<std::intptr_t> done;
    for (const test::Posted& p : poster.All())
        if (p.message == WM_SYSTEM_PROGRESS) {
            EXPECT_EQ(p.lParam, 49);
            done.push_back(p.wParam);
        }
    ASSERT_FALSE(done.empty());
    EXPECT_TRUE(std::is_sorted(done.begin(), done.end()));
    EXPECT_EQ(done.back(), 49);
}

/// Cancels at the first progress, from the worker that reports it: the other combinations
/// have not all started then, so the outcome is a cancelled one, whatever the timing.
class CancellingPoster : public test::QueuePoster {
  public:
    SystemTestRunner* runner = nullptr;
    void PostWindowMessage(WindowId window, unsigned message, std::intptr_t wParam,
                           std::intptr_t lParam) override {
        if (message == WM_SYSTEM_PROGRESS && runner) runner->Cancel();
        test::QueuePoster::PostWindowMessage(window, message, wParam, lParam);
    }
};

TEST(SystemRunner, CancelStopsBetweenCombinationsAndLeavesNoTable) {
    CancellingPoster poster;
    SystemTestRunner runner(poster, kWindow, 2);
    poster.runner = &runner;
    OptimisationRequest request{Cross(), {5, 20}, {{0, 2, 40, 1}, {1, 10, 100, 1}}, {}};
    const int job = runner.StartOptimisation(request, Bars(400));
    std::optional<SystemJobOutcome> outcome = WaitDone(poster, runner, job);
    ASSERT_TRUE(outcome);
    EXPECT_TRUE(outcome->cancelled);
    EXPECT_FALSE(outcome->rows) << "no partial table";

    // The next job starts clean: the cancel of the last one does not carry over.
    poster.runner = nullptr;
    poster.Clear();
    OptimisationRequest small{Cross(), {5, 20}, {{0, 2, 3, 1}}, {}};
    const int next = runner.StartOptimisation(small, Bars(100));
    outcome = WaitDone(poster, runner, next);
    ASSERT_TRUE(outcome && outcome->rows);
    EXPECT_EQ(outcome->rows->size(), 2u);
}

TEST(SystemRunner, GoingAwayWhileAJobRunsCancelsItAndWaits) {
    test::QueuePoster poster;
    {
        SystemTestRunner runner(poster, kWindow, 2);
        OptimisationRequest request{Cross(), {5, 20}, {{0, 1, 60, 1}, {1, 2, 300, 1}}, {}};
        ASSERT_GT(runner.StartOptimisation(request, Bars(2000)), 0);
    }
    // The thread is over: its last message is out, and nothing follows it.
    ASSERT_EQ(poster.Count(WM_SYSTEM_DONE), 1u);
    EXPECT_EQ(poster.All().back().message, WM_SYSTEM_DONE);
}

TEST(SystemTestGoods, TheGoodsOnShowWithTheBarsOfItsChartForThePeriod) {
    test::KLineFixture k(150);
    SystemGoods day = GoodsForSystemTest(k.services, 1);
    EXPECT_EQ(day.key, (GoodsKey{"0101", "20070625"}));
    EXPECT_EQ(day.name, k.services.mainList[0].name);
    ASSERT_EQ(day.bars.size(), 150u);
    EXPECT_EQ(day.bars.back()[kBarClose], "105.00")
        << "today's quote folded into its bar, as the chart shows it";
    SystemGoods week = GoodsForSystemTest(k.services, 2);
    EXPECT_LT(week.bars.size(), 40u);
    EXPECT_GT(week.bars.size(), 20u);
    k.services.selection.goods = -1;  // nothing selected
    EXPECT_TRUE(GoodsForSystemTest(k.services, 1).bars.empty());
}

TEST(ExampleSystemsOffer, EachExampleIsASoundSystemAndOnlyMissingNamesAreAdded) {
    for (const StoredFormula& example : ExampleSystems()) {
        const FormulaCompileResult compiled = CompileFormula(example.text, example.parameters);
        ASSERT_TRUE(compiled.formula) << example.name << ": " << compiled.error.Describe();
        EXPECT_TRUE(TradingSystem::Of(*compiled.formula)) << example.name;
    }

    test::TempDir dir;
    FormulaLibrary library(dir.Path());
    library.Load();
    // The user already has a formula of the first example's name (without case), their own.
    const StoredFormula mine{0, ExampleSystems()[0].name, "我的", {}, "ENTERLONG:C>O;"};
    const int myId = library.Add(mine).id;
    ASSERT_EQ(MissingExampleSystems(library).size(), 2u);

    const ExampleSystemsAdded added = AddExampleSystems(library);
    EXPECT_EQ(added.names, (std::vector<std::string>{ExampleSystems()[1].name, ExampleSystems()[2].name}));
    EXPECT_TRUE(added.message.empty());
    EXPECT_EQ(library.Find(myId)->text, "ENTERLONG:C>O;") << "the user's formula of that name is untouched";
    EXPECT_EQ(library.Formulas().size(), 3u + 1u + 2u);
    EXPECT_TRUE(AddExampleSystems(library).names.empty()) << "asked again: nothing to add";

    FormulaLibrary reread(dir.Path());
    ASSERT_TRUE(reread.Load().empty());
    EXPECT_EQ(reread.Formulas().size(), 6u) << "and saved";
}

TEST(ExampleSystemsOffer, ANewFormulaFileGetsThemAndAnOlderOneIsLeftAsItWas) {
    test::TempDir fresh;
    test::QueuePoster poster;
    MessageTargets targets;
    struct Link : SessionLink {
        bool IsOnline() const override { return false; }
        void ShowRequests(std::optional<std::vector<std::string>>, bool) override {}
        void HoldRequests() override {}
        void Send(const std::string&) override {}
    } link;
    {
        CQeltCFG cfg(fresh.Path());
        CQeltData store(poster, targets);
        AppContext context(cfg, store, link, poster, targets);
        EXPECT_TRUE(context.LoadFormulas().empty());
        ASSERT_EQ(context.Formulas().Formulas().size(), 6u);
        EXPECT_EQ(context.Formulas().Formulas()[3].name, ExampleSystems()[0].name);
        EXPECT_EQ(context.Formulas().Formulas()[3].id, 1003);
    }
    test::TempDir older;
    const std::string file = "next_id=1001\n\n[1000]\nname=甲\ntext=A:C;\n";
    ASSERT_TRUE(WriteFileAtomic(older.File("formula.txt"), file));
    CQeltCFG cfg(older.Path());
    CQeltData store(poster, targets);
    AppContext context(cfg, store, link, poster, targets);
    EXPECT_TRUE(context.LoadFormulas().empty());
    EXPECT_EQ(context.Formulas().Formulas().size(), 1u) << "offered in 交易评测, never added unasked";
    EXPECT_EQ(ReadWholeFile(older.File("formula.txt")).value(), file);
}

}  // namespace
}  // namespace qelt
