#include "formula/FormulaParameters.h"

#include <cmath>
#include <unordered_set>

#include "formula/FormulaDrawingNames.h"
#include "formula/FormulaMessages.h"
#include "formula/FormulaNames.h"
#include "formula/FormulaText.h"

namespace qelt {

using namespace formula;

namespace {

std::optional<std::string> NameProblem(const std::string& name) {
    if (name.empty()) return msg::ParameterNameEmpty();
    if (!IsName(name)) return msg::ParameterNameInvalid(name);
    const std::string upper = UpperAscii(name);
    if (FindBarData(upper)) return msg::ParameterIsData(name);
    if (FindFunction(upper) || FindDrawingFunction(upper)) return msg::ParameterIsFunction(name);
    if (FindAttribute(upper)) return msg::ParameterIsAttribute(name);
    if (IsKeyword(upper)) return msg::ParameterIsOperator(name);
    return std::nullopt;
}

std::optional<std::string> RangeProblem(const FormulaParameter& p) {
    if (!std::isfinite(p.defaultValue) || !std::isfinite(p.minimum) || !std::isfinite(p.maximum)) {
        return msg::ParameterNotFinite(p.name);
    }
    if (p.minimum > p.maximum) return msg::ParameterRangeReversed(p.name);
    if (p.defaultValue < p.minimum || p.defaultValue > p.maximum) {
        return msg::ParameterDefaultOutside(p.name, p.minimum, p.maximum);
    }
    return std::nullopt;
}

}  // namespace

std::optional<FormulaError> CheckParameters(const std::vector<FormulaParameter>& parameters) {
    auto fail = [](std::size_t index, std::string message) {
        return FormulaError{0, 0, static_cast<int>(index), std::move(message)};
    };
    if (parameters.size() > static_cast<std::size_t>(kMaxFormulaParameters)) {
        return fail(kMaxFormulaParameters, msg::TooManyParameters(kMaxFormulaParameters));
    }
    std::unordered_set<std::string> seen;
    for (std::size_t i = 0; i < parameters.size(); ++i) {
        const FormulaParameter& p = parameters[i];
        if (auto problem = NameProblem(p.name)) return fail(i, std::move(*problem));
        if (!seen.insert(UpperAscii(p.name)).second) return fail(i, msg::ParameterTwice(p.name));
        if (auto problem = RangeProblem(p)) return fail(i, std::move(*problem));
    }
    return std::nullopt;
}

std::optional<std::string> CheckParameterValue(const FormulaParameter& parameter, double value) {
    if (std::isfinite(value) && value >= parameter.minimum && value <= parameter.maximum) return std::nullopt;
    return msg::ParameterValueOutside(parameter.name, parameter.minimum, parameter.maximum);
}

std::vector<double> ParameterValues(const std::vector<FormulaParameter>& parameters,
                                    const std::vector<double>& values) {
    std::vector<double> result;
    result.reserve(parameters.size());
    for (std::size_t i = 0; i < parameters.size(); ++i)
        result.push_back(i < values.size() ? values[i] : parameters[i].defaultValue);
    return result;
}

}  // namespace qelt
