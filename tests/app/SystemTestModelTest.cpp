// The trading-system window's rules without widgets: the formulas it offers, every input's
// rule with the field it names, 参数优化's ranges, the buttons while work runs, the report's
// captions and "--", the trade list, the CSV export as written, and the optimisation table's
// sorting, 选用 and heat map.
#include <gtest/gtest.h>

#include <cmath>

#include "app/OptimisationTable.h"
#include "app/SystemTestModel.h"
#include "app/SystemTestReport.h"
#include "common/Files.h"
#include "common/Gbk.h"
#include "support/TempDir.h"

namespace qelt {
namespace {

StoredFormula Formula(std::string name, std::string text, std::vector<FormulaParameter> parameters = {}) {
    return StoredFormula{0, std::move(name), "", std::move(parameters), std::move(text)};
}

class SystemModelTest : public ::testing::Test {
  protected:
    SystemModelTest() : library(dir.Path()) {
        library.Load();  // the three example formulas, none a system
        cross = library
                    .Add(Formula("均线交叉",
                                 "ENTERLONG:CROSS(MA(C,S),MA(C,LONG));EXITLONG:CROSS(MA(C,LONG),MA(C,S));",
                                 {{"S", 5, 2, 50}, {"LONG", 20, 3, 250}}))
                    .id;
        library.Add(Formula("只是指标", "A:MA(C,5);"));
        shortOnly = library.Add(Formula("short", "enterShort:C<REF(C,1);")).id;
    }
    SystemInputs Typed() const {
        EXPECT_NE(cross, 0);
        SystemInputs inputs;
        inputs.formulaId = cross;
        inputs.values = {"5", "20"};
        return inputs;
    }
    test::TempDir dir;
    FormulaLibrary library;
    int cross = 0;
    int shortOnly = 0;
};

TEST_F(SystemModelTest, OffersTheFormulasThatDefineASignalAndNothingElse) {
    SystemTestModel model(library);
    ASSERT_EQ(model.Choices().size(), 2u) << "the examples and the plain indicator are no systems";
    EXPECT_EQ(model.Choices()[0].name, "均线交叉");
    EXPECT_EQ(model.Choices()[1].id, shortOnly) << "one signal, in any case, makes a system";
    EXPECT_EQ(model.ChoiceOf(1000), -1);

    // A system edited into an indicator leaves the list once the window reads it again.
    StoredFormula edited = *library.Find(shortOnly);
    edited.text = "A:C;";
    ASSERT_TRUE(library.Replace(shortOnly, edited).applied);
    model.Reload();
    EXPECT_EQ(model.Choices().size(), 1u);
    const SystemCheck stale = model.Check(SystemInputs{shortOnly, {}, 1});
    ASSERT_FALSE(stale.plan);
    EXPECT_EQ(stale.problem.field, SystemField::Formula);
}

TEST_F(SystemModelTest, EachInputIsReadExactlyAndAFaultNamesItsField) {
    SystemTestModel model(library);
    struct Case {
        std::function<void(SystemInputs&)> type;
        SystemField field;
        int index;
        std::string message;
    };
    const std::vector<Case> cases = {
        {[](SystemInputs& i) { i.values[1] = ""; }, SystemField::Parameter, 1, "请输入参数 LONG 的值"},
        {[](SystemInputs& i) { i.values[0] = "1"; }, SystemField::Parameter, 0, "S 的值必须在 2 到 50 之间"},
        {[](SystemInputs& i) { i.values[0] = "5,0"; }, SystemField::Parameter, 0, "参数 S 的值 5,0 不是数字"},
        {[](SystemInputs& i) { i.capital = "0"; }, SystemField::Capital, 0, "初始资金必须大于 0"},
        {[](SystemInputs& i) { i.capital = "1e400"; }, SystemField::Capital, 0, "初始资金 1e400 不是数字"},
        {[](SystemInputs& i) { i.lots = "-1"; }, SystemField::Lots, 0, "手数必须大于 0"},
        {[](SystemInputs& i) { i.multiplier = " "; }, SystemField::Multiplier, 0, "请输入合约乘数"},
        {[](SystemInputs& i) { i.commission = "1"; }, SystemField::Commission, 0,
         "手续费率必须不小于 0 且小于 1（万分之三写作 0.0003）"},
        {[](SystemInputs& i) { i.slippage = "-0.01"; }, SystemField::Slippage, 0, "滑点必须不小于 0"},
    };
    for (const Case& c : cases) {
        SystemInputs inputs = Typed();
        c.type(inputs);
        const SystemCheck check = model.Check(inputs);
        ASSERT_FALSE(check.plan) << c.message;
        EXPECT_EQ(check.problem.field, c.field) << c.message;
        EXPECT_EQ(check.problem.index, c.index) << c.message;
        EXPECT_NE(check.problem.message.find(c.message), std::string::npos) << check.problem.message;
    }

    SystemInputs inputs = Typed();
    inputs.values = {"7.5", "30"};
    inputs.capital = " 250000.5 ";
    inputs.lots = "2";
    inputs.multiplier = "10";
    inputs.commission = "0.0003";
    inputs.slippage = "0";
    inputs.period = 2;
    const SystemCheck check = model.Check(inputs);
    ASSERT_TRUE(check.plan) << check.problem.message;
    EXPECT_EQ(check.plan->values, (std::vector<double>{7.5, 30}));
    EXPECT_EQ(check.plan->costs.capital, 250000.5);
    EXPECT_EQ(check.plan->costs.lots, 2);
    EXPECT_EQ(check.plan->costs.multiplier, 10);
    EXPECT_EQ(check.plan->costs.commissionRate, 0.0003) << "the decimal as typed, not one near it";
    EXPECT_EQ(check.plan->period, 2);
    EXPECT_EQ(check.plan->parameterNames, (std::vector<std::string>{"S", "LONG"}));
}

TEST_F(SystemModelTest, OptimisationRangesStayWithinTheParametersAndTheCombinationLimit) {
    SystemTestModel model(library);
    const std::vector<RangeInputs> defaults = model.DefaultRanges(cross);
    ASSERT_EQ(defaults.size(), 2u);
    EXPECT_EQ(defaults[1].parameter, 1);
    EXPECT_EQ(defaults[1].from, "3");
    EXPECT_EQ(defaults[1].to, "250");
    EXPECT_EQ(defaults[1].step, "1");

    auto check = [&](std::vector<RangeInputs> rows) { return model.CheckOptimisation(Typed(), rows); };
    struct Case {
        std::vector<RangeInputs> rows;
        SystemField field;
        int index;
        std::string message;
    };
    const std::vector<Case> cases = {
        {{{-1, "", "", ""}}, SystemField::RangeParameter, 0, "请选择要优化的参数"},
        {{{0, "2", "9", "1"}, {0, "2", "9", "1"}}, SystemField::RangeParameter, 1, "参数 S 选择了两次"},
        {{{-1, "", "", ""}, {0, "1", "9", "1"}},
         SystemField::RangeFrom,
         1,
         "参数 S 的起始值必须在 2 到 50 之间"},
        {{{1, "3", "251", "1"}}, SystemField::RangeTo, 0, "参数 LONG 的终止值必须在 3 到 250 之间"},
        {{{1, "30", "20", "1"}}, SystemField::RangeTo, 0, "参数 LONG 的终止值不能小于起始值"},
        {{{1, "3", "20", "0"}}, SystemField::RangeStep, 0, "参数 LONG 的步长必须大于 0"},
        {{{1, "3", "20", "x"}}, SystemField::RangeStep, 0, "参数 LONG 的步长 x 不是数字"},
        {{{0, "2", "50", "0.01"}, {1, "3", "250", "0.5"}}, SystemField::RangeStep, 0, "组合数超过 100000 个"},
    };
    for (const Case& c : cases) {
        const OptimisationCheck result = check(c.rows);
        ASSERT_FALSE(result.plan) << c.message;
        EXPECT_EQ(result.problem.field, c.field) << c.message;
        EXPECT_EQ(result.problem.index, c.index) << c.message;
        EXPECT_NE(result.problem.message.find(c.message), std::string::npos) << result.problem.message;
    }
    // The test's own inputs are checked first: a wrong capital is named as itself.
    SystemInputs wrong = Typed();
    wrong.capital = "0";
    EXPECT_EQ(model.CheckOptimisation(wrong, defaults).problem.field, SystemField::Capital);

    const OptimisationCheck sound = check({{-1, "", "", ""}, {1, "10", "20", "5"}, {0, "2", "3", "0.5"}});
    ASSERT_TRUE(sound.plan) << sound.problem.message;
    ASSERT_EQ(sound.ranges.size(), 2u) << "the rows without a parameter are passed over";
    EXPECT_EQ(sound.ranges[0].parameter, 1) << "in the rows' order";
    EXPECT_EQ(sound.combinations, 3 * 3);
}

TEST_F(SystemModelTest, ButtonsFollowTheWorkUnderWay) {
    SystemTestModel model(library);
    SystemButtons idle = model.Buttons(false, false);
    EXPECT_TRUE(idle.start && idle.optimise && idle.edit);
    EXPECT_FALSE(idle.cancel || idle.result || idle.apply) << "no result and no row yet";
    EXPECT_TRUE(model.Buttons(true, true).result);
    EXPECT_TRUE(model.Buttons(true, true).apply);

    model.SetWork(SystemWork::Optimising);
    const SystemButtons busy = model.Buttons(true, true);
    EXPECT_TRUE(busy.cancel);
    EXPECT_FALSE(busy.start || busy.optimise || busy.result || busy.apply || busy.edit)
        << "nothing starts, and nothing changes the inputs, while a job runs";

    model.SetWork(SystemWork::None);
    test::TempDir empty;
    FormulaLibrary none(empty.Path());
    none.Load();
    SystemTestModel without(none);
    EXPECT_FALSE(without.Buttons(false, false).start) << "nothing to test: 开始 is greyed";
}

SystemTestResult Result(std::vector<SystemTrade> trades, SystemReport report) {
    SystemTestResult test;
    test.goods = {"0112", "20270225"};
    test.goodsName = "生丝-270225";
    test.formulaName = "均线交叉";
    test.parameterNames = {"S", "L"};
    test.values = {5, 20.5};
    test.costs.commissionRate = 0.0003;
    test.period = 1;
    test.result.trades = std::move(trades);
    test.result.report = report;
    return test;
}

TEST(SystemReportTexts, EveryKeyHasItsCaptionAndAFigureWithoutValueShowsDashes) {
    SystemReport none;  // no trades at all
    const std::vector<SystemReportRow> rows = SystemReportRows(none);
    const std::vector<std::string> keys{"trades",       "wins",         "win_rate",      "net_profit",
                                        "gross_profit", "gross_loss",   "profit_factor", "average_trade",
                                        "largest_win",  "largest_loss", "max_drawdown",  "max_drawdown_pct",
                                        "return_pct",   "exposure_pct", "open_position"};
    ASSERT_EQ(rows.size(), keys.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].key, keys[i]);
        EXPECT_NE(rows[i].caption, rows[i].key) << "a Chinese caption for " << keys[i];
    }
    EXPECT_EQ(rows[0].value, "0");
    EXPECT_EQ(rows[2].value, "--") << "no win rate without trades";
    EXPECT_EQ(rows[6].value, "--");
    EXPECT_EQ(rows[8].value, "--");
    EXPECT_EQ(rows[3].value, "0.00");
    EXPECT_EQ(rows[14].value, "无");

