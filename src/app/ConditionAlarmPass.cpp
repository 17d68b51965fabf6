#include "app/ConditionAlarmPass.h"

#include <set>

namespace qelt {

std::vector<ConditionTurnOff> ConditionAlarmPass::Configure(const std::vector<ConditionAlarmEntry>& entries,
                                                            const FormulaLibrary& library) {
    std::vector<ConditionTurnOff> turnOff;
    std::set<int> keep;
    bool changed = false;
    for (const ConditionAlarmEntry& entry : entries) {
        if (!entry.on) continue;
        ConditionEntryCheck check = CheckConditionEntry(entry, library);
        if (check.state != ConditionEntryState::On) {
            turnOff.push_back({entry.id, check.state});
            continue;
        }
        ActiveEntry next{*check.formula, entry.values, entry.selfSelected, entry.goods};
        const auto held = m_active.find(entry.id);
        if (held != m_active.end() && held->second.formula.text == next.formula.text &&
            held->second.formula.parameters == next.formula.parameters &&
            held->second.values == next.values) {
            // The same condition: its runs stay; only what it watches may have changed.
            changed =
                changed || held->second.selfSelected != next.selfSelected || held->second.goods != next.goods;
            held->second = std::move(next);
            keep.insert(entry.id);
            continue;
        }
        if (m_engine.SetEntry(entry.id, *check.compiled, entry.values)) {
            turnOff.push_back({entry.id, ConditionEntryState::ValuesWrong});
            continue;
        }
        m_active.insert_or_assign(entry.id, std::move(next));
        keep.insert(entry.id);
        changed = true;
    }
    for (auto it = m_active.begin(); it != m_active.end();) {
        if (keep.count(it->first)) {
            ++it;
            continue;
        }
        m_engine.RemoveEntry(it->first);
        it = m_active.erase(it);
        changed = true;
    }
    // A new or changed entry is computed over every goods it watches at the next pass.
    if (changed) m_seen.clear();
    return turnOff;
}

std::optional<int> ConditionAlarmPass::UnchangedSince(const SeenSeries* seen, const BarSeries& now) {
    const std::size_t n = now.size();
    if (!seen || seen->size == 0 || n == 0 || !(now[0] == seen->first)) return 0;
    const std::size_t s = seen->size;
    const bool prefixHolds = s < 2 || (s - 2 < n && now[s - 2] == seen->beforeLast);
    if (n == s && prefixHolds) {
        if (now[n - 1] == seen->last) return std::nullopt;
        return static_cast<int>(n - 1);  // a live quote rewrote the last bar
    }
    if (n == s + 1 && prefixHolds)  // a new day: the old last bar may have taken a last quote
        return static_cast<int>(now[s - 1] == seen->last ? s : s - 1);
    return 0;
}

std::vector<ConditionHit> ConditionAlarmPass::Run(const CQeltData& store,
                                                  const std::vector<GoodsKey>& selfSelected,
                                                  ConditionHitMemory& memory) {
    std::map<GoodsKey, std::vector<int>> watched;
    for (const auto& [id, entry] : m_active)
        for (const GoodsKey& goods : entry.selfSelected ? selfSelected : entry.goods)
            watched[goods].push_back(id);
    for (auto it = m_seen.begin(); it != m_seen.end();) {
        if (watched.count(it->first)) {
            ++it;
            continue;
        }
        m_engine.ForgetGoods(it->first);
        it = m_seen.erase(it);
    }

    std::vector<ConditionHit> hits;
    auto evaluate = [&](const GoodsKey& goods, const std::vector<int>& ids) {
        store.VisitMainRecord(goods, [&](const CQeltGoods& record) {
            const BarSeries& days = record.series;
            if (days.empty()) return;
            const auto seen = m_seen.find(goods);
            const std::optional<int> unchanged =
                UnchangedSince(seen == m_seen.end() ? nullptr : &seen->second, days);
            if (!unchanged) return;
            // The store is locked for as long as this goods is computed: a few microseconds
            // after a quote, once per goods.
            const WatchedGoodsUpdate update{goods, &days, *unchanged, ids};
            std::vector<ConditionHit> found = m_engine.Evaluate({&update, 1}, memory);
            hits.insert(hits.end(), std::make_move_iterator(found.begin()),
                        std::make_move_iterator(found.end()));
            SeenSeries& now = m_seen[goods];
            now.size = days.size();
            now.first = days.front();
            now.beforeLast = days.size() > 1 ? days[days.size() - 2] : CBarRow();
            now.last = days.back();
        });
    };
    std::vector<const std::pair<const GoodsKey, std::vector<int>>*> fresh;
    for (const auto& watch : watched) {
        if (m_seen.count(watch.first))
            evaluate(watch.first, watch.second);
        else
            fresh.push_back(&watch);
    }
    const auto start = std::chrono::steady_clock::now();
    m_deferred = 0;
    for (const auto* watch : fresh) {
        if (watch != fresh.front() && std::chrono::steady_clock::now() - start > m_freshBudget) {
            ++m_deferred;
            continue;
        }
        evaluate(watch->first, watch->second);
    }
    return hits;
}

std::string ConditionAlarmPass::FormulaName(int entry) const {
    const auto found = m_active.find(entry);
    return found == m_active.end() ? std::string() : found->second.formula.name;
}

}  // namespace qelt
