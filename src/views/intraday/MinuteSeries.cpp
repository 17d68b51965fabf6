#include "views/intraday/MinuteSeries.h"

namespace qelt {
namespace {

class MinuteSeriesBuilder {
  public:
    MinuteSeriesBuilder(IntradaySeries& out, ChinaTime now) : m_out(out), m_now(now) {
        m_out.slotsPerDay = kMinuteSlotsPerDay;
    }

    void Add(const TradePoint& record, const TradePoint* next) {
        const int minute = ClampToSessions(record.Minute());
        const bool newDay = m_out.records.empty() || m_out.records.back().date != record.date;
        if (!newDay && minute <= m_minute) {
            // Another trade of the minute on show (or one stamped earlier): it shows instead.
            Replace(record);
        } else {
            if (newDay) StartDay(record, minute);
            Emit(record, minute);
        }
        FillForward(next);
    }

  private:
    void StartDay(const TradePoint& first, int minute) {
        ++m_day;
        m_out.dayDates.push_back(first.date);
        TradePoint seed = first;
        seed.price = seed.newest = first.reference;
        seed.volume = seed.buy = seed.sell = seed.pure = seed.minuteVolume = 0;
        for (int m = kFirstMinute; m < minute; m = NextTradingMinute(m)) Emit(seed, m);
    }

    void Emit(TradePoint record, int minute) {
        record.time = minute * 100;
        m_out.records.push_back(std::move(record));
        m_out.slotOf.push_back(m_day * kMinuteSlotsPerDay + MinuteSlot(minute));
        m_minute = minute;
    }

    void Replace(const TradePoint& record) {
        TradePoint& shown = m_out.records.back();
        const int time = shown.time;
        shown = record;
        shown.time = time;
    }

    /// Repeats the last minute up to the next traded minute of the day, or to the day's end.
    void FillForward(const TradePoint* next) {
        TradePoint copy = m_out.records.back();
        copy.minuteVolume = 0;
        const bool nextSameDay = next != nullptr && next->date == copy.date;
        const int until = nextSameDay               ? ClampToSessions(next->Minute())
                          : copy.date == m_now.date ? ClampToSessions(m_now.hhmm)
                                                    : kLastMinute;
        // The next traded minute gets its own record; the end of the day is a filled slot.
        const bool inclusive = !nextSameDay;
        for (int m = m_minute; m < kLastMinute;) {
            const int following = NextTradingMinute(m);
            if (following > until || (!inclusive && following == until)) break;
            // Today before the afternoon session opens: 11:00 is followed by 13:30, not yet.
            if (!nextSameDay && copy.date == m_now.date && following > m_now.hhmm) break;
            Emit(copy, following);
            m = following;
        }
    }

    IntradaySeries& m_out;
    ChinaTime m_now;
    int m_day = -1;
    int m_minute = 0;
};

}  // namespace

IntradaySeries MinuteSeries(const std::vector<TradePoint>& minutes, ChinaTime now) {
    IntradaySeries series;
    series.records.reserve(minutes.size() + kMinuteSlotsPerDay);
    MinuteSeriesBuilder builder(series, now);
    for (std::size_t i = 0; i < minutes.size(); ++i)
        builder.Add(minutes[i], i + 1 < minutes.size() ? &minutes[i + 1] : nullptr);
    return series;
}

}  // namespace qelt
