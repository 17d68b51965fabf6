#include "chart/MainChartPainter.h"

#include <algorithm>
#include <cmath>

#include "chart/BarPainter.h"
#include "chart/KLineLayout.h"
#include "chart/PixelTrunc.h"
#include "common/Numbers.h"

namespace qelt {
namespace {

constexpr int kLabelLevels = 15;
constexpr int kTickLevels = 10;

/// Row of level k (the price min + k × step); on a linear scale k steps in pixels above the
/// bottom, as the ticks have always been placed.
int LevelY(const PriceScale& scale, double k) {
    if (scale.logarithmic) return scale.Y(scale.axisMin + k * scale.step);
    return TruncToPixel(scale.bottom - k * scale.StepPixels());
}

void DrawAxis(Canvas& canvas, const MainPaneGeometry& g, const KLineStyle& style) {
    const PriceScale& scale = g.scale;
    const int u = g.axisX;
    canvas.SelectPen(style.axis);
    canvas.MoveTo(u, 0);
    canvas.LineTo(u, g.pane.bottom);
    if (!(scale.step > 0.0)) return;
    for (int k = 1; k <= kTickLevels; ++k) {
        const int y = LevelY(scale, k);
        if (y < g.pane.top) break;
        const int half =
            scale.logarithmic ? LevelY(scale, k - 0.5) : TruncToPixel(y + scale.StepPixels() / 2);
        canvas.MoveTo(u + 1, y);
        canvas.LineTo(u + 8, y);
        canvas.MoveTo(u + 1, half);
        canvas.LineTo(u + 5, half);
    }
    canvas.SetTextAlign({HAlign::Right, VAlign::Top});
    canvas.SetTextColour(kAxisLabel);
    int lastLabel = 1 << 24;
    for (int k = 1; k <= kLabelLevels; ++k) {
        const int y = LevelY(scale, k);
        if (y < g.pane.top) break;
        const double price = scale.axisMin + k * scale.step;
        // A logarithmic scale crowds the high levels: a label too close to the one below waits.
        if (scale.logarithmic && lastLabel - y < style.text.height) continue;
        lastLabel = y;
        const int labelY =
            scale.logarithmic ? y - style.text.height / 2 : TruncToPixel(y - scale.StepPixels() / 4);
        canvas.TextOutWithin(g.pane.right - 2, labelY, FormatFixed2(price), g.pane.right - 2 - (u + 9));
        canvas.SelectPen(style.grid);
        canvas.MoveTo(0, y);
        canvas.LineTo(u, y);
    }
    canvas.SetTextAlign({HAlign::Left, VAlign::Top});
}

void DrawTitle(Canvas& canvas, const MainChartInput& input, const KLineStyle& style) {
    canvas.SelectFont(style.title);
    canvas.SetTextAlign({HAlign::Left, VAlign::Top});
    canvas.SetTextColour(style.scheme.title);
    canvas.TextOut(5, 3, "商品:" + input.goodsName + "(" + PeriodText(input.period) + ")");
    canvas.SelectFont(style.text);
}

void DrawExtremeLabel(Canvas& canvas, const MainPaneGeometry& g, int bar, double value, int rise) {
    const float x = static_cast<float>(g.visibleCount + bar - g.lastVisible - 1) * g.barWidth;
    const int at = TruncToPixel(x + g.barWidth / 2);
    const int y = g.PriceToY(value) - rise;
    if (x < static_cast<float>(g.axisX) / 2) {
        canvas.SetTextAlign({HAlign::Left, VAlign::Top});
        canvas.TextOut(at, y, "←" + FormatFixed2(value));
    } else {
        canvas.SetTextAlign({HAlign::Right, VAlign::Top});
        canvas.TextOut(at, y, FormatFixed2(value) + "→");
    }
    canvas.SetTextAlign({HAlign::Left, VAlign::Top});
}

bool HasOpenAndClose(const CBarRow& bar) { return bar.Open() > 0.00001 && bar.Close() > 0.00001; }

}  // namespace

OwnedPriceColumns ReadPriceColumns(const BarSeries& bars) {
    OwnedPriceColumns columns;
    for (auto* column : {&columns.open, &columns.close, &columns.high, &columns.low})
        column->reserve(bars.size());
    for (const CBarRow& bar : bars) {
        columns.open.push_back(static_cast<float>(bar.Open()));
        columns.close.push_back(static_cast<float>(bar.Close()));
        columns.high.push_back(static_cast<float>(bar.High()));
        columns.low.push_back(static_cast<float>(bar.Low()));
    }
    return columns;
}

std::string PeriodText(int period) {
    if (period == kPeriodWeek) return "周线";
    if (period == kPeriodMonth) return "月线";
    if (const int minutes = MinutesOfPeriod(period)) return FormatInt(minutes) + "分钟";
    return "日线";
}

MainPaneGeometry LayOutMainChart(const MainChartInput& input, const Rect& pane) {
    MainPaneGeometry g;
    g.pane = pane;
    g.axisX = pane.right - kAxisColumn;
    g.lastVisible = input.lastVisible;
    g.visibleCount = input.visibleCount;
    g.seriesLength = input.bars ? static_cast<int>(input.bars->size()) : 0;
    g.barWidth = BarWidth(pane, input.visibleCount);
    g.scale.top = pane.top;
    g.scale.bottom = pane.bottom;
    if (!input.extremes.any) return g;
    if (input.chartType == kChartOX) {
        if (input.oxBox > 0.0f)
            g.scale =
                OXPriceScale(input.extremes.high, input.extremes.low, input.oxBox, pane.top, pane.bottom);
        return g;
    }
    g.scale = StandardPriceScale(input.extremes.high, input.extremes.low, pane.top, pane.bottom);
    if (input.logarithmic) MakeLogarithmic(g.scale);
    return g;
}

void DrawMainChartBody(Canvas& canvas, const MainChartInput& input, const MainPaneGeometry& geometry,
                       const KLineStyle& style) {
    canvas.SetBkMode(BkMode::Transparent);
    canvas.SelectFont(style.text);
    DrawAxis(canvas, geometry, style);
    DrawTitle(canvas, input, style);
    if (!input.note.empty()) {
        canvas.SetTextColour(style.scheme.line[0]);
        canvas.TextOut(geometry.pane.left + 10, geometry.pane.top + 10, input.note);
        return;
    }
    if (!input.extremes.any) return;
    DrawBars(canvas, input, geometry, style);
}

void DrawMainChartLabels(Canvas& canvas, const MainChartInput& input, const MainPaneGeometry& geometry,
                         const KLineStyle& style) {
    canvas.SetBkMode(BkMode::Transparent);
    canvas.SelectFont(style.text);
    if (input.chartType == kChartOX && input.oxBox > 0.0f) {
        canvas.SetTextColour(style.scheme.line[1]);
        // The scale of other goods is in 万元, the box in 元; the index's box is in points.
        const std::string box = input.goodsNo == "0009"
                                    ? FormatFixed2(input.oxBox) + "点"
                                    : FormatFixed(static_cast<double>(input.oxBox) * 10000, 0) + "元";
        canvas.TextOut(290, 3, "OX格值:" + box);
    }
    if (!input.extremes.any || !geometry.Valid() || input.bars == nullptr || input.bars->empty()) return;
    if (input.chartType == kChartOX && !(input.oxBox > 0.0f)) return;
    const BarSeries& bars = *input.bars;
    canvas.SetTextColour(style.scheme.line[0]);
    const VisibleExtremes& e = input.extremes;
    DrawExtremeLabel(canvas, geometry, e.highIndex, bars[static_cast<std::size_t>(e.highIndex)].High(), 12);
    if (HasOpenAndClose(bars.back()))
        DrawExtremeLabel(canvas, geometry, e.lowIndex, bars[static_cast<std::size_t>(e.lowIndex)].Low(), 4);
}

void DrawCrosshairPrice(Canvas& canvas, const MainPaneGeometry& g, Point pointer, const KLineStyle& style) {
    const PriceScale& scale = g.scale;
    if (!(pointer.y < g.pane.bottom && pointer.y > g.pane.top && pointer.x < g.pane.right)) return;
    if (!(scale.step > 0.0) || g.pane.bottom <= g.pane.top) return;
    const double price = scale.PriceAt(pointer.y);
    canvas.SelectFont(style.text);
    canvas.SetTextAlign({HAlign::Left, VAlign::Top});
    canvas.SetBkMode(BkMode::Opaque);
    canvas.SetBkColour(kBlue);
    canvas.SetTextColour(kWhite);
    canvas.TextOutWithin(g.axisX + 1, pointer.y - 10, FormatFixed2(price), g.pane.right - g.axisX - 1);
    canvas.SetBkMode(BkMode::Transparent);
    canvas.SetBkColour(style.scheme.background);
}

}  // namespace qelt