    SystemReport some;
    some.trades = 3;
    some.wins = 3;
    some.winRate = 100;
    some.profitFactor = std::nullopt;  // no losing trade
    some.largestLoss = 12.345;
    some.netProfit = -0.005;
    some.openPosition = OpenPosition::Short;
    const std::vector<SystemReportRow> shown = SystemReportRows(some);
    EXPECT_EQ(shown[1].value, "3");
    EXPECT_EQ(shown[2].value, "100.00");
    EXPECT_EQ(shown[6].value, "--");
    EXPECT_EQ(shown[9].value, "12.35");
    EXPECT_EQ(shown[14].value, "空头");
}

TEST(SystemReportTexts, TheTradeListShowsAnOpenPositionAsHeldWithoutExit) {
    SystemTrade closed{TradeSide::Long, 3, 20260105, 101.5, 7, 20260109, 99.25, -2.3};
    SystemTrade open{TradeSide::Short, 9, 20260113, 98, -1, 0, 0, 1.5};
    const std::vector<SystemTradeRow> rows = SystemTradeRows({closed, open});
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0], (SystemTradeRow{"1", "多", "2026-01-05", "101.50", "2026-01-09", "99.25", "-2.30"}));
    EXPECT_EQ(rows[1], (SystemTradeRow{"2", "空", "2026-01-13", "98.00", "持仓中", "--", "1.50"}));
}

