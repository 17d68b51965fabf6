#include "data/TradeIdentities.h"

#include <algorithm>

namespace qelt {

std::string_view TradeIdentity(const TradeRow& row) {
    return row.size() > 7 ? std::string_view(row[7]) : std::string_view{};
}

void TradeIdentities::Rebuild(const std::vector<TradeRow>& trades) {
    m_ids.clear();
    m_ids.reserve(trades.size());
    for (const TradeRow& row : trades) Insert(TradeIdentity(row));
}

void TradeIdentities::DropOldest(std::vector<TradeRow>& trades, std::size_t count) {
    count = std::min(count, trades.size());
    for (std::size_t i = 0; i < count; ++i) {
        auto found = m_ids.find(TradeIdentity(trades[i]));
        if (found != m_ids.end()) m_ids.erase(found);
    }
    trades.erase(trades.begin(), trades.begin() + static_cast<std::ptrdiff_t>(count));
}

}  // namespace qelt
