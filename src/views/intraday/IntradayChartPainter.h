#pragma once
/// Draws one intraday chart into its rectangle: frame, grid with price, percent and volume
/// labels, day separators and day middles, volume bars, the price line and, for the flagged
/// chart, the time labels under the plot; the dynamic-board chart adds its trades inside the
/// section slots. The colours come with the style, made for the scheme of each paint.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "data/settings/CQeltCFG.h"
#include "gfx/Canvas.h"
#include "views/BoardColours.h"
#include "views/intraday/ChartScale.h"
#include "views/intraday/IntradaySeries.h"

namespace qelt {

/// Rise and fall colours are the board's (views/BoardColours.h).
inline constexpr Colour kLabelGrey = Rgb(192, 192, 192);

struct ChartStyle {
    Pen frame;        ///< solid red, 1 pixel
    Pen line;         ///< the price line, volume bars and cursor: white on screen, black on paper
    Pen grid;         ///< dotted red
    Pen dynamicLine;  ///< the dynamic-board trades
    Colour text = 0;  ///< "white": white on screen, black on paper
    Colour background = 0;
    Font title;
};

/// The settings' pens and fonts with the colours of `scheme`.
ChartStyle ChartStyleOf(const CQeltCFG& settings, const DisplayScheme& scheme);

/// The dynamic-board trades drawn inside each section slot: for record i of the series, the
/// trades dynamic[ranges[i].first .. ranges[i].second).
struct DynamicBoardPlacement {
    const std::vector<DynamicPoint>* dynamic = nullptr;
    std::vector<std::pair<std::size_t, std::size_t>> ranges;
};

/// Finds, for every record of `series`, the dynamic-board trades of the same date and section.
DynamicBoardPlacement PlaceDynamicBoard(const IntradaySeries& series,
                                        const std::vector<DynamicPoint>& dynamic);

struct ChartContent {
    const IntradaySeries* series = nullptr;
    const std::vector<std::int64_t>* volumes = nullptr;
    std::string title;
    bool timeLabels = false;  ///< the flagged chart labels its time axis
    int days = 1;             ///< days on the axis
    const DynamicBoardPlacement* dynamicBoard = nullptr;
};

void PaintIntradayChart(Canvas& canvas, const ChartFrame& frame, const ChartScale& scale,
                        const ChartContent& content, const ChartStyle& style);

/// The cursor: a vertical and a horizontal line through `at` across the chart, line pen.
void PaintChartCursor(Canvas& canvas, const ChartFrame& frame, Point at, const ChartStyle& style);

}  // namespace qelt
