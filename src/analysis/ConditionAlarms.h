#pragma once
/// Condition alarms (条件预警): entries of a formula and its parameter values, each
/// computed over the day bars of the goods it watches after every board update, the last
/// bar kept current by the live quotes. A hit is the condition true at the last bar with no
/// hit of that entry and goods recorded for that bar's date (ConditionHitMemory).
///
/// The engine keeps one FormulaRun per entry and goods, so an update that changed the last
/// bar recomputes from the changed bars only. Each kept run holds its formula's columns over
/// the goods' bars (about 8 bytes × bars × the columns the formula needs: a few hundred KB for
/// a long formula over 2,500 bars). Which goods an entry watches (chosen
/// contracts, or 自选 as it is at each evaluation), the entries' file and the alarm window
/// are the application's; this holds no lock and belongs to one thread at a time.
///
///     ConditionAlarms alarms;
///     if (auto fault = alarms.SetEntry(7, *compiled.formula, values)) turnOff(7, *fault);
///     // after a board update, for every watched goods whose last day bar changed:
///     std::vector<ConditionHit> hits = alarms.Evaluate(updates, memory, &pool);
#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <vector>

#include "analysis/ConditionHitMemory.h"
#include "analysis/WorkPool.h"
#include "common/GoodsKey.h"
#include "data/Bar.h"
#include "formula/Formula.h"

namespace qelt {

struct ConditionHit {
    int entry = 0;
    GoodsKey goods;
    int day = 0;         ///< the last bar's date YYYYMMDD: the day the hit counts for
    int bar = 0;         ///< the last bar's index in the day series
    double price = 0.0;  ///< the last bar's close: the price the hit was seen at
};

/// A watched goods after a board update.
struct WatchedGoodsUpdate {
    GoodsKey goods;
    const BarSeries* days = nullptr;  ///< its day series as it is now (oldest first)
    /// How many leading bars are as they were at the previous update of this goods given to
    /// the engine: all but the last after a live quote changed the last bar, all but the new
    /// one after a day was added; 0 when unknown (a series loaded afresh).
    int unchangedBars = 0;
    std::vector<int> entries;  ///< the entries watching it now (ids given to SetEntry)
};

class ConditionAlarms {
  public:
    /// Sets entry `id` (a new one, or a change of its formula or values, whose kept runs
    /// then go). When the values put a constant argument out of range (N - 5 below 1) the
    /// entry is removed instead and the fault comes back: the caller turns it off and says so.
    std::optional<FormulaError> SetEntry(int id, const CompiledFormula& formula, std::vector<double> values);
    /// The entry was deleted or turned off: its runs go. Its hit days stay in the memory
    /// until the caller forgets them there.
    void RemoveEntry(int id);
    bool HasEntry(int id) const { return m_entries.count(id) != 0; }
    /// The goods is no longer watched: its runs go.
    void ForgetGoods(const GoodsKey& goods);

    /// Computes each update's entries over its goods' bars (spread over `pool`'s threads
    /// when given: worth it when many runs start from bar 0, as at the first update after the
    /// entries were set; after a live quote each run is short and one thread does better) and
    /// returns the hits: in the order of the updates, and within one in the
    /// order of its entries. Each hit is recorded in `memory` before the next is decided.
    /// Entries not set are passed over. A goods given twice in one call is computed twice,
    /// in order.
    std::vector<ConditionHit> Evaluate(std::span<const WatchedGoodsUpdate> updates,
                                       ConditionHitMemory& memory, const WorkPool* pool = nullptr);

  private:
    struct Entry {
        CompiledFormula formula;
        std::vector<double> values;
    };
    struct EntryRun {
        FormulaRun run;
        std::uint64_t ranAt = 0;  ///< the goods' update count at its last Run; 0: never ran
    };
    struct WatchedGoods {
        std::uint64_t updates = 0;
        std::map<int, EntryRun> runs;  ///< by entry id
    };
    struct Job;
    static void RunJob(Job& job);

    std::map<int, Entry> m_entries;
    std::map<GoodsKey, WatchedGoods> m_goods;
};

}  // namespace qelt
