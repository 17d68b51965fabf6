#include "indicators/BarColumns.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <type_traits>

#include "common/DecimalScan.h"
#include "common/FloatLanes.h"
#include "common/Numbers.h"

namespace qelt {
namespace {

constexpr BarField kColumnFields[] = {kBarOpen, kBarClose, kBarHigh, kBarLow,
                                      kBarNum,  kBarAvg,   kBarPure, kBarNull};

bool Has(unsigned fields, BarField field) { return (fields & BarColumns::Field(field)) != 0; }

}  // namespace

void BarColumns::Reserve(unsigned fields, int bars) {
    if (bars > m_capacity) {
        // A series that grows does so by a bar at a time (a new trading day): room for more.
        const int capacity = m_capacity == 0 ? bars : bars + bars / 8 + 16;
        for (Column& column : m_columns) {
            auto grow = [&](auto& values) {
                if (!values) return;
                using Value = std::remove_reference_t<decltype(values[0])>;
                auto wider = std::make_unique_for_overwrite<Value[]>(static_cast<std::size_t>(capacity));
                if (column.hi > column.lo) {
                    std::memcpy(wider.get() + column.lo, values.get() + column.lo,
                                static_cast<std::size_t>(column.hi - column.lo) * sizeof(Value));
                }
                values = std::move(wider);
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
            column.prices = std::make_unique_for_overwrite<float[]>(size);
        } else if (!IsPrice(field) && !column.counts) {
            column.counts = std::make_unique_for_overwrite<std::int32_t[]>(size);
        }
    }
}

namespace {

/// How many bars ReadRows reads field after field.
constexpr int kBlock = 64;

/// A row's texts end with the string's terminator, which may be read too.
const char* Readable(const CBarRow& row) {
    const std::string_view last = row.Get(kBarDue);
    return last.data() + last.size() + 1;
}

/// The counts of bars [from, to) into `out`: each text read as one word where it can be.
void ReadCounts(const CBarRow* rows, std::size_t field, int from, int to, std::int32_t* out) {
    for (int i = from; i < to; ++i) {
        const std::string_view text = rows[i].Get(field);
        out[i] = ScanLeadingInt(text.data(), text.data() + text.size(), Readable(rows[i]));
    }
}

/// The prices of bars [from, to), at most kBlock of them, into `out`, as ScanLeadingFloat
/// reads each. The plain decimals leave their digits and power of ten first; their divisions
/// then go four at a time (a scalar division per price took half of the reading). The other
/// texts are read whole and put in afterwards.
void ReadPrices(const CBarRow* rows, std::size_t field, int from, int to, float* out) {
    alignas(16) std::int32_t mantissas[kBlock];
    alignas(16) float powers[kBlock];
    alignas(16) float values[kBlock];
    int others[kBlock];
    int otherCount = 0;
    const int count = to - from;
    for (int k = 0; k < count; ++k) {
        const CBarRow& row = rows[from + k];
        const std::string_view text = row.Get(field);
        scan::PlainDigits plain;
        if (scan::ReadPlainDecimal(text.data(), text.data() + text.size(), Readable(row), plain)) {
            mantissas[k] = static_cast<std::int32_t>(plain.mantissa);
            powers[k] = scan::kPowersOfTen[plain.fraction];
        } else {
            mantissas[k] = 0;
            powers[k] = 1.0f;
            others[otherCount++] = k;
        }
    }
    for (int k = count; k % lanes::kWidth != 0; ++k) mantissas[k] = 0, powers[k] = 1.0f;
    for (int k = 0; k < count; k += lanes::kWidth) {
        lanes::Store(values + k, lanes::FromInts(mantissas + k) / lanes::Load(powers + k));
    }
    std::memcpy(out + from, values, static_cast<std::size_t>(count) * sizeof(float));
    for (int j = 0; j < otherCount; ++j)
        out[from + others[j]] = LeadingFloat(rows[from + others[j]].Get(field));
}

}  // namespace

void BarColumns::ReadRows(unsigned fields, int from, int to) {
    // A block of bars at a time, field after field: each loop reads one field (its constants
    // stay in registers) while the block's texts stay in the nearest cache.
    const CBarRow* rows = m_bars->data();
    for (int begin = from; begin < to; begin += kBlock) {
        const int end = std::min(begin + kBlock, to);
        for (BarField field : kColumnFields) {
            if (!Has(fields, field)) continue;
            Column& column = m_columns[Slot(field)];
            if (IsPrice(field)) {
                ReadPrices(rows, field, begin, end, column.prices.get());
            } else {
                ReadCounts(rows, field, begin, end, column.counts.get());
            }
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
    const std::string_view text = (*m_bars)[static_cast<std::size_t>(bar)].Get(kBarClose);
    return LeadingFloat(text);
}

void BarColumns::Forget(int bar) {
    for (Column& column : m_columns) {
        column.hi = std::min(column.hi, std::max(bar, 0));
        if (column.hi <= column.lo) column.lo = column.hi = 0;
    }
}

}  // namespace qelt
