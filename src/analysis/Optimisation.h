#pragma once
/// Parameter optimisation (参数优化): a trading system tested with one to three of its
/// parameters varied, each over FROM..TO in STEP (a value is FROM + k × STEP for k = 0, 1,
/// ... while it is at most TO + STEP/1000), every combination of their values once, at
/// most kMaxCombinations of them. Combinations are computed independently (nothing carries
/// from one to the next), spread over the pool's threads, and the table is the same whatever
/// their number: one row per combination, the first parameter varying slowest.
#include <atomic>
#include <cstdint>
#include <optional>
#include <vector>

#include "analysis/TradingSystem.h"
#include "analysis/WorkPool.h"

namespace qelt {

inline constexpr std::int64_t kMaxCombinations = 100000;
inline constexpr int kMaxOptimisedParameters = 3;

/// One varied parameter: its index among the formula's parameters and its range.
struct ParameterRange {
    int parameter = 0;
    double from = 0.0, to = 0.0, step = 1.0;
};

/// Why a set of ranges cannot be optimised.
enum class RangeFault : unsigned char {
    None,
    NoParameter,         ///< no range given
    TooManyParameters,   ///< more than kMaxOptimisedParameters
    UnknownParameter,    ///< an index the formula has no parameter for
    RepeatedParameter,   ///< one parameter in two ranges
    NotANumber,          ///< FROM, TO or STEP is not finite
    StepNotPositive,     ///< STEP is 0 or below
    EmptyRange,          ///< FROM above TO + STEP/1000: no value
    TooManyCombinations  ///< more than kMaxCombinations
};

/// The count of values of one range (FROM + k × STEP <= TO + STEP/1000), capped just above
/// kMaxCombinations so a huge range is not counted out; 0 for a range with none or a step
/// that is not positive.
std::int64_t RangeValueCount(const ParameterRange& range);
/// Value k of the range: FROM + k × STEP.
inline double RangeValue(const ParameterRange& range, std::int64_t k) {
    return range.from + static_cast<double>(k) * range.step;
}

/// The first fault of `ranges` for a formula of `parameterCount` parameters, or None.
RangeFault CheckRanges(const std::vector<ParameterRange>& ranges, int parameterCount);
/// The number of combinations (meaningful when CheckRanges found nothing).
std::int64_t CombinationCount(const std::vector<ParameterRange>& ranges);

struct OptimisationRow {
    std::vector<double> values;  ///< the varied parameters' values, in the ranges' order
    SystemReport report;
    /// These values put a constant argument out of range (N - 5 below 1): the combination
    /// has no figures.
    bool fault = false;
};

struct OptimisationRequest {
    TradingSystem system;
    /// The values of the parameters not varied (ParameterValues' rule).
    std::vector<double> values;
    std::vector<ParameterRange> ranges;
    SystemCosts costs;
};

/// Tests every combination of `request` over `bars`. Nothing when the ranges have a fault
/// (CheckRanges) or `cancel` was set before every combination was tested: a cancelled
/// optimisation leaves no partial table. `progress` counts the combinations done.
std::optional<std::vector<OptimisationRow>> RunOptimisation(const OptimisationRequest& request,
                                                            const BarSeries& bars, const WorkPool& pool,
                                                            const std::atomic<bool>* cancel = nullptr,
                                                            const WorkProgress& progress = {});

}  // namespace qelt
