#pragma once
/// Runs 交易评测's test and 参数优化 off the interface thread, one job at a time, on a
/// thread of its own that spreads an optimisation's combinations over every core (the
/// WorkPool, that thread included). It works on its own copies of the bars and the system and
/// tells the window only through posted messages:
///   WM_SYSTEM_PROGRESS (wParam combinations done, lParam all of them), at most once per
///   thousandth of the way;
///   WM_SYSTEM_DONE (wParam the job's number) as the job's last act; the window then takes
///   the outcome with Finish.
/// 取消 stops an optimisation between combinations: its outcome is cancelled, with no rows
/// at all. Destroying the runner cancels a job under way and waits for its thread.
///
///     SystemTestRunner runner(poster, window);
///     const int job = runner.StartOptimisation(request, bars);
///     ... WM_SYSTEM_DONE(job) arrives ...
///     std::optional<SystemJobOutcome> outcome = runner.Finish(job);
#include <optional>
#include <vector>

#include "analysis/Optimisation.h"
#include "analysis/TradingSystem.h"
#include "app/JobThread.h"
#include "common/Messages.h"
#include "common/Poster.h"

namespace qelt {

struct SystemJobOutcome {
    int job = 0;
    bool cancelled = false;
    std::optional<SystemTest> test;                    ///< a test's outcome
    std::optional<std::vector<OptimisationRow>> rows;  ///< an optimisation's whole table
};

class SystemTestRunner {
  public:
    /// Posts to `window`; `threads` as WorkPool's (0: one per core).
    SystemTestRunner(Poster& poster, WindowId window, int threads = 0);
    ~SystemTestRunner();
    SystemTestRunner(const SystemTestRunner&) = delete;
    SystemTestRunner& operator=(const SystemTestRunner&) = delete;

    /// Starts a job unless one is under way: its number, or 0.
    int StartTest(const TradingSystem& system, std::vector<double> values, const SystemCosts& costs,
                  BarSeries bars);
    int StartOptimisation(OptimisationRequest request, BarSeries bars);
    /// 取消: the job under way stops at its next combination.
    void Cancel() { m_jobs.Cancel(); }
    /// A job was started and not yet finished.
    bool Running() const { return m_jobs.Running(); }

    /// After WM_SYSTEM_DONE(job): the job's outcome, and the runner is free again. Nothing
    /// for another job's number (a message of a job already finished).
    std::optional<SystemJobOutcome> Finish(int job);

  private:
    int m_threads;
    JobThread<SystemJobOutcome> m_jobs;
};

}  // namespace qelt
