#include "views/kline/FormulaPane.h"

#include <algorithm>

#include "analysis/TradingSystem.h"
#include "chart/KLineLayout.h"
#include "chart/KLineStyle.h"
#include "formula/FormulaNumbers.h"
#include "indicators/PaneParts.h"
#include "views/kline/FormulaMarks.h"

namespace qelt {
namespace {

constexpr int kFirstItemX = 120;
constexpr int kItemPitch = 80;
constexpr int kItemGap = 10;

/// The visible bars the run has: f..l, l < f when there are none.
struct Visible {
    int f = 0;
    int l = -1;
};

Visible VisibleBars(const FormulaPaneRequest& request) {
    const int n = request.content.run ? request.content.run->BarCount() : 0;
    return {std::max(0, request.window.first), std::min(request.window.last, n - 1)};
}

// A trading system's signals are for its test, never lines on a chart.
bool Drawn(const FormulaOutput& output) { return !output.style.noDraw && !IsSystemSignalName(output.name); }

bool FromZero(const FormulaOutputStyle& style) { return style.stick != FormulaStick::None; }

int CentreX(const FormulaPaneRequest& request, int f, int bar) {
    const float w = request.barWidth;
    return request.pane.left + TruncatePixel(w / 2.0f + static_cast<float>(bar - f) * w);
}

/// The pane's slots and scale for the marks.
class FormulaPaneAxes : public FormulaChartAxes {
  public:
    FormulaPaneAxes(const FormulaPaneRequest& request, const PaneScale& scale, int first)
        : m_request(request), m_scale(scale), m_first(first) {}
    int CentreX(int bar) const override { return qelt::CentreX(m_request, m_first, bar); }
    int Y(double value) const override { return m_scale.Y(value); }

