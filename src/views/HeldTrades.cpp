#include "views/HeldTrades.h"

#include <iterator>

namespace qelt {

bool HeldTrades::Sync(const ViewServices& services, const GoodsKey& goods) {
    const std::string last = m_rows.empty() ? std::string() : std::string(IdentityOf(m_rows.back()));
    TradeUpdate update = services.TradesAfter(goods, m_rows.size(), last);
    if (!update.found || update.restart) {
        const bool changed = !m_rows.empty() || !update.rows.empty();
        m_rows = std::move(update.rows);
        m_firstNew = 0;
        m_replaced = true;
        return changed;
    }
    m_firstNew = m_rows.size();
    m_replaced = false;
    m_rows.insert(m_rows.end(), std::make_move_iterator(update.rows.begin()),
                  std::make_move_iterator(update.rows.end()));
    return !update.rows.empty();
}

void HeldTrades::Adopt(std::vector<TradeRow> rows) {
    m_rows = std::move(rows);
    m_firstNew = 0;
    m_replaced = true;
}

void HeldTrades::Clear() {
    m_rows.clear();
    m_firstNew = 0;
    m_replaced = true;
}

}  // namespace qelt
