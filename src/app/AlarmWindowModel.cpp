#include "app/AlarmWindowModel.h"

#include <algorithm>

#include "app/AlarmRules.h"
#include "app/ConditionAlarmRules.h"
#include "common/Numbers.h"

namespace qelt {
namespace {

std::string FieldOf(const AlarmHitRow& hit, size_t index) {
    return index < hit.size() ? hit[index] : std::string();
}

}  // namespace

bool AlarmWindowModel::Refresh(const std::vector<AlarmHitRow>& hits, const NameOf& nameOf,
                               const std::string& now) {
    m_rows.clear();
    m_rows.reserve(hits.size());
    m_rowArrival.clear();
    m_arrived.clear();
    // Arrival counts in the store's order (ascending ids): the oldest new alarm first.
    std::map<std::string, std::uint64_t> arrival;
    for (const AlarmHitRow& hit : hits) {
        const std::string id = FieldOf(hit, 0);
        const auto known = m_serverArrival.find(id);
        arrival[id] = known != m_serverArrival.end() ? known->second : ++m_arrivals;
    }
    std::map<std::string, std::string> seen;  // only the alarms the store still holds stay
    for (auto it = hits.rbegin(); it != hits.rend(); ++it) {
        const AlarmHitRow& hit = *it;
        std::optional<std::string> time = AlarmHitTime(FieldOf(hit, 6));
        if (!time) {
            const std::string id = FieldOf(hit, 0);
            const auto known = m_firstSeen.find(id);
            time = known != m_firstSeen.end() ? known->second : now;
            seen[id] = *time;
        }
        m_rows.push_back({AlarmContractText(nameOf(FieldOf(hit, 1)), FieldOf(hit, 2)), FieldOf(hit, 3),
                          FieldOf(hit, 4), FieldOf(hit, 5), *time});
        const std::string id = FieldOf(hit, 0);
        m_rowArrival.push_back(arrival[id]);
        if (!m_serverArrival.count(id)) m_arrived.emplace_back(hit, *time);
    }
    std::reverse(m_arrived.begin(), m_arrived.end());
    m_firstSeen = std::move(seen);
    m_serverArrival = std::move(arrival);
    const std::int64_t newest = hits.empty() ? 0 : LeadingInt64(FieldOf(hits.back(), 0));
    const bool fresh = newest > m_newestId;
    if (fresh) m_newestId = newest;
    return fresh;
}

void AlarmWindowModel::AddConditionHits(const std::vector<ConditionAlarmRow>& rows) {
    for (const ConditionAlarmRow& row : rows) m_conditionRows.emplace_back(++m_arrivals, row);
    while (m_conditionRows.size() > kMaxConditionAlarmRows) m_conditionRows.pop_front();
}

std::vector<AlarmShownRow> AlarmWindowModel::Shown() const {
    std::vector<AlarmShownRow> shown;
    shown.reserve(m_rows.size() + m_conditionRows.size());
    // Both lists run newest first: merged by their arrival counts.
    size_t server = 0;
    auto condition = m_conditionRows.rbegin();
    while (server < m_rows.size() || condition != m_conditionRows.rend()) {
        const bool takeServer = condition == m_conditionRows.rend() ||
                                (server < m_rows.size() && m_rowArrival[server] > condition->first);
        if (takeServer) {
            const AlarmWindowRow& row = m_rows[server++];
            shown.push_back({row[0], row[1], row[2], row[3], row[4], kServerAlarmKind});
        } else {
            const ConditionAlarmRow& row = (condition++)->second;
            shown.push_back({row.contract, row.price, "", "", row.time, row.kind});
        }
    }
    return shown;
}

}  // namespace qelt
