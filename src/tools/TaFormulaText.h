#pragma once
/// Reading the text of --formula.
#include <optional>
#include <string>

namespace qelt::ta {

/// The start of a formula file: all of it when it is within the formula limit, else just
/// enough beyond the limit for the compiler to name the place it is passed, whatever the
/// file's size. Nothing when the file cannot be opened or read (a directory included).
std::optional<std::string> ReadFormulaText(const std::string& path);

}  // namespace qelt::ta
