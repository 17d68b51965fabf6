#include "views/kline/MovingAverages.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "common/Numbers.h"

namespace qelt {
namespace {

constexpr std::array<int, 5> kLabelX{200, 290, 400, 510, 620};
/// Where the last label's room ends: as wide as the widest gap before it.
constexpr int kLabelsEnd = kMovingAverageLabelsEnd;

}  // namespace

void CloseMovingAverage(const std::vector<double>& closes, int period, IndicatorLine& out) {
    out.first = 0;
    const int n = static_cast<int>(closes.size());
    if (period < 1 || period > n) {
        out.values.clear();
        return;
    }
    out.first = period - 1;
    out.values.resize(static_cast<std::size_t>(n - period + 1));
    double* values = out.values.data();
    const double* close = closes.data();
    double sum = 0.0;
    for (int i = 0; i < period - 1; ++i) sum += close[i];
    // The sum runs close after close; a block's divisions go two at a time (each exactly as
    // alone), a mean below 0.001 in magnitude stored as 0.
    using Pair = double __attribute__((vector_size(16)));
    constexpr int kBlock = 64;
    alignas(16) double sums[kBlock];
    const Pair divisor = {static_cast<double>(period), static_cast<double>(period)};
    for (int begin = period - 1; begin < n; begin += kBlock) {
        const int count = std::min(kBlock, n - begin);
        for (int k = 0; k < count; ++k) {
            sum += close[begin + k];
            sums[k] = sum;
            sum -= close[begin + k - period + 1];
        }
        double* out = values + (begin - period + 1);
        int k = 0;
        for (; k + 2 <= count; k += 2) {
            Pair mean;
            std::memcpy(&mean, sums + k, sizeof mean);
            mean /= divisor;
            Pair magnitude = mean;
            magnitude[0] = std::fabs(magnitude[0]), magnitude[1] = std::fabs(magnitude[1]);
            const auto small = magnitude < 0.001;
            out[k] = small[0] ? 0.0 : mean[0];
            out[k + 1] = small[1] ? 0.0 : mean[1];
        }
        for (; k < count; ++k) {
            const double mean = sums[k] / period;
            out[k] = std::fabs(mean) < 0.001 ? 0.0 : mean;
        }
    }
}

void MainMovingAverages::Compute(const BarSeries& bars, const IndicatorParameters& parameters) {
    std::vector<double> closes;
    closes.reserve(bars.size());
    for (const CBarRow& bar : bars) closes.push_back(bar.Close());
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