  private:
    const FormulaPaneRequest& m_request;
    const PaneScale& m_scale;
    int m_first;
};

void DrawPaneMarks(Canvas& canvas, const FormulaPaneRequest& request, const PaneScale& scale, Visible shown) {
    const FormulaPaneContent& content = request.content;
    if (!content.drawings || content.marks.empty()) return;
    FormulaMarksRequest marks;
    marks.marks = content.marks;
    marks.drawings = content.drawings;
    marks.first = shown.f;
    marks.last = shown.l;
    marks.barWidth = request.barWidth;
    const Rect& p = request.pane;
    marks.chart = {p.left, p.top, p.right - kAxisColumn, p.bottom + 1};
    marks.scheme = request.scheme;
    marks.font = request.style->font;
    DrawFormulaMarks(canvas, marks, FormulaPaneAxes(request, scale, shown.f));
}

Pen OutputPen(const FormulaOutputStyle& style, Colour colour) {
    return Pen{style.dotted ? PenStyle::Dot : PenStyle::Solid, style.width, colour, {}, false};
}

void DrawPolyline(Canvas& canvas, const FormulaPaneRequest& request, std::span<const double> column,
                  const PaneScale& scale, Visible shown) {
    std::vector<Point> points;
    for (int bar = shown.f; bar <= shown.l; ++bar) {
        const double v = column[static_cast<std::size_t>(bar)];
        if (HasFormulaValue(v)) {
            points.push_back({CentreX(request, shown.f, bar), scale.Y(v)});
            continue;
        }
        if (points.size() > 1) canvas.Polyline(points);
        points.clear();
    }
    if (points.size() > 1) canvas.Polyline(points);
}

void DrawSticks(Canvas& canvas, const FormulaPaneRequest& request, const FormulaOutput& output,
                std::span<const double> column, const PaneScale& scale, Visible shown) {
    const FormulaPaneRequest& r = request;
    const int zero = scale.Y(0.0);
    for (int bar = shown.f; bar <= shown.l; ++bar) {
        const double v = column[static_cast<std::size_t>(bar)];
        if (!HasFormulaValue(v)) continue;
        if (output.style.stick == FormulaStick::ColourStick)
            canvas.SelectPen(
                OutputPen(output.style, v >= 0.0 ? r.style->rising.colour : r.style->falling.colour));
        const int x = CentreX(r, shown.f, bar);
        canvas.MoveTo(x, zero);
        canvas.LineTo(x, scale.Y(v));
    }
}

/// Bars from 0 drawn as the candles are: hollow when the close is not below the open.
void DrawVolumeSticks(Canvas& canvas, const FormulaPaneRequest& request, const FormulaOutput& output,
                      std::span<const double> column, const PaneScale& scale, Visible shown) {
    const FormulaPaneRequest& r = request;
    const float w = r.barWidth;
    const float* open = r.columns->Open(shown.f, shown.l + 1);
    const float* close = r.columns->Close(shown.f, shown.l + 1);
    const int zero = scale.Y(0.0);
    for (int bar = shown.f; bar <= shown.l; ++bar) {
        const double v = column[static_cast<std::size_t>(bar)];
        if (!HasFormulaValue(v)) continue;
        const bool falling = close[bar] < open[bar];
        canvas.SelectPen(OutputPen(output.style, falling ? r.style->falling.colour : r.style->rising.colour));
        const float x = static_cast<float>(bar - shown.f) * w;
        const int left = r.pane.left + TruncatePixel(x), right = r.pane.left + TruncatePixel(x + 0.9f * w);
        const int top = scale.Y(v);
        if (right == left) {
            canvas.MoveTo(left, zero);
            canvas.LineTo(left, top);
            continue;
        }
        canvas.SelectBrush(Brush::Solid(falling ? kFallingBar : r.scheme->background));
        canvas.Rectangle({left, std::min(top, zero), right, std::max(top, zero)});
    }
}

void DrawOutputs(Canvas& canvas, const FormulaPaneRequest& request, const PaneScale& scale) {
    const FormulaPaneContent& content = request.content;
    const Visible shown = VisibleBars(request);
    const std::optional<Rect> outer = canvas.Clip();
    const Rect& p = request.pane;
    Rect clip{p.left, p.top, p.right, p.bottom + 1};  // a value at the range's bottom lies on the edge
    if (outer) {
        clip = {std::max(clip.left, outer->left), std::max(clip.top, outer->top),
                std::min(clip.right, outer->right), std::min(clip.bottom, outer->bottom)};
    }
    canvas.SetClip(clip);
    for (std::size_t k = 0; k < content.outputs->size(); ++k) {
        const FormulaOutput& output = (*content.outputs)[k];
        if (!Drawn(output)) continue;
        const std::span<const double> column = content.run->Column(static_cast<int>(k));
        canvas.SelectPen(OutputPen(output.style, FormulaOutputColour(output.style, *request.scheme)));
        switch (output.style.stick) {
            case FormulaStick::None:
                DrawPolyline(canvas, request, column, scale, shown);
                break;
            case FormulaStick::Stick:
            case FormulaStick::ColourStick:
                DrawSticks(canvas, request, output, column, scale, shown);
                break;
            case FormulaStick::VolumeStick:
                if (request.columns) DrawVolumeSticks(canvas, request, output, column, scale, shown);
                break;
        }
    }
    DrawPaneMarks(canvas, request, scale, shown);
    if (outer)
        canvas.SetClip(*outer);
    else
        canvas.ClearClip();
}

/// The bar whose values the title shows: the cursor bar, or the last one.
int TitleBar(const FormulaPaneRequest& request) {
    const int n = request.content.run ? request.content.run->BarCount() : 0;
    return request.cursor >= 0 && request.cursor < n ? request.cursor : n - 1;
}

void DrawTitle(Canvas& canvas, const FormulaPaneRequest& request) {
    const FormulaPaneContent& content = request.content;
    const Rect& p = request.pane;
    const DisplayScheme& scheme = *request.scheme;
    canvas.SetTextAlign({HAlign::Left, VAlign::Top});
    canvas.SetTextColour(scheme.title);
    const std::string& title = content.title.empty() ? std::string(kFormulaDeleted) : content.title;
    canvas.TextOut(p.left + 5, p.top + 3, title);
    if (content.title.empty()) return;
    if (!content.fault.empty()) canvas.TextOut(p.left + 5, p.top + 23, content.fault);
    if (!content.run || !content.outputs) return;
    const int bar = TitleBar(request);
    const int limit = p.right - 60;  // the value axis column
    int x = std::max(p.left + kFirstItemX, p.left + 5 + canvas.TextExtent(title).cx + kItemGap);
    for (std::size_t k = 0; k < content.outputs->size(); ++k) {
        const std::string item = content.run->TitleItem(static_cast<int>(k), bar);
        const int width = canvas.TextExtent(item).cx;
        if (x + width > limit) break;
        canvas.SetTextColour(FormulaOutputColour((*content.outputs)[k].style, scheme));
        canvas.TextOut(x, p.top + 3, item);
        x = std::max(x + kItemPitch, x + width + kItemGap);
    }
}

}  // namespace

Colour FormulaOutputColour(const FormulaOutputStyle& style, const DisplayScheme& scheme) {
    const Colour colour = style.hasColour
                              ? style.colour
                              : scheme.line[static_cast<std::size_t>(style.defaultSlot) % scheme.line.size()];
    // An output in the background's colour would not show at all.
    return colour == scheme.background ? scheme.line[0] : colour;
}

std::string FormulaPaneTitle(std::string_view name, const std::vector<double>& values) {
    std::string title(name);
    if (values.empty()) return title;
    title += '(';
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i > 0) title += ',';
        title += formula::FormatShortest(values[i]);
    }
    return title + ')';
}

