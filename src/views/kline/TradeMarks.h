#pragma once
/// The trades of a system under test (交易评测 → 在图上显示) marked on the K-line chart of the
/// contract and period they were tested on: an up arrow under the bar of a long's entry
/// fill, a down arrow over the bar of a short's, a small diamond at each exit fill, each with
/// its fill price on the chart's background, and a dotted line from the entry fill to the
/// exit fill. The marks stay
/// until the user takes them off (取消交易标记 in the chart's menu) or shows another test.
///
/// A trade names its bars by their index in the tested series and by their date; the chart
/// may have gained bars since (a new day), so a mark goes on the bar of its index while that
/// bar still has its date, else on the bar of that date, and is left out when none has it.
#include <string>
#include <vector>

#include "analysis/TradingSystem.h"
#include "chart/MainPaneGeometry.h"
#include "common/GoodsKey.h"
#include "data/Bar.h"
#include "gfx/Canvas.h"

namespace qelt {

struct TradeMarks {
    GoodsKey goods;
    int period = 1;  ///< the chart period tested (KLinePeriod)
    std::vector<SystemTrade> trades;
};

/// The colours of the marks. Paper needs none of its own: printing darkens them as it does
/// every colour too faint on white.
inline constexpr Colour kLongMarkColour = Rgb(255, 64, 64);
inline constexpr Colour kShortMarkColour = Rgb(0, 220, 0);
inline constexpr Colour kExitMarkColour = Rgb(255, 150, 0);

/// Pixels between a bar's wick and the tip of its entry arrow, and the arrow's height.
inline constexpr int kMarkGap = 3;
inline constexpr int kArrowHeight = 14;

/// The index in `bars` of the bar a mark of tested bar `bar` dated `date` (YYYYMMDD) goes on,
/// or -1.
int MarkBar(const BarSeries& bars, int bar, int date);

/// Draws the marks of the trades whose entry or exit lies in the window `geometry` shows,
/// prices in `font` on `background` (the chart's). The caller clips to the plot.
void DrawTradeMarks(Canvas& canvas, const TradeMarks& marks, const BarSeries& bars,
                    const MainPaneGeometry& geometry, const Font& font, Colour background);

}  // namespace qelt
