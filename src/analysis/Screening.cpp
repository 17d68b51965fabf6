#include "analysis/Screening.h"

#include <climits>

#include "analysis/Condition.h"
#include "analysis/PeriodBars.h"
#include "common/Numbers.h"

namespace qelt {
namespace {

enum class Verdict : unsigned char { NotSelected, Selected, WithoutData };

struct GoodsOutcome {
    Verdict verdict = Verdict::NotSelected;
    ScreeningRow row;
};

/// What each thread keeps from one goods to the next.
struct WorkerScratch {
    FormulaRun run;
    BarSeries periodBars;
};

GoodsOutcome ScreenOne(const ScreeningRequest& request, const BarSeries& days, WorkerScratch& scratch) {
    GoodsOutcome outcome;
    const int dayCount = request.date > 0 ? DayBarsUpTo(days, request.date) : static_cast<int>(days.size());
    if (dayCount == 0) {
        outcome.verdict = Verdict::WithoutData;
        return outcome;
    }
    const BarSeries& bars = PeriodBarsOf(days, dayCount, request.period, scratch.periodBars);
    if (bars.empty()) {  // day bars whose dates make no week or month
        outcome.verdict = Verdict::WithoutData;
        return outcome;
    }
    FormulaRun& run = scratch.run;
    const int last = static_cast<int>(bars.size()) - 1;
    if (!run.Run(request.formula, bars, request.values) || !ConditionAt(run, last)) return outcome;
    outcome.verdict = Verdict::Selected;
    ScreeningRow& row = outcome.row;
    row.bar = last;
    const CBarRow& bar = bars[static_cast<std::size_t>(last)];
    row.date = std::string(bar.Get(kBarDate));
    row.close = BarClose(bar);
    for (int k = 0; k < run.OutputCount(); ++k)
        row.values.push_back(run.Column(k)[static_cast<std::size_t>(last)]);
    return outcome;
}

}  // namespace

std::optional<ScreeningResult> RunScreening(const ScreeningRequest& request, std::span<const BarSeries> days,
                                            const WorkPool& pool, const std::atomic<bool>* cancel,
                                            const WorkProgress& progress) {
    ScreeningResult result;
    const int count = static_cast<int>(std::min<std::size_t>(days.size(), INT_MAX));
    result.goods = count;
    // The constant arguments depend on the values only: checked once, on no bars.
    FormulaRun check;
    if (!check.Run(request.formula, BarSeries{}, request.values)) {
        result.fault = check.Error();
        return result;
    }
    std::vector<GoodsOutcome> outcomes(static_cast<std::size_t>(count));
    std::vector<WorkerScratch> scratch(static_cast<std::size_t>(pool.Threads()));
    const bool finished = pool.Run(
        count,
        [&](int item, int worker) {
            outcomes[static_cast<std::size_t>(item)] = ScreenOne(
                request, days[static_cast<std::size_t>(item)], scratch[static_cast<std::size_t>(worker)]);
        },
        cancel, progress);
    if (!finished) return std::nullopt;
    for (int i = 0; i < count; ++i) {
        GoodsOutcome& outcome = outcomes[static_cast<std::size_t>(i)];
        if (outcome.verdict == Verdict::WithoutData) ++result.withoutData;
        if (outcome.verdict != Verdict::Selected) continue;
        outcome.row.goods = i;
        result.rows.push_back(std::move(outcome.row));
    }
    result.selected = static_cast<int>(result.rows.size());
    return result;
}

std::string ScreeningSummary(const ScreeningResult& result) {
    return "共 " + FormatInt(result.goods) + " 个品种，" + FormatInt(result.selected) + " 个满足条件，" +
           FormatInt(result.withoutData) + " 个无数据";
}

}  // namespace qelt
