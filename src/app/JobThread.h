#pragma once
/// One job at a time on a thread of its own, for the windows whose work would hold the
/// interface thread (交易评测, 条件选股). The job fills its outcome and, as its last act,
/// posts `doneMessage` (wParam the job's number) to the window, which then takes the outcome
/// with Finish on its own thread. 取消 sets the flag the job reads between its items.
/// Destroying it cancels a job under way and waits for its thread.
///
///     JobThread<Outcome> jobs(poster, window, WM_X_DONE);
///     const int job = jobs.Launch([&flag = jobs.CancelFlag()](Outcome& out) { ... });
///     ... WM_X_DONE(job) arrives ...
///     std::optional<Outcome> outcome = jobs.Finish(job);
#include <atomic>
#include <functional>
#include <optional>
#include <thread>
#include <utility>

#include "common/Poster.h"

namespace qelt {

template <typename Outcome>
class JobThread {
  public:
    JobThread(Poster& poster, WindowId window, unsigned doneMessage)
        : m_poster(poster), m_window(window), m_doneMessage(doneMessage) {}
    ~JobThread() {
        m_cancel = true;
        if (m_thread.joinable()) m_thread.join();
    }
    JobThread(const JobThread&) = delete;
    JobThread& operator=(const JobThread&) = delete;

    /// Starts `work` unless a job is under way: its number, or 0.
    int Launch(std::function<void(Outcome&)> work) {
        if (Running()) return 0;
        m_cancel = false;
        const int job = ++m_job;
        m_outcome = Outcome{};
        m_thread = std::thread([this, job, work = std::move(work)] {
            work(m_outcome);
            m_poster.PostWindowMessage(m_window, m_doneMessage, job, 0);
        });
        return job;
    }
    void Cancel() { m_cancel = true; }
    /// Set by Cancel (or the destructor) since the job under way was launched.
    const std::atomic<bool>& CancelFlag() const { return m_cancel; }
    /// A job was started and not yet finished.
    bool Running() const { return m_thread.joinable(); }
    Poster& Target() const { return m_poster; }
    WindowId Window() const { return m_window; }

    /// After the done message of `job`: its outcome, and the thread is free again. Nothing
    /// for another job's number (a message of a job already finished).
    std::optional<Outcome> Finish(int job) {
        if (job != m_job || !m_thread.joinable()) return std::nullopt;
        m_thread.join();
        return std::move(m_outcome);
    }

  private:
    Poster& m_poster;
    WindowId m_window;
    unsigned m_doneMessage;
    std::atomic<bool> m_cancel{false};
    int m_job = 0;
    Outcome m_outcome;  ///< written by the job's thread, read after it is joined
    std::thread m_thread;
};

/// A job's progress toward its window: `message` with wParam the items done and lParam all
/// of them, at most once per thousandth of the way (a screening or an optimisation of many
/// thousand items would otherwise flood the window's queue). Called as WorkPool's progress
/// is, one call at a time.
class ThrottledProgress {
  public:
    ThrottledProgress(Poster& poster, WindowId window, unsigned message, int total)
        : m_poster(poster), m_window(window), m_message(message), m_total(total) {}
    void operator()(int done) {
        const int thousandths =
            m_total > 0 ? static_cast<int>(static_cast<long long>(done) * 1000 / m_total) : 1000;
        if (thousandths <= m_posted) return;
        m_posted = thousandths;
        m_poster.PostWindowMessage(m_window, m_message, done, m_total);
    }

  private:
    Poster& m_poster;
    WindowId m_window;
    unsigned m_message;
    int m_total;
    int m_posted = -1;
};

}  // namespace qelt
