// What the formula editor takes from the engine: the colouring of a line (tokens and names
// as the compiler reads them, comments over lines, places in UTF-16), line:column turned back
// into a place in the text, and a library check that says which part of a formula is wrong.
#include <gtest/gtest.h>

#include "formula/FormulaHighlight.h"
#include "formula/FormulaLibrary.h"
#include "formula/FormulaText.h"
#include "support/TempDir.h"

namespace qelt::formula {
namespace {

using K = HighlightKind;

/// The spans of a line as "kind:text" items, for ASCII lines (UTF-16 places are bytes).
std::vector<std::string> Items(std::string_view line, bool startsInComment = false) {
    static const char* const kNames[] = {"data",    "function", "attribute", "number",
                                         "comment", "drawing",  "text"};
    std::vector<std::string> items;
    for (const HighlightSpan& span : HighlightFormulaLine(line, startsInComment).spans)
        items.push_back(std::string(kNames[static_cast<int>(span.kind)]) + ":" +
                        std::string(line.substr(span.start, span.length)));
    return items;
}

TEST(FormulaHighlight, NamesAreColouredByTheLanguagesOwnTablesWhateverTheirCase) {
    EXPECT_EQ(Items("DIF:Ema(close,12)-ema(C,26.5)*1e3,ColorRed,LINETHICK2;"),
              (std::vector<std::string>{"function:Ema", "data:close", "number:12", "function:ema", "data:C",
                                        "number:26.5", "number:1e3", "attribute:ColorRed",
                                        "attribute:LINETHICK2"}));
    // The user's names, parameters, keywords and operators stay plain; so do words that only
    // look like a name of the language (MAA, COLORRGB, LINETHICK5) and COLOR with six hex digits
    // is an attribute like the named colours.
    EXPECT_EQ(Items("x:=MAA(N) AND NOT COLORRGB OR LINETHICK5, COLOR00ff80 ,.5"),
              (std::vector<std::string>{"attribute:COLOR00ff80", "number:.5"}));
    EXPECT_EQ(Items("O+H+L+V+AVGPRICE+OPI+DATE+VOL"),
              (std::vector<std::string>{"data:O", "data:H", "data:L", "data:V", "data:AVGPRICE", "data:OPI",
                                        "data:DATE", "data:VOL"}));
}

TEST(FormulaHighlight, CommentsRunOverLinesAndHideWhatTheyHold) {
    // A block comment holding "//" ends at its brace; a line comment holding "{" runs to the end.
    EXPECT_EQ(Items("{ MA // } C // { HIGH"),
              (std::vector<std::string>{"comment:{ MA // }", "data:C", "comment:// { HIGH"}));
    HighlightedLine first = HighlightFormulaLine("A:C; { starts here MA(C,5)", false);
    EXPECT_TRUE(first.endsInComment);
    HighlightedLine middle = HighlightFormulaLine("still MA(C,5) 12", true);
    EXPECT_TRUE(middle.endsInComment);
    EXPECT_EQ(middle.spans, (std::vector<HighlightSpan>{{0, 16, K::Comment}}));
    EXPECT_EQ(Items("ends } CLOSE {again}", true),
              (std::vector<std::string>{"comment:ends }", "data:CLOSE", "comment:{again}"}));
    EXPECT_FALSE(HighlightFormulaLine("ends } CLOSE {again}", true).endsInComment);
    EXPECT_TRUE(HighlightFormulaLine("", true).endsInComment)
        << "an empty line inside a comment keeps it open";
    EXPECT_FALSE(HighlightFormulaLine("", false).endsInComment);
}

TEST(FormulaHighlight, DrawingStatementsAndTextLiteralsHaveColoursOfTheirOwn) {
    EXPECT_EQ(
        Items("DRAWTEXT(CROSS(C,ma(C,5)),low,'buy {x} // y'),COLORRED;"),
        (std::vector<std::string>{"drawing:DRAWTEXT", "function:CROSS", "data:C", "function:ma", "data:C",
                                  "number:5", "data:low", "text:'buy {x} // y'", "attribute:COLORRED"}))
        << "a literal hides the comment marks it holds";
    EXPECT_EQ(Items("stickline(C>O,H,L,8,0); PolyLine(1,C); DrawIcon(1,L,1); DRAWNUMBER(1,H,WMA(C,5))"),
              (std::vector<std::string>{
                  "drawing:stickline", "data:C",   "data:O",           "data:H",   "data:L",
                  "number:8",          "number:0", "drawing:PolyLine", "number:1", "data:C",
                  "drawing:DrawIcon",  "number:1", "data:L",           "number:1", "drawing:DRAWNUMBER",
                  "number:1",          "data:H",   "function:WMA",     "data:C",   "number:5"}));
    EXPECT_EQ(Items("A:SLOPE(C,5)+FORCAST(C,5)+VALUEWHEN(C>O,H)+BARSLASTCOUNT(C>O)+SIGN(POW(C,2))"),
              (std::vector<std::string>{"function:SLOPE", "data:C", "number:5", "function:FORCAST", "data:C",
                                        "number:5", "function:VALUEWHEN", "data:C", "data:O", "data:H",
                                        "function:BARSLASTCOUNT", "data:C", "data:O", "function:SIGN",
                                        "function:POW", "data:C", "number:2"}));
    // A quote in a comment is comment; an unclosed literal runs to the line's end and leaves no
    // comment open.
    EXPECT_EQ(Items("{ it's } C // 'x"),
              (std::vector<std::string>{"comment:{ it's }", "data:C", "comment:// 'x"}));
    const HighlightedLine open = HighlightFormulaLine("DRAWTEXT(C,L,'no end { MA", false);
    EXPECT_FALSE(open.endsInComment);
    EXPECT_EQ(open.spans.back(), (HighlightSpan{13, 12, K::Text}));
    // Places after a CJK literal are in UTF-16 units.
    EXPECT_EQ(HighlightFormulaLine("'买' C", false).spans,
              (std::vector<HighlightSpan>{{0, 3, K::Text}, {4, 1, K::Data}}));
}

TEST(FormulaHighlight, WhatTheLexerRefusesStaysPlainAndTheLineIsReadOn) {
    // A malformed number is one plain word ("5MA" is not MA), an unknown character is skipped,
    // and so is a number beyond the range of a double.
    EXPECT_EQ(Items("5MA @ C $ 2.5.1 HIGH 1e999 LOW & 7"),
              (std::vector<std::string>{"data:C", "data:HIGH", "data:LOW", "number:7"}));
    EXPECT_EQ(Items("A:C\xff HIGH"), (std::vector<std::string>{"data:C", "data:HIGH"}))
        << "a byte that is not UTF-8 is passed over";
}

TEST(FormulaHighlight, PlacesCountUtf16UnitsAsTheEditorDoes) {
    // "短线" is two units, the ideograph U+20000 (outside the basic plane) two, "；" one.
    const std::string line = "短线:MA(C,5)；\U00020000:=HIGH; {注释}";
    EXPECT_EQ(
        HighlightFormulaLine(line, false).spans,
        (std::vector<HighlightSpan>{
            {3, 2, K::Function}, {6, 1, K::Data}, {8, 1, K::Number}, {15, 4, K::Data}, {21, 4, K::Comment}}));
}

TEST(FormulaText, OffsetsAndLineColumnsConvertBothWays) {
    const std::string text = "短线:MA(C,5);\n\n  \U00020000:=C;\nX";
    for (std::size_t offset = 0; offset <= text.size(); ++offset) {
        if (offset < text.size() && (static_cast<unsigned char>(text[offset]) & 0xC0) == 0x80) continue;
        EXPECT_EQ(OffsetOf(text, PositionOf(text, offset)), offset) << offset;
    }
    EXPECT_EQ(OffsetOf(text, {1, 99}), text.find('\n')) << "a column past the line's end: the line's end";
    EXPECT_EQ(OffsetOf(text, {9, 1}), text.size()) << "a line past the last: the text's end";
    EXPECT_EQ(Utf16Length(text), 11u + 2u + 2u + 2u + 4u + 1u + 1u);
    EXPECT_EQ(Utf16Length("a\xff\xfe"), 3u) << "a byte that is not UTF-8 counts one";
}

TEST(FormulaLibraryCheck, SaysWhichPartOfTheFormulaIsWrong) {
    test::TempDir dir;
    FormulaLibrary library(dir.Path());
    library.Load();
    const int existing = library.Formulas().front().id;
    const std::string taken = library.Formulas().front().name;
    using Part = FormulaProblem::Part;
    auto check = [&](StoredFormula formula, int replacing = 0) { return library.Check(formula, replacing); };

    std::optional<FormulaProblem> problem = check({0, "", "", {}, "A:C;"});
    ASSERT_TRUE(problem);
    EXPECT_EQ(problem->part, Part::Name);
    EXPECT_EQ(check({0, taken, "", {}, "A:C;"})->part, Part::Name);
    EXPECT_FALSE(check({0, taken, "", {}, "A:C;"}, existing)) << "a formula keeps its own name";
    EXPECT_EQ(check({0, "新", std::string(5000, 'x'), {}, "A:C;"})->part, Part::Description);

    problem = check({0, "新", "", {{"N", 5, 1, 10}, {"M", 5, 10, 1}}, "A:MA(C,N);"});
    ASSERT_TRUE(problem);
    EXPECT_EQ(problem->part, Part::Parameters);
    EXPECT_EQ(problem->error.parameter, 1);
    EXPECT_EQ(problem->error.message, "参数 M 的最小值大于最大值");

    problem = check({0, "新", "", {{"N", 5, 1, 10}}, "A:MA(C,N);\nB:MAA(C);"});
    ASSERT_TRUE(problem);
    EXPECT_EQ(problem->part, Part::Text);
    EXPECT_EQ(problem->error.Describe(), "2:3: 未知的函数 MAA");
    EXPECT_EQ(library.Validate({0, "新", "", {{"N", 5, 1, 10}}, "A:MA(C,N);\nB:MAA(C);"}),
              "2:3: 未知的函数 MAA")
        << "Validate says what Check says";
    EXPECT_FALSE(check({0, "新", "", {{"N", 5, 1, 10}}, "A:MA(C,N);"}));
}

}  // namespace
}  // namespace qelt::formula
