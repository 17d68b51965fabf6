#pragma once
/// A small pool of threads for work made of independent items: the goods of a screening,
/// the combinations of an optimisation, the watched goods of an alarm pass.
///
///     std::atomic<bool> cancel{false};                  // the 取消 button sets it
///     std::vector<Row> rows(count);
///     WorkPool pool;                                   // one thread per core
///     bool done = pool.Run(count, [&](int item, int worker) { rows[item] = Work(item, scratch[worker]); },
///                          &cancel, [&](int done) { PostProgress(done); });
///
/// Each item writes its own slot, so the result is the same in input order whatever the
/// number of threads and whichever thread ran an item; what a thread keeps between items
/// (a FormulaRun, a buffer) is indexed by `worker` and must not change an item's result.
#include <atomic>
#include <functional>

namespace qelt {

/// Called with the count of items done so far. It is called from the worker threads, one
/// call at a time, with counts that only rise (a count that would arrive after a larger one
/// is left out); the last call, unless cancelled, is the total.
using WorkProgress = std::function<void(int done)>;

/// One item of the work: `item` from 0 to count-1, `worker` from 0 to Threads()-1 (the
/// thread running it, for the scratch that thread keeps).
using WorkItem = std::function<void(int item, int worker)>;

class WorkPool {
  public:
    /// `threads` threads, the caller's included; 0 or less: one per core the system reports
    /// (at least 1).
    explicit WorkPool(int threads = 0);

    int Threads() const { return m_threads; }

    /// Runs `item` once for every item 0..count-1, spread over the threads, and returns when
    /// all have ended. `cancel` (may be null) is read before each item: once it is set, no
    /// further item starts and the result is false (some items have run: the caller throws
    /// their results away). An exception thrown by an item stops the others from starting
    /// further items and is thrown again here, after every thread has ended.
    bool Run(int count, const WorkItem& item, const std::atomic<bool>* cancel = nullptr,
             const WorkProgress& progress = {}) const;

  private:
    int m_threads = 1;
};

}  // namespace qelt
