#pragma once
/// The formula editor's colouring rule, one line at a time as the editor colours its text:
/// which spans of a line are names of data, functions, drawing statements or attributes,
/// numbers, text literals and comments. The tokens are the lexer's; the names of data,
/// functions and drawing statements are those 插入函数 offers (FormulaFunctionList.h, held
/// to the compiler's tables by a test), attributes are looked up in the language's own table.
#include <string_view>
#include <vector>

namespace qelt::formula {

enum class HighlightKind : unsigned char { Data, Function, Attribute, Number, Comment, Drawing, Text };
inline constexpr int kHighlightKindCount = 7;

struct HighlightSpan {
    int start = 0;  ///< in UTF-16 code units from the start of the line, as a text editor counts
    int length = 0;
    HighlightKind kind = HighlightKind::Comment;

    friend bool operator==(const HighlightSpan&, const HighlightSpan&) = default;
};

struct HighlightedLine {
    std::vector<HighlightSpan> spans;  ///< left to right, never overlapping
    bool endsInComment = false;        ///< a "{" comment is still open at the end of the line
};

/// The spans of `line` (without its line end). `startsInComment`: the line before ended
/// inside a "{" comment. A text literal runs from a "'" to the next one on the line (to the
/// line's end when there is none) and hides what it holds, as a comment does. What the lexer
/// refuses (an unknown character, a malformed number) stays plain and the rest of the line is
/// read on; user names, operators and keywords stay plain too. Takes time in proportion to the
/// line's length.
HighlightedLine HighlightFormulaLine(std::string_view line, bool startsInComment);

}  // namespace qelt::formula
