#pragma once
/// What the K-line view's two tips show for one bar: the data tip beside the crosshair
/// (CDlgTip) and the bar tip a double click or a hover over a bar body opens (CInfoTip,
/// layout 1).
#include <string>
#include <vector>

#include "data/CQeltGoods.h"
#include "views/controls/DataTipPainter.h"
#include "views/controls/InfoTipPainter.h"

namespace qelt {

/// Overlay ids of the tips (the dialog template and the control id they have always had).
inline constexpr int kDataTipOverlay = 197;
inline constexpr int kBarTipOverlay = 1003;
inline constexpr int kBarTipWidth = 80;
inline constexpr int kBarTipHeight = 150;

/// 持仓变化 of bar `index`: "%d" of its pure_num less the previous bar's when both belong to
/// the same delivery month (index above 0), otherwise the bar's own pure_num text.
std::string PositionChange(const BarSeries& bars, int index);

/// The data tip for bar `index` (inside the series) of `goods`: layout 1 for flagged goods,
/// 2 otherwise; for goods without a delivery month whose bar is of `today` ("%Y%m%d"), the
/// live change and change-percent texts of the quote.
DataTipContent MakeDataTip(const CQeltGoods& goods, const BarSeries& bars, int index,
                           const std::string& today);

/// Where the data tip of `size` goes, its top at client row 30: at the chart's left edge
/// (x 5), at the right end of the plot just left of the value axis at `axisX`, or just right
/// of the titles it would hide there. The first of these that hides none of `titles` (the
/// lower panes' titles and their values) and leaves the pointer clear; else the first that
/// hides no title; else the right end.
Point PlaceDataTip(Size size, int axisX, const std::vector<Rect>& titles, Point pointer);

/// The bar tip: caption "%Y/%m/%d/" with the weekday and, on a minute bar, its time
/// ("- - - " outside the series) and the lines "开盘:", "最高:", "最低:", "收盘:", "成交量:",
/// "净持仓量:", "持仓变化:", "购销总量:" with the bar's texts.
InfoTipContent MakeBarTip(const BarSeries& bars, int index);

}  // namespace qelt
