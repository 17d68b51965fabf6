#pragma once
/// The identities of the trades one goods holds, kept beside its trade list so that folding
/// a "real" reply costs what the reply carries instead of what the goods holds.
///
/// A trade's identity is its 8th field (empty when the row has fewer fields); no two trades
/// of one goods share one. The set always describes exactly the trades it is kept with:
/// every append adds the identity, every dropped trade removes its own, and IsFor tells
/// whether the set still matches a trade list (after the store was reset, it does not).
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "common/TextHash.h"
#include "data/CQeltGoods.h"

namespace qelt {

/// The 8th field of a trade row; empty when there is none.
std::string_view TradeIdentity(const TradeRow& row);

class TradeIdentities {
  public:
    bool Contains(std::string_view id) const { return m_ids.find(id) != m_ids.end(); }
    void Insert(std::string_view id) { m_ids.emplace(id); }
    std::size_t Size() const { return m_ids.size(); }

    /// True when this set holds as many identities as `trades` holds rows: as the store
    /// keeps both together, a different count means the set belongs to an earlier list.
    bool IsFor(const std::vector<TradeRow>& trades) const { return m_ids.size() == trades.size(); }
    /// Starts over from `trades` (their identities are distinct).
    void Rebuild(const std::vector<TradeRow>& trades);

    /// Removes the oldest `count` rows from the front of `trades` and their identities.
    void DropOldest(std::vector<TradeRow>& trades, std::size_t count);

  private:
    std::unordered_set<std::string, TextHash, std::equal_to<>> m_ids;
};

}  // namespace qelt