TEST(SystemReportTexts, TheExportHoldsTheInputsTheTradesAndTheReportAndIsWrittenAsGbk) {
    SystemReport report;
    report.trades = 1;
    report.winRate = 0;
    const SystemTestResult test =
        Result({{TradeSide::Long, 3, 20260105, 101.5, 7, 20260109, 99.25, -2.3}}, report);
    const ExportDocument document = SystemTestExport(test);
    EXPECT_EQ(document.request.defaultExtension, "CSV");
    EXPECT_EQ(document.request.defaultName, "均线交叉_生丝-270225");
    const std::string& csv = document.content;
    EXPECT_EQ(csv.find("项目,数值\r\n商品,生丝-270225\r\n公式,均线交叉\r\n参数,S=5 L=20.5\r\n周期,日线\r\n"),
              0u)
        << csv;
    EXPECT_NE(csv.find("手续费率,0.0003\r\n"), std::string::npos);
    EXPECT_NE(csv.find("\r\n\r\n序号,方向,开仓日期,开仓价,平仓日期,平仓价,盈亏\r\n"
                       "1,多,2026-01-05,101.50,2026-01-09,99.25,-2.30\r\n\r\n项目,键,数值\r\n"
                       "交易次数,trades,1\r\n"),
              std::string::npos)
        << csv;
    EXPECT_NE(csv.find("盈利因子,profit_factor,--\r\n"), std::string::npos);
    EXPECT_EQ(csv.substr(csv.size() - 2), "\r\n");

    // Written as the board and the chart write theirs: GBK, whole.
    test::TempDir dir;
    struct Fixed : SaveFileDialog {
        std::string path;
        std::optional<std::string> AskSavePath(const SaveRequest&) override { return path; }
    } dialog;
    dialog.path = dir.File("system.csv");
    ASSERT_EQ(SaveExport(document, dialog), ExportResult::Written);
    EXPECT_EQ(ReadWholeFile(dialog.path).value(), Utf8ToGbk(csv));

    // A name that holds "/" does not become a folder.
    SystemTestResult slashed = test;
    slashed.goodsName = "生丝/270225";
    EXPECT_EQ(SystemTestExport(slashed).request.defaultName, "均线交叉_生丝_270225");
}

