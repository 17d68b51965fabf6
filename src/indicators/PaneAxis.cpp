// The value axis of the indicator panes: grid levels, ticks and labels by the axis kind of
// each pane's scale, with ticks that stop short of the labels.
#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <vector>

#include "common/Numbers.h"
#include "indicators/PaneContext.h"

namespace qelt {

namespace {

/// Blank rows at least between two labels on one axis.
constexpr int kLabelGap = 2;

/// The rows and columns a right-aligned label at (rightX, y) covers, measured on the pane's
/// canvas in the font TextOutWithin draws it in (the full height of the current font).
Rect LabelBox(const PaneContext& pane, int rightX, int y, const std::string& text, int room) {
    Canvas& canvas = pane.canvas;
    const Font font = canvas.CurrentFont();
    canvas.SelectFont(canvas.FontWithin(text, room));
    const int width = canvas.TextExtent(text).cx;
    canvas.SelectFont(font);
    return {rightX - width, y, rightX, y + canvas.TextExtent(text).cy};
}

/// A label has room when a blank row keeps it off the pane's top and bottom borders (so no
/// border strikes it through) and kLabelGap rows keep it off every label already placed.
bool HasRoom(const PaneContext& pane, const Rect& box) {
    if (box.top < pane.top + 2 || box.bottom > pane.bottom - 1) return false;
    if (!pane.marks) return true;
    for (const Rect& placed : pane.marks->labels) {
        const bool rowsApart = box.bottom + kLabelGap <= placed.top || placed.bottom + kLabelGap <= box.top;
        const bool columnsApart = box.right <= placed.left || placed.right <= box.left;
        if (!rowsApart && !columnsApart) return false;
    }
    return true;
}

/// A right-aligned label of at most `room` pixels (drawn smaller when wider) where it has
/// room; its box joins the marks so that no tick and no later label runs into it. False
/// when it was left out.
bool DrawLabelWithin(const PaneContext& pane, int rightX, int y, const std::string& text, Colour colour,
                     int room) {
    const Rect box = LabelBox(pane, rightX, y, text, room);
    if (!HasRoom(pane, box)) return false;
    if (pane.marks) pane.marks->labels.push_back(box);
    Canvas& canvas = pane.canvas;
    canvas.SetTextColour(colour);
    canvas.SetTextAlign({HAlign::Right, VAlign::Top});
    canvas.TextOutWithin(rightX, y, text, room);
    canvas.SetTextAlign({HAlign::Left, VAlign::Top});
    return true;
}

int AxisLabelRight(const PaneContext& pane) { return pane.right - 3; }
int AxisLabelRoom(const PaneContext& pane) {
    return AxisLabelRight(pane) - (pane.xAxis + kShortestTick + kTickGap);
}

bool AxisLabelFits(const PaneContext& pane, int y, const std::string& text) {
    return HasRoom(pane, LabelBox(pane, AxisLabelRight(pane), y, text, AxisLabelRoom(pane)));
}

struct AxisLabelAt {
    int y;  ///< the label's top
    std::string text;
};

/// Axis labels in their order on the axis, of which those with room are drawn, room going
/// to them in the order of `importance` (indexes into `labels`).
void DrawAxisLabelsByImportance(const PaneContext& pane, const std::vector<AxisLabelAt>& labels,
                                std::initializer_list<std::size_t> importance) {
    std::vector<bool> kept(labels.size(), false);
    if (pane.marks) {
        const std::size_t placed = pane.marks->labels.size();
        for (std::size_t i : importance) {
            const Rect box =
                LabelBox(pane, AxisLabelRight(pane), labels[i].y, labels[i].text, AxisLabelRoom(pane));
            if (!HasRoom(pane, box)) continue;
            kept[i] = true;
            pane.marks->labels.push_back(box);
        }
        pane.marks->labels.resize(placed);
    } else {
        kept.assign(labels.size(), true);
    }
    for (std::size_t i = 0; i < labels.size(); ++i)
        if (kept[i])
            DrawLabelWithin(pane, AxisLabelRight(pane), labels[i].y, labels[i].text, kAxisLabelColour,
                            AxisLabelRoom(pane));
}

}  // namespace

bool DrawRightAligned(const PaneContext& pane, int rightX, int y, const std::string& text, Colour colour) {
    return DrawLabelWithin(pane, rightX, y, text, colour, rightX - pane.xAxis - 2);
}

bool DrawAxisLabel(const PaneContext& pane, int y, const std::string& text) {
    return DrawLabelWithin(pane, AxisLabelRight(pane), y, text, kAxisLabelColour, AxisLabelRoom(pane));
}

void AddTick(const PaneContext& pane, int y, int from, int to) {
    if (pane.marks) {
        pane.marks->ticks.push_back({y, from, to});
        return;
    }
    pane.canvas.SelectPen(pane.style.tick);
    pane.canvas.MoveTo(from, y);
    pane.canvas.LineTo(to, y);
}

void DrawGridLevel(const PaneContext& pane, int y, int tickLength) {
    Canvas& canvas = pane.canvas;
    canvas.SelectPen(pane.style.grid);
    canvas.MoveTo(pane.left, y);
    canvas.LineTo(pane.xAxis, y);
    AddTick(pane, y, pane.xAxis, pane.xAxis + tickLength);
}

void DrawTicks(const PaneContext& pane) {
    if (!pane.marks) return;
    Canvas& canvas = pane.canvas;
    canvas.SelectPen(pane.style.tick);
    for (AxisMarks::Tick tick : pane.marks->ticks) {
        for (const Rect& label : pane.marks->labels) {
            if (tick.y < label.top || tick.y >= label.bottom || label.right <= tick.from) continue;
            tick.to = std::min(tick.to, label.left - kTickGap);
        }
        if (tick.to <= tick.from) continue;
        canvas.MoveTo(tick.from, tick.y);
        canvas.LineTo(tick.to, tick.y);
    }
    pane.marks->ticks.clear();
    pane.marks->labels.clear();
}

namespace {

/// Rows a label and the gap under it take: the canvas's text height in the pane's font.
int LabelPitchRows(const PaneContext& pane) { return pane.canvas.TextExtent("0").cy + kLabelGap + 1; }

/// The label step: the scale's step times 1, 2, 4, 5, 10, 20, 40, 50 ... whichever first
/// puts `rows` pixels between two labels, so the labels stay at round values and never crowd
/// a short pane.
double LabelStep(const PaneScale& scale, int rows) {
    const double needed = static_cast<double>(rows) * scale.unitsPerPixel;
    // One significant digit, rounded up: the rounding rule gives one already, except for a
    // flat range, whose step is a tenth divided by the divisions (0.0333...).
    const double unit = std::pow(10.0, std::floor(std::log10(static_cast<double>(scale.step))));
    const double digit = static_cast<double>(scale.step) / unit;
    double step = (digit - std::floor(digit) < 1e-4 ? std::floor(digit) : std::ceil(digit)) * unit;
    static constexpr double kMultiples[] = {1, 2, 4, 5};
    for (double decade = 1; decade < 1e9; decade *= 10)
        for (double k : kMultiples)
            if (step * k * decade >= needed) return step * k * decade;
    return step;
}

/// Decimals that show every multiple of `step` exactly, `least` at the least.
int DecimalsOf(double step, int least) {
    int decimals = std::max(least, 0);
    double scaled = step;
    for (int i = 0; i < decimals; ++i) scaled *= 10.0;
    while (decimals < 6 && std::abs(scaled - std::round(scaled)) > 1e-3) {
        scaled *= 10.0;
        ++decimals;
    }
    return decimals;
}

/// A grid line, a tick and a label on row `y` when the label has room there.
bool DrawLevel(const PaneContext& pane, int y, const std::string& text) {
    if (!AxisLabelFits(pane, y - 8, text)) return false;
    DrawGridLevel(pane, y, 18);
    return DrawAxisLabel(pane, y - 8, text);
}

void DrawZeroLine(const PaneContext& pane, const PaneScale& scale) {
    if (!scale.zeroLine || scale.bottom > 0.0f || scale.top < 0.0f) return;
    const int y = scale.Y(0.0);
    pane.canvas.SelectPen(pane.style.tick);
    pane.canvas.MoveTo(pane.left, y);
    pane.canvas.LineTo(pane.xAxis, y);
}

/// Levels at the whole multiples of the label step that lie within the plot (0 among them
/// whenever it is in range), each with its label unless the label would be cut by a border.
void DrawLevels(const PaneContext& pane, const PaneScale& scale) {
    if (!(scale.step > 0.0f)) return;  // a range the rounding could not handle has no levels
    const double step = LabelStep(scale, LabelPitchRows(pane));
    const int decimals = DecimalsOf(step, scale.labelDecimals);
    const double first = std::ceil(scale.bottom / step), last = std::floor(scale.top / step);
    const int plotTop = pane.bottom - pane.plotHeight;
    for (double m = first; m <= last && m - first < 1000; ++m) {
        const double value = m * step;
        const int y = scale.Y(value);
        if (y < plotTop || y > pane.bottom) continue;
        DrawLevel(pane, y, FormatLabel(value, decimals));
    }
    DrawZeroLine(pane, scale);
}

/// The fixed levels in their order of importance: a level whose label would touch one
/// already drawn is left out (KDJ's 100 in a short pane, after 80).
void DrawValueLevels(const PaneContext& pane, const PaneScale& scale) {
    for (int i = 0; i < scale.valueLevelCount; ++i) {
        const int level = scale.valueLevels[static_cast<std::size_t>(i)];
        if (static_cast<float>(level) < scale.bottom || static_cast<float>(level) > scale.top) continue;
        DrawLevel(pane, scale.Y(level), FormatInt(level));
    }
}

void DrawVolumeAxis(const PaneContext& pane, const PaneScale& scale) {
    Canvas& canvas = pane.canvas;
    const int h = pane.plotHeight;
    for (int k = 1; k <= 3; ++k) {
        const int y = pane.bottom - k * (h / 3);
        AddTick(pane, y, pane.xAxis + 1, pane.xAxis + 8);
        AddTick(pane, y + h / 6, pane.xAxis + 1, pane.xAxis + 5);
    }
    canvas.SelectPen(pane.style.grid);
    for (int k = 1; k <= 3; ++k) {
        canvas.MoveTo(pane.left, pane.bottom - k * (h / 3));
        canvas.LineTo(pane.xAxis, pane.bottom - k * (h / 3));
    }
    std::vector<AxisLabelAt> labels;
    for (int k = 1; k <= 3; ++k)
        labels.push_back({pane.bottom - k * (h / 3) - h / 12, FormatInt(k * scale.volumeStep)});
    // The top label first: it tells the scale when a short pane has room for one only.
    DrawAxisLabelsByImportance(pane, labels, {2, 0, 1});
}

void DrawMacdAxis(const PaneContext& pane, const PaneScale& scale) {
    Canvas& canvas = pane.canvas;
    const int h = pane.plotHeight;
    const int quarter = pane.bottom - h / 4, half = pane.bottom - h / 2,
              threeQuarters = pane.bottom - 3 * h / 4;
    const float labels[3] = {scale.top * -0.5f, 0.0f, scale.top * 0.5f};
    const int rows[3] = {quarter, half, threeQuarters};
    for (int i = 0; i < 3; ++i) AddTick(pane, rows[i], pane.xAxis, pane.xAxis + 8);
    std::vector<AxisLabelAt> texts;
    for (int i = 0; i < 3; ++i) texts.push_back({rows[i] - 8, FormatFixed(labels[i], 2)});
    DrawAxisLabelsByImportance(pane, texts, {1, 0, 2});  // 0 first
    canvas.SelectPen(pane.style.tick);                   // the zero line
    canvas.MoveTo(pane.left, half);
    canvas.LineTo(pane.xAxis, half);
    canvas.SelectPen(pane.style.grid);
    for (int row : {quarter, threeQuarters}) {
        canvas.MoveTo(pane.left, row);
        canvas.LineTo(pane.xAxis, row);
    }
}

void DrawCciAxis(const PaneContext& pane, const PaneScale& scale) {
    Canvas& canvas = pane.canvas;
    canvas.SelectPen(pane.style.border);
    canvas.MoveTo(pane.xAxis, pane.top);
    canvas.LineTo(pane.xAxis, pane.bottom);
    for (int k = 1; k <= 3; ++k) {
        const float value = scale.bottom + static_cast<float>(k) * scale.step;
        DrawLevel(pane, scale.Y(value), FormatLabel(value, 0));
    }
}

}  // namespace

void DrawAxis(const PaneContext& pane, const PaneScale& scale) {
    switch (scale.axis) {
        case PaneScale::Axis::Levels:
            DrawLevels(pane, scale);
            break;
        case PaneScale::Axis::ValueLevels:
            DrawValueLevels(pane, scale);
            break;
        case PaneScale::Axis::Volume:
            DrawVolumeAxis(pane, scale);
            break;
        case PaneScale::Axis::Macd:
            DrawMacdAxis(pane, scale);
            break;
        case PaneScale::Axis::Cci:
            DrawCciAxis(pane, scale);
            break;
    }
}

}  // namespace qelt
