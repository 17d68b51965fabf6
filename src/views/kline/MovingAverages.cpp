#include "views/kline/MovingAverages.h"

#include <algorithm>
#include <vector>

#include "common/Numbers.h"
#include "indicators/Averages.h"

namespace qelt {
namespace {

constexpr std::array<int, 5> kLabelX{200, 290, 400, 510, 620};
/// Where the last label's room ends: as wide as the widest gap before it.
constexpr int kLabelsEnd = 730;

}  // namespace

void MainMovingAverages::Compute(const float* close, int n, const IndicatorParameters& parameters) {
    for (std::size_t i = 0; i < periods.size(); ++i) {
        periods[i] = parameters[param::kMa1 + static_cast<int>(i)];
        if (close == nullptr || n <= 0) {
            lines[i].values.clear();
            continue;
        }
        BarFieldMovingAverage(close, n, periods[i], lines[i]);
    }
}

void DrawMovingAverageLines(Canvas& canvas, const MainMovingAverages& averages, const MainPaneGeometry& g,
                            const std::array<Pen, 5>& linePens) {
    if (!g.Valid()) return;
    const int first = std::max(0, g.lastVisible - g.visibleCount + 1);
    const int last = std::min(g.lastVisible, g.seriesLength - 1);
    std::vector<Point> points;
    for (std::size_t i = 0; i < averages.lines.size(); ++i) {
        const IndicatorLine& line = averages.lines[i];
        if (line.Empty()) continue;
        points.clear();
        for (int bar = std::max(first, line.first); bar <= std::min(last, line.Last()); ++bar) {
            const double value = line.values[static_cast<std::size_t>(bar - line.first)];
            if (!(value > g.scale.axisMin)) continue;
            points.push_back({g.BarCentreX(bar), g.PriceToY(value)});
        }
        canvas.SelectPen(linePens[i]);
        if (points.size() > 1) canvas.Polyline(points);
    }
}

void DrawMovingAverageLabels(Canvas& canvas, const MainMovingAverages& averages, int cursor,
                             const DisplayScheme& scheme, const Font& font) {
    canvas.SelectFont(font);
    canvas.SetBkMode(BkMode::Transparent);
    canvas.SetTextAlign({HAlign::Left, VAlign::Top});
    for (std::size_t i = 0; i < averages.lines.size(); ++i) {
        const IndicatorLine& line = averages.lines[i];
        if (line.Empty()) continue;
        canvas.SetTextColour(scheme.line[i]);
        // A six-digit average is drawn smaller rather than over the next label.
        const int end = i + 1 < kLabelX.size() ? kLabelX[i + 1] : kLabelsEnd;
        canvas.TextOutWithin(kLabelX[i], 3,
                             "MA" + FormatInt(averages.periods[i]) + ":" + FormatFixed2(line.Clamped(cursor)),
                             end - kLabelX[i] - 4);
    }
}

}  // namespace qelt
