#pragma once
/// The parameter values the user set for each formula in the K-line view (double-click on a
/// formula pane's title), kept for the next start in formulaparam.ini in the program
/// directory: the formula's stored defaults stay the formula's (the editor shows them, export
/// carries them), and every pane showing the formula computes with the values set here, as
/// the built-in indicators all compute with indi.ini's values.
///
/// The file is UTF-8 like formula.txt (parameter names may hold CJK letters), one line per
/// formula that has values, its id and then each parameter's name and value:
///
///     1003=N:5,M:20.5
///
/// Values are matched to the formula's parameters by name (without case), so reordering or
/// adding parameters in the editor keeps what the user set; a value that no longer lies
/// within its parameter's range gives way to the default. A line that is not of this form
/// (an id below 1000, a name that is no name, a value that is no finite decimal, more than
/// six values) is skipped; a file over kMaxFormulaValueFileBytes is not ours and reads as
/// unreadable. Rewritten whole and atomically after every change; a file that exists but
/// could not be read is never written over in the same run (the values then last until the
/// program ends). Interface thread only.
#include <cstddef>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "formula/FormulaFile.h"

namespace qelt {

inline constexpr std::size_t kMaxFormulaValueFileBytes = 256 * 1024;

/// Per formula id, its parameters' names and the values set for them.
using FormulaValueMap = std::map<int, std::vector<std::pair<std::string, double>>>;

/// The table of a file's text: every well-formed line (a later line of the same id replaces
/// an earlier one).
FormulaValueMap ParseFormulaValues(std::string_view text);
/// The file's text for a table, ids in ascending order.
std::string FormatFormulaValues(const FormulaValueMap& values);

class FormulaValueTable {
  public:
    /// `programDirectory` with or without its trailing "/"; nothing is read until Load.
    explicit FormulaValueTable(std::string programDirectory);

    /// Reads the file. False when it exists but could not be read (too large, no permission):
    /// then nothing is written this run. A missing file is an empty table.
    bool Load();
    std::string Path() const;

    /// The values to compute `formula` with, one per parameter: the value set for the
    /// parameter's name when it lies within the parameter's range, otherwise its default.
    std::vector<double> ValuesFor(const StoredFormula& formula) const;

    /// `values` (one per parameter of `formula`, in its order; extra ones are ignored, missing
    /// ones take the default) become the formula's, in memory at once and in the file.
    /// False when the file was not written (unreadable at Load, or the write failed).
    bool Set(const StoredFormula& formula, const std::vector<double>& values);

  private:
    std::string m_directory;
    FormulaValueMap m_values;
    bool m_writable = true;
};

}  // namespace qelt
