#pragma once
/// The rules of the alarm window ("预警系统"), without widgets: its rows from the store's
/// fired alarms, newest first, and whether a refresh brought an alarm not shown before.
#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "data/CQeltData.h"

namespace qelt {

/// "商品", "价", "量", "仓", "时间".
using AlarmWindowRow = std::array<std::string, 5>;
/// The five of AlarmWindowRow, then "类别": what the window shows.
using AlarmShownRow = std::array<std::string, 6>;

/// A condition alarm's hit as the window shows it beside the server's.
struct ConditionAlarmRow {
    std::string kind;      ///< "条件：<formula name>"
    std::string contract;  ///< AlarmContractText of the goods
    std::string price;
    std::string time;  ///< HH:MM:SS
};

/// Condition hits the window keeps at most (the oldest go first), as many as the server's.
inline constexpr std::size_t kMaxConditionAlarmRows = 10000;

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
    /// The server's alarms the last Refresh showed for the first time, oldest first, each
    /// with the time it shows: what goes into the alarm log.
    const std::vector<std::pair<AlarmHitRow, std::string>>& Arrived() const { return m_arrived; }

    /// Condition hits, shown beside the server's from now on.
    void AddConditionHits(const std::vector<ConditionAlarmRow>& rows);
    /// Every row the window shows, the server's ("服务器" in 类别) and the conditions', in the
    /// order they arrived, the newest first.
    std::vector<AlarmShownRow> Shown() const;

  private:
    std::vector<AlarmWindowRow> m_rows;
    std::int64_t m_newestId = 0;
    /// When each alarm without a time of its own was first shown, by id.
    std::map<std::string, std::string> m_firstSeen;
    /// When each server alarm (by id) and each condition row arrived: one count for both.
    std::uint64_t m_arrivals = 0;
    std::map<std::string, std::uint64_t> m_serverArrival;
    std::vector<std::uint64_t> m_rowArrival;  ///< beside m_rows
    std::deque<std::pair<std::uint64_t, ConditionAlarmRow>> m_conditionRows;
    std::vector<std::pair<AlarmHitRow, std::string>> m_arrived;
};

}  // namespace qelt
