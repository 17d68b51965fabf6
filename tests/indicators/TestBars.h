#pragma once
// Bar series for the indicator tests, written as numbers rather than ten texts.
#include <string>
#include <vector>

#include "common/Numbers.h"
#include "data/Bar.h"
#include "data/settings/IndicatorParameters.h"
#include "indicators/IndicatorTable.h"

namespace qelt::test {

struct TestBar {
    double open = 0, close = 0, high = 0, low = 0;
    long long num = 100;
    double avg = 0;
    long long pure = 0, null = 0;
};

inline CBarRow Row(const TestBar& b, int index) {
    const std::string date = FormatInt(20060000 + 101 + index);
    auto price = [](double v) { return FormatGeneral(v, 9); };
    return CBarRow{
        date,         price(b.open),     price(b.close),    price(b.high), price(b.low), FormatInt(b.num),
        price(b.avg), FormatInt(b.pure), FormatInt(b.null), "200606"};
}

inline BarSeries Bars(const std::vector<TestBar>& bars) {
    BarSeries series;
    for (std::size_t i = 0; i < bars.size(); ++i) series.push_back(Row(bars[i], static_cast<int>(i)));
    return series;
}

/// Bars with open = high = low = close (volume 100, average price the close).
inline BarSeries Closes(const std::vector<double>& closes) {
    std::vector<TestBar> bars;
    for (double c : closes) bars.push_back({c, c, c, c, 100, c});
    return Bars(bars);
}

/// The indicator over the whole series (the last bar visible, `visible` slots).
inline IndicatorResult Compute(int code, const BarSeries& bars, const IndicatorParameters& table = {},
                               int visible = 100, int last = -1) {
    return ComputeIndicator(code, bars, MakeIndicatorWindow(last, visible, static_cast<int>(bars.size())),
                            table);
}

}  // namespace qelt::test
