#include "app/SystemTestRunner.h"

#include <functional>

namespace qelt {

SystemTestRunner::SystemTestRunner(Poster& poster, WindowId window, int threads)
    : m_threads(threads), m_jobs(poster, window, WM_SYSTEM_DONE) {}

SystemTestRunner::~SystemTestRunner() = default;

int SystemTestRunner::StartTest(const TradingSystem& system, std::vector<double> values,
                                const SystemCosts& costs, BarSeries bars) {
    return m_jobs.Launch(
        [this, system, values = std::move(values), costs, bars = std::move(bars)](SystemJobOutcome& out) {
            out.test = TestSystem(system, bars, values, costs);
            // A test cannot stop half way; one cancelled meanwhile is not shown.
            out.cancelled = m_jobs.CancelFlag();
        });
}

int SystemTestRunner::StartOptimisation(OptimisationRequest request, BarSeries bars) {
    return m_jobs.Launch([this, request = std::move(request), bars = std::move(bars)](SystemJobOutcome& out) {
        const WorkPool pool(m_threads);
        ThrottledProgress progress(m_jobs.Target(), m_jobs.Window(), WM_SYSTEM_PROGRESS,
                                   static_cast<int>(CombinationCount(request.ranges)));
        const std::atomic<bool>& cancel = m_jobs.CancelFlag();
        out.rows = RunOptimisation(request, bars, pool, &cancel, std::ref(progress));
        out.cancelled = !out.rows && cancel;
    });
}

std::optional<SystemJobOutcome> SystemTestRunner::Finish(int job) {
    std::optional<SystemJobOutcome> outcome = m_jobs.Finish(job);
    if (outcome) outcome->job = job;
    return outcome;
}

}  // namespace qelt
