#pragma once
/// The point-and-figure (OX) chart: columns of X boxes (rising) and O boxes (falling) built
/// from the closes of a bar series.
///
/// A price p lies at box level truncate((p + 0.001) / box); a level's centre price is
/// level * box + box / 2. Each column is a bar record: open_price is the centre of its first
/// box, close_price the centre of its last box once the column has been extended (until
/// then the close of the bar that opened it), highest_price / lowest_price / num the
/// extremes and summed volume of every bar merged into it, the other fields those of the
/// bar that opened it. Its box count is +n for a rising column of n boxes, -n for falling.
#include <string_view>
#include <vector>

#include "data/CQeltGoods.h"

namespace qelt {

struct OXSeries {
    BarSeries columns;
    std::vector<int> boxes;  ///< per column: +n rising X boxes, -n falling O boxes
};

/// The box size for goods `goodsNo` from the three box parameters of the indicator table:
/// "0009" (the index) takes `indexBox` index points, "0121" (dried cocoons) cocoonBox / 10000,
/// every other goods silkBox / 10000. A parameter of 0 (a result below 0.0001) means
/// automatic: a thirtieth of the day series' close range (highestClose - lowestClose), for
/// "0009" cut to whole tens of points, otherwise cut to two decimals when above 0.01, three
/// above 0.001, four above 0.0001. The automatic index box of a range under 300 points is 0.
float OXBoxSize(std::string_view goodsNo, int indexBox, int silkBox, int cocoonBox, double highestClose,
                double lowestClose);

/// The box level of `price` (clamped to a billion levels either way). `box` must be positive.
int OXLevel(double price, float box);

/// Builds the columns from `source`, oldest bar first. The first column starts at the level
/// of the first open and rises unless the first bar closed below its open; its count
/// includes its starting box (open level 10, close level 12: +3). Every following bar
/// either reverses (a rising column when its close lies `reversal` or more levels below the
/// column's current level, a falling one `reversal` or more above): a new column whose open
/// is the centre of the level next to the old one's end and whose count is the level
/// difference; or merges into the last column, extending it when the close moves on in its
/// direction. A box that is not a positive finite number (the automatic box of a quiet
/// index) or an empty source gives no columns.
OXSeries BuildOX(const BarSeries& source, float box, int reversal);

/// BuildOX over the goods' day (period 1), week (2) or month (3) series, bringing the week
/// or month series up to date first; the result replaces goods.oxColumns and goods.oxBoxes.
void BuildOX(CQeltGoods& goods, int period, float box, int reversal);

}  // namespace qelt
