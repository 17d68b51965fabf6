#pragma once
/// The goods a user has looked at in the chart views, newest last, as parallel goods and
/// category indices: Backspace in the K-line and intraday views goes back along it.
#include <optional>
#include <utility>
#include <vector>

namespace qelt {

class NavigationHistory {
  public:
    /// Appends (goods, category) unless the newest entry already has this goods.
    void Push(int goodsIndex, int categoryIndex);
    /// With two entries or more: drops the newest and returns the one before it, which stays
    /// as the newest. Nothing with fewer entries.
    std::optional<std::pair<int, int>> Back();
    std::size_t Size() const { return m_goods.size(); }

  private:
    std::vector<int> m_goods;
    std::vector<int> m_categories;
};

}  // namespace qelt
