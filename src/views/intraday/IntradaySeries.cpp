#include "views/intraday/IntradaySeries.h"

#include <algorithm>

#include "common/Numbers.h"

namespace qelt {
namespace {

/// Index of the first row of the last `days` dates among the rows `keep` accepts (walking back
/// from the newest row and counting date changes); keys.size() when none is accepted.
template <typename Keep>
std::size_t FirstRowOfLastDays(const std::vector<RowKey>& keys, int days, Keep keep) {
    std::size_t start = keys.size();
    int distinct = 0;
    int lastDate = 0;
    for (std::size_t i = keys.size(); i-- > 0;) {
        if (!keep(keys[i])) continue;
        if (distinct == 0 || keys[i].date != lastDate) {
            if (++distinct > days) break;
            lastDate = keys[i].date;
        }
        start = i;
    }
    return start;
}

std::vector<RowKey> KeysOf(const std::vector<TradeRow>& rows) {
    std::vector<RowKey> keys;
    ExtendRowKeys(rows, keys);
    return keys;
}

}  // namespace

int IntradaySeries::RecordAtSlot(int slot) const {
    // Slots grow along the records: a binary search finds the one at `slot`.
    const auto found = std::lower_bound(slotOf.begin(), slotOf.end(), slot);
    if (found == slotOf.end() || *found != slot) return -1;
    return static_cast<int>(found - slotOf.begin());
}

RowKey KeyOfRow(const TradeRow& row) {
    RowKey key;
    key.date = DateOfRow(row);
    key.minute = ClampToSessions(MinuteOfTimeText(FieldOf(row, 11)));
    key.section = LeadingInt(FieldOf(row, 0));
    key.priced = LeadingInt(FieldOf(row, 12)) != 0;
    key.newest = LeadingDouble(FieldOf(row, 12));
    key.dynVolume = LeadingInt64(FieldOf(row, 13));
    return key;
}

void ExtendRowKeys(const std::vector<TradeRow>& rows, std::vector<RowKey>& keys) {
    if (keys.size() > rows.size()) keys.clear();
    keys.reserve(rows.size());
    for (std::size_t i = keys.size(); i < rows.size(); ++i) keys.push_back(KeyOfRow(rows[i]));
}

std::vector<TradePoint> LastOfSectionRuns(const std::vector<TradeRow>& rows) {
    std::vector<TradePoint> out;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const bool lastOfRun = i + 1 == rows.size() || FieldOf(rows[i], 0) != FieldOf(rows[i + 1], 0);
        if (lastOfRun) out.push_back(ParseTradePoint(rows[i]));
    }
    return out;
}

std::vector<TradePoint> FlaggedMinuteRecords(const std::vector<TradeRow>& rows,
                                             const std::vector<RowKey>& keys, int days) {
    std::vector<TradePoint> out;
    if (keys.size() != rows.size()) return out;
    const std::size_t start = FirstRowOfLastDays(keys, days, [](const RowKey& k) { return k.priced; });
    if (start == rows.size()) return out;

    // The comparison price of the first record: the nearest earlier record with a price.
    std::size_t before = start;
    while (before > 0 && !keys[before - 1].priced) --before;
    const double firstCompare = before > 0 ? LeadingDouble(FieldOf(rows[before - 1], 1)) : keys[start].newest;

    // One record per minute: only the minute's last trade is parsed.
    std::size_t groupLast = start;
    int groupDate = keys[start].date;
    int groupMinute = keys[start].minute;
    std::int64_t carried = 0;
    auto close = [&] {
        TradePoint p = ParseTradePoint(rows[groupLast]);
        p.price = p.newest;
        p.time = groupMinute * 100;
        if (!out.empty() && out.back().date != p.date) carried = 0;
        p.minuteVolume = p.dynVolume - carried;
        carried = p.dynVolume;
        out.push_back(std::move(p));
    };
    for (std::size_t i = start + 1; i < rows.size(); ++i) {
        const RowKey& key = keys[i];
        if (!key.priced) continue;
        // A trade stamped earlier than the minute under way (out of order) joins that minute.
        if (key.date == groupDate && key.minute <= groupMinute) {
            groupLast = i;
            continue;
        }
        close();
        groupLast = i;
        groupDate = key.date;
        groupMinute = key.minute;
    }
    close();
    out.front().compare = firstCompare;
    return out;
}

std::vector<TradePoint> FlaggedMinuteRecords(const std::vector<TradeRow>& rows, int days) {
    return FlaggedMinuteRecords(rows, KeysOf(rows), days);
}

SectionLists SplitSections(const std::vector<TradeRow>& rows, const std::vector<RowKey>& keys, int days) {
    SectionLists lists;
    if (keys.size() != rows.size()) return lists;
    const std::size_t start = FirstRowOfLastDays(keys, days, [](const RowKey&) { return true; });
    for (std::size_t i = start; i < rows.size(); ++i) {
        const RowKey& key = keys[i];
        const bool lastOfSection = i + 1 == rows.size() || key.section != keys[i + 1].section;
        if (lastOfSection) {
            lists.sections.push_back(ParseTradePoint(rows[i]));
            continue;
        }
        const bool changed = i == 0 ? key.dynVolume >= 1 : key.dynVolume != keys[i - 1].dynVolume;
        if (changed) lists.dynamic.push_back({key.date, key.section, key.newest, key.dynVolume});
    }
    return lists;
}

SectionLists SplitSections(const std::vector<TradeRow>& rows, int days) {
    return SplitSections(rows, KeysOf(rows), days);
}

IntradaySeries SectionSeries(const std::vector<TradePoint>& records, int days, int configuredSlots) {
    IntradaySeries series;
    // The last `days` dates, walking back from the newest record.
    std::size_t start = records.size();
    int distinct = 0;
    for (std::size_t i = records.size(); i-- > 0;) {
        if (distinct == 0 || records[i].date != records[start].date) {
            if (++distinct > days) break;
        }
        start = i;
    }
    series.records.assign(records.begin() + static_cast<std::ptrdiff_t>(start), records.end());

    int mostInOneDay = 0;
    int inDay = 0;
    for (std::size_t i = 0; i < series.records.size(); ++i) {
        if (i == 0 || series.records[i].date != series.records[i - 1].date) {
            series.dayDates.push_back(series.records[i].date);
            inDay = 0;
        }
        mostInOneDay = std::max(mostInOneDay, ++inDay);
    }
    series.slotsPerDay = std::max({configuredSlots, mostInOneDay + 1, 1});

    int day = -1;
    for (std::size_t i = 0; i < series.records.size(); ++i) {
        if (i == 0 || series.records[i].date != series.records[i - 1].date) {
            ++day;
            inDay = 0;
        }
        series.slotOf.push_back(day * series.slotsPerDay + inDay++);
    }
    return series;
}

}  // namespace qelt
