#include "app/AlarmWindowModel.h"

#include "app/AlarmRules.h"
#include "common/Numbers.h"

namespace qelt {
namespace {

std::string FieldOf(const AlarmHitRow& hit, size_t index) {
    return index < hit.size() ? hit[index] : std::string();
}

}  // namespace

bool AlarmWindowModel::Refresh(const std::vector<AlarmHitRow>& hits, const NameOf& nameOf) {
    m_rows.clear();
    m_rows.reserve(hits.size());
    for (auto it = hits.rbegin(); it != hits.rend(); ++it) {
        const AlarmHitRow& hit = *it;
        m_rows.push_back({nameOf(FieldOf(hit, 1)) + ShortDeliveryMonth(FieldOf(hit, 2)), FieldOf(hit, 3),
                          FieldOf(hit, 4), FieldOf(hit, 5)});
    }
    const std::int64_t newest = hits.empty() ? 0 : LeadingInt64(FieldOf(hits.back(), 0));
    const bool fresh = newest > m_newestId;
    if (fresh) m_newestId = newest;
    return fresh;
}

}  // namespace qelt
