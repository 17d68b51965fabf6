#pragma once
/// The formula editor's colouring rule, one line at a time as the editor colours its text:
/// which spans of a line are names of data, functions or attributes, numbers and comments.
/// The tokens are the lexer's and the names are looked up in the language's own tables, so
/// what the editor colours is what the compiler reads.
#include <string_view>
#include <vector>

namespace qelt::formula {

enum class HighlightKind : unsigned char { Data, Function, Attribute, Number, Comment };

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
/// inside a "{" comment. What the lexer refuses (an unknown character, a malformed number)
/// stays plain and the rest of the line is read on; user names, operators and keywords stay
/// plain too. Takes time in proportion to the line's length.
HighlightedLine HighlightFormulaLine(std::string_view line, bool startsInComment);

}  // namespace qelt::formula
