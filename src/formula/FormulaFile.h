#pragma once
/// formula.txt, the user's formulas in the program directory: UTF-8 text, one section per
/// formula, lines of "key=value":
///
///     # comment lines start with "#"
///     next_id=1003
///
///     [1000]
///     name=价格振荡
///     description=短期与长期均线之差占长期均线的百分比
///     param=SHORT,12,2,100
///     param=LONG,26,3,250
///     place=main
///     text=OSC:(MA(CLOSE,SHORT)-MA(CLOSE,LONG))/MA(CLOSE,LONG)*100;
///     text=MAOSC:MA(OSC,9);
///
/// The section header is the formula's id (1000 or more). `name` comes once; `param` (0 to 6,
/// "NAME,default,minimum,maximum", decimals with "." whatever the locale) in order;
/// `description` and `text` once per line of theirs, in order (an empty line is "text=").
/// `place` at most once: "main" draws the formula over the main chart (主图), "sub" in an
/// indicator pane (副图); it is written only for "main", and a section without it (every
/// file of the first edition) is 副图, so such a file reads and rewrites as it was.
/// `next_id` is the id the next new formula gets, so the id of a deleted formula is never
/// given again. Blank lines are ignored; "\r" before a line end is dropped; a byte-order mark
/// at the start of the file is nothing.
///
/// An export file is the same format holding one section.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "formula/FormulaParameters.h"

namespace qelt {

struct StoredFormula {
    int id = 0;  ///< given by the library: 1000 or more, never reused
    std::string name;
    std::string description;  ///< may hold line ends
    std::vector<FormulaParameter> parameters;
    std::string text;
    /// Drawn over the main chart (主图) rather than in an indicator pane (副图, the default).
    bool mainChart = false;

    friend bool operator==(const StoredFormula&, const StoredFormula&) = default;
};

inline constexpr int kFirstFormulaId = 1000;

namespace formula {

/// What a formula file holds. A section that cannot be read (a malformed id or line, an
/// unknown or repeated key, no name or no text, a parameter that is no four numbers, an id
/// or a name already taken by an earlier section, a `place` other than main or sub) is not an
/// entry: its lines are kept as they stood in `damaged`, so that a rewrite puts them back for
/// the user to mend, and `problems` says why, with its line number.
struct FormulaFileContent {
    int nextId = kFirstFormulaId;  ///< at least 1000 and above every id seen, damaged sections' included
    std::vector<StoredFormula> entries;
    std::vector<std::string> damaged;  ///< whole sections, each ending with a line end
    /// Lines before the first section that could not be read (a malformed next_id, a stray
    /// line), as they stood: a rewrite puts them back after next_id.
    std::vector<std::string> stray;
    std::vector<std::string> problems;
};

FormulaFileContent ParseFormulaFile(std::string_view content);

/// The rule for a formula's name, or nothing when `name` keeps it: 1 to 32 characters of
/// UTF-8, no control characters, no blank at either end.
std::optional<std::string> FormulaNameProblem(std::string_view name);

/// The file for `content` (its problems aside): the header comment, next_id, the stray lines,
/// the entries, then the damaged sections as they came.
std::string FormatFormulaFile(const FormulaFileContent& content);

/// One formula as a section.
std::string FormatFormulaEntry(const StoredFormula& entry);

}  // namespace formula
}  // namespace qelt