TEST(SystemReportTexts, TheMarksAndTheCurveCarryWhatWasTested) {
    SystemTestResult test = Result({{TradeSide::Short, 1, 20260102, 10, 2, 20260103, 9, 1}}, {});
    test.period = 3;
    test.dates = {20260101, 20260102, 20260103};
    test.result.equity = {100000, 100000, 100001};
    test.result.drawdown = {0, 0, 0};
    const std::shared_ptr<const TradeMarks> marks = TradeMarksOf(test);
    EXPECT_EQ(marks->goods, test.goods);
    EXPECT_EQ(marks->period, 3);
    EXPECT_EQ(marks->trades, test.result.trades);
    const EquityCurve curve = EquityCurveOf(test);
    EXPECT_EQ(curve.title, "均线交叉(5,20.5)  生丝-270225  月线");
    EXPECT_EQ(curve.dates, test.dates);
    EXPECT_EQ(curve.capital, 100000);
    EXPECT_EQ(SystemPictureRequest(test).defaultName, "均线交叉_生丝-270225.bmp");
}

// ---- the optimisation table ----

OptimisationRow Row(std::vector<double> values, double net, double drawdown, int trades,
                    std::optional<double> winRate, bool fault = false) {
    OptimisationRow row;
    row.values = std::move(values);
    row.report.netProfit = net;
    row.report.maxDrawdown = drawdown;
    row.report.trades = trades;
    row.report.winRate = winRate;
    row.fault = fault;
    return row;
}

