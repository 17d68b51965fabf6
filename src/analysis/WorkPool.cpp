#include "analysis/WorkPool.h"

#include <algorithm>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace qelt {
namespace {

/// What the threads of one Run share: the next item to take, the count done, the first
/// exception, and the progress callback's lock.
struct Shared {
    explicit Shared(int count) : count(count) {}

    const int count;
    std::atomic<int> next{0};
    std::atomic<bool> failed{false};
    std::mutex reportLock;  ///< one progress call at a time; also guards `reported` and `error`
    int done = 0;
    int reported = 0;
    std::exception_ptr error;

    void Report(const WorkProgress& progress) {
        std::lock_guard lock(reportLock);
        const int now = ++done;
        if (!progress || now <= reported) return;
        reported = now;
        progress(now);
    }

    void Fail(std::exception_ptr thrown) {
        std::lock_guard lock(reportLock);
        if (!error) error = std::move(thrown);
        failed.store(true);
    }
};

bool IsSet(const std::atomic<bool>* flag) { return flag && flag->load(std::memory_order_relaxed); }

void Work(Shared& shared, int worker, const WorkItem& item, const std::atomic<bool>* cancel,
          const WorkProgress& progress) {
    try {
        for (;;) {
            if (IsSet(cancel) || shared.failed.load(std::memory_order_relaxed)) return;
            const int index = shared.next.fetch_add(1);
            if (index >= shared.count) return;
            item(index, worker);
            shared.Report(progress);
        }
    } catch (...) {
        shared.Fail(std::current_exception());
    }
}

}  // namespace

WorkPool::WorkPool(int threads) {
    if (threads <= 0) threads = static_cast<int>(std::thread::hardware_concurrency());
    m_threads = std::max(threads, 1);
}

bool WorkPool::Run(int count, const WorkItem& item, const std::atomic<bool>* cancel,
                   const WorkProgress& progress) const {
    if (count <= 0) return !IsSet(cancel);
    Shared shared(count);
    const int helpers = std::min(m_threads, count) - 1;
    std::vector<std::thread> threads;
    threads.reserve(static_cast<std::size_t>(helpers));
    for (int worker = 1; worker <= helpers; ++worker) {
        try {
            threads.emplace_back([&, worker] { Work(shared, worker, item, cancel, progress); });
        } catch (const std::system_error&) {
            break;  // no more threads to be had: those running (and this one) do the work
        }
    }
    Work(shared, 0, item, cancel, progress);
    for (std::thread& thread : threads) thread.join();
    if (shared.error) std::rethrow_exception(shared.error);
    return shared.done == count;
}

}  // namespace qelt
