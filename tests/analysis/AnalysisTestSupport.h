#pragma once
// Bars and formulas for the analysis tests: day series written from numbers, with real
// dates, and formulas compiled in one call.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "common/CivilDate.h"
#include "common/Numbers.h"
#include "data/Bar.h"
#include "formula/Formula.h"

namespace qelt::test {

struct DayBar {
    int date = 0;  ///< YYYYMMDD
    double open = 0.0, close = 0.0;
    double high = 0.0, low = 0.0;  ///< 0: the larger / smaller of open and close
};

inline CBarRow MakeDayBar(const DayBar& day) {
    auto text = [](double v) { return FormatGeneral(v, 10); };
    const double high = day.high != 0.0 ? day.high : std::max(day.open, day.close);
    const double low = day.low != 0.0 ? day.low : std::min(day.open, day.close);
    return CBarRow{FormatInt(day.date),
                   text(day.open),
                   text(day.close),
                   text(high),
                   text(low),
                   "100",
                   text((day.open + day.close) / 2),
                   "0",
                   "0",
                   "200612"};
}

inline BarSeries DayBars(const std::vector<DayBar>& days) {
    BarSeries bars;
    for (const DayBar& day : days) bars.push_back(MakeDayBar(day));
    return bars;
}

/// The date `days` calendar days after `first` (both YYYYMMDD).
inline int DateAfter(int first, int days) {
    const std::int64_t start = DaysFromCivil(first / 10000, first / 100 % 100, first % 100);
    const CivilDate date = CivilFromDays(start + days);
    return static_cast<int>(date.year * 10000 + date.month * 100 + date.day);
}

/// Bars on consecutive calendar days from `first`, opens and closes given.
inline BarSeries Consecutive(int first, const std::vector<std::pair<double, double>>& openClose) {
    std::vector<DayBar> days;
    for (std::size_t i = 0; i < openClose.size(); ++i)
        days.push_back({DateAfter(first, static_cast<int>(i)), openClose[i].first, openClose[i].second});
    return DayBars(days);
}

/// A random walk of `count` bars on consecutive calendar days from 20060101.
inline BarSeries Walk(int count, std::uint32_t seed) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> step(-30, 30);
    std::vector<std::pair<double, double>> prices;
    double price = 1000;
    for (int i = 0; i < count; ++i) {
        const double open = price + step(random) / 10.0;
        price = std::max(10.0, open + step(random));
        prices.push_back({open, price});
    }
    return Consecutive(20060101, prices);
}

/// The same double, bit for bit, or both without a value.
inline bool SameValue(double a, double b) {
    return (std::isnan(a) && std::isnan(b)) || std::memcmp(&a, &b, sizeof a) == 0;
}

inline CompiledFormula MustCompile(const std::string& text,
                                   const std::vector<FormulaParameter>& parameters = {}) {
    FormulaCompileResult compiled = CompileFormula(text, parameters);
    EXPECT_TRUE(compiled.formula) << text << ": " << compiled.error.Describe();
    if (!compiled.formula) return *CompileFormula("0").formula;
    return *compiled.formula;
}

}  // namespace qelt::test
