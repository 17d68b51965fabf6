#include "analysis/PeriodBars.h"

#include <algorithm>
#include <span>

#include "chart/Series.h"
#include "common/Numbers.h"

namespace qelt {

int BarDateNumber(const CBarRow& bar) { return LeadingInt(bar.Get(kBarDate)); }

double BarOpen(const CBarRow& bar) { return LeadingDouble(bar.Get(kBarOpen)); }

double BarClose(const CBarRow& bar) { return LeadingDouble(bar.Get(kBarClose)); }

int DayBarsUpTo(const BarSeries& days, int date) {
    int count = 0;
    for (const CBarRow& day : days) {
        if (BarDateNumber(day) > date) break;
        ++count;
    }
    return count;
}

const BarSeries& PeriodBarsOf(const BarSeries& days, int dayCount, KLinePeriod period, BarSeries& buffer) {
    const std::size_t count =
        static_cast<std::size_t>(std::clamp(dayCount, 0, static_cast<int>(days.size())));
    const std::span<const CBarRow> run(days.data(), count);
    switch (period) {
        case kPeriodWeek:
            BuildWeekBars(run, buffer);
            return buffer;
        case kPeriodMonth:
            BuildMonthBars(run, buffer);
            return buffer;
        default:
            if (count == days.size()) return days;
            buffer.assign(run.begin(), run.end());
            return buffer;
    }
}

}  // namespace qelt
