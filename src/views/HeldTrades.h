#pragma once
/// A view's copy of one contract's trades, kept in step with the store: each Sync copies only
/// the rows that arrived since the last one (ViewServices::TradesAfter), and says from which
/// row on the copy changed, so the views rebuild what they derive from it incrementally.
#include <cstddef>
#include <string>
#include <vector>

#include "views/ViewServices.h"

namespace qelt {

class HeldTrades {
  public:
    /// Fetches what is new for `goods`; true when the rows changed. A contract the store no
    /// longer holds leaves no rows.
    bool Sync(const ViewServices& services, const GoodsKey& goods);
    /// Drops everything (another contract follows).
    void Clear();
    /// Takes rows already copied from the store (a whole goods copy) as the held ones: the
    /// next Sync extends them when they are the contract's, or replaces them.
    void Adopt(std::vector<TradeRow> rows);

    const std::vector<TradeRow>& Rows() const { return m_rows; }
    /// The first row the last Sync added; 0 when it replaced the rows.
    std::size_t FirstNew() const { return m_firstNew; }
    /// The last Sync replaced the rows instead of extending them.
    bool Replaced() const { return m_replaced; }

  private:
    std::vector<TradeRow> m_rows;
    std::size_t m_firstNew = 0;
    bool m_replaced = true;
};

}  // namespace qelt
