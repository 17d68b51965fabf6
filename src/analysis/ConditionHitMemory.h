#pragma once
/// The day of each condition alarm entry's last hit for each goods: at most one hit per
/// entry, goods and day, also across restarts, so the application keeps this in its
/// settings file and gives it back at start-up. A plain value: no file, no lock.
#include <map>
#include <optional>
#include <utility>

#include "common/GoodsKey.h"

namespace qelt {

class ConditionHitMemory {
  public:
    using Key = std::pair<int, GoodsKey>;  ///< entry id, goods

    /// The date (YYYYMMDD) of the entry's last hit for the goods, if it has had one.
    std::optional<int> LastHitDay(int entry, const GoodsKey& goods) const;
    /// True when a hit of the entry for the goods is already recorded for `day`.
    bool HitOn(int entry, const GoodsKey& goods, int day) const;
    /// Records a hit on `day` (replacing the day of an earlier one).
    void Record(int entry, const GoodsKey& goods, int day);
    /// The entry was deleted: its days go (a new entry may get its id back).
    void ForgetEntry(int entry);

    /// Every (entry, goods) with its last hit day, ordered by entry, then goods: what the
    /// settings file writes, and what it reads back through Record.
    const std::map<Key, int>& Days() const { return m_days; }

    friend bool operator==(const ConditionHitMemory&, const ConditionHitMemory&) = default;

  private:
    std::map<Key, int> m_days;
};

}  // namespace qelt
