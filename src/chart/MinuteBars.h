#pragma once
/// Minute bars (1, 5, 15, 30 and 60 minutes) made from a contract's trade records.
///
/// What counts: the records whose continuous-trading price (field 12) is not 0, in their
/// order, each date on its own. A record's price is field 12; its volume is field 13 (the
/// day's cumulative continuous-trading volume) less field 13 of the previous counted record
/// of the same date (field 13 itself for the date's first), 0 when that is negative. Its
/// minute is its time (field 11, HHMMSS) divided by 100, moved into the two sessions
/// 09:00-11:00 and 13:30-15:30: before 0900 it is 0900, 1101 to 1329 is 1100, after 1530 it
/// is 1530.
///
/// A session's minutes are numbered from 0 at its start; its closing minute (1100, 1530,
/// number 120) counts as 119, so a trade at 11:00:30 closes the morning's last bar. Minute m
/// belongs to bar m / N of its session; a bar exists only when a record fell into it. A bar
/// has the date, the time of its first minute (Time()), open and close (first and last
/// record's price), highest and lowest price, num (the volumes' sum), avg_price (the
/// volume-weighted mean price, the plain mean when the volumes sum to 0), pure_num and
/// null_num (fields 8 and 9 of its last record) and the contract's due_date. Prices are
/// written "%.2f", counts as integers, as the day bars' are.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/Numbers.h"
#include "data/CQeltGoods.h"

namespace qelt {

/// The bar lengths of the minute periods, in minutes.
inline constexpr std::array<int, 5> kMinutePeriods{1, 5, 15, 30, 60};
/// Minutes of one session as bars count them (the closing minute joins the last).
inline constexpr int kSessionMinutes = 120;

/// Whether `minutes` is one of kMinutePeriods.
bool IsMinutePeriod(int minutes);
/// Place of `minutes` in kMinutePeriods; -1 for another length.
int MinutePeriodIndex(int minutes);
/// Bars a full trading day has in a period of `minutes` (240 for 1, 4 for 60).
int BarsPerDay(int minutes);

/// The minute of a trade time HHMMSS: HHMM moved into the sessions (see above).
int TradeMinute(std::int64_t hhmmss);
/// The place 0..239 of a session minute HHMM in the trading day: 0..119 the morning,
/// 120..239 the afternoon, the closing minutes counted as the last ones. Minutes of an
/// hour past 59 count on into the next hour and stay within the session.
int DayMinuteNumber(int hhmm);
/// Bar `slot` of the day (0 .. BarsPerDay - 1) in a period of `minutes`, as HHMM of its
/// first minute (slot 2 of 5 minutes is 0910; slot 24 is 1330).
int SlotTime(int slot, int minutes);
/// The slot of the day the bar starting at `hhmm` has; -1 when no bar starts there.
int SlotOfTime(int hhmm, int minutes);

/// What a counted trade record contributes.
struct TradeTick {
    std::int64_t date = 0;
    std::int64_t time = 0;  ///< HHMMSS
    double price = 0.0;
    std::int64_t cumulative = 0;  ///< the day's continuous-trading volume so far
    std::int64_t pure = 0;
    std::int64_t null = 0;
};

/// Field places of a trade record.
inline constexpr std::size_t kTradeDateField = 4;
inline constexpr std::size_t kTradePureField = 8;
inline constexpr std::size_t kTradeNullField = 9;
inline constexpr std::size_t kTradeTimeField = 11;
inline constexpr std::size_t kTradePriceField = 12;
inline constexpr std::size_t kTradeVolumeField = 13;

/// The tick of a record (its fields by index, missing ones empty), read by the leading-number
/// rule; nothing when its price is 0 (it does not count).
template <typename Fields>
std::optional<TradeTick> ReadTradeTick(const Fields& fields) {
    auto field = [&fields](std::size_t i) -> std::string_view {
        return i < fields.size() ? std::string_view(fields[i]) : std::string_view();
    };
    TradeTick tick;
    tick.price = LeadingDouble(field(kTradePriceField));
    if (tick.price == 0.0) return std::nullopt;
    tick.date = LeadingInt64(field(kTradeDateField));
    tick.time = LeadingInt64(field(kTradeTimeField));
    tick.cumulative = LeadingInt64(field(kTradeVolumeField));
    tick.pure = LeadingInt64(field(kTradePureField));
    tick.null = LeadingInt64(field(kTradeNullField));
    return tick;
}

/// Where a record went: its date and the bar's slot within that date.
struct MinutePlace {
    std::int64_t date = 0;
    int slot = 0;
    friend auto operator<=>(const MinutePlace&, const MinutePlace&) = default;
};

/// The bars of one period built record by record. Records may come in any number of dates;
/// each date keeps its own volume reference.
class MinuteBarBuilder {
  public:
    explicit MinuteBarBuilder(int minutes);

