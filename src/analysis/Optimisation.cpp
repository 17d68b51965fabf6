#include "analysis/Optimisation.h"

#include <cmath>
#include <set>

namespace qelt {
namespace {

/// What each thread keeps from one combination to the next: the bars' fields read once and
/// the result's vectors. Neither carries a value from one combination to the next.
struct OptimisationScratch {
    SystemTester tester;
    bool ran = false;
    SystemResult result;
    std::vector<double> values;
};

bool Finite(const ParameterRange& range) {
    return std::isfinite(range.from) && std::isfinite(range.to) && std::isfinite(range.step);
}

}  // namespace

std::int64_t RangeValueCount(const ParameterRange& range) {
    if (!Finite(range) || !(range.step > 0.0)) return 0;
    const double limit = range.to + range.step / 1000.0;
    if (range.from > limit) return 0;
    const double estimate = std::floor((limit - range.from) / range.step);
    if (!(estimate < static_cast<double>(kMaxCombinations))) return kMaxCombinations + 1;
    // The estimate's division may round either way: the rule's own comparison decides.
    std::int64_t count = static_cast<std::int64_t>(estimate) + 1;
    while (count > 0 && RangeValue(range, count - 1) > limit) --count;
    while (RangeValue(range, count) <= limit && count <= kMaxCombinations) ++count;
    return count;
}

RangeFault CheckRanges(const std::vector<ParameterRange>& ranges, int parameterCount) {
    if (ranges.empty()) return RangeFault::NoParameter;
    if (ranges.size() > static_cast<std::size_t>(kMaxOptimisedParameters))
        return RangeFault::TooManyParameters;
    std::set<int> seen;
    for (const ParameterRange& range : ranges) {
        if (range.parameter < 0 || range.parameter >= parameterCount) return RangeFault::UnknownParameter;
        if (!seen.insert(range.parameter).second) return RangeFault::RepeatedParameter;
        if (!Finite(range)) return RangeFault::NotANumber;
        if (!(range.step > 0.0)) return RangeFault::StepNotPositive;
        if (RangeValueCount(range) == 0) return RangeFault::EmptyRange;
    }
    return CombinationCount(ranges) > kMaxCombinations ? RangeFault::TooManyCombinations : RangeFault::None;
}

std::int64_t CombinationCount(const std::vector<ParameterRange>& ranges) {
    std::int64_t count = ranges.empty() ? 0 : 1;
    for (const ParameterRange& range : ranges) {
        count *= RangeValueCount(range);  // each at most kMaxCombinations + 1: three fit in 64 bits
        if (count > kMaxCombinations) return kMaxCombinations + 1;
    }
    return count;
}

std::optional<std::vector<OptimisationRow>> RunOptimisation(const OptimisationRequest& request,
                                                            const BarSeries& bars, const WorkPool& pool,
                                                            const std::atomic<bool>* cancel,
                                                            const WorkProgress& progress) {
    const int parameterCount = static_cast<int>(request.system.Formula().Parameters().size());
    if (CheckRanges(request.ranges, parameterCount) != RangeFault::None) return std::nullopt;
    const int count = static_cast<int>(CombinationCount(request.ranges));
    std::vector<std::int64_t> sizes;
    for (const ParameterRange& range : request.ranges) sizes.push_back(RangeValueCount(range));
    const SystemPrices prices = ReadSystemPrices(bars);
    const std::vector<double> base = ParameterValues(request.system.Formula().Parameters(), request.values);

    std::vector<OptimisationRow> rows(static_cast<std::size_t>(count));
    std::vector<OptimisationScratch> scratch(static_cast<std::size_t>(pool.Threads()));
    auto test = [&](int item, int worker) {
        OptimisationScratch& mine = scratch[static_cast<std::size_t>(worker)];
        OptimisationRow& row = rows[static_cast<std::size_t>(item)];
        mine.values = base;
        row.values.resize(request.ranges.size());
        // The last range varies fastest.
        std::int64_t rest = item;
        for (std::size_t r = request.ranges.size(); r-- > 0;) {
            const double value = RangeValue(request.ranges[r], rest % sizes[r]);
            rest /= sizes[r];
            row.values[r] = value;
            mine.values[static_cast<std::size_t>(request.ranges[r].parameter)] = value;
        }
        row.fault = !mine.tester.Test(request.system, bars, prices, mine.values, request.costs, mine.result,
                                      mine.ran);
        mine.ran = true;
        row.report = row.fault ? SystemReport{} : mine.result.report;
    };
    if (!pool.Run(count, test, cancel, progress)) return std::nullopt;
    return rows;
}

}  // namespace qelt
