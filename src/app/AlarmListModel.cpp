#include "app/AlarmListModel.h"

#include "data/settings/CQeltCFG.h"

namespace qelt {

std::vector<AlarmListRow> AlarmListModel::Rows() const {
    std::vector<AlarmListRow> rows;
    const std::vector<AlarmEntry> entries = m_settings.AlarmEntries();
    rows.reserve(entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i) rows.push_back(MakeAlarmListRow(entries[i], i));
    return rows;
}

bool AlarmListModel::Delete(const std::set<std::size_t>& rows) {
    if (rows.empty()) return true;
    return m_settings.RemoveAlarmEntries(rows);
}

std::string AlarmListModel::SwitchText() const { return AlarmSwitchText(m_settings.m_alarmWindowOn.load()); }

}  // namespace qelt
