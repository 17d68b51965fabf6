#pragma once
/// The intraday chart's series, built from a contract's trade records.
///
/// Flagged goods (continuous trading only) are drawn as one slot per minute of the trading
/// day, 241 slots a day (MinuteSeries.h); other goods as one slot per trading section, the
/// dynamic-board trades between two sections drawn inside the later section's slot.
/// In both cases day d of the days shown (oldest first) occupies the slots from
/// d × slots per day on, so several days stand side by side with equal widths.
#include <cstdint>
#include <vector>

#include "data/CQeltGoods.h"
#include "views/intraday/TradePoint.h"

namespace qelt {

/// What one chart draws: records in drawing order, each at its slot.
struct IntradaySeries {
    std::vector<TradePoint> records;
    std::vector<int> slotOf;  ///< slot of each record: day × slotsPerDay + place within the day
    int slotsPerDay = 1;
    std::vector<int> dayDates;  ///< date of each day shown, oldest first

    bool Empty() const { return records.empty(); }
    /// Index of the (first) record at `slot`, -1 when no record is there. Slots never
    /// decrease along the records.
    int RecordAtSlot(int slot) const;
};

/// A dynamic-board trade of goods traded in sections: where it belongs and what it traded.
struct DynamicPoint {
    int date = 0;
    int section = 0;
    double price = 0;            ///< field 12
    std::int64_t dynVolume = 0;  ///< field 13
};

/// The section records and the dynamic-board records of goods traded in sections.
struct SectionLists {
    std::vector<TradePoint> sections;
    std::vector<DynamicPoint> dynamic;
};

/// What the series need of a trade record, read once when the record arrives: a rebuild then
/// walks these instead of the records' texts and parses only the records it keeps.
struct RowKey {
    int date = 0;
    int minute = 0;  ///< HHMM, clamped into the sessions
    int section = 0;
    bool priced = false;         ///< field 12 does not read as the integer 0
    double newest = 0;           ///< field 12
    std::int64_t dynVolume = 0;  ///< field 13
};

RowKey KeyOfRow(const TradeRow& row);
/// Appends the keys of the rows not keyed yet (rows[keys.size()] on).
void ExtendRowKeys(const std::vector<TradeRow>& rows, std::vector<RowKey>& keys);

/// The history review: the last record of every run of records with the same section number.
std::vector<TradePoint> LastOfSectionRuns(const std::vector<TradeRow>& rows);

/// Flagged goods (normal and chart-only modes): the records with a dynamic-board price (field
/// 12 not reading as the integer 0) of the last `days` dates, one per minute of the day: the
/// minute's last trade, with field 1 replaced by its dynamic-board price and field 19 the
/// minute's dynamic-board volume. The first record's comparison price is the section price of
/// the record before it (its own price when there is none). `keys` are the rows' keys.
std::vector<TradePoint> FlaggedMinuteRecords(const std::vector<TradeRow>& rows,
                                             const std::vector<RowKey>& keys, int days);
std::vector<TradePoint> FlaggedMinuteRecords(const std::vector<TradeRow>& rows, int days);

/// Other goods (normal and chart-only modes), records of the last `days` dates: the last trade
/// of every section and the very last record go to the section list; every other record goes
/// to the dynamic-board list when its cumulative dynamic-board volume (field 13) differs from
/// the previous record's (the first record: when it is at least 1).
SectionLists SplitSections(const std::vector<TradeRow>& rows, const std::vector<RowKey>& keys, int days);
SectionLists SplitSections(const std::vector<TradeRow>& rows, int days);

/// The section chart's series: `records` cut to their last `days` dates; a day has
/// `configuredSlots` slots, or one more than the most records of one date when that is more.
IntradaySeries SectionSeries(const std::vector<TradePoint>& records, int days, int configuredSlots);

}  // namespace qelt
