// The drawing statements: the marks each one makes at the bars where its condition holds,
// their colours and constants, every fault at its line and column, the limits (500 drawings,
// the marks a run may hold, the cost), and a live session that remakes the marks of the
// changed bars only, to the last bit.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <sstream>

#include "../fuzz/FormulaReference.h"
#include "FormulaTestSupport.h"
#include "RandomFormulas.h"
#include "formula/FormulaHighlight.h"

namespace qelt {
namespace {

using test::CloseBars;
using test::PriceBars;

std::string DrawingErrorOf(const std::string& text, const std::vector<FormulaParameter>& parameters = {}) {
    FormulaCompileResult result = CompileFormula(text, parameters);
    return result.formula ? "compiles" : result.error.Describe();
}

CompiledFormula DrawingMustCompile(const std::string& text) {
    FormulaCompileResult compiled = CompileFormula(text);
    EXPECT_TRUE(compiled.formula) << text << ": " << compiled.error.Describe();
    return compiled.formula ? *compiled.formula : *CompileFormula("A:C").formula;
}

/// The marks as "bar:drawing:p1:p2" items, the values "%.10g".
std::vector<std::string> DrawingMarkItems(std::span<const FormulaMark> marks) {
    std::vector<std::string> items;
    for (const FormulaMark& m : marks)
        items.push_back(FormatInt(m.bar) + ":" + FormatInt(m.drawing) + ":" + FormatGeneral(m.p1, 10) + ":" +
                        FormatGeneral(m.p2, 10));
    return items;
}

std::vector<std::string> DrawingMarksOf(const std::string& text, const BarSeries& bars) {
    FormulaRun run;
    EXPECT_TRUE(run.Run(DrawingMustCompile(text), bars)) << text;
    return DrawingMarkItems(run.Marks());
}

/// Open, high, low, close: up, down, up, flat (C = O), up.
BarSeries DrawingFiveBars() {
    return PriceBars(
        {{10, 12, 9, 11}, {11, 12, 10, 10}, {10, 13, 10, 12}, {12, 12, 11, 12}, {12, 15, 11, 14}});
}

TEST(FormulaDrawings, EachStatementMarksTheBarsWhereItsConditionHoldsInBarThenStatementOrder) {
    const std::string text =
        "STICKLINE(C>O,O,C,8,1),COLORRED;\n"
        "DRAWTEXT(C<O,H,'跌, \"x\"');\n"
        "DRAWNUMBER(C>=O,L,C-O);\n"
        "DRAWICON(CROSS(C,REF(C,1)),L,2),color00FF80;\n"
        "POLYLINE(C>REF(C,1),C)";
    const CompiledFormula formula = DrawingMustCompile(text);
    EXPECT_TRUE(formula.Outputs().empty()) << "drawings are no outputs";
    const std::vector<FormulaDrawing>& drawings = formula.Drawings();
    ASSERT_EQ(drawings.size(), 5u);
    EXPECT_EQ(drawings[0].kind, FormulaDrawingKind::StickLine);
    EXPECT_TRUE(drawings[0].hasColour);
    EXPECT_EQ(drawings[0].colour, Rgb(255, 0, 0));
    EXPECT_EQ(drawings[0].widthTenths, 8);
    EXPECT_TRUE(drawings[0].hollow);
    EXPECT_EQ(drawings[1].kind, FormulaDrawingKind::Text);
    EXPECT_EQ(drawings[1].text, "跌, \"x\"");
    EXPECT_FALSE(drawings[1].hasColour) << "line colour 1";
    EXPECT_EQ(drawings[2].kind, FormulaDrawingKind::Number);
    EXPECT_EQ(drawings[3].icon, FormulaIcon::DownArrow);
    EXPECT_EQ(drawings[3].colour, Rgb(0x00, 0xFF, 0x80));
    EXPECT_EQ(drawings[4].kind, FormulaDrawingKind::Polyline);
    // What a mark shows: DRAWTEXT's text, DRAWNUMBER's X as "%.2f", nothing for the others.
    EXPECT_EQ(FormulaMarkText(drawings[1], FormulaMark{1, 1, 12, 0}), "跌, \"x\"");
    EXPECT_EQ(FormulaMarkText(drawings[2], FormulaMark{2, 2, 10, 2.0 / 3}), "0.67");
    EXPECT_EQ(FormulaMarkText(drawings[2], FormulaMark{2, 2, 10, -0.004}), "-0.00");
    EXPECT_EQ(FormulaMarkText(drawings[3], FormulaMark{2, 3, 10, 0}), "");

    // C>O at 0, 2, 4; C<O at 1; C>=O at 0, 2, 3, 4; C crosses REF(C,1) at 2 and 4 (at 1 the
    // bar before has no REF); C rises at 2 and 4. STICKLINE's p2 is P2, DRAWNUMBER's is X.
    FormulaRun run;
    ASSERT_TRUE(run.Run(formula, DrawingFiveBars()));
    EXPECT_EQ(run.OutputCount(), 0);
    EXPECT_EQ(
        DrawingMarkItems(run.Marks()),
        (std::vector<std::string>{"0:0:10:11", "0:2:9:1", "1:1:12:0", "2:0:10:12", "2:2:10:2", "2:3:10:0",
                                  "2:4:12:0", "3:2:11:0", "4:0:12:14", "4:2:11:2", "4:3:11:0", "4:4:14:0"}));

    // No mark where a value of the mark has none, nor where COND has none; a constant COND
    // marks every bar; a variable read by a drawing only is computed for it.
    const BarSeries bars = DrawingFiveBars();
    EXPECT_EQ(DrawingMarksOf("STICKLINE(1,REF(C,1),C,0,0)", bars),
              (std::vector<std::string>{"1:0:11:10", "2:0:10:12", "3:0:12:12", "4:0:12:14"}));
    EXPECT_EQ(DrawingMarksOf("DRAWNUMBER(C>O,C,REF(C,3))", bars), (std::vector<std::string>{"4:0:14:10"}));
    EXPECT_EQ(DrawingMarksOf("POLYLINE(REF(C,3)>0,1)", bars),
              (std::vector<std::string>{"3:0:1:0", "4:0:1:0"}));
    EXPECT_EQ(DrawingMarksOf("DRAWICON(0,C,3)", bars), (std::vector<std::string>{}));
    EXPECT_EQ(DrawingMarksOf("X:=C-O; DRAWICON(X>1,X,4)", bars),
              (std::vector<std::string>{"2:0:2:0", "4:0:2:0"}));
    EXPECT_EQ(DrawingMarksOf("DRAWNUMBER(C/(C-O)>1,1/(C-O),C)", bars),
              (std::vector<std::string>{"0:0:1:11", "2:0:0.5:12", "4:0:0.5:14"}))
        << "a division by zero gives no value: neither true nor a mark";

    // Outputs and drawings side by side: each in its own order, the outputs' columns as ever.
    FormulaCompileResult mixed =
        CompileFormula("M:MA(C,2); POLYLINE(C>M,M); DIF:C-M,COLORRED; DRAWTEXT(C<M,L,'')");
    ASSERT_TRUE(mixed.formula) << mixed.error.Describe();
    ASSERT_EQ(mixed.formula->Outputs().size(), 2u);
    EXPECT_EQ(mixed.formula->Outputs()[1].style.defaultSlot, 1) << "drawings take no line colour slot";
    ASSERT_TRUE(run.Run(*mixed.formula, bars));
    EXPECT_EQ(run.ValueAt(1, 4), 1.0);
    EXPECT_EQ(DrawingMarkItems(run.Marks()), (std::vector<std::string>{"1:1:10:0", "2:0:11:0", "4:0:13:0"}));
}

TEST(FormulaDrawings, EachFaultIsReportedAtItsLineAndColumn) {
    const std::vector<FormulaParameter> n = {{"N", 5, 1, 10}};
    const struct {
        std::string text, error;
    } cases[] = {
        // Text literals: closed on their line, at most 32 characters, DRAWTEXT's third only.
        {"A:C;\nDRAWTEXT(C>O,H,'abc", "2:16: 文字缺少结尾的单引号"},
        {"DRAWTEXT(C>O,H,'ab\nc')", "1:16: 文字缺少结尾的单引号"},
        {"DRAWTEXT(C>O,H,'" + std::string(33, 'x') + "')", "1:16: 文字超过 32 个字符"},
        {"DRAWTEXT(C>O,H,'ab\xff')", "1:19: 文本不是有效的 UTF-8"},
        {"A:C+'x'", "1:5: 文字只能作 DRAWTEXT 的第 3 个参数"},
        {"DRAWTEXT(C>O,'x',H)", "1:14: 文字只能作 DRAWTEXT 的第 3 个参数"},
        {"DRAWNUMBER(C>O,H,'5')", "1:18: 文字只能作 DRAWTEXT 的第 3 个参数"},
        {"DRAWTEXT(C>O,H,C)", "1:16: DRAWTEXT 的第 3 个参数须是单引号中的文字"},
        // Argument counts, at the function's name.
        {"DRAWTEXT(C>O,H)", "1:1: DRAWTEXT 需要 3 个参数"},
        {"A:C;  STICKLINE(C>O,O,C,1)", "1:7: STICKLINE 需要 5 个参数"},
        {"polyline(C>O,C,1)", "1:1: POLYLINE 需要 2 个参数"},
        {"DRAWICON()", "1:1: DRAWICON 需要 3 个参数"},
        {"DRAWNUMBER(C>O,H,C", "1:19: 缺少 )"},
        // A statement of its own: no name, not in an expression.
        {"X:DRAWTEXT(C>O,H,'a')", "1:1: 绘图语句 DRAWTEXT 不能命名"},
        {"A:C; x:=PolyLine(C>O,C)", "1:6: 绘图语句 POLYLINE 不能命名"},
        {"A:MA(POLYLINE(C>O,C),5)", "1:6: POLYLINE 只能单独成句"},
        {"POLYLINE(C>O,C)+1", "1:1: POLYLINE 只能单独成句"},
        {"POLYLINE(C>O,C) AND 1", "1:1: POLYLINE 只能单独成句"},
        {"A:DRAWICON", "1:3: DRAWICON 只能单独成句"},
        {"DRAWICON:C", "1:1: 名称 DRAWICON 是函数名"},
        {"POLYLINE(C>O,C) A:C", "1:17: 缺少 ;"},
        // W, E and K: constants (a parameter at its default, N = 5), in their ranges.
        {"STICKLINE(C>O,O,C,C,0)", "1:19: W 必须是常数"},
        {"STICKLINE(C>O,O,C,N*3,0)", "1:19: W 必须在 0 到 10 之间"},
        {"STICKLINE(C>O,O,C,(N+1)*2,0)", "1:19: W 必须在 0 到 10 之间"},
        {"STICKLINE(C>O,O,C,11,0)", "1:19: W 必须在 0 到 10 之间"},
        {"STICKLINE(C>O,O,C,-1,0)", "1:19: W 必须在 0 到 10 之间"},
        {"STICKLINE(C>O,O,C,2,1/0)", "1:21: E 必须是数字"},
        {"STICKLINE(C>O,O,C,2,O)", "1:21: E 必须是常数"},
        {"DRAWICON(C>O,L,5)", "1:16: K 必须在 1 到 4 之间"},
        {"DRAWICON(C>O,L,0.5)", "1:16: K 必须在 1 到 4 之间"},
        {"DRAWICON(C>O,L,C)", "1:16: K 必须是常数"},
        // One colour attribute and nothing else.
        {"POLYLINE(C>O,C),LINETHICK2", "1:17: 绘图语句不能带属性 LINETHICK2"},
        {"POLYLINE(C>O,C),NODRAW", "1:17: 绘图语句不能带属性 NODRAW"},
        {"POLYLINE(C>O,C),COLORRED,COLORBLUE", "1:26: 属性 COLORBLUE 与 COLORRED 冲突"},
        {"POLYLINE(C>O,C),COLORRED,colorred", "1:26: 属性 colorred 重复"},
        {"POLYLINE(C>O,C),COLORPINK", "1:17: 未知的属性 COLORPINK"},
        // A drawing is enough for a formula; a formula of variables only is not.
        {"A:=C;\nB:=O;", "2:6: 公式没有输出线"},
        {"POLYLINE(1,C)", "compiles"},
        {"STICKLINE(C>O,O,C,10.9,-2)", "compiles"},
        {"DRAWTEXT(1,C,'a" + std::string(1, '\0') + "')", "1:16: 未知的字符 U+0000"},
        {"DRAWTEXT(1,C,'a\tb')", "1:16: 未知的字符 U+0009"},
    };
    for (const auto& c : cases) EXPECT_EQ(DrawingErrorOf(c.text, n), c.error) << c.text;

    // 32 characters, not bytes; braces, slashes and commas are text inside the quotes.
    const std::string cjk32 = "甲乙丙丁戊己庚辛壬癸甲乙丙丁戊己庚辛壬癸甲乙丙丁戊己庚辛壬癸甲乙";
    EXPECT_EQ(DrawingErrorOf("DRAWTEXT(C>O,H,'" + cjk32 + "')"), "compiles");
    EXPECT_EQ(DrawingErrorOf("STICKLINE(C>O,O,C,N,N-5);DRAWICON(C>O,L,N-3)", n), "compiles");
    EXPECT_EQ(DrawingErrorOf("DRAWTEXT(C>O,H,'" + cjk32 + "丙')"), "1:16: 文字超过 32 个字符");
    EXPECT_EQ(DrawingErrorOf("DRAWTEXT(C>O,H,'" + cjk32 + "');\nA:FOO"), "2:3: 未知的名称 FOO")
        << "columns after a literal count its characters";
    FormulaCompileResult braces = CompileFormula("DRAWTEXT(1,C,'{a}//,b') // done");
    ASSERT_TRUE(braces.formula) << braces.error.Describe();
    EXPECT_EQ(braces.formula->Drawings()[0].text, "{a}//,b");

    // A drawing's name is no parameter's either.
    FormulaCompileResult parameter = CompileFormula("A:C", {{"DrawText", 1, 1, 1}});
    EXPECT_EQ(parameter.error.message, "参数名 DrawText 是函数名");

    // The editor colours the drawing functions as drawings, and a literal's braces and
    // slashes as text, not as a comment.
    using formula::HighlightFormulaLine;
    using formula::HighlightKind;
    const std::vector<formula::HighlightSpan> spans =
        HighlightFormulaLine("DRAWTEXT(C,H,'{//') {x}", false).spans;
    ASSERT_EQ(spans.size(), 5u);
    EXPECT_EQ(spans[0], (formula::HighlightSpan{0, 8, HighlightKind::Drawing}));
    EXPECT_EQ(spans[2], (formula::HighlightSpan{11, 1, HighlightKind::Data}));
    EXPECT_EQ(spans[3], (formula::HighlightSpan{13, 5, HighlightKind::Text}));
    EXPECT_EQ(spans[4], (formula::HighlightSpan{20, 3, HighlightKind::Comment}));
}

TEST(FormulaDrawings, AtMost500DrawingsAndA64KbTextOfThemCompilesAndRuns) {
    std::string five_hundred;
    for (int i = 0; i < 500; ++i) five_hundred += "POLYLINE(C>O," + FormatInt(i) + ");\n";
    std::string outputs;
    for (int i = 0; i < 16; ++i) outputs += "C;";
    EXPECT_EQ(DrawingErrorOf(five_hundred + outputs), "compiles") << "drawings are not among the 16 outputs";
    EXPECT_EQ(DrawingErrorOf(five_hundred + "A:C;\n  DRAWICON(1,C,1);"), "502:3: 绘图语句超过 500 条");

    // 500 long drawing statements filling 64 KB: compiled, and each makes its marks from
    // columns it gives back (no more columns than one drawing takes).
    std::string text;
    for (int i = 0; i < 500; ++i) {
        const std::string statement =
            i % 2 ? "DRAWNUMBER(C>MA(C," + FormatInt(i % 7 + 1) +
                        ") AND H-L>=0 AND VOL>=MA(VOL,10) OR C<REF(C,2),H*1.01+" + FormatInt(i) +
                        ",(HHV(C,5)-LLV(C,5))/2),COLOR00FF" + FormatInt(10 + i % 90) + ";\n"
                  : "DRAWTEXT(C<O AND V>MA(V,5) AND OPI>=REF(OPI,1),L*0.99-" + FormatInt(i) + ",'第" +
                        FormatInt(i) + "条文字说明一二三四五六七八九十一二三四五六七八九十');\n";
        text += statement;
    }
    EXPECT_GT(text.size(), kMaxFormulaBytes - 3000);
    EXPECT_LE(text.size(), kMaxFormulaBytes);
    FormulaCompileResult compiled = CompileFormula(text);
    ASSERT_TRUE(compiled.formula) << compiled.error.Describe();
    const std::size_t drawings = compiled.formula->Drawings().size();
    EXPECT_EQ(drawings, 500u);
    std::mt19937 random(7);
    BarSeries bars;
    double price = 20;
    for (int i = 0; i < 300; ++i)
        bars.push_back(test::RandomBar(random, i, price = test::RandomPrice(random, price)));
    FormulaRun run;
    ASSERT_TRUE(run.Run(*compiled.formula, bars));
    const std::span<const FormulaMark> marks = run.Marks();
    EXPECT_GT(marks.size(), 1000u);
    for (std::size_t k = 1; k < marks.size(); ++k) {
        const bool ordered = marks[k - 1].bar < marks[k].bar ||
                             (marks[k - 1].bar == marks[k].bar && marks[k - 1].drawing < marks[k].drawing);
        ASSERT_TRUE(ordered) << "mark " << k;
        ASSERT_LT(marks[k].drawing, static_cast<int>(drawings));
    }
}

TEST(FormulaDrawings, TheMarksARunMayHoldAndItsCostAreBounded) {
    const BarSeries bars = CloseBars(std::vector<double>(20, 5.0));
    const CompiledFormula formula = DrawingMustCompile("A:C; POLYLINE(1,C); DRAWICON(C>4,C,3)");
    FormulaRun run;
    FormulaRunControl control;
    control.maxMarks = 40;
    ASSERT_TRUE(run.Run(formula, bars, {}, 0, control));
    EXPECT_EQ(run.Marks().size(), 40u);
    control.maxMarks = 39;
    EXPECT_FALSE(run.Run(formula, bars, {}, 0, control));
    ASSERT_TRUE(run.Error());
    EXPECT_EQ(run.Error()->Describe(), "绘图标记过多，已停止");
    EXPECT_TRUE(run.Marks().empty());
    EXPECT_EQ(run.ValueAt(0, 3), std::nullopt) << "a stopped run has no values";
    // Nor can the marks the run keeps after a live quote go past it.
    control.maxMarks = 40;
    ASSERT_TRUE(run.Run(formula, bars, {}, 0, control));
    BarSeries more = bars;
    more.push_back(more.back());
    EXPECT_FALSE(run.Run(formula, more, {}, 20, control));
    EXPECT_EQ(run.Error()->message, "绘图标记过多，已停止");
    control.maxMarks = std::size_t{1} << 40;
    ASSERT_TRUE(run.Run(formula, more, {}, 0, control)) << "a larger limit is the largest one";
    EXPECT_EQ(run.Marks().size(), 42u);

    // A drawing costs 8 a bar beside the operators of its arguments: C>4 is 1, the output's
    // copy of C 1.
    EXPECT_EQ(run.CostOf(formula, 100), 1800.0);
    EXPECT_EQ(run.CostOf(formula, 21, {}, 21), 18.0) << "after a live quote, the last bar only";
    EXPECT_FALSE(run.Run(formula, bars, {}, 0, FormulaRunControl{359}));
    EXPECT_EQ(run.Error()->message, "公式计算量过大，已停止");
    EXPECT_TRUE(run.Marks().empty());
    EXPECT_TRUE(run.Run(formula, bars, {}, 0, FormulaRunControl{360}));
}

TEST(FormulaDrawings, ALiveSessionRemakesTheMarksOfTheChangedBarsAsARunFromBarZero) {
    const char* texts[] = {
        "X:=MA(C,3); STICKLINE(C>O,O,C,5,0); DRAWTEXT(CROSS(C,X),L,'金叉'); A:X;"
        "DRAWNUMBER(C>REF(C,1),H,C-REF(C,1)); DRAWICON(C<X,H,2); POLYLINE(HHV(C,5)=C,C)",
        "POLYLINE(C>0,EMA(C,4)); DRAWICON(BARSLAST(C=0)<3,C/O,1)",
        "S:=SUM(V,4); DRAWNUMBER(COUNT(C>O,3)>=2,S,S/REF(S,2)); STICKLINE(1,HHV(H,3),LLV(L,3),0,1)",
    };
    std::mt19937 random(20060102);
    for (const char* text : texts) {
        const CompiledFormula formula = DrawingMustCompile(text);
        BarSeries bars;
        double price = 20;
        for (int i = 0; i < 30; ++i)
            bars.push_back(test::RandomBar(random, i, price = test::RandomPrice(random, price)));
        FormulaRun live;
        ASSERT_TRUE(live.Run(formula, bars));
        for (int step = 0; step < 60; ++step) {
            const int n = static_cast<int>(bars.size());
            int unchanged = n - 1;
            price = test::RandomPrice(random, price);
            if (step % 3 == 0) {  // a new bar
                bars.push_back(test::RandomBar(random, n, price));
                unchanged = n;
            } else if (step % 10 == 5) {  // a reload that changed an early bar: no promise beyond it
                bars[static_cast<std::size_t>(n / 2)] = test::RandomBar(random, n / 2, price);
                unchanged = n / 2;
            } else {  // the last bar's prices move
                bars.back() = test::RandomBar(random, n - 1, price);
            }
            ASSERT_TRUE(live.Run(formula, bars, {}, unchanged));
            FormulaRun fresh;
            ASSERT_TRUE(fresh.Run(formula, bars));
            const std::span<const FormulaMark> a = live.Marks(), b = fresh.Marks();
            ASSERT_EQ(a.size(), b.size()) << text << " step " << step;
            for (std::size_t k = 0; k < a.size(); ++k)
                ASSERT_EQ(std::memcmp(&a[k], &b[k], sizeof(FormulaMark)), 0)
                    << text << " step " << step << " mark " << k;
        }
    }
}

TEST(FormulaDrawings, TheMarksAreThoseTheReferenceComputesFromTheDefinitions) {
    const char* texts[] = {
        "STICKLINE(C>O,O,C,5,0); DRAWTEXT(CROSS(C,MA(C,3)),L,'x'); A:MA(C,3)",
        "DRAWNUMBER(C>REF(C,1),H,C/REF(C,1)); DRAWICON(C/O<1,H,2); POLYLINE(HHV(C,5)=C,SQRT(C))",
        "S:=SUM(V,4); DRAWNUMBER(COUNT(C>O,3)>=2,S,S/REF(S,2)); STICKLINE(1,HHV(H,3),LLV(L,3)/0,0,1)",
    };
    std::mt19937 random(11);
    BarSeries bars;
    double price = 20;
    for (int i = 0; i < 120; ++i)
        bars.push_back(test::RandomBar(random, i, price = test::RandomPrice(random, price)));
    for (const char* text : texts) {
        FormulaRun run;
        const bool ran = run.Run(DrawingMustCompile(text), bars);
        const test::ReferenceResult reference = test::ReferenceOutputs(text, {}, {}, bars);
        ASSERT_EQ(reference.drawings.size(), DrawingMustCompile(text).Drawings().size());
        EXPECT_EQ(test::DifferenceFromReference(reference, ran, run), std::nullopt) << text;
        EXPECT_FALSE(run.Marks().empty()) << text;
    }
}

}  // namespace
}  // namespace qelt
