#include "app/AlarmWindowModel.h"

#include "app/AlarmRules.h"
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
    }
    m_firstSeen = std::move(seen);
    const std::int64_t newest = hits.empty() ? 0 : LeadingInt64(FieldOf(hits.back(), 0));
    const bool fresh = newest > m_newestId;
    if (fresh) m_newestId = newest;
    return fresh;
}

}  // namespace qelt
