#pragma once
/// The rules of the alarm window ("预警系统"), without widgets: its rows from the store's
/// fired alarms, newest first, and whether a refresh brought an alarm not shown before.
#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "data/CQeltData.h"

namespace qelt {

/// "商品", "价", "量", "仓", "时间".
using AlarmWindowRow = std::array<std::string, 5>;

class AlarmWindowModel {
  public:
    /// The category table's name of a goods number; empty when it has none.
    using NameOf = std::function<std::string(std::string_view goodsNo)>;

    /// One row per fired alarm (the store keeps them oldest first; the newest row comes
    /// first): "商品" names the contract (AlarmContractText: the goods' name and the whole
    /// delivery date), then fields 3, 4 and 5 of the record (empty when the record is
    /// shorter), then the time of the hit: the server's (field 6, "HH:MM:SS") when the record
    /// carries one, else `now` at the refresh that first showed the alarm. True when the
    /// newest alarm is newer than every alarm of the previous refresh.
    bool Refresh(const std::vector<AlarmHitRow>& hits, const NameOf& nameOf, const std::string& now);
    const std::vector<AlarmWindowRow>& Rows() const { return m_rows; }

  private:
    std::vector<AlarmWindowRow> m_rows;
    std::int64_t m_newestId = 0;
    /// When each alarm without a time of its own was first shown, by id.
    std::map<std::string, std::string> m_firstSeen;
};

}  // namespace qelt
