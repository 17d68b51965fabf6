#include "analysis/ConditionAlarms.h"

#include <set>

#include "analysis/Condition.h"
#include "analysis/PeriodBars.h"

namespace qelt {

/// One entry over one goods: prepared on the calling thread, run on any.
struct ConditionAlarms::Job {
    const Entry* entry = nullptr;
    int entryId = 0;
    EntryRun* kept = nullptr;
    const WatchedGoodsUpdate* update = nullptr;
    std::uint64_t updateCount = 0;
    int unchangedBars = 0;
    std::optional<ConditionHit> candidate;  ///< the condition is true at the last bar
};

std::optional<FormulaError> ConditionAlarms::SetEntry(int id, const CompiledFormula& formula,
                                                      std::vector<double> values) {
    RemoveEntry(id);
    // The constant arguments depend on the values only: checked once, on no bars.
    FormulaRun check;
    if (!check.Run(formula, BarSeries{}, values)) return check.Error();
    m_entries.insert_or_assign(id, Entry{formula, std::move(values)});
    return std::nullopt;
}

void ConditionAlarms::RemoveEntry(int id) {
    m_entries.erase(id);
    for (auto& [key, goods] : m_goods) goods.runs.erase(id);
}

void ConditionAlarms::ForgetGoods(const GoodsKey& goods) { m_goods.erase(goods); }

void ConditionAlarms::RunJob(Job& job) {
    const BarSeries& days = *job.update->days;
    FormulaRun& run = job.kept->run;
    const bool computed = run.Run(job.entry->formula, days, job.entry->values, job.unchangedBars);
    job.kept->ranAt = computed ? job.updateCount : 0;
    const int last = static_cast<int>(days.size()) - 1;
    if (!computed || !ConditionAt(run, last)) return;
    const CBarRow& bar = days[static_cast<std::size_t>(last)];
    job.candidate = ConditionHit{job.entryId, job.update->goods, BarDateNumber(bar), last, BarClose(bar)};
}

std::vector<ConditionHit> ConditionAlarms::Evaluate(std::span<const WatchedGoodsUpdate> updates,
                                                    ConditionHitMemory& memory, const WorkPool* pool) {
    std::vector<Job> jobs;
    std::set<GoodsKey> seen;
    bool repeated = false;
    for (const WatchedGoodsUpdate& update : updates) {
        if (!update.days) continue;
        repeated = repeated || !seen.insert(update.goods).second;
        WatchedGoods& goods = m_goods[update.goods];
        ++goods.updates;
        for (int id : update.entries) {
            const auto entry = m_entries.find(id);
            if (entry == m_entries.end()) continue;
            EntryRun& kept = goods.runs[id];
            // The caller's promise is about the previous update of the goods: it holds for a
            // run made at that update only.
            const int unchanged =
                kept.ranAt != 0 && kept.ranAt + 1 == goods.updates ? update.unchangedBars : 0;
            jobs.push_back(Job{&entry->second, id, &kept, &update, goods.updates, unchanged, std::nullopt});
        }
    }
    // A goods given twice has its runs in two jobs: those must run one after the other.
    if (pool && !repeated && jobs.size() > 1) {
        pool->Run(static_cast<int>(jobs.size()),
                  [&](int item, int) { RunJob(jobs[static_cast<std::size_t>(item)]); });
    } else {
        for (Job& job : jobs) RunJob(job);
    }
    std::vector<ConditionHit> hits;
    for (Job& job : jobs) {
        if (!job.candidate) continue;
        const ConditionHit& hit = *job.candidate;
        if (memory.HitOn(hit.entry, hit.goods, hit.day)) continue;
        memory.Record(hit.entry, hit.goods, hit.day);
        hits.push_back(std::move(*job.candidate));
    }
    return hits;
}

}  // namespace qelt
