#pragma once
/// One trade record of a "real" or "hisreal" reply as the intraday chart reads it, and the
/// trading day's minutes.
///
/// Fields of a trade record (index from 0): 0 section number (from 0), 1 section price,
/// 2 comparison price, 3 the day's cumulative section volume, 4 date YYYYMMDD, 5 buy quantity,
/// 6 sell quantity, 7 identity, 8 net position, 9 purchases and sales, 10 section marker
/// (blank for a dynamic-board trade), 11 time HHMMSS, 12 dynamic-board price, 13 the day's
/// cumulative dynamic-board volume, 14-17 bid price and quantity, ask price and quantity,
/// 18 the day's reference price, 19 the minute's dynamic-board volume (the chart computes it).
/// The texts stay in the store's rows; the chart parses only the records it keeps, so a
/// contract with a hundred thousand trades costs one pass over the rows per rebuild.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "data/CQeltGoods.h"

namespace qelt {

struct TradePoint {
    int section = 0;                ///< field 0
    double price = 0;               ///< field 1; the dynamic-board price in a flagged chart
    double compare = 0;             ///< field 2
    std::int64_t volume = 0;        ///< field 3
    int date = 0;                   ///< field 4
    std::int64_t buy = 0;           ///< field 5
    std::int64_t sell = 0;          ///< field 6
    std::int64_t pure = 0;          ///< field 8
    std::string marker;             ///< field 10 as received
    int time = 0;                   ///< field 11, HHMMSS
    double newest = 0;              ///< field 12
    std::int64_t dynVolume = 0;     ///< field 13
    double reference = 0;           ///< field 18
    std::int64_t minuteVolume = 0;  ///< field 19
    bool dynamic = false;           ///< field 10 is blank after trimming

    /// The minute of the time, HHMM.
    int Minute() const { return time / 100; }
};

/// Text of field `index`, empty when the record is shorter.
std::string_view FieldOf(const TradeRow& row, std::size_t index);

/// Every field the chart reads; missing fields read as 0 or empty.
TradePoint ParseTradePoint(const TradeRow& row);

/// The date of a record (field 4) as an integer; 0 when it holds none.
int DateOfRow(const TradeRow& row);
/// The minute of a time text HHMMSS (its first four characters read as HHMM).
int MinuteOfTimeText(std::string_view time);

// ---- the trading day's minutes: 09:00-11:00 and 13:30-15:30 ----

/// A day spans 241 slot widths: 09:00 at its left edge (slot 0), 11:00 at slot 120, 13:30 at
/// 121 and 15:30 at 241, its right edge (where the next day's 09:00 begins).
inline constexpr int kMinuteSlotsPerDay = 241;
inline constexpr int kFirstMinute = 900;
inline constexpr int kLastMinute = 1530;

/// HHMM clamped into the sessions: below 9:00 becomes 9:00, 11:01 to 13:29 becomes 13:30,
/// after 15:30 becomes 15:30.
int ClampToSessions(int hhmm);
/// The minute after `hhmm`: one minute on (10:59 → 11:00), then clamped into the sessions, so
/// 11:00 is followed by 13:30 and 15:30 by itself.
int NextTradingMinute(int hhmm);
/// Position of a minute in the day after clamping: 9:00 is 0, 11:00 is 120, 13:30 is 121,
/// 15:30 is 241.
int MinuteSlot(int hhmm);
/// The minute (HHMM) at a position of the day (0 .. 241).
int MinuteOfSlot(int slot);

/// "MM月DD日": a date without its year, as the charts and the trade list label days.
std::string MonthDayText(int date);
/// "MM-DD" for the record tip; "---" for no date.
std::string DashedMonthDay(int date);
/// A section number shown to the user: one more than field 0, at least three digits ("007").
std::string SectionText(int section);
/// HHMMSS as six digits.
std::string TimeText(int time);

}  // namespace qelt
