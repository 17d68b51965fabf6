// Computing a compiled formula as the chart does: every bar datum, the parameter values in
// use, recomputing after a live quote, reused columns, and the title items.
#include <gtest/gtest.h>

#include <atomic>
#include <string>

#include "FormulaTestSupport.h"
#include "formula/FormulaChecker.h"
#include "formula/FormulaParser.h"
#include "formula/FormulaProgram.h"

namespace qelt {
namespace {

using test::CloseBars;
using test::kNone;
using test::PriceBars;
using test::SameColumn;

FormulaCompileResult Compiled(const std::string& text, const std::vector<FormulaParameter>& parameters = {}) {
    FormulaCompileResult result = CompileFormula(text, parameters);
    EXPECT_TRUE(result.formula) << result.error.Describe();
    return result;
}

std::vector<double> ColumnOf(const FormulaRun& run, int output) {
    return std::vector<double>(run.Column(output).begin(), run.Column(output).end());
}

TEST(FormulaRun, ReadsEveryBarDatumAsTheChartHoldsIt) {
    // Volume and net position are whole numbers, as the built-in indicators read them; a
    // field that is no number reads as 0.
    BarSeries bars = {
        CBarRow{"20060102", "10.5", "11.25", "12", "9.75", "1500.9", "10.8", "-30", "7", "200606"},
        CBarRow{"20060103", "x", "", "13", "10", "", "11", "40", "8", "200606"}};
    FormulaCompileResult compiled = Compiled("O; H; L; C; V; AVGPRICE; OPI; DATE; OPEN+HIGH+LOW+CLOSE+VOL");
    FormulaRun run;
    ASSERT_TRUE(run.Run(*compiled.formula, bars));
    const std::vector<std::vector<double>> expected = {{10.5, 0},
                                                       {12, 13},
                                                       {9.75, 10},
                                                       {11.25, 0},
                                                       {1500, 0},
                                                       {10.8, 11},
                                                       {-30, 40},
                                                       {20060102, 20060103},
                                                       {10.5 + 12 + 9.75 + 11.25 + 1500, 23}};
    for (std::size_t k = 0; k < expected.size(); ++k)
        EXPECT_TRUE(SameColumn(ColumnOf(run, static_cast<int>(k)), expected[k]))
            << compiled.formula->Outputs()[k].name;

    // No bars: columns without bars, nothing read.
    ASSERT_TRUE(run.Run(*compiled.formula, BarSeries{}));
    EXPECT_EQ(run.BarCount(), 0);
    EXPECT_TRUE(run.Column(0).empty());
    EXPECT_EQ(run.ValueAt(0, 0), std::nullopt);
}

TEST(FormulaRun, TimeIsAMinuteBarsFirstMinuteAndZeroOnDayBars) {
    BarSeries minutes = {CBarRow{"20260303", "10", "10.5"}, CBarRow{"20260303", "10", "11"},
                         CBarRow{"20260304", "10", "12"}};
    minutes[0].SetTime(1455);
    minutes[1].SetTime(1525);
    minutes[2].SetTime(900);
    FormulaCompileResult compiled =
        Compiled("T:TIME; PM:IF(time>=1330,C,0); AT:DATE*10000+TIME; N:BARSLAST(TIME<REF(TIME,1))");
    FormulaRun run;
    ASSERT_TRUE(run.Run(*compiled.formula, minutes));
    EXPECT_TRUE(SameColumn(ColumnOf(run, 0), {1455, 1525, 900}));
    EXPECT_TRUE(SameColumn(ColumnOf(run, 1), {10.5, 11, 0}));
    EXPECT_TRUE(SameColumn(ColumnOf(run, 2), {202603031455.0, 202603031525.0, 202603040900.0}));
    EXPECT_TRUE(SameColumn(ColumnOf(run, 3), {kNone, kNone, 0}));  // a new day starts at bar 2

    // Day bars have no time; TIME names the datum, so it is no name for a variable.
    ASSERT_TRUE(run.Run(*compiled.formula, CloseBars({10, 11})));
    EXPECT_TRUE(SameColumn(ColumnOf(run, 0), {0, 0}));
    EXPECT_FALSE(CompileFormula("TIME:C;", {}).formula);
}

TEST(FormulaRun, ParameterValuesReplaceTheDefaultsAndAConstantOutOfRangeStopsTheRun) {
    const BarSeries bars = CloseBars({10, 11, 12, 13});
    FormulaCompileResult compiled =
        Compiled("A:MA(C,N-5); B:N*2; D:SMA(C,M,2)", {{"N", 7, 1, 100}, {"M", 3, 1, 5}});
    FormulaRun run;
    ASSERT_TRUE(run.Run(*compiled.formula, bars));
    EXPECT_TRUE(SameColumn(ColumnOf(run, 0), {kNone, 10.5, 11.5, 12.5})) << "MA(C,2) at the defaults";
    EXPECT_TRUE(SameColumn(ColumnOf(run, 1), {14, 14, 14, 14})) << "a constant output fills every bar";
    ASSERT_TRUE(run.Run(*compiled.formula, bars, {8}));
    EXPECT_TRUE(SameColumn(ColumnOf(run, 0), {kNone, kNone, 11, 12})) << "N = 8, M keeps its default";

    // N = 5 makes MA's window 0: the run stops with the argument's place, every output
    // without a value; a good value afterwards computes again.
    EXPECT_FALSE(run.Run(*compiled.formula, bars, {5}));
    ASSERT_TRUE(run.Error());
    EXPECT_EQ(run.Error()->Describe(), "1:8: N 必须在 1 到 1000000 之间");
    for (int k = 0; k < 3; ++k) EXPECT_TRUE(SameColumn(ColumnOf(run, k), std::vector<double>(4, kNone)));
    EXPECT_FALSE(run.Run(*compiled.formula, bars, {7, 1}));
    EXPECT_EQ(run.Error()->Describe(), "1:31: M 不能大于 N") << "SMA(C,1,2)";
    ASSERT_TRUE(run.Run(*compiled.formula, bars, {7, 2}));
    EXPECT_FALSE(run.Error());
    EXPECT_TRUE(SameColumn(ColumnOf(run, 2), {10, 11, 12, 13}));
}

TEST(FormulaRun, ALiveQuoteRecomputesFromTheChangedBarOn) {
    BarSeries bars = CloseBars({10, 11, 12, 13});
    FormulaRun run;
    {
        // The run keeps what it needs of the formula: the compiled result may go.
        FormulaCompileResult compiled = Compiled("S:SUM(C,0); X:HHV(H,2)");
        ASSERT_TRUE(run.Run(*compiled.formula, bars));
        // The last bar's close changes: only it is read again.
        bars[3] = CloseBars({10, 11, 12, 20})[3];
        ASSERT_TRUE(run.Run(*compiled.formula, bars, {}, 3));
        EXPECT_TRUE(SameColumn(ColumnOf(run, 0), {10, 21, 33, 53}));
        // The caller's promise is taken: bars it calls unchanged are not read again.
        bars[0] = CloseBars({100})[0];
        ASSERT_TRUE(run.Run(*compiled.formula, bars, {}, 4));
        EXPECT_TRUE(SameColumn(ColumnOf(run, 0), {10, 21, 33, 53}));
        // A new bar is read whatever the promise says.
        bars.push_back(CloseBars({1, 1, 1, 1, 7})[4]);
        ASSERT_TRUE(run.Run(*compiled.formula, bars, {}, 5));
        EXPECT_TRUE(SameColumn(ColumnOf(run, 0), {10, 21, 33, 53, 60}));
        EXPECT_TRUE(SameColumn(ColumnOf(run, 1), {10, 11, 12, 20, 20}));
    }
    EXPECT_EQ(run.TitleItem(0, 4), "S:60.00");
    // Another formula on the same run: a datum it reads for the first time is read whole.
    FormulaCompileResult other = Compiled("O*2");
    ASSERT_TRUE(run.Run(*other.formula, bars, {}, 5));
    EXPECT_TRUE(SameColumn(ColumnOf(run, 0), {200, 22, 24, 40, 14}));
}

TEST(FormulaRun, ThePromiseCoversOnlyThePreviousRunsBars) {
    // A pane shows a formula of the close, then one of the open while the series is loaded
    // again with other closes, then the first one again: its closes are the new ones.
    FormulaCompileResult closes = Compiled("C");
    FormulaCompileResult opens = Compiled("O");
    FormulaCompileResult stopped = Compiled("MA(C,N-5)", {{"N", 10, 1, 100}});
    FormulaRun run;
    ASSERT_TRUE(run.Run(*closes.formula, CloseBars({1, 2, 3})));
    const BarSeries reloaded = PriceBars({{5, 9, 4, 7}, {5, 9, 4, 8}, {5, 9, 4, 9}});
    ASSERT_TRUE(run.Run(*opens.formula, reloaded, {}, 0));
    ASSERT_TRUE(run.Run(*closes.formula, reloaded, {}, 3));
    EXPECT_TRUE(SameColumn(ColumnOf(run, 0), {7, 8, 9}));
    // A run its constants stopped read nothing: its promise bounds what stays valid too.
    ASSERT_TRUE(run.Run(*closes.formula, CloseBars({1, 2, 3})));
    EXPECT_FALSE(run.Run(*stopped.formula, reloaded, {3}, 0));
    ASSERT_TRUE(run.Run(*closes.formula, reloaded, {}, 3));
    EXPECT_TRUE(SameColumn(ColumnOf(run, 0), {7, 8, 9}));
}

TEST(FormulaRun, VariablesKeepTheirColumnsWhileLaterStatementsReuseOthers) {
    // Temporaries die and their columns are taken again; a variable under a second name
    // (B := A) and a variable used long after its statement keep theirs; a variable no
    // output uses is not computed at all.
    const BarSeries bars = CloseBars({1, 2, 3, 4, 5, 6});
    FormulaCompileResult compiled = Compiled(
        "A:=C*2; B:=A; UNUSED:=MA(C*C,2)+HHV(C,3); T1:MA(C+1,2)-REF(C*3,1); D:=B+1;"
        "T2:(C-1)*(C-2)/(C+1)+REF(C,2); T3:A+B+D+MA(A,3)");
    FormulaRun run;
    ASSERT_TRUE(run.Run(*compiled.formula, bars));
    std::vector<double> t1, t2, t3;
    for (int i = 0; i < 6; ++i) {
        const double c = i + 1;
        t1.push_back(i < 1 ? kNone : (c + 1 + c) / 2 - 3 * (c - 1));
        t2.push_back(i < 2 ? kNone : (c - 1) * (c - 2) / (c + 1) + (c - 2));
        t3.push_back(i < 2 ? kNone : 2 * c + 2 * c + 2 * c + 1 + 2 * (c - 1));
    }
    EXPECT_TRUE(SameColumn(ColumnOf(run, 0), t1));
    EXPECT_TRUE(SameColumn(ColumnOf(run, 1), t2));
    EXPECT_TRUE(SameColumn(ColumnOf(run, 2), t3));
}

TEST(FormulaRun, AConstantOutputKeepsItsValueForTheStatementsThatReadIt) {
    const BarSeries bars = CloseBars({10, 11, 12, 13, 14, 15});
    const std::vector<double> none(6, kNone);
    EXPECT_TRUE(SameColumn(test::Compute("M:100/2;UP:M+20;", bars, 1), std::vector<double>(6, 70)));
    EXPECT_TRUE(SameColumn(test::Compute("M:100/2;UP:M+20;", bars, 0), std::vector<double>(6, 50)));
    // A channel drawn at a parameter's level and its mirror.
    const std::string channel = "K:MA(C,5);上轨:N;下轨:100-上轨;";
    const std::vector<FormulaParameter> n = {{"N", 70, 1, 100}};
    EXPECT_TRUE(SameColumn(test::Compute(channel, bars, 2, n), std::vector<double>(6, 30)));
    EXPECT_TRUE(SameColumn(test::Compute(channel, bars, 2, n, {64}), std::vector<double>(6, 36)));
    EXPECT_TRUE(SameColumn(test::Compute(channel, bars, 0, n), {kNone, kNone, kNone, kNone, 12, 13}));
    // Read by a column expression, by a window and by another constant output.
    const std::string mixed = "M:2*3; X:C*M; Y:MA(M,2); Z:M/2; W:Z+M";
    EXPECT_TRUE(SameColumn(test::Compute(mixed, bars, 1), {60, 66, 72, 78, 84, 90}));
    EXPECT_TRUE(SameColumn(test::Compute(mixed, bars, 2), {kNone, 6, 6, 6, 6, 6}));
    EXPECT_TRUE(SameColumn(test::Compute(mixed, bars, 4), std::vector<double>(6, 9)));
}

/// The program a text compiles to (the compiler's own view, without computing it).
formula::Program ProgramOf(const std::string& text) {
    formula::Tree tree;
    FormulaError error;
    EXPECT_TRUE(formula::Parse(text, tree, error) && formula::Check(tree, {}, error)) << error.Describe();
    return formula::Compile(tree, 0);
}

TEST(FormulaRun, AColumnIsGivenBackOnceNoLaterStatementReadsIt) {
    // 900 variables read once each, all by the last statement: each is computed where it is
    // read and its column taken again by the next, not 900 columns held at once.
    std::string text, sum = "S:";
    for (int k = 1; k <= 900; ++k) {
        text += "V" + std::to_string(k) + ":=C*" + std::to_string(k) + ";";
        sum += (k > 1 ? "+V" : "V") + std::to_string(k);
    }
    EXPECT_LE(ProgramOf(text + sum).slotCount, 3);
    const BarSeries bars = CloseBars({1, 2, 3});
    EXPECT_TRUE(SameColumn(test::Compute(text + sum, bars), {405450, 810900, 1216350}));
    // Each variable read by the next one and by one long after: two columns each at most
    // while both readers are to come.
    std::string chain;
    for (int k = 1; k <= 300; ++k)
        chain += "A" + std::to_string(k) + ":=" + (k == 1 ? "C*1" : "A" + std::to_string(k - 1) + "+1") + ";";
    EXPECT_LE(ProgramOf(chain + "X:A300+A1").slotCount, 3);
    EXPECT_TRUE(SameColumn(test::Compute(chain + "X:A300+A1", bars), {301, 303, 305}));
    // A column under two names lives until the readers of both are done; one that another
    // reads after its last reader has given it back is read intact.
    const std::string alias = "A:=C+1; B:=A; X:B+A+B; Y:=C*10; Z:=Y; W:Z*2+Y+REF(Z,1)";
    EXPECT_TRUE(SameColumn(test::Compute(alias, bars, 0), {6, 9, 12}));
    EXPECT_TRUE(SameColumn(test::Compute(alias, bars, 1), {kNone, 70, 110}));
}

TEST(FormulaRun, AVariableReadTwiceInOneExpressionIsNotWrittenOverByItsOwnLaterRead) {
    // The second read is the variable's last: its operator may not take the column while the
    // first read still waits for the outer one.
    const BarSeries bars = CloseBars({5, 20, 3});
    EXPECT_TRUE(SameColumn(test::Compute("X:=C-10; OUT:X+ABS(X)", bars), {0, 20, 0}));
    EXPECT_TRUE(SameColumn(test::Compute("X:=C; OUT:X>NOT X", bars), {1, 1, 1}));
    EXPECT_TRUE(SameColumn(test::Compute("X:=C*2; OUT:MA(X,1)+X*(X-1)", bars), {100, 1600, 36}));
    EXPECT_TRUE(SameColumn(test::Compute("X:=C; Y:=X; OUT:Y-(-X)+Y", bars), {15, 60, 9}));
}

TEST(FormulaRun, AComputationOverItsCostLimitOrCancelledStopsWithoutValues) {
    std::vector<double> closes;
    for (int i = 0; i < 100; ++i) closes.push_back(100 + i % 7);
    BarSeries bars = CloseBars(closes);
    // MA weighs 12, a recursion 4, an operator 1: 17 per bar, 1700 over the series.
    FormulaCompileResult compiled = Compiled("A:MA(C,5)+EMA(C,3)");
    FormulaRun run;
    EXPECT_EQ(run.CostOf(*compiled.formula, 100), 1700);
    EXPECT_FALSE(run.Run(*compiled.formula, bars, {}, 0, FormulaRunControl{1699}));
    ASSERT_TRUE(run.Error());
    EXPECT_EQ(run.Error()->Describe(), "公式计算量过大，已停止");
    EXPECT_FALSE(run.Error()->InText());
    EXPECT_TRUE(SameColumn(ColumnOf(run, 0), std::vector<double>(100, kNone)));
    ASSERT_TRUE(run.Run(*compiled.formula, bars, {}, 0, FormulaRunControl{1700}));
    EXPECT_TRUE(SameColumn(ColumnOf(run, 0), test::Compute("MA(C,5)+EMA(C,3)", bars)));

    // A live quote costs the bars it changed: the last one, and one more when one is added.
    bars[99] = CloseBars({150})[0];
    EXPECT_EQ(run.CostOf(*compiled.formula, 100, {}, 99), 17);
    EXPECT_EQ(run.CostOf(*compiled.formula, 100, {}, 98), 1700) << "an older bar changed: all again";
    ASSERT_TRUE(run.Run(*compiled.formula, bars, {}, 99, FormulaRunControl{17}));
    EXPECT_TRUE(SameColumn(ColumnOf(run, 0), test::Compute("MA(C,5)+EMA(C,3)", bars), 0.0));
    bars.push_back(CloseBars({90})[0]);
    EXPECT_FALSE(run.Run(*compiled.formula, bars, {}, 100, FormulaRunControl{33}));
    ASSERT_TRUE(run.Run(*compiled.formula, bars, {}, 0));
    bars.push_back(CloseBars({91})[0]);
    ASSERT_TRUE(run.Run(*compiled.formula, bars, {}, 101, FormulaRunControl{34}));
    EXPECT_TRUE(SameColumn(ColumnOf(run, 0), test::Compute("MA(C,5)+EMA(C,3)", bars), 0.0));
    // A short AVEDEV goes over its window; a long one walks a tree.
    EXPECT_EQ(FormulaRun().CostOf(*Compiled("AVEDEV(C,N)", {{"N", 20, 1, 1000}}).formula, 10), 280);
    EXPECT_EQ(FormulaRun().CostOf(*Compiled("AVEDEV(C,N)", {{"N", 20, 1, 1000}}).formula, 10, {300}), 7000);

    // Cancelled between instructions: stopped, and the next run starts from bar 0 again.
    std::atomic<bool> cancel{true};
    EXPECT_FALSE(run.Run(*compiled.formula, bars, {}, 102, FormulaRunControl{0, &cancel}));
    EXPECT_EQ(run.Error()->Describe(), "计算已取消");
    EXPECT_FALSE(run.Run(*compiled.formula, bars, {}, 102, FormulaRunControl{17}))
        << "nothing kept to resume from";
    ASSERT_TRUE(run.Run(*compiled.formula, bars, {}, 102));
    EXPECT_TRUE(SameColumn(ColumnOf(run, 0), test::Compute("MA(C,5)+EMA(C,3)", bars), 0.0));
}

TEST(FormulaRun, TitleItemsShowTwoDecimalsOrTheNameAlone) {
    FormulaCompileResult compiled = Compiled("DIF:MA(C,2); 1/3*C");
    FormulaRun run;
    ASSERT_TRUE(run.Run(*compiled.formula, CloseBars({10, 11.257})));
    EXPECT_EQ(run.TitleItem(0, 1), "DIF:10.63");
    EXPECT_EQ(run.TitleItem(1, 0), "OUT1:3.33");
    EXPECT_EQ(run.TitleItem(0, 0), "DIF") << "no value yet";
    EXPECT_EQ(run.TitleItem(0, 2), "DIF") << "beyond the series";
    EXPECT_EQ(run.TitleItem(2, 0), "") << "no such output";
}

}  // namespace
}  // namespace qelt
