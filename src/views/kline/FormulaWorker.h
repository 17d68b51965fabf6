#pragma once
/// The thread the K-line view's formula panes compute their heavy formulas on, so that a
/// paint never waits for one: a job is a compiled formula over a copy of the series, with a
/// cancel flag its computation looks at between instructions. When a job is done the worker
/// calls `ready` (from its own thread: the view posts itself a notification there) and the
/// interface thread takes the result (Done, then the job's run).
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "data/Bar.h"
#include "formula/Formula.h"

namespace qelt {

/// The largest cost (FormulaRunControl) a pane computes: a formula beyond it over the series
/// is stopped with a message in its pane. About seconds of the worker's time.
inline constexpr double kMaxFormulaPaneCost = 2e9;

struct FormulaJob {
    FormulaJob(CompiledFormula f, std::shared_ptr<const BarSeries> b, std::vector<double> v, std::uint64_t g)
        : formula(std::move(f)), bars(std::move(b)), values(std::move(v)), generation(g) {}

    const CompiledFormula formula;
    const std::shared_ptr<const BarSeries> bars;
    const std::vector<double> values;
    const std::uint64_t generation;  ///< of the series the bars are a copy of
    std::atomic<bool> cancel{false};

    // The worker's, until `done` is set; then the interface thread's.
    FormulaRun run;
    bool computed = false;  ///< Run succeeded; otherwise run.Error() says why
    std::atomic<bool> done{false};
};

class FormulaWorker {
  public:
    /// `ready` is called on the worker's thread after each job it finished.
    explicit FormulaWorker(std::function<void()> ready) : m_ready(std::move(ready)) {}
    /// Cancels what is queued and running, and waits for the thread.
    ~FormulaWorker();
    FormulaWorker(const FormulaWorker&) = delete;
    FormulaWorker& operator=(const FormulaWorker&) = delete;

    /// Queues `job` (the thread starts with the first one). Set its cancel flag to drop it.
    void Submit(std::shared_ptr<FormulaJob> job);

  private:
    void Loop();

    std::function<void()> m_ready;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<std::shared_ptr<FormulaJob>> m_queue;
    std::shared_ptr<FormulaJob> m_running;
    bool m_stopping = false;
    std::thread m_thread;
};

}  // namespace qelt
