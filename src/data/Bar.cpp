#include "data/Bar.h"

#include <cstring>
#include <iterator>

#include "common/DecimalScan.h"

namespace qelt {

namespace {

/// Where each field's number is kept: its place among the prices, or among the whole
/// numbers; -1 for a field without a number.
constexpr int kPriceSlot[CBarRow::kFieldCount] = {-1, 0, 1, 2, 3, -1, 4, -1, -1, -1};
constexpr int kWholeSlot[CBarRow::kFieldCount] = {3, -1, -1, -1, -1, 0, -1, 1, 2, -1};

/// A row's texts are put together here first; the bytes after them may be read by the
/// word-at-a-time scanners.
constexpr std::size_t kScanSlack = 8;

template <typename Range>
std::array<std::string_view, CBarRow::kFieldCount> FirstTen(const Range& fields) {
    std::array<std::string_view, CBarRow::kFieldCount> out{};
    std::size_t i = 0;
    for (std::string_view f : fields) {
        if (i == CBarRow::kFieldCount) break;
        out[i++] = f;
    }
    return out;
}

}  // namespace

CBarRow::CBarRow(const std::vector<std::string_view>& fields) { Assign(FirstTen(fields)); }

CBarRow::CBarRow(std::initializer_list<std::string_view> fields) { Assign(FirstTen(fields)); }

CBarRow::CBarRow(const CBarRow& other) { TakeCopy(other); }

CBarRow::CBarRow(CBarRow&& other) noexcept { TakeOver(other); }

CBarRow& CBarRow::operator=(const CBarRow& other) {
    if (this == &other) return *this;
    if (other.Size() > kInlineText && m_capacity >= other.Size()) {
        // A row updated from another keeps the allocation that holds the texts.
        std::memcpy(m_heap, other.Data(), other.Size());
        m_ends = other.m_ends;
        m_time = other.m_time;
        std::memcpy(m_prices, other.m_prices, sizeof m_prices);
        std::memcpy(m_wholes, other.m_wholes, sizeof m_wholes);
        return *this;
    }
    Release();
    TakeCopy(other);
    return *this;
}

CBarRow& CBarRow::operator=(CBarRow&& other) noexcept {
    if (this == &other) return *this;
    Release();
    TakeOver(other);
    return *this;
}

void CBarRow::TakeCopy(const CBarRow& other) {
    const std::size_t size = other.Size();
    if (size > kInlineText) {
        m_heap = new char[size];
        m_capacity = static_cast<std::uint16_t>(size);
    }
    std::memcpy(m_capacity > 0 ? m_heap : m_inline, other.Data(), size);
    m_ends = other.m_ends;
    m_time = other.m_time;
    std::memcpy(m_prices, other.m_prices, sizeof m_prices);
    std::memcpy(m_wholes, other.m_wholes, sizeof m_wholes);
}

void CBarRow::TakeOver(CBarRow& other) {
    if (other.m_capacity > 0) {
        m_heap = other.m_heap;
        m_capacity = other.m_capacity;
    } else {
        std::memcpy(m_inline, other.m_inline, other.Size());
    }
    m_ends = other.m_ends;
    m_time = other.m_time;
    std::memcpy(m_prices, other.m_prices, sizeof m_prices);
    std::memcpy(m_wholes, other.m_wholes, sizeof m_wholes);
    // A row moved from is empty: no texts, no allocation, no time, every number 0.
    other.m_capacity = 0;
    other.m_ends = {};
    other.m_time = 0;
    std::fill(std::begin(other.m_prices), std::end(other.m_prices), 0.0);
    std::fill(std::begin(other.m_wholes), std::end(other.m_wholes), 0);
}

void CBarRow::Release() {
    if (m_capacity > 0) delete[] m_heap;
    m_capacity = 0;
}

void CBarRow::StoreText(const char* text, std::size_t size) {
    if (size <= kInlineText) {
        Release();
        std::memcpy(m_inline, text, size);
        return;
    }
    if (size > m_capacity) {
        // Exactly sized: a row updated in place every second keeps its allocation while its
        // texts fit.
        char* heap = new char[size];
        Release();
        m_heap = heap;
        m_capacity = static_cast<std::uint16_t>(size);
    }
    std::memcpy(m_heap, text, size);
}

void CBarRow::Set(std::size_t i, std::string_view text) {
    if (i >= kFieldCount) return;
    std::array<std::string_view, kFieldCount> fields;
    for (std::size_t k = 0; k < kFieldCount; ++k) fields[k] = Get(k);
    fields[i] = text;
    Assign(fields);
}

void CBarRow::Assign(const std::array<std::string_view, kFieldCount>& fields) {
    // Built aside first: the views may point into this row's text.
    thread_local char scratch[kMaxText + kScanSlack];
    std::array<std::uint16_t, kFieldCount> ends{};
    std::size_t size = 0;
    for (std::size_t k = 0; k < kFieldCount; ++k) {
        const std::size_t length = std::min(fields[k].size(), kMaxText - size);
        if (length > 0) std::memcpy(scratch + size, fields[k].data(), length);
        size += length;
        ends[k] = static_cast<std::uint16_t>(size);
    }
    ReadChangedNumbers(scratch, ends);
    StoreText(scratch, size);
    m_ends = ends;
}

void CBarRow::ReadChangedNumbers(const char* text, const std::array<std::uint16_t, kFieldCount>& ends) {
    const char* readable = text + ends[kFieldCount - 1] + kScanSlack;
    for (std::size_t k = 0; k < kFieldCount; ++k) {
        if (!HasNumber(static_cast<BarField>(k))) continue;
        const char* begin = text + (k == 0 ? 0 : ends[k - 1]);
        const char* end = text + ends[k];
        if (std::string_view(begin, static_cast<std::size_t>(end - begin)) == Get(k)) continue;
        if (kPriceSlot[k] >= 0) {
            m_prices[kPriceSlot[k]] = ScanLeadingDouble(begin, end, readable);
        } else {
            m_wholes[kWholeSlot[k]] = ScanLeadingInt64(begin, end, readable);
        }
    }
}

double CBarRow::Price(BarField field) const {
    return field < kFieldCount && kPriceSlot[field] >= 0 ? m_prices[kPriceSlot[field]] : 0.0;
}

std::int64_t CBarRow::Whole(BarField field) const {
    return field < kFieldCount && kWholeSlot[field] >= 0 ? m_wholes[kWholeSlot[field]] : 0;
}

std::vector<std::string> CBarRow::Texts() const {
    std::vector<std::string> out;
    out.reserve(kFieldCount);
    for (std::size_t k = 0; k < kFieldCount; ++k) out.emplace_back(Get(k));
    return out;
}

}  // namespace qelt
