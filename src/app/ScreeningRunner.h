#pragma once
/// Runs 条件选股 off the interface thread, one screening at a time, on a thread of its own
/// that spreads the goods over every core (the WorkPool, that thread included). The goods'
/// day series are copied out of the store on that thread, a batch at a time, so the store is
/// locked only while one goods' bars are copied and a whole market is never held twice in
/// memory. It tells the window only through posted messages:
///   WM_SCREEN_PROGRESS (wParam goods done, lParam all of them), at most once per thousandth;
///   WM_SCREEN_DONE (wParam the job's number) as the job's last act; the window then takes
///   the outcome with Finish.
/// 取消 stops between goods: the outcome is cancelled, with no rows at all.
///
///     ScreeningRunner runner(poster, window, StoreDaySeries(store));
///     const int job = runner.Start(plan.request, goods);
///     ... WM_SCREEN_DONE(job) arrives ...
///     std::optional<ScreeningOutcome> outcome = runner.Finish(job);
#include <functional>
#include <optional>
#include <vector>

#include "analysis/Screening.h"
#include "app/JobThread.h"
#include "app/ScreeningModel.h"
#include "common/Messages.h"
#include "data/CQeltData.h"

namespace qelt {

/// Puts the day bars of a goods (oldest first) as the store holds them now into `bars`,
/// replacing what it held (none when the store holds none). Called on the runner's thread,
/// which hands in the same series again and again: a copy into the storage it already has
/// costs no allocation, and a whole market's bars copied into new storage would cost more
/// than screening them.
using DaySeriesSource = std::function<void(const GoodsKey& goods, BarSeries& bars)>;

/// The main record's day series, today's quote folded in as the store keeps it (offline
/// the store was filled from the history database).
DaySeriesSource StoreDaySeries(const CQeltData& store);

struct ScreeningOutcome {
    bool cancelled = false;
    /// The whole result; its rows' goods index `goods` given to Start.
    std::optional<ScreeningResult> result;
};

class ScreeningRunner {
  public:
    /// How many goods' series are held at once.
    static constexpr int kBatch = 64;

    /// Posts to `window`; `threads` as WorkPool's (0: one per core).
    ScreeningRunner(Poster& poster, WindowId window, DaySeriesSource series, int threads = 0);

    /// Starts a screening of `goods` unless one is under way: its number, or 0.
    int Start(ScreeningRequest request, std::vector<ScreeningGoods> goods);
    void Cancel() { m_jobs.Cancel(); }
    bool Running() const { return m_jobs.Running(); }
    std::optional<ScreeningOutcome> Finish(int job) { return m_jobs.Finish(job); }

  private:
    DaySeriesSource m_series;
    int m_threads;
    JobThread<ScreeningOutcome> m_jobs;
};

}  // namespace qelt
