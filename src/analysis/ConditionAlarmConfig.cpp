#include "analysis/ConditionAlarmConfig.h"

#include <algorithm>
#include <utility>

#include "common/DiagnosticLog.h"
#include "common/Numbers.h"

namespace qelt {

ConditionAlarmConfig::ConditionAlarmConfig(const std::string& programDirectory, SettingsReports* reports)
    : m_file(programDirectory, kConditionAlarmFileName, kMaxConditionAlarmFileBytes, reports) {}

const ConditionAlarmSettings& ConditionAlarmConfig::Loaded() const {
    if (!m_settings) {
        // No file, or one this run leaves alone: no entries.
        const std::optional<std::string> bytes = m_file.Read();
        m_settings = bytes ? ParseConditionAlarmFile(*bytes) : ConditionAlarmSettings{};
        if (!m_settings->kept.empty())
            Log(std::string(kConditionAlarmFileName) + ": " +
                FormatInt(static_cast<std::int64_t>(m_settings->kept.size())) +
                " lines are not settings this run takes; they stay in the file");
    }
    return *m_settings;
}

ConditionAlarmSettings& ConditionAlarmConfig::Loaded() {
    static_cast<const ConditionAlarmConfig&>(*this).Loaded();
    return *m_settings;
}

bool ConditionAlarmConfig::Save() {
    m_lastSaved = m_file.Write(FormatConditionAlarmFile(Loaded()));
    return m_lastSaved;
}

std::optional<int> ConditionAlarmConfig::Add(ConditionAlarmEntry entry) {
    ConditionAlarmSettings& settings = Loaded();
    if (settings.entries.size() >= kMaxConditionAlarmEntries) return std::nullopt;
    entry.id = settings.nextId++;
    settings.hits.ForgetEntry(entry.id);  // a hand-edited file may hold days of that id
    settings.entries.push_back(std::move(entry));
    Save();
    return settings.entries.back().id;
}

bool ConditionAlarmConfig::Replace(const ConditionAlarmEntry& entry) {
    ConditionAlarmSettings& settings = Loaded();
    for (ConditionAlarmEntry& held : settings.entries) {
        if (held.id != entry.id) continue;
        if (held.formulaId != entry.formulaId || held.values != entry.values ||
            held.selfSelected != entry.selfSelected || held.goods != entry.goods)
            settings.hits.ForgetEntry(entry.id);
        held = entry;
        Save();
        return true;
    }
    return false;
}

bool ConditionAlarmConfig::Remove(int id) {
    ConditionAlarmSettings& settings = Loaded();
    const auto gone = std::remove_if(settings.entries.begin(), settings.entries.end(),
                                     [id](const ConditionAlarmEntry& entry) { return entry.id == id; });
    if (gone == settings.entries.end()) return false;
    settings.entries.erase(gone, settings.entries.end());
    settings.hits.ForgetEntry(id);
    Save();
    return true;
}

bool ConditionAlarmConfig::SetOn(int id, bool on) {
    ConditionAlarmSettings& settings = Loaded();
    for (ConditionAlarmEntry& held : settings.entries) {
        if (held.id != id) continue;
        if (held.on != on) {
            held.on = on;
            Save();
        }
        return true;
    }
    return false;
}

void ConditionAlarmConfig::SetHits(const ConditionHitMemory& hits) {
    ConditionAlarmSettings& settings = Loaded();
    // A pass that began before an entry was deleted must not bring the entry's days back.
    ConditionHitMemory kept;
    for (const auto& [key, day] : hits.Days())
        if (settings.Find(key.first)) kept.Record(key.first, key.second, day);
    if (settings.hits == kept) return;
    settings.hits = std::move(kept);
    Save();
}

}  // namespace qelt