/// Two parameters, 2 × 3 combinations, the first varying slowest as the optimisation gives them.
OptimisationTable Grid() {
    OptimisationTable table;
    table.Set({"S", "L", "X"}, {{0, 2, 3, 1}, {1, 10, 30, 10}},
              {Row({2, 10}, 50, 5, 4, 50), Row({2, 20}, -20, 30, 2, 0), Row({2, 30}, 50, 8, 0, std::nullopt),
               Row({3, 10}, 0, 0, 0, std::nullopt, true), Row({3, 20}, 80, 1, 1, 100),
               Row({3, 30}, -70, 70, 3, 33.3333)});
    return table;
}

std::vector<std::string> Column(const OptimisationTable& table, int column) {
    std::vector<std::string> texts;
    for (int row = 0; row < table.RowCount(); ++row) texts.push_back(table.RowTexts(row)[column]);
    return texts;
}

TEST(OptimisationTableRules, SortsByAnyColumnWithRowsWithoutAFigureLastEitherWay) {
    OptimisationTable table = Grid();
    EXPECT_EQ(table.Headers(),
              (std::vector<std::string>{"S", "L", "净利润", "最大回撤", "交易次数", "胜率(%)"}));
    EXPECT_EQ(table.RowTexts(3), (std::vector<std::string>{"3", "10", "--", "--", "--", "--"}))
        << "a combination whose values broke a constant argument has no figures";
    EXPECT_EQ(table.RowTexts(5), (std::vector<std::string>{"3", "30", "-70.00", "70.00", "3", "33.33"}));

    table.SortBy(2);
    EXPECT_TRUE(table.Descending()) << "the largest net profit first";
    EXPECT_EQ(Column(table, 2),
              (std::vector<std::string>{"80.00", "50.00", "50.00", "-20.00", "-70.00", "--"}));
    EXPECT_EQ(Column(table, 1)[1], "10") << "equal figures keep the optimisation's order";
    EXPECT_EQ(Column(table, 1)[2], "30");
    table.SortBy(2);
    EXPECT_FALSE(table.Descending());
    EXPECT_EQ(Column(table, 2),
              (std::vector<std::string>{"-70.00", "-20.00", "50.00", "50.00", "80.00", "--"}));

    table.SortBy(5);
    EXPECT_EQ(Column(table, 5), (std::vector<std::string>{"100.00", "50.00", "33.33", "0.00", "--", "--"}))
        << "a win rate without trades stays last";
    table.SortBy(99);  // no such column: nothing moves
    EXPECT_EQ(table.SortColumn(), 5);
}

TEST(OptimisationTableRules, ApplyAndTheHeatMapFollowTheSortedRows) {
    OptimisationTable table = Grid();
    table.SortBy(2);
    EXPECT_EQ(table.ValuesOf(0), (std::vector<std::pair<int, double>>{{0, 3}, {1, 20}}));
    EXPECT_EQ(table.CombinationOf(0), 4);
    EXPECT_EQ(table.RowOf(4), 0);
    EXPECT_EQ(table.RowOf(3), 5);
    EXPECT_TRUE(table.ValuesOf(6).empty());

    const std::optional<HeatMap> map = table.HeatMapOf(0);
    ASSERT_TRUE(map);
    EXPECT_EQ(map->rowName, "S");
    EXPECT_EQ(map->columnName, "L");
    EXPECT_EQ(map->rowValues, (std::vector<double>{2, 3}));
    EXPECT_EQ(map->columnValues, (std::vector<double>{10, 20, 30}));
    ASSERT_EQ(map->cells.size(), 6u);
    EXPECT_EQ(map->cells[1], -20) << "cells in the optimisation's order, whatever the sort";
    EXPECT_FALSE(map->cells[3]);
    EXPECT_EQ(map->selected, 4) << "the selected row's combination";
    EXPECT_EQ(BestHeatMapCell(*map), 4);

    OptimisationTable one;
    one.Set({"S"}, {{0, 2, 4, 1}}, {Row({2}, 1, 0, 1, 100), Row({3}, 2, 0, 1, 100), Row({4}, 3, 0, 1, 100)});
    EXPECT_FALSE(one.HeatMapOf(0)) << "a heat map needs two parameters";
    one.Clear();
    EXPECT_TRUE(one.Empty());
    EXPECT_EQ(one.ColumnCount(), OptimisationTable::kFigureColumns);
}

}  // namespace
}  // namespace qelt
