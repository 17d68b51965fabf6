#pragma once
// A synthetic day series for the indicator benchmarks: a random walk written as the texts
// the store holds ("%.2f" prices, integer volumes).
#include <array>
#include <cstdint>
#include <random>
#include <string>

#include "common/Numbers.h"
#include "data/Bar.h"
#include "indicators/IndicatorPane.h"

namespace qelt::bench {

inline BarSeries RandomWalk(int count, std::uint32_t seed = 7) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> move(-30.0, 30.0), wick(0.0, 15.0);
    std::uniform_int_distribution<int> volume(0, 20000), position(-2000, 30000);
    BarSeries bars;
    bars.reserve(static_cast<std::size_t>(count));
    double price = 3000.0;
    for (int i = 0; i < count; ++i) {
        const double open = price, close = std::max(100.0, price + move(random));
        const double high = std::max(open, close) + wick(random), low = std::min(open, close) - wick(random);
        const std::string date = FormatInt(19800101 + i);
        bars.push_back(CBarRow{date, FormatFixed2(open), FormatFixed2(close), FormatFixed2(high),
                               FormatFixed2(low), FormatInt(volume(random)), FormatFixed2((open + close) / 2),
                               FormatInt(position(random)), FormatInt(position(random) + 5000), "200606"});
        price = close;
    }
    return bars;
}

/// The view's pens as the settings make them: a red grid dashed 1 on, 5 off with flat ends,
/// solid red ticks and borders, red and cyan bar pens.
inline PaneStyle BenchStyle(bool solidGrid = false) {
    PaneStyle style;
    style.grid =
        solidGrid ? Pen::Solid(1, Rgb(255, 0, 0)) : Pen{PenStyle::User, 1, Rgb(255, 0, 0), {1, 5}, true};
    style.tick = Pen::Solid(1, Rgb(255, 0, 0));
    style.border = Pen::Solid(1, Rgb(255, 0, 0));
    style.rising = Pen::Solid(1, Rgb(255, 50, 50));
    style.falling = Pen::Solid(1, Rgb(84, 252, 252));
    return style;
}

/// The seven indicator panes of a 1920 x 1080 K-line view with eight windows: the main chart
/// takes 324 pixels from y 30, the seven panes share the rest above the 20-pixel date strip;
/// the chart ends 200 pixels left of the edge (the quote panel).
inline Rect SevenPaneRect(int index) {
    const int top = 30 + 324, height = (1080 - 20 - top) / 7;
    return {0, top + index * height, 1920 - 200, top + (index + 1) * height};
}

/// The heaviest indicator of each group on a repaint, filling the seven panes of an
/// eight-window view: OBV, PVT; MACD, BOLL, SAR; ADTM, BBI.
constexpr std::array<int, 7> kSevenPanes = {4, 5, 21, 23, 24, 46, 47};

/// The request for pane `index` of the seven, showing the `visible` newest bars of `bars`
/// with the cursor on the newest; the caller sets the columns (and a kept result).
inline PaneRequest SevenPaneRequest(int index, const BarSeries& bars, int visible,
                                    const IndicatorParameters& table, const DisplayScheme& scheme,
                                    const PaneStyle& style) {
    const int n = static_cast<int>(bars.size());
    PaneRequest request;
    request.pane = SevenPaneRect(index);
    request.code = kSevenPanes[static_cast<std::size_t>(index)];
    request.bars = &bars;
    request.window = MakeIndicatorWindow(-1, visible, n);
    request.barWidth = static_cast<float>(1720 - 60) / static_cast<float>(visible);
    request.cursor = n - 1;
    request.mouse = {500, request.pane.top + 50};
    request.chartRight = 1720;
    request.parameters = &table;
    request.scheme = &scheme;
    request.style = &style;
    return request;
}

}  // namespace qelt::bench
