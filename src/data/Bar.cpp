#include "data/Bar.h"

#include <algorithm>

namespace qelt {

namespace {

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

void CBarRow::Set(std::size_t i, std::string_view text) {
    if (i >= kFieldCount) return;
    std::array<std::string_view, kFieldCount> fields;
    for (std::size_t k = 0; k < kFieldCount; ++k) fields[k] = Get(k);
    fields[i] = text;
    Assign(fields);
}

void CBarRow::Assign(const std::array<std::string_view, kFieldCount>& fields) {
    // Built aside first (the views may point into the old text), then copied over so a row
    // updated in place every second keeps its allocation.
    thread_local std::string scratch;
    scratch.clear();
    std::array<std::uint16_t, kFieldCount> ends{};
    for (std::size_t k = 0; k < kFieldCount; ++k) {
        std::size_t room = kMaxText - scratch.size();
        scratch.append(fields[k].substr(0, std::min(fields[k].size(), room)));
        ends[k] = static_cast<std::uint16_t>(scratch.size());
    }
    if (m_text.capacity() >= scratch.size()) {
        m_text.assign(scratch);
    } else {
        m_text = std::string(scratch);  // exactly sized: no spare capacity on stored bars
    }
    m_ends = ends;
}

std::vector<std::string> CBarRow::Texts() const {
    std::vector<std::string> out;
    out.reserve(kFieldCount);
    for (std::size_t k = 0; k < kFieldCount; ++k) out.emplace_back(Get(k));
    return out;
}

}  // namespace qelt
