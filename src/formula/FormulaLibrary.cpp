#include "formula/FormulaLibrary.h"

#include <sys/stat.h>

#include <algorithm>

#include "common/Files.h"
#include "common/ProgramDir.h"
#include "formula/Formula.h"
#include "formula/FormulaMessages.h"
#include "formula/FormulaText.h"

namespace qelt {

using namespace formula;

namespace {

constexpr std::size_t kMaxDescriptionBytes = 4096;

bool LargerThan(const std::string& path, std::size_t bytes) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && static_cast<std::size_t>(st.st_size) > bytes;
}

FormulaChange Refused(std::string message) { return FormulaChange{false, false, 0, std::move(message)}; }

}  // namespace

FormulaLibrary::FormulaLibrary(std::string programDirectory)
    : m_directory(WithTrailingSlash(std::move(programDirectory))) {}

std::string FormulaLibrary::Path() const { return m_directory + kFormulaFileName; }

std::vector<std::string> FormulaLibrary::Load() {
    m_content = FormulaFileContent{};
    m_writable = true;
    ++m_revision;
    const std::string path = Path();
    const std::optional<std::string> text = ReadWholeFile(path, kMaxFormulaFileBytes);
    if (!text && !FileExists(path)) {
        m_content.entries = ExampleFormulas();
        for (const StoredFormula& example : m_content.entries)
            m_content.nextId = std::max(m_content.nextId, example.id + 1);
        if (!WriteFileAtomic(path, FormatFormulaFile(m_content))) return {msg::FileNotSaved(path)};
        return {};
    }
    if (!text) {
        m_writable = false;
        return {LargerThan(path, kMaxFormulaFileBytes) ? msg::FileTooLarge(path, kMaxFormulaFileBytes)
                                                       : msg::FileUnreadable(path),
                msg::FileKeptReadOnly(path)};
    }
    m_content = ParseFormulaFile(*text);
    std::vector<std::string> problems = std::move(m_content.problems);
    m_content.problems.clear();
    for (const StoredFormula& entry : m_content.entries) {
        FormulaCompileResult compiled = CompileFormula(entry.text, entry.parameters);
        if (!compiled.formula)
            problems.push_back(msg::EntryTextHasError(entry.name, compiled.error.Describe()));
    }
    return problems;
}

const StoredFormula* FormulaLibrary::Find(int id) const {
    for (const StoredFormula& entry : m_content.entries)
        if (entry.id == id) return &entry;
    return nullptr;
}

std::optional<std::string> FormulaLibrary::Validate(const StoredFormula& formula, int replacing) const {
    std::optional<FormulaProblem> problem = Check(formula, replacing);
    if (!problem) return std::nullopt;
    return problem->error.Describe();
}

std::optional<FormulaProblem> FormulaLibrary::Check(const StoredFormula& formula, int replacing) const {
    using Part = FormulaProblem::Part;
    auto inPart = [](Part part, std::string message) {
        return FormulaProblem{part, FormulaError{0, 0, -1, std::move(message)}};
    };
    if (auto problem = FormulaNameProblem(formula.name)) return inPart(Part::Name, std::move(*problem));
    for (const StoredFormula& other : m_content.entries)
        if (other.id != replacing && SameName(other.name, formula.name))
            return inPart(Part::Name, msg::FormulaNameTaken(formula.name));
    if (formula.description.size() > kMaxDescriptionBytes)
        return inPart(Part::Description, msg::DescriptionTooLong(kMaxDescriptionBytes));
    FormulaCompileResult compiled = CompileFormula(formula.text, formula.parameters);
    if (compiled.formula) return std::nullopt;
    const Part part = compiled.error.InText() || compiled.error.parameter < 0 ? Part::Text : Part::Parameters;
    return FormulaProblem{part, std::move(compiled.error)};
}

FormulaChange FormulaLibrary::Add(StoredFormula formula) {
    if (auto problem = Validate(formula)) return Refused(std::move(*problem));
    FormulaFileContent next = m_content;
    formula.id = next.nextId++;
    next.entries.push_back(std::move(formula));
    return Commit(std::move(next), next.nextId - 1);
}

FormulaChange FormulaLibrary::Replace(int id, StoredFormula formula) {
    if (!Find(id)) return Refused(msg::NoSuchFormula());
    if (auto problem = Validate(formula, id)) return Refused(std::move(*problem));
    FormulaFileContent next = m_content;
    formula.id = id;
    for (StoredFormula& entry : next.entries)
        if (entry.id == id) entry = std::move(formula);
    return Commit(std::move(next), id);
}

FormulaChange FormulaLibrary::Remove(int id) {
    if (!Find(id)) return Refused(msg::NoSuchFormula());
    FormulaFileContent next = m_content;
    std::erase_if(next.entries, [id](const StoredFormula& entry) { return entry.id == id; });
    return Commit(std::move(next), id);
}

FormulaChange FormulaLibrary::Commit(FormulaFileContent next, int id) {
    const std::string text = FormatFormulaFile(next);
    // A file beyond the limit would not be read back at the next start.
    if (text.size() > kMaxFormulaFileBytes) return Refused(msg::FileWouldBeTooLarge(kMaxFormulaFileBytes));
    m_content = std::move(next);
    ++m_revision;
    FormulaChange change{true, false, id, {}};
    if (!m_writable) {
        change.message = msg::FileKeptReadOnly(Path());
    } else if (WriteFileAtomic(Path(), text)) {
        change.saved = true;
    } else {
        change.message = msg::FileNotSaved(Path());
    }
    return change;
}

std::optional<std::string> FormulaLibrary::Export(int id, const std::string& path) const {
    const StoredFormula* entry = Find(id);
    if (!entry) return msg::NoSuchFormula();
    const std::string text = "# A formula exported from formula.txt (UTF-8).\n" + FormatFormulaEntry(*entry);
    if (!WriteFileAtomic(path, text)) return msg::ExportFailed(path);
    return std::nullopt;
}

FormulaChange FormulaLibrary::Import(const std::string& path) {
    const std::optional<std::string> text = ReadWholeFile(path, kMaxFormulaFileBytes);
    if (!text) return Refused(msg::FileUnreadable(path));
    FormulaFileContent imported = ParseFormulaFile(*text);
    if (imported.entries.size() != 1 || !imported.damaged.empty()) {
        if (imported.entries.empty() && imported.damaged.size() == 1)
            return Refused(imported.problems.front());
        return Refused(msg::ImportNeedsOneFormula(imported.entries.size() + imported.damaged.size()));
    }
    return Add(std::move(imported.entries.front()));
}

}  // namespace qelt