    int Minutes() const { return m_minutes; }
    /// Folds one counted record in (records in their order); the bar it went to.
    MinutePlace Add(const TradeTick& tick);
    void Clear() { m_days.clear(); }

    /// Every bar, dates ascending, times ascending.
    BarSeries Bars(std::string_view dueDate) const;
    /// The places of every bar, in the order of Bars().
    std::vector<MinutePlace> Places() const;
    /// The bar at `place` (which must hold one).
    CBarRow BarAt(const MinutePlace& place, std::string_view dueDate) const;

  private:
    struct Bucket {
        double open = 0, close = 0, high = 0, low = 0;
        double amount = 0;    ///< sum of price times volume, in record order
        double priceSum = 0;  ///< sum of the prices, for a bar without volume
        std::int64_t volume = 0;
        std::int64_t count = 0;  ///< records; 0: no bar
        std::int64_t pure = 0, null = 0;
    };
    struct Day {
        std::int64_t date = 0;
        std::int64_t lastCumulative = 0;
        bool counted = false;  ///< a record of this date has been counted
        std::vector<Bucket> buckets;
    };
    Day& DayOf(std::int64_t date);
    const Bucket* Find(const MinutePlace& place) const;
    CBarRow MakeBar(std::int64_t date, int slot, const Bucket& bucket, std::string_view dueDate) const;

    int m_minutes;
    std::vector<Day> m_days;  ///< dates ascending
};

/// The bars of `trades` (every date, or only `onlyDate` when it is not 0) in a period of
/// `minutes`.
BarSeries MinuteBarsFromTrades(const std::vector<TradeRow>& trades, int minutes, std::string_view dueDate,
                               std::int64_t onlyDate = 0);

/// The bars of one date in every minute period at once, in kMinutePeriods' order: what a
/// past day's trades give, kept as it is.
std::array<BarSeries, kMinutePeriods.size()> MinuteBarsOfDay(const std::vector<TradeRow>& trades,
                                                             std::int64_t date, std::string_view dueDate);

/// The date of the contract's live day: the later of its quote's date (last_date) and its
/// newest trade's; 0 when neither is known.
std::int64_t LiveDate(const CQeltGoods& goods);
/// The past days a minute chart of `goods` shows: the dates of its day bars before the live
/// day, newest first, at most `maxDays`; none while the live day is unknown (a day that may
/// still be trading is never taken for a past one).
std::vector<std::int64_t> PastMinuteDates(const CQeltGoods& goods, std::size_t maxDays);

/// Today's bars of one period kept current as the contract's trades grow: the records a
/// trade list adds are folded into their bars and only those bars are made again; a list
/// that no longer continues the one seen before (replaced, or its oldest rows dropped) is
/// taken afresh.
class LiveMinuteBars {
  public:
    explicit LiveMinuteBars(int minutes) : m_builder(minutes) {}

    int Minutes() const { return m_builder.Minutes(); }
    /// Brings the bars up to date with `trades` (a copy of the contract's whole list, as the
    /// store holds it). Returns the index of the first bar that changed or came (Bars().size()
    /// when none did).
    std::size_t Update(const std::vector<TradeRow>& trades, std::string_view dueDate);
    const BarSeries& Bars() const { return m_bars; }
    /// Forgets everything: the next Update takes its list afresh.
    void Reset();

  private:
    std::size_t Rebuild(const std::vector<TradeRow>& trades, std::string_view dueDate);

    MinuteBarBuilder m_builder;
    std::size_t m_held = 0;      ///< trade rows folded in
    std::string m_lastIdentity;  ///< the identity (8th text) of the last of them
    std::string m_dueDate;
    BarSeries m_bars;
    std::vector<MinutePlace> m_places;  ///< beside m_bars
};

}  // namespace qelt
