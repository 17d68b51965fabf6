#include "analysis/ConditionHitMemory.h"

namespace qelt {

std::optional<int> ConditionHitMemory::LastHitDay(int entry, const GoodsKey& goods) const {
    const auto found = m_days.find(Key{entry, goods});
    if (found == m_days.end()) return std::nullopt;
    return found->second;
}

bool ConditionHitMemory::HitOn(int entry, const GoodsKey& goods, int day) const {
    return LastHitDay(entry, goods) == day;
}

void ConditionHitMemory::Record(int entry, const GoodsKey& goods, int day) {
    m_days[Key{entry, goods}] = day;
}

void ConditionHitMemory::ForgetEntry(int entry) {
    auto it = m_days.lower_bound(Key{entry, GoodsKey{}});
    while (it != m_days.end() && it->first.first == entry) it = m_days.erase(it);
}

}  // namespace qelt
