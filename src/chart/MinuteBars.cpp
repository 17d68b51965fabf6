#include "chart/MinuteBars.h"

#include <algorithm>

namespace qelt {
namespace {

constexpr int kMorningStart = 900;
constexpr int kMorningEnd = 1100;
constexpr int kAfternoonStart = 1330;
constexpr int kAfternoonEnd = 1530;

int MinutesOfClock(int hhmm) { return hhmm / 100 * 60 + hhmm % 100; }
int ClockOfMinutes(int minutes) { return minutes / 60 * 100 + minutes % 60; }

std::string_view IdentityOfRow(const TradeRow& row) {
    return row.size() > 7 ? std::string_view(row[7]) : std::string_view();
}

}  // namespace

bool IsMinutePeriod(int minutes) { return MinutePeriodIndex(minutes) >= 0; }

int MinutePeriodIndex(int minutes) {
    for (std::size_t i = 0; i < kMinutePeriods.size(); ++i)
        if (kMinutePeriods[i] == minutes) return static_cast<int>(i);
    return -1;
}

int BarsPerDay(int minutes) { return minutes > 0 ? 2 * ((kSessionMinutes + minutes - 1) / minutes) : 0; }

int TradeMinute(std::int64_t hhmmss) {
    const std::int64_t hhmm = hhmmss / 100;
    if (hhmm < kMorningStart) return kMorningStart;
    if (hhmm > kMorningEnd && hhmm < kAfternoonStart) return kMorningEnd;
    if (hhmm > kAfternoonEnd) return kAfternoonEnd;
    return static_cast<int>(hhmm);
}

int DayMinuteNumber(int hhmm) {
    const bool afternoon = hhmm >= kAfternoonStart;
    const int start = afternoon ? kAfternoonStart : kMorningStart;
    const int number = std::clamp(MinutesOfClock(hhmm) - MinutesOfClock(start), 0, kSessionMinutes - 1);
    return afternoon ? kSessionMinutes + number : number;
}

int SlotTime(int slot, int minutes) {
    const int perSession = BarsPerDay(minutes) / 2;
    if (perSession <= 0 || slot < 0) return kMorningStart;
    const bool afternoon = slot >= perSession;
    const int start = afternoon ? kAfternoonStart : kMorningStart;
    return ClockOfMinutes(MinutesOfClock(start) + (slot % perSession) * minutes);
}

int SlotOfTime(int hhmm, int minutes) {
    const int slots = BarsPerDay(minutes);
    for (int slot = 0; slot < slots; ++slot)
        if (SlotTime(slot, minutes) == hhmm) return slot;
    return -1;
}

// ---- MinuteBarBuilder ----

MinuteBarBuilder::MinuteBarBuilder(int minutes) : m_minutes(IsMinutePeriod(minutes) ? minutes : 1) {}

MinuteBarBuilder::Day& MinuteBarBuilder::DayOf(std::int64_t date) {
    // Replies hold one date, rarely two: the newest is looked at first.
    if (!m_days.empty() && m_days.back().date == date) return m_days.back();
    auto at = std::lower_bound(m_days.begin(), m_days.end(), date,
                               [](const Day& day, std::int64_t d) { return day.date < d; });
    if (at != m_days.end() && at->date == date) return *at;
    Day day;
    day.date = date;
    day.buckets.resize(static_cast<std::size_t>(BarsPerDay(m_minutes)));
    return *m_days.insert(at, std::move(day));
}

MinutePlace MinuteBarBuilder::Add(const TradeTick& tick) {
    Day& day = DayOf(tick.date);
    std::int64_t volume = day.counted ? tick.cumulative - day.lastCumulative : tick.cumulative;
    if (volume < 0) volume = 0;
    day.lastCumulative = tick.cumulative;
    day.counted = true;

    const int number = DayMinuteNumber(TradeMinute(tick.time));
    const int perSession = BarsPerDay(m_minutes) / 2;
    const int slot = number / kSessionMinutes * perSession + number % kSessionMinutes / m_minutes;
    Bucket& b = day.buckets[static_cast<std::size_t>(slot)];
    if (b.count == 0) {
        b.open = b.high = b.low = tick.price;
    } else {
        b.high = std::max(b.high, tick.price);
        b.low = std::min(b.low, tick.price);
    }
    b.close = tick.price;
    b.amount += tick.price * static_cast<double>(volume);
    b.priceSum += tick.price;
    b.volume += volume;
    ++b.count;
    b.pure = tick.pure;
    b.null = tick.null;
    return {tick.date, slot};
}

const MinuteBarBuilder::Bucket* MinuteBarBuilder::Find(const MinutePlace& place) const {
    auto at = std::lower_bound(m_days.begin(), m_days.end(), place.date,
                               [](const Day& day, std::int64_t d) { return day.date < d; });
    if (at == m_days.end() || at->date != place.date) return nullptr;
    if (place.slot < 0 || static_cast<std::size_t>(place.slot) >= at->buckets.size()) return nullptr;
    const Bucket& bucket = at->buckets[static_cast<std::size_t>(place.slot)];
    return bucket.count > 0 ? &bucket : nullptr;
}

CBarRow MinuteBarBuilder::MakeBar(std::int64_t date, int slot, const Bucket& b,
                                  std::string_view dueDate) const {
    const double average =
        b.volume > 0 ? b.amount / static_cast<double>(b.volume) : b.priceSum / static_cast<double>(b.count);
    const std::string texts[] = {FormatInt(date),       FormatFixed2(b.open), FormatFixed2(b.close),
                                 FormatFixed2(b.high),  FormatFixed2(b.low),  FormatInt(b.volume),
                                 FormatFixed2(average), FormatInt(b.pure),    FormatInt(b.null)};
    CBarRow bar(
        {texts[0], texts[1], texts[2], texts[3], texts[4], texts[5], texts[6], texts[7], texts[8], dueDate});
    bar.SetTime(SlotTime(slot, m_minutes));
    return bar;
}

CBarRow MinuteBarBuilder::BarAt(const MinutePlace& place, std::string_view dueDate) const {
    const Bucket* bucket = Find(place);
    return bucket ? MakeBar(place.date, place.slot, *bucket, dueDate) : CBarRow();
}

BarSeries MinuteBarBuilder::Bars(std::string_view dueDate) const {
    BarSeries bars;
    for (const Day& day : m_days)
        for (std::size_t slot = 0; slot < day.buckets.size(); ++slot)
            if (day.buckets[slot].count > 0)
                bars.push_back(MakeBar(day.date, static_cast<int>(slot), day.buckets[slot], dueDate));
    return bars;
}

std::vector<MinutePlace> MinuteBarBuilder::Places() const {
    std::vector<MinutePlace> places;
    for (const Day& day : m_days)
        for (std::size_t slot = 0; slot < day.buckets.size(); ++slot)
            if (day.buckets[slot].count > 0) places.push_back({day.date, static_cast<int>(slot)});
    return places;
}

BarSeries MinuteBarsFromTrades(const std::vector<TradeRow>& trades, int minutes, std::string_view dueDate,
                               std::int64_t onlyDate) {
    MinuteBarBuilder builder(minutes);
    for (const TradeRow& row : trades) {
        const std::optional<TradeTick> tick = ReadTradeTick(row);
        if (!tick || (onlyDate != 0 && tick->date != onlyDate)) continue;
        builder.Add(*tick);
    }
    return builder.Bars(dueDate);
}

std::array<BarSeries, kMinutePeriods.size()> MinuteBarsOfDay(const std::vector<TradeRow>& trades,
                                                             std::int64_t date, std::string_view dueDate) {
    std::array<MinuteBarBuilder, kMinutePeriods.size()> builders{
        MinuteBarBuilder(kMinutePeriods[0]), MinuteBarBuilder(kMinutePeriods[1]),
        MinuteBarBuilder(kMinutePeriods[2]), MinuteBarBuilder(kMinutePeriods[3]),
        MinuteBarBuilder(kMinutePeriods[4])};
    for (const TradeRow& row : trades) {
        const std::optional<TradeTick> tick = ReadTradeTick(row);
        if (!tick || tick->date != date) continue;
        for (MinuteBarBuilder& builder : builders) builder.Add(*tick);
    }
    std::array<BarSeries, kMinutePeriods.size()> out;
    for (std::size_t i = 0; i < builders.size(); ++i) out[i] = builders[i].Bars(dueDate);
    return out;
}

std::int64_t LiveDate(const CQeltGoods& goods) {
    std::int64_t date = LeadingInt64(goods.last_date);
    if (!goods.trades.empty() && goods.trades.back().size() > kTradeDateField)
        date = std::max(date, LeadingInt64(goods.trades.back()[kTradeDateField]));
    return date;
}

std::vector<std::int64_t> PastMinuteDates(const CQeltGoods& goods, std::size_t maxDays) {
    std::vector<std::int64_t> dates;
    const std::int64_t live = LiveDate(goods);
    if (live <= 0) return dates;
    for (auto bar = goods.series.rbegin(); bar != goods.series.rend() && dates.size() < maxDays; ++bar) {
        const std::int64_t date = bar->Date();
        if (date <= 0 || date >= live) continue;
        if (!dates.empty() && date >= dates.back()) continue;  // a repeated or unordered day
        dates.push_back(date);
    }
    return dates;
}

// ---- LiveMinuteBars ----

void LiveMinuteBars::Reset() {
    m_builder.Clear();
    m_held = 0;
    m_lastIdentity.clear();
    m_bars.clear();
    m_places.clear();
}

std::size_t LiveMinuteBars::Rebuild(const std::vector<TradeRow>& trades, std::string_view dueDate) {
    Reset();
    m_dueDate = std::string(dueDate);
    for (const TradeRow& row : trades)
        if (const std::optional<TradeTick> tick = ReadTradeTick(row)) m_builder.Add(*tick);
    m_held = trades.size();
    if (!trades.empty()) m_lastIdentity = std::string(IdentityOfRow(trades.back()));
    m_bars = m_builder.Bars(m_dueDate);
    m_places = m_builder.Places();
    return 0;
}

std::size_t LiveMinuteBars::Update(const std::vector<TradeRow>& trades, std::string_view dueDate) {
    const bool continues = dueDate == m_dueDate && m_held > 0 && m_held <= trades.size() &&
                           IdentityOfRow(trades[m_held - 1]) == m_lastIdentity;
    if (!continues) {
        if (m_held == 0 && trades.empty() && dueDate == m_dueDate) return m_bars.size();
        return Rebuild(trades, dueDate);
    }
    if (m_held == trades.size()) return m_bars.size();
    std::vector<MinutePlace> touched;
    for (std::size_t i = m_held; i < trades.size(); ++i) {
        const std::optional<TradeTick> tick = ReadTradeTick(trades[i]);
        if (!tick) continue;
        const MinutePlace place = m_builder.Add(*tick);
        if (touched.empty() || touched.back() != place) touched.push_back(place);
    }
    m_held = trades.size();
    m_lastIdentity = std::string(IdentityOfRow(trades.back()));
    std::sort(touched.begin(), touched.end());
    touched.erase(std::unique(touched.begin(), touched.end()), touched.end());

    std::size_t firstChanged = m_bars.size();
    for (const MinutePlace& place : touched) {
        auto at = std::lower_bound(m_places.begin(), m_places.end(), place);
        const auto index = static_cast<std::size_t>(at - m_places.begin());
        if (at != m_places.end() && *at == place) {
            m_bars[index] = m_builder.BarAt(place, m_dueDate);
        } else if (at == m_places.end()) {
            m_places.push_back(place);
            m_bars.push_back(m_builder.BarAt(place, m_dueDate));
        } else {
            // A bar before the newest (a late record of an earlier minute): made in its place.
            m_places.insert(at, place);
            m_bars.insert(m_bars.begin() + static_cast<std::ptrdiff_t>(index),
                          m_builder.BarAt(place, m_dueDate));
        }
        firstChanged = std::min(firstChanged, index);
    }
    return firstChanged;
}

}  // namespace qelt
