// 条件选股 without widgets: the formulas offered and the inputs refused with the field they
// name, the scopes and the goods behind them, the result table's texts, sorting, goods and
// CSV export, and the runner: batches of the store's series give what one screening of all
// gives, 取消 leaves nothing, and its messages end with one WM_SCREEN_DONE.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <thread>

#include "../data/StoreFixture.h"
#include "app/ScreeningModel.h"
#include "app/ScreeningRunner.h"
#include "app/ScreeningTable.h"
#include "common/Numbers.h"
#include "support/FakeViewServices.h"
#include "support/QueuePoster.h"
#include "support/TempDir.h"

namespace qelt {
namespace {

constexpr WindowId kScreenWindow = 9;

StoredFormula ScreenFormula(std::string name, std::string text,
                            std::vector<FormulaParameter> parameters = {}) {
    return StoredFormula{0, std::move(name), "", std::move(parameters), std::move(text)};
}

/// Day bars from 20260105 on, one a day, each closing at the price given (open 1 below).
BarSeries Closes(const std::vector<double>& closes) {
    BarSeries bars;
    for (std::size_t i = 0; i < closes.size(); ++i) {
        const std::string date = FormatInt(20260105 + static_cast<int>(i));
        bars.push_back(CBarRow{date, FormatFixed2(closes[i] - 1), FormatFixed2(closes[i]),
                               FormatFixed2(closes[i] + 1), FormatFixed2(closes[i] - 2), "100",
                               FormatFixed2(closes[i]), "10", "20", "202603"});
    }
    return bars;
}

class ScreeningModelTest : public ::testing::Test {
  protected:
    ScreeningModelTest() : library(dir.Path()) {
        library.Load();  // the example formulas: each one a condition too
        rising = library.Add(ScreenFormula("上涨", "UP:C>REF(C,N); GAIN:C-REF(C,N);", {{"N", 1, 1, 20}})).id;
        library.Add(ScreenFormula("坏的", "A:MA(C,5);"));
    }
    ScreeningInputs Typed() const {
        ScreeningInputs inputs;
        inputs.formulaId = rising;
        inputs.values = {"2"};
        return inputs;
    }
    test::TempDir dir;
    FormulaLibrary library;
    int rising = 0;
};

TEST_F(ScreeningModelTest, OffersEveryFormulaThatCompilesAndRefusesInputsNamingTheField) {
    ScreeningModel model(library);
    ASSERT_GE(model.Choices().size(), 2u);
    EXPECT_GE(model.ChoiceOf(rising), 0);
    EXPECT_EQ(model.ParameterRows(rising, {3}).at(0).value, "3");

    ScreeningCheck check = model.Check(Typed());
    ASSERT_TRUE(check.plan) << check.problem.message;
    EXPECT_EQ(check.plan->formulaName, "上涨");
    EXPECT_EQ(check.plan->outputNames, (std::vector<std::string>{"UP", "GAIN"}));
    EXPECT_EQ(check.plan->request.values, (std::vector<double>{2}));
    EXPECT_EQ(check.plan->request.period, kPeriodDay);
    EXPECT_EQ(check.plan->request.date, 0) << "empty: each goods' newest bar";

    ScreeningInputs out = Typed();
    out.values = {"21"};
    check = model.Check(out);
    ASSERT_FALSE(check.plan);
    EXPECT_EQ(check.problem.field, ScreeningField::Parameter);
    EXPECT_EQ(check.problem.index, 0);
    EXPECT_NE(check.problem.message.find("1 到 20"), std::string::npos) << check.problem.message;

    ScreeningInputs dated = Typed();
    dated.period = kPeriodWeek;
    dated.date = " 20260227 ";
    check = model.Check(dated);
    ASSERT_TRUE(check.plan);
    EXPECT_EQ(check.plan->request.date, 20260227);
    EXPECT_EQ(check.plan->request.period, kPeriodWeek);
    for (const char* bad : {"20260230", "2026-03-15", "202603", "20261301", "abc"}) {
        dated.date = bad;
        check = model.Check(dated);
        EXPECT_FALSE(check.plan) << bad;
        EXPECT_EQ(check.problem.field, ScreeningField::Date) << bad;
    }

    ScreeningInputs gone = Typed();
    gone.formulaId = 999999;
    EXPECT_EQ(model.Check(gone).problem.field, ScreeningField::Formula);

    EXPECT_TRUE(model.Buttons(false).start);
    EXPECT_FALSE(model.Buttons(true).cancel);
    model.SetRunning(true);
    const ScreeningButtons running = model.Buttons(true);
    EXPECT_TRUE(running.cancel);
    EXPECT_FALSE(running.start || running.rows || running.edit) << "nothing else while it runs";
}

TEST(ScreeningScopes, AllContractsThenSelfSelectedThenTheBoardsCategoriesEachGoodsOnce) {
    test::FakeViewServices services;  // 桑蚕丝, 生丝, 全部, 合约, 自选
    services.mainList = {test::MakeGoods("0101", "202603", "10", "9", 0),
                         test::MakeGoods("0009", "综合指数", "100", "99", 1),
                         test::MakeGoods("0102", "202604", "10", "9", 2)};
    services.mainList[2].name.clear();
    const std::vector<ScreeningScope> scopes = ScreeningScopes(services);
    std::vector<std::string> names;
    for (const ScreeningScope& scope : scopes) names.push_back(scope.name);
    EXPECT_EQ(names, (std::vector<std::string>{"全部合约", "自选", "桑蚕丝", "生丝", "合约"}));
    EXPECT_EQ(scopes[1].category, 4);

    const std::vector<ScreeningGoods> all = ScreeningGoodsOf(services, scopes[0]);
    ASSERT_EQ(all.size(), 2u) << "the index is no contract";
    EXPECT_EQ(all[0].key, (GoodsKey{"0101", "202603"}));
    EXPECT_EQ(all[1].name, "0102202604") << "a goods without a name shows its number and month";

    services.goods[4] = {services.mainList[2], services.mainList[0], services.mainList[2]};
    const std::vector<ScreeningGoods> mine = ScreeningGoodsOf(services, scopes[1]);
    ASSERT_EQ(mine.size(), 2u);
    EXPECT_EQ(mine[0].key.goodsNo, "0102");
    EXPECT_TRUE(ScreeningGoodsOf(services, scopes[2]).empty());
}

/// Four goods screened, three selected (one at each end of every sort), one without data.
class ScreeningTableTest : public ScreeningModelTest {
  protected:
    void SetUp() override {
        ScreeningModel model(library);
        plan = model.Check(Typed()).plan;
        ASSERT_TRUE(plan);
        goods = {{{"0103", "202605"}, "丙"},
                 {{"0101", "202603"}, "甲,一"},
                 {{"0102", "202604"}, "乙"},
                 {{"0104", "202606"}, "丁"}};
        ScreeningResult result;
        result.goods = 4;
        result.withoutData = 1;
        result.rows = {{0, 5, "20260110", 12.5, {1, 3}},
                       {1, 5, "20260110", 8, {1, std::nan("")}},
                       {3, 4, "20260109", 12.5, {1, -2}}};
        result.selected = 3;
        table.Set(*plan, goods, result);
    }
    std::vector<std::string> Column(int column) const {
        std::vector<std::string> texts;
        for (int row = 0; row < table.RowCount(); ++row) texts.push_back(table.RowTexts(row).at(column));
        return texts;
    }
    std::optional<ScreeningPlan> plan;
    std::vector<ScreeningGoods> goods;
    ScreeningTable table;
};

TEST_F(ScreeningTableTest, ShowsEachRowWithItsGoodsAndSortsTextsNumbersAndMissingValues) {
    EXPECT_EQ(table.Headers(),
              (std::vector<std::string>{"代码", "名称", "交割月", "日期", "收盘", "UP", "GAIN"}));
    EXPECT_EQ(table.RowTexts(1),
              (std::vector<std::string>{"0101", "甲,一", "202603", "20260110", "8.00", "1.00", "--"}));
    EXPECT_EQ(table.Summary(), "共 4 个品种，3 个满足条件，1 个无数据");

    table.SortBy(0);  // a text: ascending at the first click
    EXPECT_EQ(Column(0), (std::vector<std::string>{"0101", "0103", "0104"}));
    EXPECT_FALSE(table.Descending());
    EXPECT_EQ(table.GoodsOf(0)->key, (GoodsKey{"0101", "202603"})) << "the goods follow their rows";
    table.SortBy(0);
    EXPECT_EQ(Column(0), (std::vector<std::string>{"0104", "0103", "0101"}));

    table.SortBy(6);  // a number: the largest first, no value last either way
    EXPECT_EQ(Column(6), (std::vector<std::string>{"3.00", "-2.00", "--"}));
    table.SortBy(6);
    EXPECT_EQ(Column(6), (std::vector<std::string>{"-2.00", "3.00", "--"}));

    table.SortBy(4);  // equal closes keep the screening's order
    EXPECT_EQ(Column(0), (std::vector<std::string>{"0103", "0104", "0101"}));
    table.SortBy(3);
    EXPECT_EQ(Column(3), (std::vector<std::string>{"20260110", "20260110", "20260109"}));
    table.SortBy(99);  // no such column: nothing moves
    EXPECT_EQ(table.SortColumn(), 3);

    EXPECT_FALSE(table.GoodsOf(3));
    EXPECT_FALSE(table.GoodsOf(-1));
    // 加入自选: the rows chosen, each goods once; all of them when none is chosen.
    table.SortBy(0);
    std::vector<ScreeningGoods> chosen = table.GoodsOfRows({2, 0, 2});
    ASSERT_EQ(chosen.size(), 2u);
    EXPECT_EQ(chosen[0].key.goodsNo, "0104");
    EXPECT_EQ(chosen[1].key.goodsNo, "0101");
    EXPECT_EQ(table.GoodsOfRows({}).size(), 3u);
}

TEST_F(ScreeningTableTest, ExportsTheTableAsShownWithItsFormulaAndSummary) {
    table.SortBy(0);
    const ExportDocument document = table.Export();
    EXPECT_EQ(document.request.defaultExtension, "CSV");
    EXPECT_EQ(document.request.defaultName, "条件选股_上涨");
    EXPECT_EQ(document.content,
              "公式,上涨,参数,N=2,周期,日线,日期,最新\r\n"
              "代码,名称,交割月,日期,收盘,UP,GAIN\r\n"
              "0101,\"甲,一\",202603,20260110,8.00,1.00,--\r\n"
              "0103,丙,202605,20260110,12.50,1.00,3.00\r\n"
              "0104,丁,202606,20260109,12.50,1.00,-2.00\r\n"
              "共 4 个品种，3 个满足条件，1 个无数据\r\n");

    // A result row naming a goods that was not given is dropped, not shown against another.
    ScreeningResult stray;
    stray.goods = 1;
    stray.rows = {{7, 0, "20260105", 1, {1}}};
    table.Set(*plan, {goods[0]}, stray);
    EXPECT_TRUE(table.Held());
    EXPECT_TRUE(table.Empty());
    EXPECT_EQ(table.Summary(), "共 1 个品种，0 个满足条件，0 个无数据");
}

/// The series of `count` goods: every third one rising at its end, every seventh without bars.
std::map<GoodsKey, BarSeries> Market(int count, std::vector<ScreeningGoods>& goods) {
    std::map<GoodsKey, BarSeries> series;
    for (int i = 0; i < count; ++i) {
        const GoodsKey key{FormatInt(1000 + i), "202603"};
        goods.push_back({key, "品种" + FormatInt(i)});
        if (i % 7 == 6) continue;
        std::vector<double> closes;
        for (int k = 0; k < 30; ++k)
            closes.push_back(20.0 + (k * 7 + i) % 5 + (k == 29 && i % 3 == 0 ? 10 : 0));
        series[key] = Closes(closes);
    }
    return series;
}

TEST_F(ScreeningModelTest, TheRunnerScreensTheStoreInBatchesAsOneScreeningWouldAndCancelLeavesNothing) {
    std::vector<ScreeningGoods> goods;
    const std::map<GoodsKey, BarSeries> market = Market(ScreeningRunner::kBatch * 2 + 11, goods);
    const ScreeningPlan plan = *ScreeningModel(library).Check(Typed()).plan;
    std::vector<BarSeries> all;
    for (const ScreeningGoods& g : goods) all.push_back(market.count(g.key) ? market.at(g.key) : BarSeries{});
    const std::optional<ScreeningResult> expected = RunScreening(plan.request, all, WorkPool(1));
    ASSERT_TRUE(expected);
    ASSERT_GT(expected->selected, 3);

    std::atomic<bool> hold{false};
    DaySeriesSource source = [&](const GoodsKey& key, BarSeries& bars) {
        while (hold) std::this_thread::yield();
        const auto found = market.find(key);
        bars = found == market.end() ? BarSeries{} : found->second;
    };
    test::QueuePoster poster;
    ScreeningRunner runner(poster, kScreenWindow, source, 2);
    const int job = runner.Start(plan.request, goods);
    ASSERT_GT(job, 0);
    EXPECT_EQ(runner.Start(plan.request, goods), 0) << "one screening at a time";
    ASSERT_TRUE(poster.WaitForCount(WM_SCREEN_DONE, 1, std::chrono::seconds(30)));
    const std::vector<test::Posted> posted = poster.All();
    EXPECT_EQ(posted.back().wParam, job);
    EXPECT_EQ(posted.back().window, kScreenWindow);
    const std::vector<test::Posted> progress(posted.begin(), posted.end() - 1);
    ASSERT_FALSE(progress.empty());
    for (std::size_t i = 0; i < progress.size(); ++i) {
        EXPECT_EQ(progress[i].message, WM_SCREEN_PROGRESS);
        EXPECT_EQ(progress[i].lParam, static_cast<std::intptr_t>(goods.size()));
        if (i > 0) EXPECT_GT(progress[i].wParam, progress[i - 1].wParam) << "the count only rises";
    }
    EXPECT_EQ(progress.back().wParam, static_cast<std::intptr_t>(goods.size()));
    EXPECT_FALSE(runner.Finish(job + 1)) << "another job's message";
    const std::optional<ScreeningOutcome> outcome = runner.Finish(job);
    ASSERT_TRUE(outcome && outcome->result);
    EXPECT_FALSE(outcome->cancelled);
    EXPECT_EQ(ScreeningSummary(*outcome->result), ScreeningSummary(*expected));
    ASSERT_EQ(outcome->result->rows.size(), expected->rows.size());
    for (std::size_t i = 0; i < expected->rows.size(); ++i) {
        EXPECT_EQ(outcome->result->rows[i].goods, expected->rows[i].goods) << "indexes of the goods given";
        EXPECT_EQ(outcome->result->rows[i].values, expected->rows[i].values);
    }

    // 取消 while the first goods' bars are being copied: no rows at all.
    poster.Clear();
    hold = true;
    const int second = runner.Start(plan.request, goods);
    ASSERT_GT(second, 0);
    runner.Cancel();
    hold = false;
    ASSERT_TRUE(poster.WaitForCount(WM_SCREEN_DONE, 1, std::chrono::seconds(30)));
    const std::optional<ScreeningOutcome> cancelled = runner.Finish(second);
    ASSERT_TRUE(cancelled);
    EXPECT_TRUE(cancelled->cancelled);
    EXPECT_FALSE(cancelled->result);

    // Values that put a constant argument out of range screen nothing and say why.
    ScreeningRequest faulty = plan.request;
    const FormulaCompileResult ma = CompileFormula("A:MA(C,N-5);", {{"N", 10, 1, 100}});
    faulty.formula = *ma.formula;
    faulty.values = {3};
    poster.Clear();
    const int third = runner.Start(faulty, goods);
    ASSERT_TRUE(poster.WaitForCount(WM_SCREEN_DONE, 1, std::chrono::seconds(30)));
    const std::optional<ScreeningOutcome> fault = runner.Finish(third);
    ASSERT_TRUE(fault && fault->result);
    EXPECT_TRUE(fault->result->fault);
    EXPECT_TRUE(fault->result->rows.empty());
}

TEST(ScreeningStoreSeries, GivesTheMainRecordsDayBarsAndNothingForAGoodsTheStoreDoesNotHold) {
    test::QueuePoster poster;
    MessageTargets targets;
    CQeltData store(poster, targets);
    store.Dispatch(test::ListReply({test::ListRow("0101", "20060525"), test::ListRow("0102", "20060525")}));
    store.Dispatch(
        "line:010120060525:12:20060530|1|2|3|0.5|10|1.5|7|8|20060525||"
        "20060531|2|3|4|1.5|10|2.5|7|8|20060525||");
    const DaySeriesSource source = StoreDaySeries(store);
    BarSeries bars = Closes({5, 6, 7});  // what the batch's slot held before: replaced
    source({"0101", "20060525"}, bars);
    ASSERT_EQ(bars.size(), 2u);
    EXPECT_EQ(bars[1].Get(kBarDate), "20060531");
    EXPECT_EQ(bars[1].Get(kBarClose), "3");
    source({"0102", "20060525"}, bars);
    EXPECT_TRUE(bars.empty()) << "a goods whose series has not come: without data";
    bars = Closes({5});
    source({"0999", "20060525"}, bars);
    EXPECT_TRUE(bars.empty());
}

}  // namespace
}  // namespace qelt
