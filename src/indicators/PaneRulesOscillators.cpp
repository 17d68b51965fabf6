// Pane rules of the oscillator group: RSI, ROC, KDJ, EMV, WR, ADTM, BBI, AMV, CCI.
#include <algorithm>
#include <cmath>

#include "indicators/PaneContext.h"

namespace qelt {

namespace {

PaneScale WithValueLevels(PaneScale scale, std::initializer_list<int> levels) {
    scale.axis = PaneScale::Axis::ValueLevels;
    scale.valueLevelCount = 0;
    for (int level : levels) scale.valueLevels[static_cast<std::size_t>(scale.valueLevelCount++)] = level;
    return scale;
}

/// A reference line across the plot at `value`, dotted 1 on 3 off in line colour 1 (white on
/// the screen, black on paper), labelled with its right end 30 pixels inside the pane's right
/// edge; nothing when it falls outside the pane.
void DrawReference(const PaneContext& pane, const PaneScale& scale, float value, const char* label,
                   Colour colour) {
    const int y = scale.Y(value);
    if (y < pane.top || y > pane.bottom) return;
    pane.canvas.SelectPen(Pen{PenStyle::User, 1, pane.scheme.line[0], {1, 3}, false});
    pane.canvas.MoveTo(pane.left, y);
    pane.canvas.LineTo(pane.xAxis, y);
    DrawRightAligned(pane, pane.right - 30, y - 8, label, colour);
}

}  // namespace

std::optional<PaneScale> ScaleRsi(const PaneContext& pane) {
    // A value that raises the top is not compared with the bottom.
    float top = 0.0f, bottom = 100.0f;
    for (const IndicatorLine& line : pane.result.lines) {
        for (int bar = std::max(pane.f, line.first); bar <= std::min(pane.l, line.Last()); ++bar) {
            const auto value = line.At(bar);
            if (!value) continue;
            const float v = static_cast<float>(*value);
            if (v > top) {
                top = v;
            } else if (v < bottom) {
                bottom = v;
            }
        }
    }
    if (top == 0.0f) top = 100.0f;
    if (bottom == 100.0f) bottom = 0.0f;
    return WithValueLevels(LinearScale(pane, top, bottom), {20, 50, 80, 100});
}

std::optional<PaneScale> ScaleRoc(const PaneContext& pane) {
    Extent extent{0.0f, 9999.0f};
    extent.Add(pane.Line(0), pane.f, pane.l);
    if (!extent.any) return std::nullopt;
    // Widened to whole numbers first; a negative bottom one more below.
    extent.top = std::trunc(extent.top) + 1.0f;
    extent.bottom = std::trunc(extent.bottom) - (extent.bottom < 0.0f ? 1.0f : 0.0f);
    return RoundedScale(pane, extent, 3, 0);
}

std::optional<PaneScale> ScaleKdj(const PaneContext& pane) {
    auto scale = RoundedScale(pane, AllLines(pane, {0.0f, 100.0f}, 0, pane.l), 10);
    if (scale) *scale = WithValueLevels(*scale, {20, 50, 80, 100});
    return scale;
}

std::optional<PaneScale> ScaleEmv(const PaneContext& pane) {
    return RoundedScale(pane, AllLines(pane, {-9999.0f, 9999.0f}, pane.f, pane.l), 3);
}

void DrawEmvZeroLine(const PaneContext& pane, const PaneScale& scale) {
    DrawReference(pane, scale, 0.0f, "0", pane.scheme.line[0]);
}

std::optional<PaneScale> ScaleWr(const PaneContext& pane) {
    return WithValueLevels(LinearScale(pane, 100.0f, 0.0f), {20, 80, 100});
}

std::optional<PaneScale> ScaleAdtm(const PaneContext& pane) {
    Extent extent{-9999.0f, 9999.0f};
    extent.Add(pane.Line(0), 0, pane.n - 1);  // every bar of the series, not only the visible ones
    auto scale = RoundedScale(pane, extent, 5);
    if (scale) SetRange(pane, *scale, std::min(scale->top, 1.0f), std::max(scale->bottom, -1.0f));
    return scale;
}

std::optional<PaneScale> ScaleBbi(const PaneContext& pane) {
    Extent extent{-9999.0f, 9999.0f};
    extent.Add(pane.Line(0), pane.f - 2, pane.l - 1);
    return RoundedScale(pane, extent, 5);
}

std::optional<PaneScale> ScaleAmv(const PaneContext& pane) {
    return RoundedScale(pane, AllLines(pane, {-999999.0f, 9999999.0f}, pane.f, pane.l), 5);
}

std::optional<PaneScale> ScaleCci(const PaneContext& pane) {
    Extent extent{-99999.0f, 99999.0f};
    extent.Add(pane.Line(0), pane.f, pane.l);
    if (!extent.any) return std::nullopt;
    // Rounded in hundreds, then widened so that both reference lines always show.
    float top = extent.top / 100.0f, bottom = extent.bottom / 100.0f;
    const double rounded = std::trunc(static_cast<double>(RoundScale(top, bottom, 3)) * 100.0);
    const double step = 50.0 * (1.0 + std::trunc(rounded / 50.0));
    const double scaledTop = (std::trunc(static_cast<double>(top)) + 1.0) * 100.0;
    double scaledBottom = std::trunc(static_cast<double>(bottom)) * 100.0 - 100.0;
    if (scaledBottom > -150.0) scaledBottom = -150.0;
    PaneScale scale = LinearScale(pane, static_cast<float>(scaledTop), static_cast<float>(scaledBottom));
    scale.step = static_cast<float>(step);
    scale.axis = PaneScale::Axis::Cci;
    return scale;
}

void DrawCciReferences(const PaneContext& pane, const PaneScale& scale) {
    DrawReference(pane, scale, 100.0f, "100", pane.scheme.title);
    DrawReference(pane, scale, -100.0f, "-100", pane.scheme.title);
}

}  // namespace qelt
