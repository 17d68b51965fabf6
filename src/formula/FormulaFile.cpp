#include "formula/FormulaFile.h"

#include <algorithm>

#include "common/Numbers.h"
#include "formula/FormulaMessages.h"
#include "formula/FormulaNumbers.h"
#include "formula/FormulaText.h"

namespace qelt::formula {
namespace {

constexpr int kMaxId = 999999999;

std::optional<int> ParseId(std::string_view text) {
    if (text.empty() || text.size() > 9) return std::nullopt;
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

std::optional<FormulaParameter> ParseParameter(std::string_view text) {
    std::vector<std::string_view> fields;
    for (std::size_t start = 0;;) {
        const std::size_t comma = text.find(',', start);
        fields.push_back(
            text.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start));
        if (comma == std::string_view::npos) break;
        start = comma + 1;
    }
    if (fields.size() != 4) return std::nullopt;
    FormulaParameter parameter{std::string(fields[0]), 0, 0, 0};
    double* values[3] = {&parameter.defaultValue, &parameter.minimum, &parameter.maximum};
    for (int k = 0; k < 3; ++k) {
        const std::optional<double> value = ParseDecimal(fields[static_cast<std::size_t>(k) + 1], true);
        if (!value) return std::nullopt;
        *values[k] = *value;
    }
    return parameter;
}

void AppendLines(std::string& out, std::string_view key, std::string_view text) {
    for (std::size_t start = 0;;) {
        const std::size_t end = text.find('\n', start);
        out += key;
        out += '=';
        out += text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
        out += '\n';
        if (end == std::string_view::npos) return;
        start = end + 1;
    }
}

/// Reads the sections of a file one line at a time.
class Reader {
  public:
    explicit Reader(FormulaFileContent& content) : m_content(content) {}

    void Line(std::string_view line, int number) {
        // Line ends as another system writes them; a value never ends in "\r", so a rewrite
        // reads back the same.
        while (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (!line.empty() && line.front() == '[') return StartSection(line, number);
        if (m_inSection) {
            m_raw += line;
            m_raw += '\n';
        }
        if (line.empty() || line.front() == '#') return;
        const std::size_t equals = line.find('=');
        const std::string_view key = line.substr(0, equals),
                               value = equals == std::string_view::npos ? "" : line.substr(equals + 1);
        if (!m_inSection) return HeaderLine(line, key, value, equals != std::string_view::npos, number);
        if (m_problem) return;
        if (equals == std::string_view::npos) return Damage(number, msg::UnknownKey(line));
        EntryLine(key, value, number);
    }

    void Finish() {
        EndSection();
        m_content.nextId = std::max(m_content.nextId, m_largestId + 1);
    }

  private:
    void HeaderLine(std::string_view line, std::string_view key, std::string_view value, bool hasValue,
                    int number) {
        if (key == "next_id" && hasValue) {
            const std::optional<int> id = ParseId(value);
            if (id && *id >= kFirstFormulaId && *id <= kMaxId) {
                m_content.nextId = std::max(m_content.nextId, *id);
                return;
            }
            m_content.problems.push_back(msg::EntryDamaged(number, msg::BadNextId(value)));
        } else {
            m_content.problems.push_back(msg::EntryDamaged(number, msg::LineOutsideEntry()));
        }
        m_content.stray.emplace_back(line);
    }

    void StartSection(std::string_view line, int number) {
        EndSection();
        m_inSection = true;
        m_raw = std::string(line) + "\n";
        m_entry = StoredFormula{};
        m_seenName = m_seenPlace = false;
        m_problem.reset();
        m_line = number;
        const std::optional<int> id =
            line.size() >= 2 && line.back() == ']' ? ParseId(line.substr(1, line.size() - 2)) : std::nullopt;
        if (!id || *id < kFirstFormulaId) return Damage(number, msg::BadEntryId(line));
        m_largestId = std::max(m_largestId, *id);
        m_entry.id = *id;
        for (const StoredFormula& earlier : m_content.entries)
            if (earlier.id == *id) return Damage(number, msg::EntryIdTwice(*id));
    }

    void EntryLine(std::string_view key, std::string_view value, int number) {
        auto append = [](std::string& to, std::string_view line, bool first) {
            if (!first) to += '\n';
            to += line;
        };
        if (key == "name") {
            if (m_seenName) return Damage(number, msg::KeyTwice(key));
            m_seenName = true;
            m_entry.name = std::string(value);
        } else if (key == "description") {
            append(m_entry.description, value, !m_seenDescription);
            m_seenDescription = true;
        } else if (key == "text") {
            append(m_entry.text, value, !m_seenText);
            m_seenText = true;
        } else if (key == "place") {
            if (m_seenPlace) return Damage(number, msg::KeyTwice(key));
            m_seenPlace = true;
            if (value != "main" && value != "sub") return Damage(number, msg::BadPlace(value));
            m_entry.mainChart = value == "main";
        } else if (key == "param") {
            const std::optional<FormulaParameter> parameter = ParseParameter(value);
            if (!parameter) return Damage(number, msg::BadParameterLine(value));
            m_entry.parameters.push_back(*parameter);
        } else {
            return Damage(number, msg::UnknownKey(key));
        }
    }

    void Damage(int number, std::string what) {
        if (!m_problem) m_problem = msg::EntryDamaged(number, what);
    }

    void EndSection() {
        if (!m_inSection) return;
        if (!m_problem && !m_seenName) Damage(m_line, msg::MissingKey("name"));
        if (!m_problem && !m_seenText) Damage(m_line, msg::MissingKey("text"));
        if (!m_problem) {
            if (auto problem = FormulaNameProblem(m_entry.name)) Damage(m_line, std::move(*problem));
        }
        if (!m_problem) {
            for (const StoredFormula& earlier : m_content.entries)
                if (SameName(earlier.name, m_entry.name)) Damage(m_line, msg::FormulaNameTaken(m_entry.name));
        }
        if (m_problem) {
            // Blank lines before the next section belong to no section: each rewrite would
            // otherwise add one more.
            while (m_raw.size() >= 2 && m_raw[m_raw.size() - 1] == '\n' && m_raw[m_raw.size() - 2] == '\n')
                m_raw.pop_back();
            m_content.problems.push_back(*m_problem);
            m_content.damaged.push_back(m_raw);
        } else {
            m_content.entries.push_back(std::move(m_entry));
        }
        m_inSection = false;
        m_seenDescription = m_seenText = false;
    }

    FormulaFileContent& m_content;
    bool m_inSection = false;
    std::string m_raw;  ///< the section's lines as they stood
    StoredFormula m_entry;
    bool m_seenName = false, m_seenDescription = false, m_seenText = false, m_seenPlace = false;
    std::optional<std::string> m_problem;
    int m_line = 0;  ///< the section header's line
    int m_largestId = 0;
};

}  // namespace

std::optional<std::string> FormulaNameProblem(std::string_view name) {
    if (name.empty()) return msg::FormulaNameEmpty();
    if (!IsValidUtf8(name)) return msg::FormulaNameInvalid(name);
    std::size_t characters = 0;
    for (char c : name) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) return msg::FormulaNameInvalid(name);
        characters += (byte & 0xC0) != 0x80;
    }
    if (characters > 32 || name.front() == ' ' || name.back() == ' ') return msg::FormulaNameInvalid(name);
    return std::nullopt;
}

