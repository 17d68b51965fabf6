#pragma once
/// The intraday chart's quote panel (the 200 pixels on the right in the normal mode): the
/// contract's live quote in two columns of labels and values, then the latest day's trades,
/// newest at the bottom.
///
/// The reference price r is the previous average (昨结) for flagged goods and the previous
/// close otherwise; the current price p is the dynamic-board price for flagged goods and the
/// price otherwise. Prices are coloured against r: above in the rise colour, below in the
/// fall colour, within 0.0001 in the level colour of the scheme; the change and the change
/// percent take the colour of p.
#include <vector>

#include "data/CQeltGoods.h"
#include "data/settings/DisplayScheme.h"
#include "gfx/Canvas.h"

namespace qelt {

/// Paints the panel into `panel` (its left edge is the separator). `flagged`: the goods'
/// category is flagged; `trades`: the contract's trades, oldest first.
void PaintQuotePanel(Canvas& canvas, const Rect& panel, const CQeltGoods& goods, bool flagged,
                     const std::vector<TradeRow>& trades, const DisplayScheme& scheme, const Pen& framePen);

}  // namespace qelt
