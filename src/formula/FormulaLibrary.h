#pragma once
/// The user's formulas for the whole run: formula.txt read at start, rewritten atomically
/// after every change, import and export of one formula (FormulaFile.h has the format).
///
/// Formulas are user work, so the file is never given up lightly:
/// - a missing file is created with three example formulas;
/// - a damaged section is reported and left out, and written back as it stood at every
///   rewrite, for the user to mend by hand; its id stays taken;
/// - a file that exists but cannot be read (larger than kMaxFormulaFileBytes, no permission,
///   a read error) is reported and never written over: the library works in memory for the
///   rest of the run and every change says it was not saved;
/// - a change that would make the file too large to read back is refused.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "formula/FormulaFile.h"

namespace qelt {

inline constexpr std::size_t kMaxFormulaFileBytes = 1u << 20;
inline constexpr const char* kFormulaFileName = "formula.txt";

/// What a change did: refused (`applied` false, `message` says why), or applied in memory
/// and saved, or applied but not saved (`message` says so: the change lasts until the
/// program ends).
struct FormulaChange {
    bool applied = false;
    bool saved = false;
    int id = 0;  ///< the formula changed (Add and Import: its new id)
    std::string message;
};

/// What is wrong with a formula about to be saved, and in which of its parts.
struct FormulaProblem {
    enum class Part { Name, Description, Parameters, Text };
    Part part = Part::Text;
    /// The message; for the text its line:column, for the parameters the parameter's index.
    FormulaError error;
};

class FormulaLibrary {
  public:
    /// `programDirectory` with its trailing "/"; nothing is read until Load.
    explicit FormulaLibrary(std::string programDirectory);

    /// Reads formula.txt (see above). Returns the problems to show the user, none when all
    /// is well: damaged sections, formulas whose text no longer compiles (they are loaded,
    /// for the editor to mend), an unreadable file.
    std::vector<std::string> Load();

    /// The formulas in file order.
    const std::vector<StoredFormula>& Formulas() const { return m_content.entries; }
    const StoredFormula* Find(int id) const;
    /// False once the file could not be read: nothing is written this run.
    bool Writable() const { return m_writable; }
    std::string Path() const;
    /// Changes with every Load and every change applied: what shows a formula keeps it while
    /// the revision stays (an edit in the editor shows at the next paint).
    std::uint64_t Revision() const { return m_revision; }

    /// The editor's check before Add and Replace: the name (1 to 32 characters, no control
    /// characters or blanks at its ends, not another formula's name, without case), the
    /// description (at most 4096 bytes), the text and parameters compile. Nothing when sound.
    std::optional<std::string> Validate(const StoredFormula& formula, int replacing = 0) const;
    /// Validate's first problem with the part it is in, for the editor to show it there.
    std::optional<FormulaProblem> Check(const StoredFormula& formula, int replacing = 0) const;

    /// A new formula (its id is ignored: it gets next_id).
    FormulaChange Add(StoredFormula formula);
    /// The formula `id` becomes `formula` (keeping its id).
    FormulaChange Replace(int id, StoredFormula formula);
    FormulaChange Remove(int id);

    /// Writes formula `id` alone to `path` in the file's format. Nothing on success, else
    /// the message.
    std::optional<std::string> Export(int id, const std::string& path) const;
    /// Adds the one formula of the export file `path` under a new id. A name that another
    /// formula already has is refused (rename one of them first), as is a file that does
    /// not hold exactly one readable formula.
    FormulaChange Import(const std::string& path);

  private:
    FormulaChange Commit(formula::FormulaFileContent next, int id);

    std::string m_directory;
    formula::FormulaFileContent m_content;
    bool m_writable = true;
    std::uint64_t m_revision = 0;
};

/// The formulas a new formula.txt starts with (ids 1000 to 1002): a price oscillator, a
/// channel breakout and a volume ratio.
std::vector<StoredFormula> ExampleFormulas();
/// The example trading systems (id 0: the library gives them theirs): a moving-average
/// cross, a channel breakout with an exit at a multiple of the average true range, and an
/// RSI reversal system.
std::vector<StoredFormula> ExampleSystems();

}  // namespace qelt
