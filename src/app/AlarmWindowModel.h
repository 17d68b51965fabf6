#pragma once
/// The rules of the alarm window ("预警系统"), without widgets: its rows from the store's
/// fired alarms, newest first, and whether a refresh brought an alarm not shown before.
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "data/CQeltData.h"

namespace qelt {

/// "商品", "价", "量", "仓".
using AlarmWindowRow = std::array<std::string, 4>;

class AlarmWindowModel {
  public:
    /// The category table's name of a goods number; empty when it has none.
    using NameOf = std::function<std::string(std::string_view goodsNo)>;

    /// One row per fired alarm (the store keeps them oldest first; the newest row comes
    /// first): "商品" is the name of the goods number followed by the shortened delivery
    /// month (only the month for a goods number without a name), then fields 3, 4 and 5 of
    /// the record (empty when the record is shorter). True when the newest alarm is newer
    /// than every alarm of the previous refresh.
    bool Refresh(const std::vector<AlarmHitRow>& hits, const NameOf& nameOf);
    const std::vector<AlarmWindowRow>& Rows() const { return m_rows; }

  private:
    std::vector<AlarmWindowRow> m_rows;
    std::int64_t m_newestId = 0;
};

}  // namespace qelt
