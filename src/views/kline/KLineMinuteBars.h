#pragma once
/// The K-line view's bars of a minute period: the past days kept in the history database
/// (read again only when the minute history keeps another day, or another contract or period
/// is shown), followed by today's, made from the contract's trades and kept current as they
/// grow (only the bars the new trades fall into are made again). A past day that the trades
/// also hold (the day before, still in the list after midnight) comes from the trades.
///
/// Loading also tells the minute history which past days the chart wants: the contract's
/// day bars before the live day, newest first, at most kMinuteChartDays.
#include <cstdint>
#include <memory>
#include <string>

#include "chart/MinuteBars.h"
#include "data/CQeltGoods.h"
#include "views/PastMinuteDays.h"

namespace qelt {

class KLineMinuteBars {
  public:
    /// The series of `goods` in a period of `minutes`; `categoryCode` goes with the past-day
    /// requests.
    BarSeries Load(const CQeltGoods& goods, int minutes, const std::string& categoryCode,
                   PastMinuteDays& history);
    /// Today's bars as the last Load left them.
    const BarSeries& Today() const;

  private:
    GoodsKey m_contract;
    int m_minutes = 0;
    std::uint64_t m_revision = 0;
    std::int64_t m_from = -1;
    BarSeries m_past;
    std::unique_ptr<LiveMinuteBars> m_live;
};

}  // namespace qelt
