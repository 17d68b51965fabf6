#pragma once
/// The equity curve of a trading-system test (交易评测) with its drawdown under it: the
/// equity at each bar's close as a line over the capital's dotted level, and below it the
/// fall from the highest earlier equity as an area hanging from 0, deepest at the bottom.
/// Values are labelled on the right, the first, middle and last dates along the bottom.
/// It paints in the scheme it is handed (the screen's, or the paper's when printed).
#include <string>
#include <vector>

#include "data/settings/DisplayScheme.h"
#include "gfx/Canvas.h"

namespace qelt {

struct EquityCurve {
    std::string title;  ///< what was tested: formula, contract, period
    double capital = 0.0;
    std::vector<double> equity;    ///< at each bar's close
    std::vector<double> drawdown;  ///< at each bar's close, 0 or more
    std::vector<int> dates;        ///< YYYYMMDD of each bar
};

/// Where the two areas go in a client of `client` size.
struct EquityLayout {
    Rect equity;    ///< the curve's area
    Rect drawdown;  ///< the drawdown's area, under it
    int axisX = 0;  ///< the labels' column starts here
};

inline constexpr int kEquityTitleStrip = 20;
inline constexpr int kEquityDateStrip = 18;
inline constexpr int kEquityAxisColumn = 76;
inline constexpr Colour kDrawdownColour = Rgb(0, 170, 0);

EquityLayout LayOutEquityCurve(Size client);

/// The row of `value` in `area` for values from `low` (bottom row) to `high` (top row).
int EquityRow(const Rect& area, double value, double low, double high);

/// Paints the whole client. Without bars it says what shows here once a test has run.
void PaintEquityCurve(Canvas& canvas, Size client, const EquityCurve& curve, const DisplayScheme& scheme);

/// "2026-06-01" for 20260601.
std::string DateText(int date);

}  // namespace qelt
