#pragma once
/// The contract 交易评测 tests: the goods on show (the selection's), with the bars its K-line
/// chart shows for the period: the day series with today's quote folded in (a contract's
/// quote from its main record), gathered into weeks or months. So the trades of a test fall
/// on the chart's own bars.
#include <string>

#include "common/GoodsKey.h"
#include "data/Bar.h"
#include "views/ViewServices.h"

namespace qelt {

struct SystemGoods {
    GoodsKey key;
    std::string name;
    BarSeries bars;
};

/// The selection's goods and its bars of `period` (KLinePeriod); no bars when it has none.
SystemGoods GoodsForSystemTest(const ViewServices& services, int period);

}  // namespace qelt
