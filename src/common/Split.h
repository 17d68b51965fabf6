#pragma once
/// The one splitting rule of the wire protocol and the settings files.
///
/// While the remaining text is not empty, find the first separator. If it is found at a
/// position greater than 0, the text before it is the next element and everything up to
/// and including the separator is removed. If it is not found, or found at the very start
/// of the remaining text, the whole remaining text is the last element.
///
/// Consequences peers rely on: "a|b|" gives {"a", "b"} (a trailing separator yields no
/// empty element); "a||c" split on "|" gives {"a", "|c"} (an empty element in the middle
/// turns the whole rest into one element); "" gives nothing.
#include <string>
#include <string_view>
#include <vector>

namespace qelt {

inline constexpr std::string_view kRecordSeparator = "||";
inline constexpr std::string_view kFieldSeparator = "|";

/// Splits `text` on `separator` by the rule above.
std::vector<std::string> Split(std::string_view text, std::string_view separator);

/// Same rule, as views into `text` (no copies) for the hot paths.
std::vector<std::string_view> SplitViews(std::string_view text, std::string_view separator);

/// The same rule one element at a time: returns the next element of `rest` and removes it
/// (with its separator) from `rest`. Call while `rest` is not empty; on an empty `rest` it
/// returns an empty element.
std::string_view CutElement(std::string_view& rest, std::string_view separator);

/// Records on "||", each record's fields on "|".
std::vector<std::vector<std::string>> SplitRecords(std::string_view text);

/// Header fields are cut one at a time: returns the text before the first ":" of `rest` and
/// removes it together with the ":" from `rest`. Without a ":" the whole rest is returned
/// and `rest` becomes empty.
std::string_view CutHeaderField(std::string_view& rest);

}  // namespace qelt
