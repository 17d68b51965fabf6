#pragma once
/// The condition alarm entries and their hit days for the run, kept in condalarm.ini under
/// the settings files' rule (SettingsFile): read at the first use, every change written at
/// once (atomically); a file that exists but cannot be read is never written over this run
/// (the run works in memory), and that or a failed write is told once (SettingsReports).
///
/// Interface thread only.
#include <optional>
#include <string>
#include <vector>

#include "analysis/ConditionAlarmFile.h"
#include "data/settings/SettingsFile.h"

namespace qelt {

class SettingsReports;

class ConditionAlarmConfig {
  public:
    /// `programDirectory` ends in "/"; `reports` (may be null) tells the failures.
    ConditionAlarmConfig(const std::string& programDirectory, SettingsReports* reports);

    const std::vector<ConditionAlarmEntry>& Entries() const { return Loaded().entries; }
    const ConditionAlarmEntry* Find(int id) const { return Loaded().Find(id); }
    const ConditionHitMemory& Hits() const { return Loaded().hits; }

    /// A new entry (its id is given here, returned); nothing when 200 entries are there.
    std::optional<int> Add(ConditionAlarmEntry entry);
    /// The entry with `entry.id` takes `entry`'s content; false when there is none. A change of
    /// formula, values or goods forgets its hit days: the changed entry is a new condition.
    bool Replace(const ConditionAlarmEntry& entry);
    /// Removes the entry and its hit days.
    bool Remove(int id);
    /// Turns the entry on or off; false when there is none.
    bool SetOn(int id, bool on);
    /// The hit days a pass records into in place (no copy of up to 100,000 days a second);
    /// HitsRecorded writes them.
    ConditionHitMemory& HitsForPass() { return Loaded().hits; }
    void HitsRecorded() { Save(); }
    /// The hit days after an alarm pass (written when they changed); days of entries no
    /// longer here are left out.
    void SetHits(const ConditionHitMemory& hits);

    /// Whether the file was written at the last change (false: refused or failed, told once).
    bool LastSaved() const { return m_lastSaved; }
    const SettingsFile& File() const { return m_file; }

  private:
    const ConditionAlarmSettings& Loaded() const;
    ConditionAlarmSettings& Loaded();
    bool Save();

    mutable SettingsFile m_file;
    mutable std::optional<ConditionAlarmSettings> m_settings;
    bool m_lastSaved = true;
};

}  // namespace qelt
