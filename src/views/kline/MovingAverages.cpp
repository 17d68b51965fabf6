#include "views/kline/MovingAverages.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "common/Numbers.h"

namespace qelt {
namespace {

constexpr std::array<int, 5> kLabelX{200, 290, 400, 510, 620};
/// Where the last label's room ends: as wide as the widest gap before it.
constexpr int kLabelsEnd = 730;

}  // namespace

void CloseMovingAverage(const std::vector<double>& closes, int period, IndicatorLine& out) {
    out.first = 0;
    out.values.clear();
    const int n = static_cast<int>(closes.size());
    if (period < 1 || period > n) return;
    out.first = period - 1;
    out.values.reserve(static_cast<std::size_t>(n - period + 1));
    double sum = 0.0;
    for (int i = 0; i < n; ++i) {
        sum += closes[static_cast<std::size_t>(i)];
        if (i < period - 1) continue;
        const double mean = sum / period;
        out.values.push_back(std::fabs(mean) < 0.001 ? 0.0 : mean);
        sum -= closes[static_cast<std::size_t>(i - period + 1)];
    }
}

void MainMovingAverages::Compute(const BarSeries& bars, const IndicatorParameters& parameters) {
    std::vector<double> closes;
    closes.reserve(bars.size());
    for (const CBarRow& bar : bars) closes.push_back(LeadingDouble(bar[kBarClose]));
    for (std::size_t i = 0; i < periods.size(); ++i) {
        periods[i] = parameters[param::kMa1 + static_cast<int>(i)];
        CloseMovingAverage(closes, periods[i], lines[i]);
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
