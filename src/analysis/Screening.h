#pragma once
/// Screening (条件选股): one formula, compiled once, used as a condition on every goods at
/// once. For each goods it is computed over the goods' bars of the period built from its
/// day bars dated on or before the screening date; the goods is selected when the condition
/// is true at the last of those bars. A goods without a day bar on or before the date is
/// passed over and counted as without data.
///
///     ScreeningRequest request{*compiled.formula, values, kPeriodWeek, 20260315};
///     std::optional<ScreeningResult> result = RunScreening(request, daySeries, pool, &cancel, progress);
///     if (!result) ...;                        // cancelled: nothing to show
///     if (result->fault) ...;                  // the values put a constant argument out of range
///     ScreeningSummary(*result);               // "共 N 个品种，M 个满足条件，K 个无数据"
///
/// Qt-free and free of the store: the caller copies the goods' day series out of the store
/// (or the history database) and maps the rows' goods indexes back to its goods.
#include <atomic>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "analysis/WorkPool.h"
#include "chart/SeriesWindow.h"
#include "data/Bar.h"
#include "formula/Formula.h"

namespace qelt {

struct ScreeningRequest {
    CompiledFormula formula;
    /// The parameter values (ParameterValues' rule: defaults for those not given).
    std::vector<double> values;
    KLinePeriod period = kPeriodDay;
    /// The screening date YYYYMMDD; 0: each goods' newest bar.
    int date = 0;
};

/// A selected goods.
struct ScreeningRow {
    int goods = 0;     ///< its index in the series given to RunScreening
    int bar = 0;       ///< the index of the bar the verdict was read at, in the period's bars
    std::string date;  ///< that bar's date as the bar holds it
    double close = 0.0;
    /// Every output's value at that bar in output order, the condition first (NaN: none).
    std::vector<double> values;
};

struct ScreeningResult {
    int goods = 0;        ///< goods screened, those without data included
    int selected = 0;     ///< rows.size()
    int withoutData = 0;  ///< goods without a day bar on or before the date
    /// The selected goods in the order they were given.
    std::vector<ScreeningRow> rows;
    /// The values put a constant argument out of range (N - 5 below 1): nothing was
    /// computed, no goods is selected, and this says where and why.
    std::optional<FormulaError> fault;
};

/// Screens every series of `days` (each a goods' day bars, oldest first). The goods are
/// spread over the pool's threads; the result is the same whatever their number.
/// `progress` counts the goods done. Nothing when `cancel` was set before every goods was
/// screened: a cancelled screening leaves no partial result.
std::optional<ScreeningResult> RunScreening(const ScreeningRequest& request, std::span<const BarSeries> days,
                                            const WorkPool& pool, const std::atomic<bool>* cancel = nullptr,
                                            const WorkProgress& progress = {});

/// The closing line: "共 N 个品种，M 个满足条件，K 个无数据".
std::string ScreeningSummary(const ScreeningResult& result);

}  // namespace qelt
