// Pane rules of the volume and position group: VOL, CCL, VR, OBV, PVT.
#include <algorithm>
#include <cfloat>

#include "indicators/PaneContext.h"

namespace qelt {

namespace {

constexpr Colour kVolumeFill = Rgb(84, 255, 255);

/// Largest value of an integer field over the visible bars, 0 without bars; negative
/// maxima count as 0 (the scale is unsigned).
std::int64_t VisibleMaximum(const PaneContext& pane, const std::int32_t* (BarColumns::*field)(int, int)) {
    if (pane.n == 0 || pane.l < 0) return 0;
    const std::int32_t* values = (pane.columns.*field)(pane.f, pane.l + 1);
    std::int64_t maximum = values[pane.l];
    for (int i = pane.f; i <= pane.l; ++i) maximum = std::max<std::int64_t>(maximum, values[i]);
    return std::max<std::int64_t>(maximum, 0);
}

/// The label step g of the volume panes: the pane top stands for 3g.
std::int64_t VolumeStep(std::int64_t maximum) {
    return maximum > 60 ? (maximum / 30 * 30 + 30) / 3 : (maximum / 15 * 15 + 15) / 3;
}

PaneScale VolumeScale(const PaneContext& pane, std::int64_t step, bool flat) {
    PaneScale scale;
    scale.axis = PaneScale::Axis::Volume;
    scale.byPixelsPerUnit = true;
    scale.baseY = pane.bottom;
    scale.plotHeight = pane.plotHeight;
    scale.volumeStep = step;
    scale.top = static_cast<float>(3 * step);
    scale.pixelsPerUnit = flat ? 0.0f : static_cast<float>(pane.plotHeight) / static_cast<float>(3 * step);
    return scale;
}

}  // namespace

std::optional<PaneScale> ScaleVol(const PaneContext& pane) {
    const std::int64_t maximum = VisibleMaximum(pane, &BarColumns::Num);
    return VolumeScale(pane, VolumeStep(maximum), maximum == 0);
}

std::optional<PaneScale> ScaleCcl(const PaneContext& pane) {
    // The step follows the total purchase and sale; the view's volume maximum only decides
    // whether the bars have height at all.
    const bool noBars = pane.n == 0 || pane.l < 0;
    const std::int64_t step = noBars ? 5 : VolumeStep(VisibleMaximum(pane, &BarColumns::Null));
    return VolumeScale(pane, step, VisibleMaximum(pane, &BarColumns::Num) == 0);
}

void DrawVolumeBars(const PaneContext& pane, const PaneScale& scale) {
    Canvas& canvas = pane.canvas;
    const float w = pane.request.barWidth;
    const std::int32_t* values = pane.definition.code == 1 ? pane.columns.Num(pane.f, pane.l + 1)
                                                           : pane.columns.Pure(pane.f, pane.l + 1);
    const float* open = pane.columns.Open(pane.f, pane.l + 1);
    const float* close = pane.columns.Close(pane.f, pane.l + 1);
    for (int bar = pane.f; bar <= pane.l; ++bar) {
        const float x = pane.SlotLeft(bar);
        const int left = pane.left + TruncatePixel(x), right = pane.left + TruncatePixel(x + 0.9f * w);
        const int top = scale.Y(values[bar]);
        const bool rising = open[bar] < close[bar];  // an unchanged bar draws as falling
        canvas.SelectPen(rising ? pane.style.rising : pane.style.falling);
        if (right == left) {
            canvas.MoveTo(left, pane.bottom);
            canvas.LineTo(left, top);
            continue;
        }
        canvas.SelectBrush(Brush::Solid(rising ? pane.scheme.background : kVolumeFill));
        canvas.Rectangle({left, std::min(top, pane.bottom), right, std::max(top, pane.bottom)});
    }
}

std::optional<PaneScale> ScaleVr(const PaneContext& pane) {
    Extent extent{0.0f, 9999.0f};
    extent.Add(pane.Line(0), pane.f, pane.l);
    return RoundedScale(pane, extent, 4, 0);
}

std::optional<PaneScale> ScaleObv(const PaneContext& pane) {
    Extent extent{-9999.0f, 9999.0f};
    extent.Add(pane.Line(0), 0, pane.l);
    if (!extent.any) return std::nullopt;
    float top = extent.top, bottom = extent.bottom;
    if (top - bottom < 10.0f) top = bottom + 10.0f;
    const int divisions = pane.plotHeight / 60 + 1;
    const float step = RoundScale(top, bottom, divisions);
    PaneScale scale = LinearScale(pane, top, bottom, 1000.0f);
    scale.step = step;
    scale.labelDecimals = 0;
    return scale;
}

std::optional<PaneScale> ScalePvt(const PaneContext& pane) {
    // The visible bars set the range, the last one too: a day of heavy volume moves the line
    // most, and it is the newest bar.
    Extent extent{-FLT_MAX, FLT_MAX};
    extent.Add(pane.Line(0), pane.f, pane.l);
    auto scale = RoundedScale(pane, extent, 5);
    if (scale) SetRange(pane, *scale, scale->top + scale->step, scale->bottom);  // one more step on top
    return scale;
}

}  // namespace qelt
