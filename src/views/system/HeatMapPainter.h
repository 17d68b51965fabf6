#pragma once
/// The heat map of an optimisation of two parameters (参数优化): a grid with the first
/// parameter's values down the side (rows, growing downwards) and the second's along the
/// bottom (columns, growing rightwards), each cell coloured by the net profit of its
/// combination: deeper red the larger the profit, deeper green the larger the loss, grey near
/// nothing; a combination without figures stays blank. The best cell (the largest net
/// profit, the first in row order among equals) is framed in the text colour; the cell the
/// table has selected is framed dotted in the curve colour. A legend on the right gives the
/// colours' range. It paints in the scheme it is handed (the screen's, or the paper's).
#include <optional>
#include <string>
#include <vector>

#include "data/settings/DisplayScheme.h"
#include "gfx/Canvas.h"

namespace qelt {

struct HeatMap {
    std::string rowName, columnName;
    std::vector<double> rowValues, columnValues;
    /// rowValues.size() × columnValues.size() cells, row after row: the net profit, or
    /// nothing for a combination without figures.
    std::vector<std::optional<double>> cells;
    int selected = -1;  ///< the cell the table has selected, or -1
};

inline constexpr int kHeatTitleStrip = 20;
inline constexpr int kHeatRowLabels = 60;
inline constexpr int kHeatColumnLabels = 34;
inline constexpr int kHeatLegend = 86;
inline constexpr Colour kHeatNeutral = Rgb(96, 96, 96);
inline constexpr Colour kHeatProfit = Rgb(255, 0, 0);
inline constexpr Colour kHeatLoss = Rgb(0, 200, 0);

/// The cell of the largest net profit, the first in row order among equals; -1 when no cell
/// has figures.
int BestHeatMapCell(const HeatMap& map);

/// The colour of `value` on a scale whose ends are ±`largest` (the largest magnitude of the
/// map): kHeatNeutral at 0, kHeatProfit at +largest, kHeatLoss at -largest, in between in
/// proportion.
Colour HeatColour(double value, double largest);

/// The grid's area in a client of `client` size.
Rect HeatMapGrid(Size client);
/// Cell `cell`'s rectangle: the cells tile the grid exactly.
Rect HeatMapCellRect(Size client, const HeatMap& map, int cell);
/// The cell under `at`, or -1.
int HeatMapCellAt(Size client, const HeatMap& map, Point at);

/// Paints the whole client. Without cells it says what shows here.
void PaintHeatMap(Canvas& canvas, Size client, const HeatMap& map, const DisplayScheme& scheme);

}  // namespace qelt
