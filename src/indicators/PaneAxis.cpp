// The value axis of the indicator panes: grid levels, ticks and labels by the axis kind of
// each pane's scale, with ticks that stop short of the labels.
#include <algorithm>

#include "common/Numbers.h"
#include "indicators/PaneContext.h"

namespace qelt {

namespace {

/// A right-aligned label of at most `room` pixels (drawn smaller when wider); its box joins
/// the marks so that no tick runs into it.
void DrawLabelWithin(const PaneContext& pane, int rightX, int y, const std::string& text, Colour colour,
                     int room) {
    Canvas& canvas = pane.canvas;
    if (pane.marks) {
        const Font font = canvas.CurrentFont();
        const Font drawn = canvas.FontWithin(text, room);
        canvas.SelectFont(drawn);
        const int width = canvas.TextExtent(text).cx;
        canvas.SelectFont(font);
        pane.marks->labels.push_back({rightX - width, y, rightX, y + font.height});
    }
    canvas.SetTextColour(colour);
    canvas.SetTextAlign({HAlign::Right, VAlign::Top});
    canvas.TextOutWithin(rightX, y, text, room);
    canvas.SetTextAlign({HAlign::Left, VAlign::Top});
}

}  // namespace

void DrawRightAligned(const PaneContext& pane, int rightX, int y, const std::string& text, Colour colour) {
    DrawLabelWithin(pane, rightX, y, text, colour, rightX - pane.xAxis - 2);
}

void DrawAxisLabel(const PaneContext& pane, int y, const std::string& text) {
    const int rightX = pane.right - 3;
    DrawLabelWithin(pane, rightX, y, text, kAxisLabelColour,
                    rightX - (pane.xAxis + kShortestTick + kTickGap));
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

void DrawLevels(const PaneContext& pane, const PaneScale& scale) {
    if (!(scale.step > 0.0f)) return;  // a range the rounding could not handle has no levels
    for (int k = scale.levelFrom; k <= scale.levelTo; k += scale.levelStride) {
        const float rise = static_cast<float>(k) * scale.step / scale.unitsPerPixel;
        const int y = TruncatePixel(static_cast<float>(pane.bottom) - rise);
        if (y < pane.top + 20) break;
        DrawGridLevel(pane, y, 18);
        const float value = scale.bottom + static_cast<float>(k) * scale.step;
        DrawAxisLabel(pane, y - 8, FormatLabel(value, scale.labelDecimals));
    }
}

void DrawValueLevels(const PaneContext& pane, const PaneScale& scale) {
    for (int i = 0; i < scale.valueLevelCount; ++i) {
        const int level = scale.valueLevels[static_cast<std::size_t>(i)];
        if (static_cast<float>(level) < scale.bottom || static_cast<float>(level) > scale.top) continue;
        const int y = scale.Y(level);
        DrawGridLevel(pane, y, 18);
        DrawAxisLabel(pane, y - 8, FormatInt(level));
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
    for (int k = 1; k <= 3; ++k) {
        const int y = pane.bottom - k * (h / 3) - h / 12;
        DrawAxisLabel(pane, y, FormatInt(k * scale.volumeStep));
    }
}

void DrawMacdAxis(const PaneContext& pane, const PaneScale& scale) {
    Canvas& canvas = pane.canvas;
    const int h = pane.plotHeight;
    const int quarter = pane.bottom - h / 4, half = pane.bottom - h / 2,
              threeQuarters = pane.bottom - 3 * h / 4;
    const float labels[3] = {scale.top * -0.5f, 0.0f, scale.top * 0.5f};
    const int rows[3] = {quarter, half, threeQuarters};
    for (int i = 0; i < 3; ++i) AddTick(pane, rows[i], pane.xAxis, pane.xAxis + 8);
    for (int i = 0; i < 3; ++i) DrawAxisLabel(pane, rows[i] - 8, FormatFixed(labels[i], 2));
    canvas.SelectPen(pane.style.tick);  // the zero line
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
        const int y = scale.Y(value);
        DrawGridLevel(pane, y, 18);
        DrawAxisLabel(pane, y - 8, FormatLabel(value, 0));
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
