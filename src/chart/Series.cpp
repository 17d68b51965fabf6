#include "chart/Series.h"

#include <algorithm>
#include <cstdint>
#include <string>

#include "common/CivilDate.h"
#include "common/Numbers.h"
#include "common/Saturating.h"

namespace qelt {

namespace {

using KeyOf = std::optional<std::string> (*)(std::string_view date);

std::optional<std::string> WeekKeyText(std::string_view date) {
    auto key = WeekKey(date);
    if (!key) return std::nullopt;
    return std::to_string(*key);
}

std::optional<std::string> MonthKeyText(std::string_view date) {
    if (!IsBarDate(date)) return std::nullopt;
    return std::string(MonthKey(date));
}

/// Folds `day` into the period bar `bar`: close, the larger high, the smaller low (ties
/// take the day's text), volume `num`, average, net position and null_num from the day;
/// the date only when `takeDate`.
void MergeDay(CBarRow& bar, const CBarRow& day, std::string_view num, bool takeDate) {
    std::string_view high = day.High() >= bar.High() ? day[kBarHigh] : bar[kBarHigh];
    std::string_view low = day.Low() <= bar.Low() ? day[kBarLow] : bar[kBarLow];
    bar.Assign({takeDate ? day[kBarDate] : bar[kBarDate], bar[kBarOpen], day[kBarClose], high, low, num,
                day[kBarAvg], day[kBarPure], day[kBarNull], bar[kBarDue]});
}

/// A day whose date gives no key belongs to no period: both paths pass over it, so it can
/// neither start a period nor be merged into one.
void Build(std::span<const CBarRow> days, BarSeries& periods, KeyOf keyOf, bool takeDate) {
    if (days.empty()) return;
    if (periods.empty()) {
        std::optional<std::string> previous;
        for (const CBarRow& day : days) {
            auto key = keyOf(day[kBarDate]);
            if (!key) continue;
            if (!previous || *key != *previous) {
                periods.push_back(day);
                previous = std::move(key);
                continue;
            }
            CBarRow& bar = periods.back();
            std::string num = FormatInt(SaturatingAdd(bar.Num(), day.Num()));
            MergeDay(bar, day, num, takeDate);
        }
        return;
    }
    const CBarRow& newest = days.back();
    auto newestKey = keyOf(newest[kBarDate]);
    auto lastKey = keyOf(periods.back()[kBarDate]);
    if (!newestKey || !lastKey) return;
    if (*newestKey != *lastKey) {
        periods.push_back(newest);
        return;
    }
    // The volume is summed afresh over the trailing days of the same key.
    std::int64_t sum = 0;
    for (std::size_t i = days.size(); i-- > 0;) {
        auto key = keyOf(days[i][kBarDate]);
        if (!key) continue;
        if (*key != *newestKey) break;
        sum = SaturatingAdd(sum, days[i].Num());
    }
    MergeDay(periods.back(), newest, FormatInt(sum), takeDate);
}

}  // namespace

bool IsBarDate(std::string_view date) {
    if (date.size() != 8) return false;
    for (char c : date)
        if (c < '0' || c > '9') return false;
    int year = LeadingInt(date.substr(0, 4));
    int month = LeadingInt(date.substr(4, 2));
    int day = LeadingInt(date.substr(6, 2));
    return year >= 1900 && month >= 1 && month <= 12 && day >= 1 && day <= 31;
}

std::optional<int> WeekKey(std::string_view date) {
    if (!IsBarDate(date)) return std::nullopt;
    int year = LeadingInt(date.substr(0, 4));
    int month = LeadingInt(date.substr(4, 2));
    int day = LeadingInt(date.substr(6, 2));
    std::int64_t days = DaysFromCivil(year, month, day);  // day 31 of a short month rolls over
    std::int64_t normalYear = CivilFromDays(days).year;
    std::int64_t yday = days - DaysFromCivil(normalYear, 1, 1);
    int mondayBased = (WeekdayOfDays(days) + 6) % 7;
    return static_cast<int>((yday + 7 - mondayBased) / 7);
}

std::string_view MonthKey(std::string_view date) {
    return date.size() > 4 ? date.substr(4, 2) : std::string_view{};
}

void BuildWeekly(CQeltGoods& goods) { Build(goods.series, goods.weekSeries, WeekKeyText, true); }

void BuildMonthly(CQeltGoods& goods) { Build(goods.series, goods.monthSeries, MonthKeyText, false); }

void BuildWeekBars(std::span<const CBarRow> days, BarSeries& weeks) {
    weeks.clear();
    Build(days, weeks, WeekKeyText, true);
}

void BuildMonthBars(std::span<const CBarRow> days, BarSeries& months) {
    months.clear();
    Build(days, months, MonthKeyText, false);
}

double HighestClose(const CQeltGoods& goods) {
    double high = -99999;
    for (const CBarRow& bar : goods.series) high = std::max(high, bar.Close());
    return high;
}

double LowestClose(const CQeltGoods& goods) {
    double low = 99999;
    for (const CBarRow& bar : goods.series) low = std::min(low, bar.Close());
    return low;
}

}  // namespace qelt
