#include "views/kline/FormulaMarks.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "chart/PixelTrunc.h"
#include "common/Numbers.h"

namespace qelt {
namespace {

struct MarksSpan {
    std::size_t begin = 0;
    std::size_t end = 0;
};

/// The marks at bars first .. last: the marks come in bar order.
MarksSpan MarksOnShow(std::span<const FormulaMark> marks, int first, int last) {
    const auto begin = std::lower_bound(marks.begin(), marks.end(), first,
                                        [](const FormulaMark& m, int bar) { return m.bar < bar; });
    const auto end =
        std::upper_bound(begin, marks.end(), last, [](int bar, const FormulaMark& m) { return bar < m.bar; });
    return {static_cast<std::size_t>(begin - marks.begin()), static_cast<std::size_t>(end - marks.begin())};
}

const FormulaDrawing* DrawingOfMark(const FormulaMarksRequest& request, const FormulaMark& mark) {
    const std::vector<FormulaDrawing>& drawings = *request.drawings;
    if (mark.drawing < 0 || static_cast<std::size_t>(mark.drawing) >= drawings.size()) return nullptr;
    return &drawings[static_cast<std::size_t>(mark.drawing)];
}

bool MarkValued(double v) { return std::isfinite(v); }

void DrawStickLineMark(Canvas& canvas, const FormulaMarksRequest& request, const FormulaDrawing& drawing,
                       int x, int y1, int y2, Colour colour) {
    canvas.SelectPen(Pen::Solid(1, colour));
    if (drawing.widthTenths <= 0) {
        canvas.MoveTo(x, y1);
        canvas.LineTo(x, y2);
        return;
    }
    const int width = std::max(
        1, TruncToPixel(static_cast<double>(request.barWidth) * std::min(drawing.widthTenths, 10) / 10.0));
    const int left = x - width / 2;
    canvas.SelectBrush(drawing.hollow ? Brush::Hollow() : Brush::Solid(colour));
    canvas.Rectangle({left, std::min(y1, y2), left + width, std::max(y1, y2) + 1});
}

/// The text centred on x, its baseline at y, moved inside the chart when it would run out.
void DrawTextMark(Canvas& canvas, const FormulaMarksRequest& request, const std::string& text, int x, int y,
                  Colour colour) {
    const int width = canvas.TextExtent(text).cx;
    int left = x - width / 2;
    left = std::min(left, request.chart.right - width);
    left = std::max(left, request.chart.left);
    canvas.SetTextColour(colour);
    canvas.TextOut(left, y, text);
}

int IconSize(const FormulaMarksRequest& request) {
    const int height = request.font.height;
    // Never smaller than half a line of text: an arrow is a signal the eye must find on a
    // dense chart, where a bar's slot is a few pixels.
    const int smallest = std::max(5, height / 2), largest = std::max(smallest, height);
    return std::clamp(TruncToPixel(static_cast<double>(request.barWidth) * 0.8), smallest, largest);
}

void DrawIconMark(Canvas& canvas, FormulaIcon icon, int x, int y, int size, Colour colour) {
    const int h = std::max(1, size / 2);
    canvas.SelectPen(Pen::Solid(1, colour));
    canvas.SelectBrush(Brush::Solid(colour));
    switch (icon) {
        case FormulaIcon::UpArrow:
        case FormulaIcon::DownArrow: {
            // The head's tip at P, the shaft away from it: below for up, above for down. Rows
            // of solid pixels: a screen of arrows costs no more than its columns of bars.
            const int d = icon == FormulaIcon::UpArrow ? 1 : -1;
            for (int row = 0; row < h; ++row) {
                const int rowY = y + d * row;
                canvas.FillRect({x - row, rowY, x + row + 1, rowY + 1}, colour);
            }
            const int q = std::max(1, h / 3);
            const int near = y + d * h, far = y + d * size;
            canvas.FillRect({x - q, std::min(near, far), x + q + 1, std::max(near, far) + 1}, colour);
            break;
        }
        case FormulaIcon::Circle:
            canvas.Ellipse({x - h, y - h, x + h + 1, y + h + 1});
            break;
        case FormulaIcon::Cross:
            canvas.MoveTo(x - h, y - h);
            canvas.LineTo(x + h + 1, y + h + 1);
            canvas.MoveTo(x + h, y - h);
            canvas.LineTo(x - h - 1, y + h + 1);
            break;
    }
}

/// Each POLYLINE statement's line through its marks on show, continued to its nearest mark
/// on either side of them.
void DrawPolylines(Canvas& canvas, const FormulaMarksRequest& request, const FormulaChartAxes& axes,
                   MarksSpan shown) {
    const std::vector<FormulaDrawing>& drawings = *request.drawings;
    std::vector<int> lineOf(drawings.size(), -1);
    int lines = 0;
    for (std::size_t d = 0; d < drawings.size(); ++d)
        if (drawings[d].kind == FormulaDrawingKind::Polyline) lineOf[d] = lines++;
    if (lines == 0) return;
    const std::span<const FormulaMark> marks = request.marks;
    auto lineOfMark = [&](const FormulaMark& m) {
        return m.drawing >= 0 && static_cast<std::size_t>(m.drawing) < lineOf.size() && MarkValued(m.p1)
                   ? lineOf[static_cast<std::size_t>(m.drawing)]
                   : -1;
    };
    // The nearest marks outside: looked for until every line has one or the marks end.
    std::vector<const FormulaMark*> before(static_cast<std::size_t>(lines), nullptr);
    std::vector<const FormulaMark*> after(static_cast<std::size_t>(lines), nullptr);
    for (int missing = lines, i = static_cast<int>(shown.begin) - 1; i >= 0 && missing > 0; --i) {
        const int line = lineOfMark(marks[static_cast<std::size_t>(i)]);
        if (line < 0 || before[static_cast<std::size_t>(line)]) continue;
        before[static_cast<std::size_t>(line)] = &marks[static_cast<std::size_t>(i)];
        --missing;
    }
    for (std::size_t i = shown.end, missing = static_cast<std::size_t>(lines);
         i < marks.size() && missing > 0; ++i) {
        const int line = lineOfMark(marks[i]);
        if (line < 0 || after[static_cast<std::size_t>(line)]) continue;
        after[static_cast<std::size_t>(line)] = &marks[i];
        --missing;
    }
    std::vector<std::vector<Point>> points(static_cast<std::size_t>(lines));
    auto add = [&](int line, const FormulaMark& m) {
        points[static_cast<std::size_t>(line)].push_back({axes.CentreX(m.bar), axes.Y(m.p1)});
    };
    for (int line = 0; line < lines; ++line)
        if (before[static_cast<std::size_t>(line)]) add(line, *before[static_cast<std::size_t>(line)]);
    for (std::size_t i = shown.begin; i < shown.end; ++i)
        if (const int line = lineOfMark(marks[i]); line >= 0) add(line, marks[i]);
    for (int line = 0; line < lines; ++line)
        if (after[static_cast<std::size_t>(line)]) add(line, *after[static_cast<std::size_t>(line)]);
    for (std::size_t d = 0; d < drawings.size(); ++d) {
        if (lineOf[d] < 0) continue;
        const std::vector<Point>& line = points[static_cast<std::size_t>(lineOf[d])];
        if (line.size() < 2) continue;
        canvas.SelectPen(Pen::Solid(1, FormulaDrawingColour(drawings[d], *request.scheme)));
        canvas.Polyline(line);
    }
}

}  // namespace

Colour FormulaDrawingColour(const FormulaDrawing& drawing, const DisplayScheme& scheme) {
    const Colour colour = drawing.hasColour ? drawing.colour : scheme.line[0];
    // A mark in the background's colour would not show at all.
    return colour == scheme.background ? scheme.line[0] : colour;
}

void DrawFormulaMarks(Canvas& canvas, const FormulaMarksRequest& request, const FormulaChartAxes& axes) {
    if (!request.drawings || !request.scheme || request.drawings->empty() || request.marks.empty()) return;
    const MarksSpan shown = MarksOnShow(request.marks, request.first, request.last);
    const FormulaCanvasState kept(canvas);
    const std::optional<Rect> outer = canvas.Clip();
    const Rect& c = request.chart;
    Rect clip = c;
    if (outer) {
        clip = {std::max(clip.left, outer->left), std::max(clip.top, outer->top),
                std::min(clip.right, outer->right), std::min(clip.bottom, outer->bottom)};
    }
    canvas.SetClip(clip);
    canvas.SelectFont(request.font);
    canvas.SetBkMode(BkMode::Transparent);
    canvas.SetTextAlign({HAlign::Left, VAlign::Baseline});
    const int iconSize = IconSize(request);
    for (std::size_t i = shown.begin; i < shown.end; ++i) {
        const FormulaMark& mark = request.marks[i];
        const FormulaDrawing* drawing = DrawingOfMark(request, mark);
        if (!drawing || drawing->kind == FormulaDrawingKind::Polyline || !MarkValued(mark.p1)) continue;
        const Colour colour = FormulaDrawingColour(*drawing, *request.scheme);
        const int x = axes.CentreX(mark.bar), y = axes.Y(mark.p1);
        switch (drawing->kind) {
            case FormulaDrawingKind::StickLine:
                if (MarkValued(mark.p2))
                    DrawStickLineMark(canvas, request, *drawing, x, y, axes.Y(mark.p2), colour);
                break;
            case FormulaDrawingKind::Text:
                DrawTextMark(canvas, request, drawing->text, x, y, colour);
                break;
            case FormulaDrawingKind::Number:
                if (MarkValued(mark.p2)) DrawTextMark(canvas, request, FormatFixed2(mark.p2), x, y, colour);
                break;
            case FormulaDrawingKind::Icon:
                DrawIconMark(canvas, drawing->icon, x, y, iconSize, colour);
                break;
            case FormulaDrawingKind::Polyline:
                break;
        }
    }
    DrawPolylines(canvas, request, axes, shown);
}

std::optional<FormulaMarksExtent> FormulaMarksRange(std::span<const FormulaMark> marks,
                                                    const std::vector<FormulaDrawing>& drawings, int first,
                                                    int last) {
    const MarksSpan shown = MarksOnShow(marks, first, last);
    std::optional<FormulaMarksExtent> extent;
    auto take = [&](double v) {
        if (!MarkValued(v)) return;
        if (!extent) extent = FormulaMarksExtent{v, v};
        extent->low = std::min(extent->low, v);
        extent->high = std::max(extent->high, v);
    };
    for (std::size_t i = shown.begin; i < shown.end; ++i) {
        const FormulaMark& mark = marks[i];
        if (mark.drawing < 0 || static_cast<std::size_t>(mark.drawing) >= drawings.size()) continue;
        take(mark.p1);
        if (drawings[static_cast<std::size_t>(mark.drawing)].kind == FormulaDrawingKind::StickLine)
            take(mark.p2);
    }
    return extent;
}

}  // namespace qelt
