#include "views/intraday/IntradaySeries.h"

#include <algorithm>

#include "common/Numbers.h"

namespace qelt {
namespace {

bool HasDynamicPrice(const TradeRow& row) { return LeadingInt(FieldOf(row, 12)) != 0; }

DynamicPoint ParseDynamicPoint(const TradeRow& row) {
    DynamicPoint p;
    p.date = DateOfRow(row);
    p.section = LeadingInt(FieldOf(row, 0));
    p.price = LeadingDouble(FieldOf(row, 12));
    p.dynVolume = LeadingInt64(FieldOf(row, 13));
    return p;
}

}  // namespace

int IntradaySeries::RecordAtSlot(int slot) const {
    // Slots grow along the records: a binary search finds the one at `slot`.
    const auto found = std::lower_bound(slotOf.begin(), slotOf.end(), slot);
    if (found == slotOf.end() || *found != slot) return -1;
    return static_cast<int>(found - slotOf.begin());
}

std::vector<TradePoint> LastOfSectionRuns(const std::vector<TradeRow>& rows) {
    std::vector<TradePoint> out;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const bool lastOfRun = i + 1 == rows.size() || FieldOf(rows[i], 0) != FieldOf(rows[i + 1], 0);
        if (lastOfRun) out.push_back(ParseTradePoint(rows[i]));
    }
    return out;
}

std::vector<TradePoint> FlaggedMinuteRecords(const std::vector<TradeRow>& rows, int days) {
    const std::size_t start = FirstRowOfLastDays(rows, days, HasDynamicPrice);
    std::vector<TradePoint> out;
    if (start == rows.size()) return out;

    // The comparison price of the first record: the nearest earlier record with a price.
    std::size_t before = start;
    while (before > 0 && !HasDynamicPrice(rows[before - 1])) --before;
    const double firstCompare =
        before > 0 ? LeadingDouble(FieldOf(rows[before - 1], 1)) : LeadingDouble(FieldOf(rows[start], 12));

    // One record per minute: only the minute's last trade is parsed.
    std::size_t groupLast = start;
    std::string_view groupDate = FieldOf(rows[start], 4);
    int groupMinute = ClampToSessions(MinuteOfTimeText(FieldOf(rows[start], 11)));
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
        if (!HasDynamicPrice(rows[i])) continue;
        const std::string_view date = FieldOf(rows[i], 4);
        const int minute = ClampToSessions(MinuteOfTimeText(FieldOf(rows[i], 11)));
        // A trade stamped earlier than the minute under way (out of order) joins that minute.
        if (date == groupDate && minute <= groupMinute) {
            groupLast = i;
            continue;
        }
        close();
        groupLast = i;
        groupDate = date;
        groupMinute = minute;
    }
    close();
    out.front().compare = firstCompare;
    return out;
}

SectionLists SplitSections(const std::vector<TradeRow>& rows, int days) {
    SectionLists lists;
    const std::size_t start = FirstRowOfLastDays(rows, days, [](const TradeRow&) { return true; });
    for (std::size_t i = start; i < rows.size(); ++i) {
        const bool lastOfSection =
            i + 1 == rows.size() || LeadingInt(FieldOf(rows[i], 0)) != LeadingInt(FieldOf(rows[i + 1], 0));
        if (lastOfSection) {
            lists.sections.push_back(ParseTradePoint(rows[i]));
            continue;
        }
        const std::int64_t volume = LeadingInt64(FieldOf(rows[i], 13));
        const bool changed = i == 0 ? volume >= 1 : volume != LeadingInt64(FieldOf(rows[i - 1], 13));
        if (changed) lists.dynamic.push_back(ParseDynamicPoint(rows[i]));
    }
    return lists;
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
