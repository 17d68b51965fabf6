// The formula language as the user writes it: every fault reported at its line and column,
// the limits that hostile text meets, names, comments, numbers and the outputs' attributes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FormulaTestSupport.h"
#include "formula/FormulaNumbers.h"
#include "formula/FormulaText.h"

namespace qelt {
namespace {

using test::CloseBars;
using test::Compute;
using test::SameColumn;

std::string ErrorOf(const std::string& text, const std::vector<FormulaParameter>& parameters = {}) {
    FormulaCompileResult result = CompileFormula(text, parameters);
    return result.formula ? "compiles" : result.error.Describe();
}

const std::vector<FormulaParameter> kN = {{"N", 5, 1, 100}};

struct Case {
    std::string text;
    std::string error;
};

TEST(FormulaErrors, EachFaultOfTheTextIsReportedAtItsLineAndColumn) {
    const Case cases[] = {
        // Columns count characters: the five of 长期趋势线 are five columns.
        {"A:C;\nB:O;\n长期趋势线:=C*2+MAA(C,4);\nX:长期趋势线", "3:12: 未知的函数 MAA"},
        {"DIF:=1+MA(C);", "1:8: MA 需要 2 个参数"},
        {"DIF:EMA(C,12)-EMA(C,26);\nDIF:EMA(C,9);", "2:1: 名称 DIF 重复定义"},
        {"MA5:MA(C,VOL);", "1:10: N 必须是常数"},
        // Characters and tokens.
        {"A:C＋1", "1:4: 未知的字符 ＋"},
        {"A:C\xff", "1:4: 文本不是有效的 UTF-8"},
        {"A:C;\n{ comment\nB:O", "2:1: 注释没有结束"},
        {"A:C*5MA", "1:5: 数字 5MA 写法不对"},
        {"A:C*1.2.3", "1:5: 数字 1.2.3 写法不对"},
        {"A:C*1e999", "1:5: 数字 1e999 超出范围"},
        {"A:C&1", "1:4: 未知的字符 &"},
        {"A:C}", "1:4: 未知的字符 }"},
        // Syntax.
        {"A:C+;", "1:5: 缺少运算数"},
        {"A:C AND", "1:8: 缺少运算数"},
        {"A:OR", "1:3: 缺少运算数"},
        {"A:(C+1", "1:7: 缺少 )"},
        {"A:MA(C,5", "1:9: 缺少 )"},
        {"A:MA(C,,5)", "1:8: 缺少运算数"},
        {"A:C B:O", "1:5: 缺少 ;"},
        {"A:C)", "1:4: 多余的 )"},
        {"A:C,5", "1:5: 逗号后面缺少属性"},
        {"A:MA+1", "1:3: MA 后面缺少 ("},
        // Names.
        {"A:FOO+1", "1:3: 未知的名称 FOO"},
        {"A:C(1)", "1:3: C 不是函数"},
        {"B:=C; A:B(1)", "1:9: B 不是函数"},
        {"A:B+1;B:C", "1:3: 名称 B 在后面才定义"},
        {"A:A+1", "1:3: 名称 A 不能引用自身"},
        {"close:C", "1:1: 名称 close 是数据名"},
        {"Ema:=C", "1:1: 名称 Ema 是函数名"},
        {"NODRAW:C", "1:1: 名称 NODRAW 是属性名"},
        {"and:C", "1:1: 名称 and 是运算符"},
        {"n:C", "1:1: 名称 n 与参数重名"},
        {"x:C; X:O", "1:6: 名称 X 重复定义"},
        {"OUT2:C; C*2; C*3", "1:1: 名称 OUT2 与无名输出线重名"},
        // Functions and their constant arguments, checked at the parameters' defaults.
        {"A:MA(C,0)", "1:8: N 必须在 1 到 1000000 之间"},
        {"A:MA(C,0.9)", "1:8: N 必须在 1 到 1000000 之间"},
        {"A:REF(C,-1)", "1:9: N 必须在 0 到 1000000 之间"},
        {"A:STD(C,1.9)", "1:9: N 必须在 2 到 1000000 之间"},
        {"A:HHV(C,1000001)", "1:9: N 必须在 0 到 1000000 之间"},
        {"A:MA(C,(N-20))", "1:8: N 必须在 1 到 1000000 之间"},
        {"A:MA(C,1/0)", "1:8: N 必须在 1 到 1000000 之间"},
        {"A:MA(C,N>2)", "1:8: N 必须是常数"},
        {"A:MA(C,ABS(N))", "1:8: N 必须是常数"},
        {"K:=5; A:MA(C,K)", "1:14: N 必须是常数"},
        {"A:SMA(C,3,4)", "1:11: M 不能大于 N"},
        {"A:SMA(C,3,C)", "1:11: M 必须是常数"},
        {"A:DMA(C,0)", "1:9: A 必须大于 0 且不大于 1"},
        {"A:DMA(C,1.5)", "1:9: A 必须大于 0 且不大于 1"},
        {"A:DMA(C,C/C)", "1:9: A 必须是常数"},
        {"A:IF(C,1)", "1:3: IF 需要 3 个参数"},
        {"A:cross(C)", "1:3: CROSS 需要 2 个参数"},
        // Outputs and attributes.
        {"", "1:1: 公式没有输出线"},
        {"A:=C;\nB:=O;", "2:6: 公式没有输出线"},
        {"A:C,COLORPINK", "1:5: 未知的属性 COLORPINK"},
        {"A:C,LINETHICK5", "1:5: 未知的属性 LINETHICK5"},
        {"A:=C,DOTLINE", "1:6: 变量不能带属性"},
        {"A:C,DOTLINE,dotline", "1:13: 属性 dotline 重复"},
        {"A:C,COLORRED,COLOR00FF00", "1:14: 属性 COLOR00FF00 与 COLORRED 冲突"},
        {"A:C,LINETHICK1,LINETHICK3", "1:16: 属性 LINETHICK3 与 LINETHICK1 冲突"},
        {"A:C,STICK,VOLSTICK", "1:11: 属性 VOLSTICK 与 STICK 冲突"},
    };
    for (const Case& c : cases) EXPECT_EQ(ErrorOf(c.text, kN), c.error) << c.text;

    std::string seventeen;
    for (int i = 0; i < 17; ++i) seventeen += "C;";
    EXPECT_EQ(ErrorOf(seventeen), "1:33: 输出线超过 16 条");
    EXPECT_EQ(ErrorOf(seventeen.substr(2)), "compiles");
}

TEST(FormulaErrors, FaultsOfTheParametersNameTheParameter) {
    auto error = [](std::vector<FormulaParameter> parameters) {
        FormulaCompileResult result = CompileFormula("A:C", parameters);
        EXPECT_FALSE(result.error.InText());
        return result.formula ? std::string("compiles")
                              : std::to_string(result.error.parameter) + " " + result.error.Describe();
    };
    const FormulaParameter n{"N", 5, 1, 100};
    EXPECT_EQ(error({n, n, n, n, n, n, n}), "6 参数超过 6 个");
    EXPECT_EQ(error({n, {"", 1, 1, 1}}), "1 参数名不能为空");
    EXPECT_EQ(error({{"1N", 1, 1, 1}}), "0 参数名 1N 不是合法的名称");
    EXPECT_EQ(error({{"N M", 1, 1, 1}}), "0 参数名 N M 不是合法的名称");
    EXPECT_EQ(error({{"c", 1, 1, 1}}), "0 参数名 c 是数据名");
    EXPECT_EQ(error({{"Ma", 1, 1, 1}}), "0 参数名 Ma 是函数名");
    EXPECT_EQ(error({{"NODRAW", 1, 1, 1}}), "0 参数名 NODRAW 是属性名");
    EXPECT_EQ(error({{"not", 1, 1, 1}}), "0 参数名 not 是运算符");
    EXPECT_EQ(error({n, {"n", 1, 1, 1}}), "1 参数 n 重复定义");
    EXPECT_EQ(error({{"N", 5, 10, 1}}), "0 参数 N 的最小值大于最大值");
    EXPECT_EQ(error({{"N", 0.5, 1, 100}}), "0 参数 N 的缺省值不在 1 到 100 之间");
    EXPECT_EQ(error({{"N", test::kNone, 1, 100}}), "0 参数 N 的数值无效");
    EXPECT_EQ(error({n, {"周期", 2.5, 0.5, 9.5}}), "compiles") << "CJK names and decimals";

    // The parameter dialog's rule for a typed value.
    EXPECT_EQ(CheckParameterValue(n, 1), std::nullopt);
    EXPECT_EQ(CheckParameterValue(n, 100), std::nullopt);
    EXPECT_EQ(CheckParameterValue(n, 100.5).value_or(""), "N 的值必须在 1 到 100 之间");
    EXPECT_EQ(CheckParameterValue({"P", 1, 0.5, 2.25}, 0.25).value_or(""), "P 的值必须在 0.5 到 2.25 之间");
    EXPECT_TRUE(CheckParameterValue(n, test::kNone));
}

TEST(FormulaLimits, HostileTextGetsAnErrorAtItsPlace) {
    // 64 KB of text; the byte after it is at column 65537 of a text with no line end.
    std::string text = "A:C;";
    text.resize(kMaxFormulaBytes, ' ');
    EXPECT_EQ(ErrorOf(text), "compiles");
    EXPECT_EQ(ErrorOf(text + " "), "1:65537: 公式文本超过 65536 字节");

    // 1,000 statements.
    std::string statements;
    for (int i = 1; i < 1000; ++i) statements += "V" + std::to_string(i) + ":=" + std::to_string(i) + ";\n";
    EXPECT_EQ(ErrorOf(statements + "A:C;"), "compiles");
    EXPECT_EQ(ErrorOf(statements + "A:C;\n  B:O;"), "1001:3: 语句超过 1000 条");

    // 200 levels of brackets, calls or unary operators; the 201st is refused where it opens.
    auto nested = [](int depth, const std::string& open, const std::string& close) {
        std::string t = "A:";
        for (int i = 0; i < depth; ++i) t += open;
        t += "C";
        for (int i = 0; i < depth; ++i) t += close;
        return t;
    };
    EXPECT_EQ(ErrorOf(nested(200, "(", ")")), "compiles");
    EXPECT_EQ(ErrorOf(nested(201, "(", ")")), "1:203: 嵌套超过 200 层");
    EXPECT_EQ(ErrorOf(nested(200, "ABS(", ")")), "compiles");
    EXPECT_EQ(ErrorOf(nested(201, "ABS(", ")")), "1:803: 嵌套超过 200 层");
    EXPECT_EQ(ErrorOf(nested(201, "-", "")), "1:203: 嵌套超过 200 层");
    EXPECT_EQ(ErrorOf(nested(100000, "(", ")").substr(0, kMaxFormulaBytes)), "1:203: 嵌套超过 200 层");

    // A chain of 30,000 operators makes a tree as deep, which no pass walks recursively.
    std::string chain = "A:1";
    for (int i = 0; i < 30000; ++i) chain += "+1";
    EXPECT_TRUE(SameColumn(Compute(chain, CloseBars({1, 2})), {30001, 30001}));

    // The largest window is 1,000,000 bars, also when a parameter makes it.
    EXPECT_EQ(ErrorOf("A:MA(C,1000000)"), "compiles");
    EXPECT_EQ(ErrorOf("A:MA(C,N*200001)", kN), "1:8: N 必须在 1 到 1000000 之间");
}

TEST(FormulaErrors, MessagesShowWhatTheUserWroteReadablyAndPlacesCountFromAfterAByteOrderMark) {
    // A byte-order mark that an editor put before the text takes no column.
    const std::string mark = "\xEF\xBB\xBF";
    EXPECT_EQ(ErrorOf(mark + "MAA(C)"), "1:1: 未知的函数 MAA");
    EXPECT_EQ(ErrorOf(mark + "A:C;\nB:FOO"), "2:3: 未知的名称 FOO");
    EXPECT_EQ(ErrorOf(mark + "A:C; B:(C"), "1:10: 缺少 )");
    EXPECT_EQ(ErrorOf(mark + std::string(kMaxFormulaBytes, ' ')), "1:65534: 公式文本超过 65536 字节")
        << "the mark's three bytes count toward the limit, not toward the column";
    // A mark elsewhere is a blank, and takes its column.
    EXPECT_EQ(ErrorOf("A:C;" + mark + "FOO"), "1:6: 未知的名称 FOO");
    // The editor's place of a fault is the text's own: the mark is a character there.
    EXPECT_EQ(formula::OffsetOf(mark + "A:C;\nB:FOO", {2, 3}), 10u);
    EXPECT_EQ(formula::PositionOf(mark + "A:C;\nB:FOO", 10).column, 3);
    EXPECT_EQ(formula::PositionOf(mark + "ABC", 4).column, 2);

    // A name of any length is shown up to 32 characters and an ellipsis.
    const std::string longName(65530, 'Q');
    const std::string shown = ErrorOf("A:" + longName);
    EXPECT_EQ(shown, "1:3: 未知的名称 " + std::string(32, 'Q') + "…");
    EXPECT_EQ(ErrorOf("A:" + longName + "(C)"), "1:3: 未知的函数 " + std::string(32, 'Q') + "…");
    EXPECT_EQ(ErrorOf(std::string(40, 'Q') + ":C;" + std::string(40, 'Q') + ":O"),
              "1:44: 名称 " + std::string(32, 'Q') + "… 重复定义");
    EXPECT_EQ(ErrorOf("A:C," + std::string(33, 'Z')), "1:5: 未知的属性 " + std::string(32, 'Z') + "…");
    EXPECT_EQ(ErrorOf("A:1" + std::string(40, 'x')), "1:3: 数字 1" + std::string(31, 'x') + "… 写法不对");
    const std::string cjk = "甲乙丙丁戊己庚辛壬癸甲乙丙丁戊己庚辛壬癸甲乙丙丁戊己庚辛壬癸甲乙丙丁";
    EXPECT_EQ(ErrorOf("A:" + cjk), "1:3: 未知的名称 " + cjk.substr(0, 32 * 3) + "…")
        << "32 characters, not bytes";
    EXPECT_EQ(ErrorOf("A:" + std::string(32, 'Q')), "1:3: 未知的名称 " + std::string(32, 'Q')) << "whole";

    // A character that shows as nothing or a blank is named by its code point.
    EXPECT_EQ(ErrorOf(std::string("A:C+", 4) + '\0' + "1"), "1:5: 未知的字符 U+0000");
    EXPECT_EQ(ErrorOf("A:C\xC2\xA0+1"), "1:4: 未知的字符 U+00A0") << "no-break space";
    EXPECT_EQ(ErrorOf("A:C\xE2\x80\x8B+1"), "1:4: 未知的字符 U+200B") << "zero width space";
    EXPECT_EQ(ErrorOf("A:C\x7F"), "1:4: 未知的字符 U+007F");
    EXPECT_EQ(ErrorOf("A:C$1"), "1:4: 未知的字符 $") << "a visible one as it is";
    EXPECT_EQ(ErrorOf("A:C\xE2\x82\xAC"), "1:4: 未知的字符 €");
}

TEST(FormulaText, NamesCommentsAndNumbersAsUsersWriteThem) {
    const BarSeries bars = CloseBars({10, 11, 12, 13});
    // Names without case in their ASCII letters, CJK names, parameters in any case; the
    // outputs shown under their statements' spelling, unnamed ones by their place.
    const std::string text =
        "\xEF\xBB\xBF{ moving averages }\r\n"
        "短线:ma(close,n);  // the short one\r\n"
        "mid:=Ma(C, N+1);\n"
        "长线:MA(c,3)\u3000;\n"
        ";;\n"
        "短线-长线; Mid*.5e1/5\n";
    FormulaCompileResult compiled = CompileFormula(text, {{"N", 2, 1, 10}});
    ASSERT_TRUE(compiled.formula) << compiled.error.Describe();
    std::vector<std::string> names;
    for (const FormulaOutput& output : compiled.formula->Outputs()) names.push_back(output.name);
    EXPECT_EQ(names, (std::vector<std::string>{"短线", "长线", "OUT1", "OUT2"}));
    FormulaRun run;
    ASSERT_TRUE(run.Run(*compiled.formula, bars));
    EXPECT_EQ(run.ValueAt(0, 3), 12.5);
    EXPECT_EQ(run.ValueAt(2, 3), 0.5) << "12.5 - 12";
    EXPECT_EQ(run.ValueAt(3, 3), 12) << "MA(C,3) at 0.5e1 / 5";
    EXPECT_EQ(run.ValueAt(1, 1), std::nullopt);

    for (const char* number : {"12", "0.5", ".5", "1e3", "1.5E-1", "3.", "2e+2"})
        EXPECT_EQ(ErrorOf(std::string("A:") + number), "compiles") << number;
    EXPECT_TRUE(SameColumn(Compute("A:.5+1e3+1.5E-1", bars), {1000.65, 1000.65, 1000.65, 1000.65}));
}

TEST(FormulaText, NamesInEveryEastAsianScriptAndNoCharacterJustOutsideOne) {
    // The first and last letter of each block a name may be written in.
    for (const char* letter : {"一", "鿿", "㐀", "䶿", "𠀀", "𱍏", "豈", "﫿", "々", "〇", "ぁ", "ゟ",
                               "゠", "ヿ", "가", "힯"}) {
        const std::string name = std::string(letter) + "线";
        EXPECT_EQ(ErrorOf(name + ":C;\nX" + letter + ":=" + name + "*2;\nX" + letter), "compiles") << letter;
    }
    // The characters next to those blocks are no letters.
    for (const char* other : {"\u4DC0", "\uA000", "\u33FF", "\U0001FFFF", "\U00031350", "\uF8FF", "\uFB00",
                              "\u3004", "\u3040", "\u3100", "\uABFF", "\uD7B0"})
        EXPECT_TRUE(ErrorOf(std::string("A:C+") + other).starts_with("1:5: 未知的字符")) << other;
}

TEST(FormulaText, BytesThatAreNotUtf8AreRefusedWhereTheyStand) {
    const Case cases[] = {
        {"A:C+\x80", "1:5: 文本不是有效的 UTF-8"},              // a stray continuation byte
        {"A:C+\xC0\xAF", "1:5: 文本不是有效的 UTF-8"},          // an overlong "/"
        {"长线:C+\xED\xA0\x80", "1:6: 文本不是有效的 UTF-8"},   // a surrogate
        {"A:C+\xF4\x90\x80\x80", "1:5: 文本不是有效的 UTF-8"},  // beyond U+10FFFF
        {"A:C;\n{ 注释 \xFF }", "2:6: 文本不是有效的 UTF-8"},   // inside a comment
        {"A:C // \xE4\xB8", "1:8: 文本不是有效的 UTF-8"},       // cut short at the end
        // The first fault in the text is the one reported, whichever step finds it.
        {"A:C;) \xFF", "1:5: 缺少运算数"},
        {"A \xFF", "1:3: 文本不是有效的 UTF-8"},
    };
    for (const Case& c : cases) EXPECT_EQ(ErrorOf(c.text), c.error) << c.text;
}

TEST(FormulaNumbers, DecimalTextIsReadExactlyOrRefused) {
    using formula::ParseDecimal;
    EXPECT_EQ(ParseDecimal("12", false), 12.0);
    EXPECT_EQ(ParseDecimal(".5", false), 0.5);
    EXPECT_EQ(ParseDecimal("3.", false), 3.0);
    EXPECT_EQ(ParseDecimal("2.5E-1", false), 0.25);
    EXPECT_EQ(ParseDecimal("-.5", true), -0.5);
    EXPECT_EQ(ParseDecimal("+7", true), 7.0);
    for (const char* refused :
         {"", ".", "-", "-5", "1e", "1e+", "0x10", " 1", "1 ", "nan", "inf", "1,5", "1e400", "1e-400"})
        EXPECT_EQ(ParseDecimal(refused, std::string(refused) != "-5"), std::nullopt) << refused;
    EXPECT_EQ(ParseDecimal("-5", false), std::nullopt) << "no sign where none is allowed";
    // What the formula file writes reads back as the very same value.
    for (double v : {0.1, 1e-9, -3.75, 123456789.123, 1e300, 5e-324, 0.0})
        EXPECT_EQ(ParseDecimal(formula::FormatShortest(v), true), v) << formula::FormatShortest(v);
    EXPECT_EQ(formula::FormatShortest(0.1), "0.1");
}

TEST(FormulaOutputs, AttributesGiveEachOutputItsStyle) {
    FormulaCompileResult compiled = CompileFormula(
        "A:C,COLORRED,LINETHICK3; B:C,colorff8000,DOTLINE; C*2,STICK; D:C,COLORSTICK,NODRAW;"
        "E:C,VOLSTICK; F:=C; G:C; J:C,ColorGray");
    ASSERT_TRUE(compiled.formula) << compiled.error.Describe();
    const std::vector<FormulaOutput>& outputs = compiled.formula->Outputs();
    ASSERT_EQ(outputs.size(), 7u) << "F is a variable";
    auto style = [&](int k) { return outputs[static_cast<std::size_t>(k)].style; };
    EXPECT_TRUE(style(0).hasColour);
    EXPECT_EQ(style(0).colour, Rgb(255, 0, 0));
    EXPECT_EQ(style(0).width, 3);
    EXPECT_EQ(style(1).colour, Rgb(0xFF, 0x80, 0x00)) << "RRGGBB, stored 0x00BBGGRR";
    EXPECT_TRUE(style(1).dotted);
    EXPECT_EQ(style(2).stick, FormulaStick::Stick);
    EXPECT_FALSE(style(2).hasColour);
    EXPECT_EQ(style(3).stick, FormulaStick::ColourStick);
    EXPECT_TRUE(style(3).noDraw);
    EXPECT_EQ(style(4).stick, FormulaStick::VolumeStick);
    EXPECT_EQ(style(4).width, 1);
    EXPECT_EQ(style(6).colour, Rgb(128, 128, 128));
    // Without a colour, the pane's line colours 1 to 5 in output order, then again.
    std::vector<int> slots;
    for (const FormulaOutput& output : outputs) slots.push_back(output.style.defaultSlot);
    EXPECT_EQ(slots, (std::vector<int>{0, 1, 2, 3, 4, 0, 1}));
}

}  // namespace
}  // namespace qelt
