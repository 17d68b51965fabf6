// Pane rules of the trend group: MACD, DMI, BOLL, SAR, JS, CDP, EXPMA.
#include <algorithm>
#include <cmath>

#include "indicators/PaneContext.h"

namespace qelt {

namespace {

constexpr Colour kSarRising = Rgb(255, 50, 50);
constexpr Colour kSarFalling = Rgb(84, 252, 252);

}  // namespace

std::optional<PaneScale> ScaleMacd(const PaneContext& pane) {
    // DIF and DEA of the visible bars after the first set the range, symmetric about zero.
    Extent extent{0.0f, 0.0f};
    extent.Add(pane.Line(0), pane.f + 1, pane.l);
    extent.Add(pane.Line(1), pane.f + 1, pane.l);
    float top = std::max(extent.top, -extent.bottom), bottom = -top;
    const float step = RoundScale(top, bottom, 10);
    PaneScale scale = LinearScale(pane, top, bottom);
    scale.step = step;
    scale.axis = PaneScale::Axis::Macd;
    return scale;
}

void DrawMacdBars(const PaneContext& pane, const PaneScale& scale) {
    Canvas& canvas = pane.canvas;
    const IndicatorLine& macd = pane.Line(2);
    const int zero = pane.bottom - pane.plotHeight / 2;
    for (int bar = std::max(pane.f, macd.first); bar <= std::min(pane.l, macd.Last()); ++bar) {
        const auto value = macd.At(bar);
        if (!value) continue;
        const int x = pane.CentreX(bar), y = scale.Y(*value);
        canvas.SelectPen(y < zero ? pane.style.rising : pane.style.falling);
        canvas.MoveTo(x, zero);
        canvas.LineTo(x, y);
    }
}

std::optional<PaneScale> ScaleDmi(const PaneContext& pane) {
    // Up to P bars left of the window take part; no rounding, whole multiples of 15 instead.
    const Extent extent = AllLines(pane, {-9999.0f, 9999.0f}, 0, pane.l);
    if (!extent.any) return std::nullopt;
    float top = std::max(extent.top, 15.0f);
    top = std::trunc(top / 15.0f) * 15.0f;
    const float bottom = std::trunc(extent.bottom / 15.0f) * 15.0f;
    PaneScale scale = LinearScale(pane, top, bottom);
    scale.step = (top - bottom) / 3.0f;
    scale.labelDecimals = 0;
    return scale;
}

std::optional<PaneScale> ScaleBoll(const PaneContext& pane) {
    const float* high = pane.columns.High(pane.f, pane.l + 1);
    const float* low = pane.columns.Low(pane.f, pane.l + 1);
    Extent extent{high[pane.l], low[pane.l]};
    for (int i = pane.f; i <= pane.l; ++i) extent.Add(high[i]), extent.Add(low[i]);
    extent.Add(pane.Line(1), pane.f, pane.l);
    extent.Add(pane.Line(2), pane.f, pane.l);
    return RoundedScale(pane, extent, 10);
}

std::optional<PaneScale> ScaleSar(const PaneContext& pane) {
    const float* high = pane.columns.High(pane.f, pane.l + 1);
    const float* low = pane.columns.Low(pane.f, pane.l + 1);
    Extent extent{-999999.0f, 9999999.0f};
    for (int i = pane.f; i <= pane.l; ++i) extent.Add(high[i]), extent.Add(low[i]);
    extent.Add(pane.Line(0), pane.f, pane.l);
    return RoundedScale(pane, extent, 5);
}

void DrawSarChart(const PaneContext& pane, const PaneScale& scale) {
    Canvas& canvas = pane.canvas;
    const int from = pane.f, to = pane.l + 1;
    const float* open = pane.columns.Open(from, to);
    const float* close = pane.columns.Close(from, to);
    const float* high = pane.columns.High(from, to);
    const float* low = pane.columns.Low(from, to);
    const float w = pane.request.barWidth;
    for (int bar = pane.f; bar <= pane.l; ++bar) {
        const int left = pane.left + TruncatePixel(pane.SlotLeft(bar));
        const int right = pane.left + TruncatePixel(pane.SlotLeft(bar) + 0.9f * w);
        const int mid = (left + right) / 2;
        const int yo = scale.Y(open[bar]), yc = scale.Y(close[bar]);
        const bool flat = open[bar] == close[bar];
        const Colour colour = flat ? pane.scheme.line[0] : close[bar] > open[bar] ? kSarRising : kSarFalling;
        canvas.SelectPen(Pen::Solid(1, colour));
        canvas.MoveTo(mid, scale.Y(high[bar]));
        canvas.LineTo(mid, scale.Y(low[bar]));
        if (flat) {
            canvas.MoveTo(left, yo);
            canvas.LineTo(right, yc);
            continue;
        }
        // Rising bodies are hollow, falling ones filled.
        canvas.SelectBrush(close[bar] > open[bar] ? Brush::Hollow() : Brush::Solid(kSarFalling));
        canvas.Rectangle({left, std::min(yo, yc), right, std::max(yo, yc)});
    }
    // The stop dots: below the level in a rising trend (top touching it), above in a falling one.
    const IndicatorLine& sar = pane.Line(0);
    canvas.SelectBrush(Brush::Hollow());
    for (int bar = std::max(pane.f, sar.first); bar <= std::min(pane.l, sar.Last()); ++bar) {
        const auto value = sar.At(bar);
        if (!value) continue;
        const std::size_t k = static_cast<std::size_t>(bar - sar.first);
        const bool rising = k < pane.result.rising.size() && pane.result.rising[k] != 0;
        const int x = pane.CentreX(bar), y = scale.Y(*value);
        canvas.SelectPen(Pen::Solid(1, rising ? kSarRising : kSarFalling));
        canvas.Ellipse(rising ? Rect{x - 3, y, x + 3, y + 6} : Rect{x - 3, y - 6, x + 3, y});
    }
}

std::optional<PaneScale> ScaleJs(const PaneContext& pane) {
    return RoundedScale(pane, AllLines(pane, {-9999.0f, 9999.0f}, 0, pane.l), 5);
}

std::optional<PaneScale> ScaleCdp(const PaneContext& pane) {
    Extent highs{-999999.0f, 9999999.0f}, lows{-999999.0f, 9999999.0f};
    highs.Add(pane.Line(1), pane.f, pane.l);  // AH
    highs.Add(pane.Line(3), pane.f, pane.l);  // NH
    lows.Add(pane.Line(2), pane.f, pane.l);   // AL
    lows.Add(pane.Line(4), pane.f, pane.l);   // NL
    Extent extent{highs.top, lows.bottom};
    extent.any = highs.any && lows.any;
    auto scale = RoundedScale(pane, extent, 5);
    if (scale && scale->bottom < 0.0f) SetRange(pane, *scale, scale->top, 0.0f);
    return scale;
}

std::optional<PaneScale> ScaleExpma(const PaneContext& pane) {
    return RoundedScale(pane, AllLines(pane, {-9999.0f, 9999.0f}, pane.f, pane.l), 5);
}

}  // namespace qelt
