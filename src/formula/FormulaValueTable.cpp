#include "formula/FormulaValueTable.h"

#include <optional>

#include "common/Files.h"
#include "common/Numbers.h"
#include "common/ProgramDir.h"
#include "data/settings/SettingsReports.h"
#include "formula/FormulaNumbers.h"
#include "formula/FormulaParameters.h"
#include "formula/FormulaText.h"

namespace qelt {

using namespace formula;

namespace {

/// A formula id: digits only, 1000 or more, within an int.
std::optional<int> ReadId(std::string_view text) {
    if (text.empty() || text.size() > 9) return std::nullopt;
    int id = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        id = id * 10 + (c - '0');
    }
    if (id < kFirstFormulaId) return std::nullopt;
    return id;
}

/// "NAME:VALUE,NAME:VALUE" with at most six pairs; nothing when any of it is malformed.
std::optional<std::vector<std::pair<std::string, double>>> ReadPairs(std::string_view text) {
    std::vector<std::pair<std::string, double>> pairs;
    while (!text.empty()) {
        const std::size_t comma = text.find(',');
        const std::string_view pair = text.substr(0, comma);
        text = comma == std::string_view::npos ? std::string_view() : text.substr(comma + 1);
        const std::size_t colon = pair.find(':');
        if (colon == std::string_view::npos) return std::nullopt;
        const std::string_view name = pair.substr(0, colon);
        const std::optional<double> value = ParseDecimal(pair.substr(colon + 1), true);
        if (!IsName(name) || !value || pairs.size() == static_cast<std::size_t>(kMaxFormulaParameters))
            return std::nullopt;
        pairs.emplace_back(std::string(name), *value);
        if (comma != std::string_view::npos && text.empty()) return std::nullopt;  // a trailing comma
    }
    return pairs;
}

}  // namespace

FormulaValueMap ParseFormulaValues(std::string_view text) {
    FormulaValueMap values;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos) continue;
        const std::optional<int> id = ReadId(line.substr(0, equals));
        auto pairs = ReadPairs(line.substr(equals + 1));
        if (id && pairs) values[*id] = std::move(*pairs);
    }
    return values;
}

std::string FormatFormulaValues(const FormulaValueMap& values) {
    std::string text;
    for (const auto& [id, pairs] : values) {
        text += FormatInt(id) + "=";
        for (std::size_t i = 0; i < pairs.size(); ++i) {
            if (i > 0) text += ',';
            text += pairs[i].first + ":" + FormatShortest(pairs[i].second);
        }
        text += '\n';
    }
    return text;
}

FormulaValueTable::FormulaValueTable(std::string programDirectory)
    : m_directory(WithTrailingSlash(std::move(programDirectory))) {}

std::string FormulaValueTable::Path() const { return m_directory + kFormulaValuesFileName; }

bool FormulaValueTable::Load() {
    m_values.clear();
    const std::optional<std::string> text = ReadWholeFile(Path(), kMaxFormulaValueFileBytes);
    m_writable = text || !FileExists(Path());
    if (text) m_values = ParseFormulaValues(*text);
    return m_writable;
}

std::vector<double> FormulaValueTable::ValuesFor(const StoredFormula& formula) const {
    std::vector<double> values;
    const auto found = m_values.find(formula.id);
    for (const FormulaParameter& parameter : formula.parameters) {
        double value = parameter.defaultValue;
        if (found != m_values.end()) {
            for (const auto& [name, set] : found->second)
                if (SameName(name, parameter.name) && !CheckParameterValue(parameter, set)) value = set;
        }
        values.push_back(value);
    }
    return values;
}

bool FormulaValueTable::Set(const StoredFormula& formula, const std::vector<double>& values) {
    std::vector<std::pair<std::string, double>> pairs;
    const std::vector<double> given = ParameterValues(formula.parameters, values);
    for (std::size_t i = 0; i < formula.parameters.size(); ++i)
        pairs.emplace_back(formula.parameters[i].name, given[i]);
    m_values[formula.id] = std::move(pairs);
    // A file that could not be read holds values this run does not know: never replace it.
    return m_writable && WriteFileAtomic(Path(), FormatFormulaValues(m_values));
}

}  // namespace qelt
