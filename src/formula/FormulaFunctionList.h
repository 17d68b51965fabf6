#pragma once
/// The names a formula is written with, as the editor offers them: every function with its
/// arguments, every drawing statement with its arguments, and every data name, each with one
/// line in Chinese saying what it gives. 插入函数 lists them and inserts their calls; the
/// editor's colouring takes the names of functions, drawing statements and data from here,
/// so what is offered is what is coloured.
#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace qelt::formula {

enum class FunctionEntryKind : unsigned char { Function, Drawing, Data };

struct FunctionEntry {
    std::string_view name;         ///< upper case, as the compiler's messages spell it: "MA"
    std::string_view arguments;    ///< the argument template, "X,N"; empty for data
    std::string_view description;  ///< one line, UTF-8
    FunctionEntryKind kind;
};

/// Functions first (in the order the manual lists them), then drawing statements, then data.
std::span<const FunctionEntry> FunctionEntries();

/// The entry named `upperName` (UpperAscii), or null.
const FunctionEntry* FindFunctionEntry(std::string_view upperName);

/// What the list shows for an entry: "MA(X,N)", "CLOSE".
std::string CallForm(const FunctionEntry& entry);

/// What inserting an entry puts in the text, and the part of it to select afterwards so that
/// typing replaces the argument template ("MA(X,N)" with "X,N" selected). Places count bytes,
/// which are UTF-16 units too: the entries are ASCII.
struct FunctionInsertion {
    std::string text;
    int selectFrom = 0;
    int selectLength = 0;
};
FunctionInsertion InsertionOf(const FunctionEntry& entry);

/// The indexes into FunctionEntries() of the entries that match `typed` (blanks at its ends
/// ignored; an empty filter matches all, in list order): first those whose name begins with
/// it, then those whose name holds it, then those whose description holds it, each group in
/// list order. Names and descriptions are compared without case in their ASCII letters.
std::vector<std::size_t> FilterFunctionEntries(std::string_view typed);

}  // namespace qelt::formula
