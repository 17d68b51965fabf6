#include "chart/BarPainter.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "chart/PixelTrunc.h"
#include "common/Text.h"

namespace qelt {
namespace {

/// A rectangle from two corners in any order, as the device context takes them.
Rect Normalised(int left, int top, int right, int bottom) {
    if (right < left) std::swap(left, right);
    if (bottom < top) std::swap(top, bottom);
    return {left, top, right, bottom};
}

/// Bars of goods without delivery months that did not trade (open or close zero) stay empty.
bool Skipped(const MainChartInput& input, int bar) {
    const CBarRow& row = (*input.bars)[static_cast<std::size_t>(bar)];
    if (!TrimLeft(row[kBarDue]).empty()) return false;
    return input.prices.open[bar] < 0.00001f || input.prices.close[bar] < 0.00001f;
}

void DrawCloseLine(Canvas& canvas, const MainChartInput& input, const MainPaneGeometry& g,
                   const KLineStyle& style, int first, int last) {
    std::vector<Point> points;
    points.reserve(static_cast<std::size_t>(last - first + 1));
    for (int bar = first; bar <= last; ++bar) {
        if (Skipped(input, bar)) continue;
        points.push_back({g.BarCentreX(bar), g.PriceToY(input.prices.close[bar])});
    }
    canvas.SelectPen(style.closeLine);
    if (points.size() > 1) canvas.Polyline(points);
}

/// Pixel rows (top, bottom) of box k of a column standing on row `base`, boxes `bp` high:
/// base - (k + 1) bp to base - k bp.
struct BoxRows {
    double base = 0.0;
    double bp = 0.0;
    int Top(double k) const { return TruncToPixel(base - (k + 1) * bp); }
    int Bottom(double k) const { return TruncToPixel(base - k * bp); }
};

/// A column's boxes k = first .. last (rising 0 .. count - 1, falling count + 1 .. 0). Only
/// what the pane can show is drawn, so a repaint costs the same whatever the box count:
/// boxes under two pixels high leave no room for an X or an O, and such a column is one
/// block of its colour; otherwise only the boxes that reach into the pane are drawn.
void DrawOXColumn(Canvas& canvas, const MainPaneGeometry& g, const KLineStyle& style, const BarSlot& slot,
                  double open, int count, double box) {
    const double bp = box / g.scale.pricePerPixel;
    const double level = std::trunc((open - g.scale.axisMin) / box);
    const BoxRows rows{g.scale.bottom - level * bp, bp};
    const bool rising = count > 0;
    double first = rising ? 0.0 : count + 1.0, last = rising ? count - 1.0 : 0.0;
    // The boxes whose rows reach into the pane (one box either way for the truncation).
    first = std::max(first, std::floor((rows.base - g.pane.bottom) / bp) - 1.0);
    last = std::min(last, std::ceil((rows.base - g.pane.top) / bp) + 1.0);
    if (!(first <= last)) return;
    const Pen& pen = rising ? style.rising : style.falling;
    canvas.SelectPen(pen);
    if (bp < 2.0) {
        canvas.SelectBrush(Brush::Solid(pen.colour));
        canvas.Rectangle(Normalised(slot.left, std::max(rows.Top(last), g.pane.top - 1), slot.right,
                                    std::min(rows.Bottom(first), g.pane.bottom + 1)));
        return;
    }
    if (rising) {
        for (double j = first; j <= last; ++j) {
            const int top = rows.Top(j), bottom = rows.Bottom(j);
            canvas.MoveTo(slot.left, top);
            canvas.LineTo(slot.right, bottom);
            canvas.MoveTo(slot.left, bottom);
            canvas.LineTo(slot.right, top);
        }
        return;
    }
    canvas.SelectBrush(Brush::Solid(style.scheme.background));
    for (double m = first; m <= last; ++m)
        canvas.Ellipse(Normalised(slot.left, rows.Top(m), slot.right, rows.Bottom(m)));
}

void DrawCandleOrLine(Canvas& canvas, const MainChartInput& input, const MainPaneGeometry& g,
                      const KLineStyle& style, const BarSlot& slot, int bar) {
    const float open = input.prices.open[bar], close = input.prices.close[bar];
    const int yo = g.PriceToY(open), yc = g.PriceToY(close);
    const int yh = g.PriceToY(input.prices.high[bar]), yl = g.PriceToY(input.prices.low[bar]);
    if (yo == yc) {
        canvas.SelectPen(Pen::Solid(1, style.scheme.line[0]));
        canvas.MoveTo(slot.left, yo);
        canvas.LineTo(slot.right, yc);
        canvas.MoveTo(slot.mid, yh);
        canvas.LineTo(slot.mid, yl);
        return;
    }
    const bool falling = close < open;
    canvas.SelectPen(falling ? style.falling : style.rising);
    if (input.chartType == kChartAmerican) {
        canvas.MoveTo(slot.left, yh);
        canvas.LineTo(slot.left, yl);
        canvas.MoveTo(slot.left, yc);
        canvas.LineTo(slot.right, yc);
        return;
    }
    canvas.MoveTo(slot.mid, yh);
    canvas.LineTo(slot.mid, yl);
    const Rect body = Normalised(slot.left, yo, slot.right, yc);
    // A body one pixel wide in the wick's column is all outline, of the wick's colour, within
    // the wick's rows: nothing of it would show (thousands of bars on show).
    if (body.Width() <= 1 && body.left == slot.mid && yh <= body.top && body.bottom <= yl) return;
    canvas.SelectBrush(Brush::Solid(falling ? kFallingBar : style.scheme.background));
    canvas.Rectangle(body);
}

}  // namespace

BarSlot SlotAt(float x, float w) {
    BarSlot slot;
    slot.left = TruncToPixel(x);
    slot.right = TruncToPixel(x + 0.9f * w);
    if (slot.right == TruncToPixel(x + w) || (slot.right - slot.left) / 2 == 0) slot.right -= 1;
    slot.mid = (slot.left + slot.right) / 2;
    return slot;
}

void DrawBars(Canvas& canvas, const MainChartInput& input, const MainPaneGeometry& g,
              const KLineStyle& style) {
    if (!g.Valid() || input.bars == nullptr || input.prices.close == nullptr) return;
    const int n = static_cast<int>(input.bars->size());
    const int first = std::max(0, g.lastVisible - g.visibleCount + 1), last = std::min(g.lastVisible, n - 1);
    if (first > last) return;
    if (input.closeLine) {
        DrawCloseLine(canvas, input, g, style, first, last);
        return;
    }
    const bool ox = input.chartType == kChartOX;
    if (ox && (!(input.oxBox > 0.0f) || input.oxBoxes == nullptr)) return;
    for (int bar = first; bar <= last; ++bar) {
        if (Skipped(input, bar)) continue;
        const BarSlot slot = SlotAt(static_cast<float>(g.pane.left) + g.SlotLeft(bar), g.barWidth);
        if (!ox) {
            DrawCandleOrLine(canvas, input, g, style, slot, bar);
            continue;
        }
        if (static_cast<std::size_t>(bar) >= input.oxBoxes->size()) continue;
        DrawOXColumn(canvas, g, style, slot, input.prices.open[bar],
                     (*input.oxBoxes)[static_cast<std::size_t>(bar)], input.oxBox);
    }
}

}  // namespace qelt
