#include "views/kline/FormulaWorker.h"

namespace qelt {

FormulaWorker::~FormulaWorker() {
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
        for (const std::shared_ptr<FormulaJob>& job : m_queue) job->cancel = true;
        if (m_running) m_running->cancel = true;
    }
    m_wake.notify_all();
    if (m_thread.joinable()) m_thread.join();
}

void FormulaWorker::Submit(std::shared_ptr<FormulaJob> job) {
    {
        std::lock_guard lock(m_mutex);
        m_queue.push_back(std::move(job));
        if (!m_thread.joinable()) m_thread = std::thread([this] { Loop(); });
    }
    m_wake.notify_all();
}

void FormulaWorker::Loop() {
    for (;;) {
        std::shared_ptr<FormulaJob> job;
        {
            std::unique_lock lock(m_mutex);
            m_running.reset();
            m_wake.wait(lock, [this] { return m_stopping || !m_queue.empty(); });
            if (m_stopping) return;
            job = std::move(m_queue.front());
            m_queue.pop_front();
            if (job->cancel) continue;  // superseded while it waited
            m_running = job;
        }
        const FormulaRunControl control{kMaxFormulaPaneCost, &job->cancel};
        job->computed = job->run.Run(job->formula, *job->bars, job->values, 0, control);
        job->done.store(true, std::memory_order_release);
        if (!job->cancel) m_ready();
    }
}

}  // namespace qelt
