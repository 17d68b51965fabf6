#include "views/system/EquityCurvePainter.h"

#include <algorithm>
#include <cmath>

#include "common/Numbers.h"

namespace qelt {
namespace {

const Font kEquityFont{"宋体", 12, 400};

/// x of bar `i` of `n` across `area`: the first at the left edge, the last at the right.
int EquityBarX(const Rect& area, int i, int n) {
    if (n <= 1) return area.left + area.Width() / 2;
    return area.left + static_cast<int>(static_cast<long long>(i) * (area.Width() - 1) / (n - 1));
}

void EquityFrame(Canvas& canvas, const Rect& area, Colour colour) {
    canvas.SelectPen(Pen::Solid(1, colour));
    canvas.SelectBrush(Brush::Hollow());
    canvas.Rectangle({area.left - 1, area.top - 1, area.right + 1, area.bottom + 1});
}

void EquityLabel(Canvas& canvas, int x, int y, const std::string& text, VAlign v) {
    canvas.SetTextAlign({HAlign::Left, v});
    canvas.TextOutWithin(x, y, text, kEquityAxisColumn - 6);
}

/// The equity area's value range: the equity's and the capital's lowest and highest.
struct EquityRange {
    double low = 0.0, high = 0.0;
};

EquityRange EquityRangeOf(const EquityCurve& curve) {
    const auto [lowest, highest] = std::minmax_element(curve.equity.begin(), curve.equity.end());
    EquityRange range{std::min(*lowest, curve.capital), std::max(*highest, curve.capital)};
    if (range.high - range.low < 1e-9) {
        range.low -= 1.0;
        range.high += 1.0;
    }
    return range;
}

void PaintEquityArea(Canvas& canvas, const Rect& area, const EquityRange& range, const EquityCurve& curve,
                     const DisplayScheme& scheme) {
    const int n = static_cast<int>(curve.equity.size());
    // The capital's level, dotted, under the curve.
    const int capitalRow = EquityRow(area, curve.capital, range.low, range.high);
    canvas.SelectPen(Pen{PenStyle::Dot, 1, scheme.header, {}, false});
    canvas.MoveTo(area.left, capitalRow);
    canvas.LineTo(area.right, capitalRow);
    std::vector<Point> points;
    points.reserve(curve.equity.size() + 1);
    for (int i = 0; i < n; ++i)
        points.push_back({EquityBarX(area, i, n),
                          EquityRow(area, curve.equity[static_cast<std::size_t>(i)], range.low, range.high)});
    if (points.size() == 1) points.push_back({points[0].x + 1, points[0].y});
    canvas.SelectPen(Pen::Solid(1, scheme.line[1]));
    canvas.Polyline(points);
}

void PaintDrawdownArea(Canvas& canvas, const Rect& area, double deepest, const EquityCurve& curve) {
    const int n = static_cast<int>(curve.drawdown.size());
    std::vector<Point> outline{{EquityBarX(area, 0, n), area.top}};
    for (int i = 0; i < n; ++i) {
        const double fall = curve.drawdown[static_cast<std::size_t>(i)];
        // 0 at the top row, the deepest fall at the bottom row.
        outline.push_back(
            {EquityBarX(area, i, n), deepest > 0.0 ? EquityRow(area, -fall, -deepest, 0.0) : area.top});
    }
    outline.push_back({EquityBarX(area, n - 1, n), area.top});
    canvas.SelectPen(Pen::Solid(1, kDrawdownColour));
    canvas.SelectBrush(Brush::Solid(kDrawdownColour));
    canvas.Polygon(outline);
}

void PaintEquityLabels(Canvas& canvas, const EquityLayout& layout, const EquityRange& range, double deepest,
                       const EquityCurve& curve) {
    const int x = layout.axisX + 4;
    const Rect& equity = layout.equity;
    EquityLabel(canvas, x, equity.top, FormatFixed2(range.high), VAlign::Top);
    EquityLabel(canvas, x, equity.bottom, FormatFixed2(range.low), VAlign::Bottom);
    // The capital's label where it keeps clear of the two others.
    const int capitalRow = EquityRow(equity, curve.capital, range.low, range.high);
    if (capitalRow - equity.top > 16 && equity.bottom - capitalRow > 16)
        EquityLabel(canvas, x, capitalRow - 6, FormatFixed2(curve.capital), VAlign::Top);
    EquityLabel(canvas, x, layout.drawdown.top, "0", VAlign::Top);
    EquityLabel(canvas, x, layout.drawdown.bottom, FormatFixed2(-deepest), VAlign::Bottom);
    canvas.SetTextAlign({HAlign::Left, VAlign::Top});
    canvas.TextOut(layout.drawdown.left + 3, layout.drawdown.top + 2, "回撤");
}

void PaintEquityDates(Canvas& canvas, const EquityLayout& layout, const std::vector<int>& dates, int bottom) {
    if (dates.empty()) return;
    const Rect& area = layout.equity;
    const int n = static_cast<int>(dates.size());
    canvas.SetTextAlign({HAlign::Left, VAlign::Top});
    canvas.TextOut(area.left, bottom, DateText(dates.front()));
    if (n < 2) return;
    canvas.SetTextAlign({HAlign::Right, VAlign::Top});
    canvas.TextOut(area.right, bottom, DateText(dates.back()));
    const int middle = n / 2;
    // The middle date only where it keeps clear of the two ends.
    if (area.Width() > 3 * canvas.TextExtent("0000-00-00").cx + 20) {
        canvas.SetTextAlign({HAlign::Centre, VAlign::Top});
        canvas.TextOut(EquityBarX(area, middle, n), bottom,
                       DateText(dates[static_cast<std::size_t>(middle)]));
    }
}

}  // namespace

std::string DateText(int date) {
    const std::string digits = FormatInt(date);
    if (digits.size() != 8) return digits;
    return digits.substr(0, 4) + "-" + digits.substr(4, 2) + "-" + digits.substr(6);
}

EquityLayout LayOutEquityCurve(Size client) {
    EquityLayout layout;
    layout.axisX = std::max(10, client.cx - kEquityAxisColumn);
    const int top = kEquityTitleStrip, bottom = std::max(top + 10, client.cy - kEquityDateStrip);
    const int room = bottom - top - 6;
    const int equityHeight = room * 7 / 10;
    layout.equity = {6, top, layout.axisX, top + equityHeight};
    layout.drawdown = {6, layout.equity.bottom + 6, layout.axisX, bottom};
    return layout;
}

int EquityRow(const Rect& area, double value, double low, double high) {
    const double span = high - low;
    const double share = span > 0.0 ? (value - low) / span : 0.5;
    const int rows = std::max(0, area.Height() - 1);
    return area.bottom - 1 - static_cast<int>(std::lround(std::clamp(share, 0.0, 1.0) * rows));
}

void PaintEquityCurve(Canvas& canvas, Size client, const EquityCurve& curve, const DisplayScheme& scheme) {
    canvas.ClearClip();
    canvas.FillRect({0, 0, client.cx, client.cy}, scheme.background);
    canvas.SelectFont(kEquityFont);
    canvas.SetBkMode(BkMode::Transparent);
    canvas.SetTextColour(scheme.line[0]);
    const EquityLayout layout = LayOutEquityCurve(client);
    const bool any = !curve.equity.empty() && curve.equity.size() == curve.drawdown.size();
    if (!any) {
        canvas.SetTextAlign({HAlign::Centre, VAlign::Top});
        canvas.TextOut(client.cx / 2, client.cy / 2 - 6, "开始评测后，这里显示权益曲线与回撤");
        return;
    }
    canvas.SetTextAlign({HAlign::Left, VAlign::Top});
    canvas.TextOut(6, 3, "权益曲线  " + curve.title);
    EquityFrame(canvas, layout.equity, scheme.header);
    EquityFrame(canvas, layout.drawdown, scheme.header);
    const EquityRange range = EquityRangeOf(curve);
    const double deepest = *std::max_element(curve.drawdown.begin(), curve.drawdown.end());
    canvas.SetClip(layout.equity);
    PaintEquityArea(canvas, layout.equity, range, curve, scheme);
    canvas.SetClip(layout.drawdown);
    PaintDrawdownArea(canvas, layout.drawdown, deepest, curve);
    canvas.ClearClip();
    canvas.SetTextColour(scheme.line[0]);
    PaintEquityLabels(canvas, layout, range, deepest, curve);
    PaintEquityDates(canvas, layout, curve.dates, client.cy - kEquityDateStrip + 3);
}

}  // namespace qelt
