#include "views/kline/MainChartFormulas.h"

#include <algorithm>

#include "analysis/TradingSystem.h"
#include "views/kline/FormulaMarks.h"

namespace qelt {
namespace {

constexpr int kMainItemPitch = 80;
constexpr int kMainItemGap = 10;

/// The main chart's slots and prices for the marks.
class MainChartAxes : public FormulaChartAxes {
  public:
    explicit MainChartAxes(const MainPaneGeometry& geometry) : m_geometry(geometry) {}
    int CentreX(int bar) const override { return m_geometry.BarCentreX(bar); }
    int Y(double value) const override { return m_geometry.PriceToY(value); }

  private:
    const MainPaneGeometry& m_geometry;
};

Pen MainOutputPen(const FormulaOutputStyle& style, Colour colour) {
    return Pen{style.dotted ? PenStyle::Dot : PenStyle::Solid, style.width, colour, {}, false};
}

void DrawMainOutput(Canvas& canvas, std::span<const double> column, const FormulaOutputStyle& style,
                    const MainPaneGeometry& g, const KLineStyle& kline, int first, int last) {
    const Colour colour = FormulaOutputColour(style, kline.scheme);
    canvas.SelectPen(MainOutputPen(style, colour));
    if (style.stick != FormulaStick::None) {
        const int zero = g.PriceToY(0.0);
        for (int bar = first; bar <= last; ++bar) {
            const double v = column[static_cast<std::size_t>(bar)];
            if (!HasFormulaValue(v)) continue;
            if (style.stick == FormulaStick::ColourStick)
                canvas.SelectPen(MainOutputPen(style, v >= 0.0 ? kline.rising.colour : kline.falling.colour));
            const int x = g.BarCentreX(bar);
            canvas.MoveTo(x, zero);
            canvas.LineTo(x, g.PriceToY(v));
        }
        return;
    }
    std::vector<Point> points;
    points.reserve(static_cast<std::size_t>(last - first + 1));
    for (int bar = first; bar <= last; ++bar) {
        const double v = column[static_cast<std::size_t>(bar)];
        if (HasFormulaValue(v)) {
            points.push_back({g.BarCentreX(bar), g.PriceToY(v)});
            continue;
        }
        if (points.size() > 1) canvas.Polyline(points);
        points.clear();
    }
    if (points.size() > 1) canvas.Polyline(points);
}

}  // namespace

std::vector<int> ShownMainChartFormulas(const std::vector<int>& chosen, const FormulaLibrary& library) {
    std::vector<int> shown;
    for (const int id : chosen) {
        const StoredFormula* formula = library.Find(id);
        if (formula && formula->mainChart) shown.push_back(id);
    }
    return shown;
}

void DrawMainChartFormula(Canvas& canvas, const FormulaPaneContent& content, const MainPaneGeometry& g,
                          const KLineStyle& style) {
    if (!content.run || !content.outputs || !g.Valid()) return;
    const int n = content.run->BarCount();
    const int first = std::max(0, g.lastVisible - g.visibleCount + 1);
    const int last = std::min(g.lastVisible, n - 1);
    const FormulaCanvasState kept(canvas);
    // The price scale stays the bars': whatever lies beyond it is cut off at the pane.
    const Rect chart{g.pane.left, g.pane.top, g.axisX, g.pane.bottom + 1};
    canvas.SetClip(chart);
    for (std::size_t k = 0; k < content.outputs->size() && first <= last; ++k) {
        const FormulaOutput& output = (*content.outputs)[k];
        // A trading system's signals are for its test, never lines on a chart.
        if (output.style.noDraw || IsSystemSignalName(output.name)) continue;
        DrawMainOutput(canvas, content.run->Column(static_cast<int>(k)), output.style, g, style, first, last);
    }
    if (content.drawings && !content.marks.empty()) {
        FormulaMarksRequest marks;
        marks.marks = content.marks;
        marks.drawings = content.drawings;
        marks.first = first;
        marks.last = last;
        marks.barWidth = g.barWidth;
        marks.chart = chart;
        marks.scheme = &style.scheme;
        marks.font = style.text;
        DrawFormulaMarks(canvas, marks, MainChartAxes(g));
    }
}

Rect DrawMainChartFormulaTitle(Canvas& canvas, const FormulaPaneContent& content, int cursor,
                               MainChartTitleRow& row, const DisplayScheme& scheme, const Font& font) {
    Rect box{row.left, row.y, row.left, row.y};
    if (!content.run || !content.outputs) return box;
    const FormulaCanvasState kept(canvas);
    const int n = content.run->BarCount();
    const int bar = cursor >= 0 && cursor < n ? cursor : n - 1;
    canvas.SelectFont(font);
    canvas.SetBkMode(BkMode::Transparent);
    canvas.SetTextAlign({HAlign::Left, VAlign::Top});
    int width = 0, height = 0;
    for (std::size_t k = 0; k < content.outputs->size(); ++k) {
        const Size extent = canvas.TextExtent(content.run->TitleItem(static_cast<int>(k), bar));
        width +=
            k + 1 < content.outputs->size() ? std::max(kMainItemPitch, extent.cx + kMainItemGap) : extent.cx;
        height = std::max(height, static_cast<int>(extent.cy));
    }
    if (row.left + width > row.right && row.wrapRows > 0 && row.left > row.wrapLeft) {
        row.left = row.wrapLeft;
        row.y += height + 2;
        --row.wrapRows;
        box = Rect{row.left, row.y, row.left, row.y};
    }
    for (std::size_t k = 0; k < content.outputs->size(); ++k) {
        const std::string item = content.run->TitleItem(static_cast<int>(k), bar);
        const Size extent = canvas.TextExtent(item);
        if (row.left + extent.cx > row.right) {
            row.left = row.right;  // the row is full: no later formula's item either
            break;
        }
        canvas.SetTextColour(FormulaOutputColour((*content.outputs)[k].style, scheme));
        canvas.TextOut(row.left, row.y, item);
        box.right = row.left + extent.cx;
        box.bottom = std::max(box.bottom, row.y + extent.cy);
        row.left = std::max(row.left + kMainItemPitch, row.left + extent.cx + kMainItemGap);
    }
    return box;
}

}  // namespace qelt
