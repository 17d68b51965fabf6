#include "indicators/PaneParts.h"

#include <cmath>

#include "common/Numbers.h"
#include "indicators/PaneContext.h"

namespace qelt {

PaneScale RoundedPaneScale(const Rect& pane, float top, float bottom, int divisions) {
    PaneScale scale;
    scale.step = RoundScale(top, bottom, divisions);
    scale.top = top;
    scale.bottom = bottom;
    scale.baseY = pane.bottom;
    scale.plotHeight = pane.Height() - kPaneTitleStrip;
    const float u = (top - bottom) / static_cast<float>(scale.plotHeight);
    scale.unitsPerPixel = u > 0.0f && std::isfinite(u) ? u : 1.0f;
    return scale;
}

void DrawPaneAxis(Canvas& canvas, const Rect& pane, const PaneScale& scale, const PaneStyle& style) {
    // The axis rules read the pane's edges, style and marks only: the indicator's parts of
    // the context stay empty.
    static const BarSeries kNoBars;
    static const IndicatorDefinition kNoIndicator{};
    static const IndicatorResult kNoLines;
    static const IndicatorParameters kNoParameters;
    static const DisplayScheme kNoScheme;
    BarColumns columns(kNoBars);
    PaneRequest request;
    request.pane = pane;
    PaneContext context{canvas, request, kNoIndicator, kNoLines, columns, kNoScheme, style, kNoParameters};
    context.left = pane.left;
    context.top = pane.top;
    context.right = pane.right;
    context.bottom = pane.bottom;
    context.xAxis = pane.right - 60;
    context.plotHeight = scale.plotHeight;
    AxisMarks marks;
    context.marks = &marks;
    DrawAxis(context, scale);
    DrawTicks(context);
}

bool PaneReadoutShown(const Rect& pane, Point mouse, int chartRight) {
    return mouse.y > pane.top && mouse.y < pane.bottom && mouse.x < chartRight;
}

void DrawPaneReadout(Canvas& canvas, const Rect& pane, const PaneScale& scale, Point mouse, int chartRight,
                     const DisplayScheme& scheme) {
    if (!PaneReadoutShown(pane, mouse, chartRight)) return;
    const BkMode mode = canvas.CurrentBkMode();
    canvas.SetTextAlign({HAlign::Left, VAlign::Top});
    canvas.SetTextColour(kReadoutText);
    canvas.SetBkColour(kReadoutBackground);
    canvas.SetBkMode(BkMode::Opaque);
    canvas.TextOutWithin(pane.right - 49, mouse.y - 10, FormatFixed(scale.ValueAt(mouse.y), 2), 49);
    canvas.SetBkColour(scheme.background);
    canvas.SetBkMode(mode);
}

}  // namespace qelt
