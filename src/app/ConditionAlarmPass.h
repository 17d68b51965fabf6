#pragma once
/// One condition alarm pass after a board update: the entries that are on, computed for each
/// goods they watch (chosen contracts, or 自选 as it is now) whose last day bar changed since
/// the previous pass, from the changed bars only (ConditionAlarms keeps the runs).
///
/// The store's series are read in place under its lock, one goods at a time, rather than
/// copied: a copy of every watched series would double what the store holds. What was seen of
/// each series (its length, first, last but one and last bar) tells which bars changed: a
/// live quote rewrites the last bar, a new day appends one; anything else (a series loaded
/// afresh) is computed from its first bar.
///
/// Interface thread only: a pass over 200 goods after a quote takes well under the 5 ms goal
/// (bench/app). A goods seen for the first time (new entries, a restart) is computed from its
/// first bar, which costs far more; such goods are computed for at most `freshBudget` of
/// each pass and the rest are left to the next passes, a second apart, so the interface never
/// waits long while a few hundred series are taken up.
#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "analysis/ConditionAlarmFile.h"
#include "analysis/ConditionAlarms.h"
#include "app/ConditionAlarmRules.h"
#include "data/CQeltData.h"

namespace qelt {

/// An entry that was on but cannot run: the caller turns it off, and the list says why.
struct ConditionTurnOff {
    int id = 0;
    ConditionEntryState why = ConditionEntryState::Off;
};

class ConditionAlarmPass {
  public:
    explicit ConditionAlarmPass(std::chrono::milliseconds freshBudget = std::chrono::milliseconds(40))
        : m_freshBudget(freshBudget) {}

    /// Brings the engine in line with the entries and the formulas: entries that are on and
    /// sound are set (kept as they were when nothing of theirs changed), the others removed.
    /// Returns the entries that are on but cannot run.
    std::vector<ConditionTurnOff> Configure(const std::vector<ConditionAlarmEntry>& entries,
                                            const FormulaLibrary& library);

    /// The pass: hits recorded in `memory` (at most one per entry, goods and day). The goods
    /// seen before come first; goods seen for the first time follow while the budget lasts
    /// (one at least).
    std::vector<ConditionHit> Run(const CQeltData& store, const std::vector<GoodsKey>& selfSelected,
                                  ConditionHitMemory& memory);

    /// The formula name of a set entry (empty when it is not set).
    std::string FormulaName(int entry) const;
    bool Active() const { return !m_active.empty(); }
    /// Watched goods the last pass left for later (first seen, over the budget).
    int Deferred() const { return m_deferred; }

  private:
    struct ActiveEntry {
        StoredFormula formula;
        std::vector<double> values;
        bool selfSelected = false;
        std::vector<GoodsKey> goods;
    };
    /// What the previous pass saw of a goods' series.
    struct SeenSeries {
        std::size_t size = 0;
        CBarRow first;
        CBarRow beforeLast;
        CBarRow last;
    };
    /// Bars unchanged since `seen`; nothing when no bar changed at all.
    static std::optional<int> UnchangedSince(const SeenSeries* seen, const BarSeries& now);

    std::chrono::milliseconds m_freshBudget;
    int m_deferred = 0;
    ConditionAlarms m_engine;
    std::map<int, ActiveEntry> m_active;
    std::map<GoodsKey, SeenSeries> m_seen;
};

}  // namespace qelt
