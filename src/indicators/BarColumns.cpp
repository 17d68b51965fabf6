#include "indicators/BarColumns.h"

#include <algorithm>
#include <cstring>
#include <type_traits>
#include <utility>

#include "common/FloatLanes.h"
#include "indicators/ColumnPool.h"

namespace qelt {
namespace {

constexpr BarField kColumnFields[] = {kBarOpen, kBarClose, kBarHigh, kBarLow,
                                      kBarNum,  kBarAvg,   kBarPure, kBarNull};

bool Has(unsigned fields, BarField field) { return (fields & BarColumns::Field(field)) != 0; }

}  // namespace

BarColumns::~BarColumns() {
    const auto size = static_cast<std::size_t>(m_capacity);
    for (Column& column : m_columns) {
        ColumnPool<float>::OfThisThread().Give(std::move(column.prices), size);
        ColumnPool<std::int32_t>::OfThisThread().Give(std::move(column.counts), size);
    }
}

void BarColumns::Reserve(unsigned fields, int bars) {
    if (bars > m_capacity) {
        // A series that grows does so by a bar at a time (a new trading day): room for more.
        const int capacity = m_capacity == 0 ? bars : bars + bars / 8 + 16;
        for (Column& column : m_columns) {
            auto grow = [&](auto& values) {
                if (!values) return;
                using Value = std::remove_reference_t<decltype(values[0])>;
                ColumnPool<Value>& pool = ColumnPool<Value>::OfThisThread();
                auto wider = pool.Take(static_cast<std::size_t>(capacity));
                if (column.hi > column.lo) {
                    std::memcpy(wider.get() + column.lo, values.get() + column.lo,
                                static_cast<std::size_t>(column.hi - column.lo) * sizeof(Value));
                }
                pool.Give(std::exchange(values, std::move(wider)), static_cast<std::size_t>(m_capacity));
            };
            grow(column.prices);
            grow(column.counts);
        }
        m_capacity = capacity;
    }
    for (BarField field : kColumnFields) {
        if (!Has(fields, field)) continue;
        Column& column = m_columns[Slot(field)];
        const auto size = static_cast<std::size_t>(m_capacity);
        if (IsPrice(field) && !column.prices) {
            column.prices = ColumnPool<float>::OfThisThread().Take(size);
        } else if (!IsPrice(field) && !column.counts) {
            column.counts = ColumnPool<std::int32_t>::OfThisThread().Take(size);
        }
    }
}

namespace {

/// How many bars ReadRows reads field after field.
constexpr int kBlock = 64;

/// The prices of bars [from, to) into `out`: the row's number rounded to float, which is
/// LeadingFloat of its text. Four rows at a time: two conversions of two doubles each.
template <typename Value>
void ReadPrices(const CBarRow* rows, int from, int to, float* out, Value value) {
    using Doubles = double __attribute__((vector_size(32)));
    int i = from;
    for (; i + lanes::kWidth <= to; i += lanes::kWidth) {
        const Doubles four = {value(rows[i]), value(rows[i + 1]), value(rows[i + 2]), value(rows[i + 3])};
        lanes::Store(out + i, __builtin_convertvector(four, lanes::Floats));
    }
    for (; i < to; ++i) out[i] = static_cast<float>(value(rows[i]));
}

/// The counts of bars [from, to) into `out`: the row's number clamped to the int range, which
/// is LeadingInt of its text.
template <typename Value>
void ReadCounts(const CBarRow* rows, int from, int to, std::int32_t* out, Value value) {
    for (int i = from; i < to; ++i) out[i] = ClampedInt(value(rows[i]));
}

void ReadField(const CBarRow* rows, BarField field, int from, int to, float* prices, std::int32_t* counts) {
    switch (field) {
        case kBarOpen:
            return ReadPrices(rows, from, to, prices, [](const CBarRow& r) { return r.Open(); });
        case kBarClose:
            return ReadPrices(rows, from, to, prices, [](const CBarRow& r) { return r.Close(); });
        case kBarHigh:
            return ReadPrices(rows, from, to, prices, [](const CBarRow& r) { return r.High(); });
        case kBarLow:
            return ReadPrices(rows, from, to, prices, [](const CBarRow& r) { return r.Low(); });
        case kBarAvg:
            return ReadPrices(rows, from, to, prices, [](const CBarRow& r) { return r.Avg(); });
        case kBarNum:
            return ReadCounts(rows, from, to, counts, [](const CBarRow& r) { return r.Num(); });
        case kBarPure:
            return ReadCounts(rows, from, to, counts, [](const CBarRow& r) { return r.Pure(); });
        case kBarNull:
            return ReadCounts(rows, from, to, counts, [](const CBarRow& r) { return r.Null(); });
        default:
            return;
    }
}

}  // namespace

void BarColumns::ReadRows(unsigned fields, int from, int to) {
    // A block of bars at a time, field after field, while the block's rows stay in the
    // nearest cache.
    const CBarRow* rows = m_bars->data();
    for (int begin = from; begin < to; begin += kBlock) {
        const int end = std::min(begin + kBlock, to);
        for (BarField field : kColumnFields) {
            if (!Has(fields, field)) continue;
            Column& column = m_columns[Slot(field)];
            ReadField(rows, field, begin, end, column.prices.get(), column.counts.get());
        }
    }
}

void BarColumns::Read(unsigned fields, int from, int to) {
    const int n = Size();
    if (n == 0) return;
    from = std::clamp(from, 0, n);
    to = std::clamp(to, from, n);
    Reserve(fields, n);
    if (from >= to) return;
    // Each field's read run stays one run: the gaps between it and [from, to) are read too.
    struct Gap {
        int from = 0, to = 0;
    };
    Gap gaps[kColumnCount][2];
    int cuts[4 * kColumnCount];
    int cutCount = 0;
    for (BarField field : kColumnFields) {
        if (!Has(fields, field)) continue;
        const int slot = Slot(field);
        Column& column = m_columns[slot];
        if (column.lo >= column.hi) {
            gaps[slot][0] = {from, to};
            column.lo = from;
            column.hi = to;
        } else {
            gaps[slot][0] = {std::min(from, column.lo), column.lo};
            gaps[slot][1] = {column.hi, std::max(to, column.hi)};
            column.lo = gaps[slot][0].from;
            column.hi = gaps[slot][1].to;
        }
        for (const Gap& gap : gaps[slot]) {
            if (gap.from >= gap.to) continue;
            cuts[cutCount++] = gap.from;
            cuts[cutCount++] = gap.to;
        }
    }
    // Between two neighbouring cuts the same fields want reading: one pass over those bars.
    std::sort(cuts, cuts + cutCount);
    const int distinct = static_cast<int>(std::unique(cuts, cuts + cutCount) - cuts);
    for (int c = 0; c + 1 < distinct; ++c) {
        const int a = cuts[c], b = cuts[c + 1];
        unsigned wanted = 0;
        for (BarField field : kColumnFields) {
            if (!Has(fields, field)) continue;
            for (const Gap& gap : gaps[Slot(field)]) {
                if (gap.from <= a && b <= gap.to) wanted |= Field(field);
            }
        }
        if (wanted) ReadRows(wanted, a, b);
    }
}

float BarColumns::CloseAt(int bar) const {
    const Column& column = m_columns[Slot(kBarClose)];
    if (bar >= column.lo && bar < column.hi) return column.prices[static_cast<std::size_t>(bar)];
    return static_cast<float>((*m_bars)[static_cast<std::size_t>(bar)].Close());
}

void BarColumns::Forget(int bar) {
    for (Column& column : m_columns) {
        column.hi = std::min(column.hi, std::max(bar, 0));
        if (column.hi <= column.lo) column.lo = column.hi = 0;
    }
}

}  // namespace qelt
