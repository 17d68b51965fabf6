#pragma once
/// The main chart's five moving averages of the close: their lines over the bars and their
/// labels "MA%d:%.2f" at the cursor bar. Periods come from the main-chart parameters
/// (主图参数 MA); the i-th average uses line colour i for its label and the view's i-th line
/// pen for its line. Candles and the American line only.
#include <array>
#include <vector>

#include "chart/MainPaneGeometry.h"
#include "data/Bar.h"
#include "data/settings/DisplayScheme.h"
#include "data/settings/IndicatorParameters.h"
#include "gfx/Canvas.h"
#include "indicators/IndicatorLines.h"

namespace qelt {

struct MainMovingAverages {
    std::array<int, 5> periods{};
    /// Simple moving averages of the close over the whole series (empty when the period is
    /// outside 1..n); an average below 0.001 in magnitude is 0. Computed in double precision
    /// from the bars' texts, so a six-digit average reads to the cent.
    std::array<IndicatorLine, 5> lines;

    /// Recomputes the lines for the closes of `bars` and the table's five periods.
    void Compute(const BarSeries& bars, const IndicatorParameters& parameters);
};

/// The simple moving average of the closes over `period` bars with a running sum: element k
/// (bar k + period - 1) is the mean of closes k .. k + period - 1, 0 below 0.001 in magnitude;
/// empty when the period is outside 1..n.
void CloseMovingAverage(const std::vector<double>& closes, int period, IndicatorLine& out);

/// Each average as one polyline through (bar centre, y(average)) for the visible bars from
/// its first value on whose average lies above the axis minimum.
void DrawMovingAverageLines(Canvas& canvas, const MainMovingAverages& averages,
                            const MainPaneGeometry& geometry, const std::array<Pen, 5>& linePens);

/// Where the labels' row ends: what else the row shows goes from here on.
inline constexpr int kMovingAverageLabelsEnd = 730;

/// "MA%d:%.2f" of each non-empty average at the cursor bar (its value index cursor - p + 1
/// clamped into the line) at (200, 3), (290, 3), (400, 3), (510, 3) and (620, 3), each in a
/// smaller font when it would reach the next.
void DrawMovingAverageLabels(Canvas& canvas, const MainMovingAverages& averages, int cursor,
                             const DisplayScheme& scheme, const Font& font);

}  // namespace qelt
