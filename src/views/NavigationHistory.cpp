#include "views/NavigationHistory.h"

namespace qelt {

void NavigationHistory::Push(int goodsIndex, int categoryIndex) {
    if (!m_goods.empty() && m_goods.back() == goodsIndex) return;
    m_goods.push_back(goodsIndex);
    m_categories.push_back(categoryIndex);
}

std::optional<std::pair<int, int>> NavigationHistory::Back() {
    if (m_goods.size() < 2 || m_categories.size() < 2) return std::nullopt;
    m_goods.pop_back();
    m_categories.pop_back();
    return std::make_pair(m_goods.back(), m_categories.back());
}

}  // namespace qelt
