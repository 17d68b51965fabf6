#pragma once
/// The flagged chart's minute series: a day spans 241 slot widths over the sessions
/// 09:00-11:00 and 13:30-15:30 (15:30 on the day's right edge), built from one record per
/// traded minute (IntradaySeries.h):
/// - a day whose first trade comes after 09:00 starts with seed slots from 09:00 up to that
///   minute at the day's reference price (field 18) with no volume;
/// - every traded minute shows its last trade;
/// - a minute without trades repeats the minute before it, up to the next traded minute; after
///   the day's last trade up to 15:30, or for today up to the current minute (China time):
///   today's series ends now and a past day's runs to the close.
/// A minute holds one slot whatever number of trades it saw, so a day never spills over
/// its span.
#include <vector>

#include "common/ChinaClock.h"
#include "views/intraday/IntradaySeries.h"

namespace qelt {

/// `minutes`: one record per traded minute, in order (several records of one date and
/// minute are taken as the minute's trades, the last one showing). Days keep their order;
/// day d occupies slots d × 241 to d × 241 + 241 (its 15:30 shares the x of the next day's
/// 09:00).
IntradaySeries MinuteSeries(const std::vector<TradePoint>& minutes, ChinaTime now);

}  // namespace qelt
