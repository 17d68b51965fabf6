#include "indicators/IndicatorPane.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "common/Numbers.h"
#include "indicators/ComputeSupport.h"
#include "indicators/PaneContext.h"

namespace qelt {

std::array<Pen, 5> PaneStyle::LinePens(const DisplayScheme& scheme) {
    std::array<Pen, 5> pens;
    for (std::size_t i = 0; i < pens.size(); ++i) pens[i] = Pen::Solid(1, scheme.line[i]);
    return pens;
}

void Extent::Add(double value) {
    if (!std::isfinite(value)) return;
    const float v = static_cast<float>(value);
    any = true;
    if (v > top) top = v;
    if (v < bottom) bottom = v;
}

void Extent::Add(const IndicatorLine& line, int from, int to) {
    from = std::max(from, line.first);
    to = std::min(to, line.Last());
    for (int bar = from; bar <= to; ++bar) Add(line.values[static_cast<std::size_t>(bar - line.first)]);
}

Extent AllLines(const PaneContext& pane, Extent extent, int from, int to) {
    for (const IndicatorLine& line : pane.result.lines) extent.Add(line, from, to);
    return extent;
}

void SetRange(const PaneContext& pane, PaneScale& scale, float top, float bottom, float fallback) {
    scale.top = top;
    scale.bottom = bottom;
    scale.baseY = pane.bottom;
    scale.plotHeight = pane.plotHeight;
    const float u = (top - bottom) / static_cast<float>(pane.plotHeight);
    scale.unitsPerPixel = u > 0.0f && std::isfinite(u) ? u : fallback;
}

PaneScale LinearScale(const PaneContext& pane, float top, float bottom, float fallback) {
    PaneScale scale;
    SetRange(pane, scale, top, bottom, fallback);
    return scale;
}

std::optional<PaneScale> RoundedScale(const PaneContext& pane, const Extent& extent, int divisions,
                                      int decimals) {
    if (!extent.any) return std::nullopt;
    float top = extent.top, bottom = extent.bottom;
    const float step = RoundScale(top, bottom, divisions);
    PaneScale scale = LinearScale(pane, top, bottom);
    scale.step = step;
    scale.labelDecimals = decimals;
    return scale;
}

std::string FormatLabel(double value, int decimals) {
    std::string text = FormatFixed(value, decimals);
    if (!text.empty() && text[0] == '-' && text.find_first_not_of("-0.") == std::string::npos)
        text.erase(0, 1);
    return text;
}

namespace {

/// Each polyline line over the visible bars; a value that is not finite ends a stroke.
void DrawLines(const PaneContext& pane, const PaneScale& scale) {
    Canvas& canvas = pane.canvas;
    const std::array<Pen, 5> pens = PaneStyle::LinePens(pane.scheme);
    std::vector<Point> points;
    std::size_t pen = 0;
    for (std::size_t i = 0; i < pane.result.lines.size(); ++i) {
        if (!(pane.definition.polylines & (1u << i))) continue;
        canvas.SelectPen(pens[std::min(pen++, pens.size() - 1)]);
        const IndicatorLine& line = pane.result.lines[i];
        const int from = std::max(pane.f, line.first), to = std::min(pane.l, line.Last());
        points.clear();
        points.reserve(static_cast<std::size_t>(std::max(to - from + 1, 0)));
        for (int bar = from; bar <= to;) {
            const double* v = line.values.data() + (bar - line.first);
            // Four bars at a time while all four values are finite.
            if (bar + lanes::kWidth - 1 <= to && std::isfinite(v[0]) && std::isfinite(v[1]) &&
                std::isfinite(v[2]) && std::isfinite(v[3])) {
                const lanes::Ints xs = pane.CentreX4(bar), ys = scale.Y(v);
                const std::size_t size = points.size();
                points.resize(size + lanes::kWidth);  // within the room reserved
                for (int k = 0; k < lanes::kWidth; ++k) points[size + k] = {xs[k], ys[k]};
                bar += lanes::kWidth;
                continue;
            }
            if (std::isfinite(*v)) {
                points.push_back({pane.CentreX(bar), scale.Y(*v)});
                ++bar;
                continue;
            }
            ++bar;
            if (points.size() > 1) canvas.Polyline(points);
            points.clear();
        }
        if (points.size() > 1) canvas.Polyline(points);
    }
}

void DrawTitle(const PaneContext& pane) {
    Canvas& canvas = pane.canvas;
    const int y = pane.top + 3;
    canvas.SetTextAlign({HAlign::Left, VAlign::Top});
    if (pane.definition.title) {
        canvas.SetTextColour(pane.scheme.title);
        canvas.TextOut(pane.left + 5, y, pane.definition.title(pane.parameters));
    }
    for (std::size_t i = 0; i < pane.definition.items.size(); ++i) {
        const TitleItem& item = pane.definition.items[i];
        const IndicatorLine& line = pane.Line(item.line);
        if (line.Empty()) continue;
        canvas.SetTextColour(pane.scheme.line[std::min<std::size_t>(i, pane.scheme.line.size() - 1)]);
        const double value = line.Clamped(pane.request.cursor);
        // A value that is not finite (PVT after a zero close) has no point on the line either.
        canvas.TextOut(pane.left + item.offset, y,
                       std::string(line.name) + ":" +
                           (std::isfinite(value) ? FormatFixed(value, item.decimals) : std::string("--")));
    }
}

/// VOL and CCL: the cursor bar's own text in place of the title, "VOLUME:0" outside.
void DrawFieldTitle(const PaneContext& pane) {
    const bool volume = pane.definition.code == 1;
    const int cursor = pane.request.cursor;
    std::string text = volume ? "VOLUME:" : "CCL:";
    if (cursor >= 0 && cursor < pane.n) {
        text += (*pane.request.bars)[static_cast<std::size_t>(cursor)].Get(volume ? kBarNum : kBarPure);
    } else {
        text += "0";
    }
    pane.canvas.SetTextAlign({HAlign::Left, VAlign::Top});
    pane.canvas.SetTextColour(pane.scheme.title);
    pane.canvas.TextOut(pane.left + 5, pane.top + 3, text);
}

bool MouseInside(const PaneContext& pane) {
    const Point mouse = pane.request.mouse;
    return mouse.y > pane.top && mouse.y < pane.bottom && mouse.x < pane.request.chartRight;
}

void DrawReadout(const PaneContext& pane, const PaneScale& scale) {
    const Point mouse = pane.request.mouse;
    if (!MouseInside(pane)) return;
    Canvas& canvas = pane.canvas;
    const BkMode mode = canvas.CurrentBkMode();
    canvas.SetTextAlign({HAlign::Left, VAlign::Top});
    canvas.SetTextColour(kReadoutText);
    canvas.SetBkColour(kReadoutBackground);
    canvas.SetBkMode(BkMode::Opaque);
    canvas.TextOutWithin(pane.right - 49, mouse.y - 10,
                         FormatFixed(scale.ValueAt(mouse.y), pane.definition.readoutDecimals), 49);
    canvas.SetBkColour(pane.scheme.background);
    canvas.SetBkMode(mode);
}

/// Where a pane's bars and lines may draw: the pane itself, its bottom edge included (a value
/// at the range's bottom lies on it), within whatever clip the canvas had.
Rect PaneClip(const PaneContext& pane, const std::optional<Rect>& outer) {
    Rect clip{pane.left, pane.top, pane.right, pane.bottom + 1};
    if (!outer) return clip;
    clip.left = std::max(clip.left, outer->left);
    clip.top = std::max(clip.top, outer->top);
    clip.right = std::min(clip.right, outer->right);
    clip.bottom = std::min(clip.bottom, outer->bottom);
    return clip;
}

/// The indicator's own drawing and its lines, kept inside the pane whatever the values.
void DrawBarsAndLines(const PaneContext& pane, const PaneScale& scale) {
    Canvas& canvas = pane.canvas;
    const std::optional<Rect> outer = canvas.Clip();
    canvas.SetClip(PaneClip(pane, outer));
    if (pane.definition.drawing) pane.definition.drawing(pane, scale);
    DrawLines(pane, scale);
    if (outer)
        canvas.SetClip(*outer);
    else
        canvas.ClearClip();
}

void DrawPane(const PaneContext& pane) {
    const PaneLayer layer = pane.request.layer;
    const bool chart = layer == PaneLayer::All || layer == PaneLayer::Chart;
    const bool titles = layer != PaneLayer::Chart;
    const bool readout = layer == PaneLayer::All || layer == PaneLayer::Cursor;
    const bool fieldPane = pane.definition.title == nullptr;  // VOL, CCL
    if (pane.n == 0) {
        // An empty series: the volume panes keep their ticks and labels, the others show nothing.
        if (!chart || !fieldPane || pane.plotHeight <= 0) return;
        if (auto scale = pane.definition.scale(pane)) DrawAxis(pane, *scale);
        DrawTicks(pane);
        return;
    }
    if (titles) {
        if (fieldPane) DrawFieldTitle(pane);
        DrawTitle(pane);
    }
    if (!pane.result.valid || pane.plotHeight <= 0 || pane.l < 0) return;
    // Without the chart the scale serves only a read-out.
    if (!chart && !(readout && MouseInside(pane))) return;
    auto scale = pane.definition.scale(pane);
    if (!scale) return;
    if (chart) {
        DrawAxis(pane, *scale);
        DrawBarsAndLines(pane, *scale);  // the reference lines' labels are placed there too
        DrawTicks(pane);
    }
    if (readout) DrawReadout(pane, *scale);
}

}  // namespace

void DrawIndicatorPane(Canvas& canvas, const PaneRequest& request) {
    const IndicatorDefinition* definition = FindIndicatorDefinition(request.code);
    if (!definition || !request.bars || !request.parameters || !request.scheme || !request.style) return;
    BarColumns ownColumns(*request.bars);
    BarColumns& columns = request.columns ? *request.columns : ownColumns;
    const IndicatorResult* result = request.result;
    if (!result || result->lines.size() != definition->lines.size()) {  // none, or not this indicator's
        // Kept between paints: a painter that computes its lines allocates nothing once its
        // storage has grown to the series.
        thread_local IndicatorResult computed;
        ComputeIndicator(request.code, columns, request.window, *request.parameters, computed);
        result = &computed;
    }
    const int n = static_cast<int>(request.bars->size());
    const compute::Span span = compute::Clip(request.window, n);
    PaneContext pane{canvas,  request,         *definition,    *result,
                     columns, *request.scheme, *request.style, *request.parameters};
    pane.n = n;
    pane.f = span.f;
    pane.l = span.l;
    pane.visible = span.visible;
    pane.left = request.pane.left;
    pane.top = request.pane.top;
    pane.right = request.pane.right;
    pane.bottom = request.pane.bottom;
    pane.xAxis = pane.right - 60;
    pane.plotHeight = request.pane.Height() - definition->titleStrip;
    AxisMarks marks;
    pane.marks = &marks;
    canvas.SelectFont(request.style->font);
    DrawPane(pane);
}

}  // namespace qelt