FormulaFileContent ParseFormulaFile(std::string_view content) {
    FormulaFileContent parsed;
    Reader reader(parsed);
    int number = 0;
    for (std::size_t start = LeadingMarkBytes(content); start < content.size();) {
        const std::size_t end = content.find('\n', start);
        reader.Line(
            content.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start),
            ++number);
        if (end == std::string_view::npos) break;
        start = end + 1;
    }
    reader.Finish();
    return parsed;
}

std::string FormatFormulaEntry(const StoredFormula& entry) {
    std::string out = "[" + FormatInt(entry.id) + "]\n";
    AppendLines(out, "name", entry.name);
    if (!entry.description.empty()) AppendLines(out, "description", entry.description);
    for (const FormulaParameter& p : entry.parameters) {
        out += "param=" + p.name + "," + FormatShortest(p.defaultValue) + "," + FormatShortest(p.minimum) +
               "," + FormatShortest(p.maximum) + "\n";
    }
    // 副图 is the default and goes unwritten: a first-edition formula rewrites unchanged.
    if (entry.mainChart) out += "place=main\n";
    AppendLines(out, "text", entry.text);
    return out;
}

std::string FormatFormulaFile(const FormulaFileContent& content) {
    std::string out =
        "# formula.txt: the user's own indicators (UTF-8), written by the program.\n"
        "# One [id] section per formula: name=, description= and text= once per line, "
        "param=NAME,default,min,max, place=main over the main chart.\n"
        "next_id=" +
        FormatInt(content.nextId) + "\n";
    for (const std::string& line : content.stray) out += line + "\n";
    for (const StoredFormula& entry : content.entries) out += "\n" + FormatFormulaEntry(entry);
    for (const std::string& section : content.damaged) out += "\n" + section;
    return out;
}

}  // namespace qelt::formula
