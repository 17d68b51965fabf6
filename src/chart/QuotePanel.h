#pragma once
/// The quote panel (详细信息) on the right of the K-line view: the current quote of the goods
/// on show in two columns of label and value, and its trades of the day at the bottom.
#include "chart/KLineStyle.h"
#include "data/CQeltGoods.h"
#include "gfx/Canvas.h"

namespace qelt {

/// Draws into `panel` = {chart right, client top, client right, H - 20}; coordinates below
/// are relative to its top-left corner:
/// - separator lines across at y 40, 80, 210 and 340;
/// - labels in grey at x 5 and x 100, rows 50, 90, 120, 150, 180, 220, 250, 280, 310:
///   节号 / 本节价 (flagged goods: 日期 / 结算价), 购销总量 / 净持仓量, 申买价 / 申卖价,
///   申买量 / 申卖量, 成交量 / 动盘价, 涨跌 / 开盘, 幅度 / 最高, 昨收 / 最低, 现均 / 昨均
///   (flagged goods: 昨结);
/// - prices coloured against the reference (昨结 = pre_newest for flagged goods, 昨收 =
///   pre_close otherwise): higher 0x3232FF, lower 0x00E600, within 0.001 the text colour;
///   the first row's price by newest_price (flagged) or price; changes by their sign;
///   volumes and the reference values in grey;
/// - under y 340, today's trades bottom-up from the panel's bottom, 16 pixels a row, the
///   newest at the bottom, while a row would not start above y 360: the section ("%03d" of
///   the section + 1) or for flagged goods the time at x 5, then right-aligned the price
///   "%.2f" coloured against the trade before it (ending at x 120), the buy quantity (160)
///   and the sell quantity (4 pixels inside the panel's right edge).
void DrawQuotePanel(Canvas& canvas, const Rect& panel, const CQeltGoods& goods, const KLineStyle& style);

}  // namespace qelt
