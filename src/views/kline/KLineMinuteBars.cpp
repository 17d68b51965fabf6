#include "views/kline/KLineMinuteBars.h"

#include <algorithm>

namespace qelt {

const BarSeries& KLineMinuteBars::Today() const {
    static const BarSeries kNone;
    return m_live ? m_live->Bars() : kNone;
}

BarSeries KLineMinuteBars::Load(const CQeltGoods& goods, int minutes, const std::string& categoryCode,
                                PastMinuteDays& history) {
    const std::vector<std::int64_t> dates = PastMinuteDates(goods, kMinuteChartDays);
    history.Want(goods.Key(), categoryCode, dates);
    // Without a live day the dates are unknown: the newest kept days are shown.
    const std::int64_t from = dates.empty() ? 0 : dates.back();
    if (!(goods.Key() == m_contract) || minutes != m_minutes || history.Revision() != m_revision ||
        from != m_from) {
        m_contract = goods.Key();
        m_minutes = minutes;
        m_revision = history.Revision();
        m_from = from;
        m_past = history.KeptBars(m_contract, minutes, from);
        // No more than kMinuteChartDays days, the newest.
        std::size_t days = 0;
        for (std::size_t i = m_past.size(); i-- > 0;) {
            if (i + 1 < m_past.size() && m_past[i].Date() == m_past[i + 1].Date()) continue;
            if (++days > kMinuteChartDays) {
                m_past.erase(m_past.begin(), m_past.begin() + static_cast<std::ptrdiff_t>(i + 1));
                break;
            }
        }
    }
    if (!m_live || m_live->Minutes() != minutes) m_live = std::make_unique<LiveMinuteBars>(minutes);
    m_live->Update(goods.trades, goods.due_date);
    const BarSeries& today = m_live->Bars();
    const std::int64_t firstToday = today.empty() ? INT64_MAX : today.front().Date();
    const auto pastEnd =
        std::lower_bound(m_past.begin(), m_past.end(), firstToday,
                         [](const CBarRow& bar, std::int64_t date) { return bar.Date() < date; });
    BarSeries bars;
    bars.reserve(static_cast<std::size_t>(pastEnd - m_past.begin()) + today.size());
    bars.insert(bars.end(), m_past.begin(), pastEnd);
    bars.insert(bars.end(), today.begin(), today.end());
    return bars;
}

}  // namespace qelt
