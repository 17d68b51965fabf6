// The pixel writer stepping the lines of a long chart: 2,000 bars over 1,660 pixel columns
// (about 0.83 pixel a bar, so a fifth of the columns hold two points), values that wander a
// few rows from one bar to the next within a pane 60 rows tall, at one and two device
// pixels per view pixel. A pane of seven indicators draws 21 such lines.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

#include "gfx/PixelWriter.h"

namespace {

using namespace qelt;

std::vector<Point> WanderingLine(int bars, int width, int top, int rows, std::uint32_t seed) {
    std::mt19937 random(seed);
    std::normal_distribution<double> step(0.0, 1.6);
    std::vector<Point> points;
    const double barWidth = static_cast<double>(width) / bars;
    double y = top + rows / 2.0;
    for (int bar = 0; bar < bars; ++bar) {
        y = std::clamp(y + step(random), static_cast<double>(top), static_cast<double>(top + rows));
        points.push_back({static_cast<int>(barWidth / 2 + bar * barWidth), static_cast<int>(y)});
    }
    return points;
}

void BM_ChartLine(benchmark::State& state) {
    const int scale = static_cast<int>(state.range(0));
    const int width = 1920 * scale, height = 1080 * scale;
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height);
    const PixelSurface surface{pixels.data(), width, width, height};
    // The pane's clip hugs the line, as an indicator's range does.
    const PixelWriter writer(surface, scale, Rect{0, 100 * scale, width, 161 * scale});
    std::vector<std::vector<Point>> lines;
    for (std::uint32_t seed = 1; seed <= 21; ++seed)
        lines.push_back(WanderingLine(2000, 1660, 100, 60, seed));
    for (auto _ : state) {
        for (const auto& line : lines) writer.Polyline(line.data(), line.size(), 0xFF00FF00u);
        benchmark::DoNotOptimize(pixels.data());
    }
    state.SetItemsProcessed(state.iterations() * 21 * 1999);
}
BENCHMARK(BM_ChartLine)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

}  // namespace