std::optional<PaneScale> FormulaPaneScale(const FormulaPaneRequest& request) {
    const FormulaPaneContent& content = request.content;
    if (!content.run || !content.outputs) return std::nullopt;
    const Visible shown = VisibleBars(request);
    bool any = false, sticks = false;
    double top = 0.0, bottom = 0.0;
    auto take = [&](double v) {
        top = any ? std::max(top, v) : v;
        bottom = any ? std::min(bottom, v) : v;
        any = true;
    };
    for (std::size_t k = 0; k < content.outputs->size(); ++k) {
        const FormulaOutput& output = (*content.outputs)[k];
        if (!Drawn(output)) continue;
        const std::span<const double> column = content.run->Column(static_cast<int>(k));
        bool valued = false;
        for (int bar = shown.f; bar <= shown.l; ++bar) {
            const double v = column[static_cast<std::size_t>(bar)];
            if (HasFormulaValue(v)) {
                take(v);
                valued = true;
            }
        }
        if (valued && FromZero(output.style)) {
            take(0.0);
            sticks = true;
        }
    }
    if (content.drawings)
        if (const std::optional<FormulaMarksExtent> marks =
                FormulaMarksRange(content.marks, *content.drawings, shown.f, shown.l)) {
            take(marks->low);
            take(marks->high);
        }
    if (!any) return std::nullopt;
    PaneScale scale = RoundedPaneScale(request.pane, static_cast<float>(top), static_cast<float>(bottom), 5);
    scale.zeroLine = sticks;
    return scale;
}

void DrawFormulaPane(Canvas& canvas, const FormulaPaneRequest& request) {
    if (!request.scheme || !request.style) return;
    const PaneLayer layer = request.layer;
    const bool chart = layer == PaneLayer::All || layer == PaneLayer::Chart;
    const bool readout = layer == PaneLayer::All || layer == PaneLayer::Cursor;
    canvas.SelectFont(request.style->font);
    if (layer != PaneLayer::Chart) DrawTitle(canvas, request);
    if (request.pane.Height() <= kPaneTitleStrip) return;
    // Without the chart the scale serves only a read-out.
    if (!chart && !(readout && PaneReadoutShown(request.pane, request.mouse, request.chartRight))) return;
    const std::optional<PaneScale> scale = FormulaPaneScale(request);
    if (!scale) return;
    if (chart) {
        DrawPaneAxis(canvas, request.pane, *scale, *request.style);
        DrawOutputs(canvas, request, *scale);
    }
    if (readout)
        DrawPaneReadout(canvas, request.pane, *scale, request.mouse, request.chartRight, *request.scheme);
}

}  // namespace qelt
