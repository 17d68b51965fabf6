#include "views/system/HeatMapPainter.h"

#include <algorithm>
#include <cmath>

#include "common/Numbers.h"
#include "formula/FormulaNumbers.h"

namespace qelt {
namespace {

const Font kHeatFont{"宋体", 12, 400};

int HeatRows(const HeatMap& map) { return static_cast<int>(map.rowValues.size()); }
int HeatColumns(const HeatMap& map) { return static_cast<int>(map.columnValues.size()); }
bool HeatComplete(const HeatMap& map) {
    return HeatRows(map) > 0 && HeatColumns(map) > 0 &&
           map.cells.size() == map.rowValues.size() * map.columnValues.size();
}

/// Edge k of `count` equal parts of [from, to): 0 gives from, count gives to.
int GridEdge(int from, int to, int k, int count) {
    return from + static_cast<int>(static_cast<long long>(to - from) * k / std::max(1, count));
}

unsigned MixChannel(unsigned from, unsigned to, double share) {
    return static_cast<unsigned>(std::lround(from + (static_cast<double>(to) - from) * share));
}

double LargestMagnitude(const HeatMap& map) {
    double largest = 0.0;
    for (const std::optional<double>& cell : map.cells)
        if (cell) largest = std::max(largest, std::fabs(*cell));
    return largest;
}

std::string HeatValueText(double value) { return formula::FormatShortest(value); }

void PaintHeatCells(Canvas& canvas, Size client, const HeatMap& map) {
    const double largest = LargestMagnitude(map);
    for (int cell = 0; cell < static_cast<int>(map.cells.size()); ++cell)
        if (const std::optional<double>& value = map.cells[static_cast<std::size_t>(cell)])
            canvas.FillRect(HeatMapCellRect(client, map, cell), HeatColour(*value, largest));
}

/// A cell's frame, at least kMinimumFrame pixels across so that a small cell's mark shows.
Rect CellFrame(Rect cell) {
    constexpr int kMinimumFrame = 8;
    auto widen = [](int& from, int& to) {
        const int missing = kMinimumFrame - (to - from);
        if (missing <= 0) return;
        from -= missing / 2;
        to += missing - missing / 2;
    };
    widen(cell.left, cell.right);
    widen(cell.top, cell.bottom);
    return cell;
}

void OutlineCell(Canvas& canvas, const Rect& r, const Pen& pen) {
    canvas.SelectPen(pen);
    canvas.SelectBrush(Brush::Hollow());
    canvas.Rectangle(r);
}

/// Labels every k-th row and column, k the smallest step that keeps the labels apart.
void PaintAxes(Canvas& canvas, Size client, const HeatMap& map) {
    const Rect grid = HeatMapGrid(client);
    const int rows = HeatRows(map), columns = HeatColumns(map);
    const int rowHeight = std::max(1, grid.Height() / rows);
    const int rowStep = std::max(1, (14 + rowHeight - 1) / rowHeight);
    canvas.SetTextAlign({HAlign::Right, VAlign::Top});
    for (int r = 0; r < rows; r += rowStep) {
        const int top = GridEdge(grid.top, grid.bottom, r, rows),
                  bottom = GridEdge(grid.top, grid.bottom, r + 1, rows);
        canvas.TextOutWithin(grid.left - 4, (top + bottom) / 2 - 6,
                             HeatValueText(map.rowValues[static_cast<std::size_t>(r)]), kHeatRowLabels - 8);
    }
    int widest = 1;
    for (double value : map.columnValues)
        widest = std::max(widest, canvas.TextExtent(HeatValueText(value)).cx);
    const int columnWidth = std::max(1, grid.Width() / columns);
    const int columnStep = std::max(1, (widest + 8 + columnWidth - 1) / columnWidth);
    canvas.SetTextAlign({HAlign::Centre, VAlign::Top});
    for (int c = 0; c < columns; c += columnStep) {
        const int left = GridEdge(grid.left, grid.right, c, columns),
                  right = GridEdge(grid.left, grid.right, c + 1, columns);
        canvas.TextOut((left + right) / 2, grid.bottom + 3,
                       HeatValueText(map.columnValues[static_cast<std::size_t>(c)]));
    }
    canvas.TextOut((grid.left + grid.right) / 2, grid.bottom + 18, map.columnName);
    canvas.SetTextAlign({HAlign::Right, VAlign::Bottom});
    canvas.TextOut(grid.left - 4, grid.top - 2, map.rowName);
}

void PaintLegend(Canvas& canvas, Size client, const HeatMap& map) {
    const Rect grid = HeatMapGrid(client);
    const double largest = LargestMagnitude(map);
    const int left = grid.right + 12, right = left + 14;
    constexpr int kSteps = 20;
    // The profit end at the top, the loss end at the bottom.
    for (int k = 0; k < kSteps; ++k) {
        const double value = largest * (1.0 - 2.0 * (k + 0.5) / kSteps);
        canvas.FillRect({left, GridEdge(grid.top, grid.bottom, k, kSteps), right,
                         GridEdge(grid.top, grid.bottom, k + 1, kSteps)},
                        HeatColour(value, largest));
    }
    const int room = client.cx - right - 6;
    canvas.SetTextAlign({HAlign::Left, VAlign::Top});
    canvas.TextOutWithin(right + 4, grid.top, FormatFixed2(largest), room);
    canvas.TextOutWithin(right + 4, (grid.top + grid.bottom) / 2 - 6, "0", room);
    canvas.SetTextAlign({HAlign::Left, VAlign::Bottom});
    canvas.TextOutWithin(right + 4, grid.bottom, FormatFixed2(-largest), room);
}

std::string HeatTitle(const HeatMap& map) {
    std::string title = "净利润热力图";
    const int best = BestHeatMapCell(map);
    if (best < 0) return title + "  （没有可比较的组合）";
    const int columns = HeatColumns(map);
    title += "  最优 " + map.rowName + "=" +
             HeatValueText(map.rowValues[static_cast<std::size_t>(best / columns)]);
    title += " " + map.columnName + "=" +
             HeatValueText(map.columnValues[static_cast<std::size_t>(best % columns)]);
    return title + "：" + FormatFixed2(*map.cells[static_cast<std::size_t>(best)]);
}

}  // namespace

int BestHeatMapCell(const HeatMap& map) {
    int best = -1;
    for (int cell = 0; cell < static_cast<int>(map.cells.size()); ++cell) {
        const std::optional<double>& value = map.cells[static_cast<std::size_t>(cell)];
        if (value && (best < 0 || *value > *map.cells[static_cast<std::size_t>(best)])) best = cell;
    }
    return best;
}

Colour HeatColour(double value, double largest) {
    if (!(largest > 0.0) || !std::isfinite(value)) return kHeatNeutral;
    const double share = std::clamp(std::fabs(value) / largest, 0.0, 1.0);
    const Colour end = value >= 0.0 ? kHeatProfit : kHeatLoss;
    return Rgb(MixChannel(RedOf(kHeatNeutral), RedOf(end), share),
               MixChannel(GreenOf(kHeatNeutral), GreenOf(end), share),
               MixChannel(BlueOf(kHeatNeutral), BlueOf(end), share));
}

Rect HeatMapGrid(Size client) {
    const int right = std::max(kHeatRowLabels + 10, client.cx - kHeatLegend);
    const int bottom = std::max(kHeatTitleStrip + 20, client.cy - kHeatColumnLabels);
    return {kHeatRowLabels, kHeatTitleStrip + 14, right, bottom};
}

Rect HeatMapCellRect(Size client, const HeatMap& map, int cell) {
    const Rect grid = HeatMapGrid(client);
    const int rows = HeatRows(map), columns = HeatColumns(map);
    if (rows == 0 || columns == 0 || cell < 0 || cell >= rows * columns) return {};
    const int r = cell / columns, c = cell % columns;
    return {GridEdge(grid.left, grid.right, c, columns), GridEdge(grid.top, grid.bottom, r, rows),
            GridEdge(grid.left, grid.right, c + 1, columns), GridEdge(grid.top, grid.bottom, r + 1, rows)};
}

int HeatMapCellAt(Size client, const HeatMap& map, Point at) {
    const Rect grid = HeatMapGrid(client);
    if (!HeatComplete(map) || !grid.Contains(at)) return -1;
    const int rows = HeatRows(map), columns = HeatColumns(map);
    int r = static_cast<int>(static_cast<long long>(at.y - grid.top) * rows / grid.Height());
    int c = static_cast<int>(static_cast<long long>(at.x - grid.left) * columns / grid.Width());
    // The edges are truncated: the cell is the one whose rectangle holds the point.
    while (r > 0 && at.y < GridEdge(grid.top, grid.bottom, r, rows)) --r;
    while (r + 1 < rows && at.y >= GridEdge(grid.top, grid.bottom, r + 1, rows)) ++r;
    while (c > 0 && at.x < GridEdge(grid.left, grid.right, c, columns)) --c;
    while (c + 1 < columns && at.x >= GridEdge(grid.left, grid.right, c + 1, columns)) ++c;
    return r * columns + c;
}

void PaintHeatMap(Canvas& canvas, Size client, const HeatMap& map, const DisplayScheme& scheme) {
    canvas.ClearClip();
    canvas.FillRect({0, 0, client.cx, client.cy}, scheme.background);
    canvas.SelectFont(kHeatFont);
    canvas.SetBkMode(BkMode::Transparent);
    canvas.SetTextColour(scheme.line[0]);
    if (!HeatComplete(map)) {
        canvas.SetTextAlign({HAlign::Centre, VAlign::Top});
        canvas.TextOut(client.cx / 2, client.cy / 2 - 6, "优化两个参数后，这里显示净利润热力图");
        return;
    }
    canvas.SetTextAlign({HAlign::Left, VAlign::Top});
    canvas.TextOut(6, 3, HeatTitle(map));
    const Rect grid = HeatMapGrid(client);
    PaintHeatCells(canvas, client, map);
    OutlineCell(canvas, {grid.left - 1, grid.top - 1, grid.right + 1, grid.bottom + 1},
                Pen::Solid(1, scheme.header));
    if (map.selected >= 0 && map.selected < static_cast<int>(map.cells.size()))
        OutlineCell(canvas, CellFrame(HeatMapCellRect(client, map, map.selected)),
                    Pen{PenStyle::Dot, 1, scheme.line[1], {}, false});
    if (const int best = BestHeatMapCell(map); best >= 0)
        OutlineCell(canvas, CellFrame(HeatMapCellRect(client, map, best)), Pen::Solid(2, scheme.line[0]));
    PaintAxes(canvas, client, map);
    PaintLegend(canvas, client, map);
}

}  // namespace qelt
