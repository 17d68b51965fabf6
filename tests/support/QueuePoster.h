#pragma once
// A Poster that queues every posted message, with a wait for tests on other threads.
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

#include "common/Poster.h"

namespace qelt::test {

struct Posted {
    bool toThread = false;
    WindowId window = kNoWindow;
    unsigned message = 0;
    std::intptr_t wParam = 0;
    std::intptr_t lParam = 0;
};

class QueuePoster : public Poster {
  public:
    void PostWindowMessage(WindowId window, unsigned message, std::intptr_t wParam,
                           std::intptr_t lParam) override {
        Push({false, window, message, wParam, lParam});
    }
    void PostThreadMessage(unsigned message, std::intptr_t wParam, std::intptr_t lParam) override {
        Push({true, kNoWindow, message, wParam, lParam});
    }

    std::vector<Posted> All() const {
        std::lock_guard lock(m_mutex);
        return m_posted;
    }
    size_t Count(unsigned message) const {
        std::lock_guard lock(m_mutex);
        size_t n = 0;
        for (const auto& p : m_posted) n += p.message == message;
        return n;
    }
    /// Waits until `predicate(all posted)` holds or the timeout passes.
    bool WaitFor(const std::function<bool(const std::vector<Posted>&)>& predicate,
                 std::chrono::milliseconds timeout = std::chrono::seconds(5)) {
        std::unique_lock lock(m_mutex);
        return m_changed.wait_for(lock, timeout, [&] { return predicate(m_posted); });
    }
    bool WaitForCount(unsigned message, size_t count,
                      std::chrono::milliseconds timeout = std::chrono::seconds(5)) {
        return WaitFor(
            [&](const std::vector<Posted>& all) {
                size_t n = 0;
                for (const auto& p : all) n += p.message == message;
                return n >= count;
            },
            timeout);
    }
    void Clear() {
        std::lock_guard lock(m_mutex);
        m_posted.clear();
    }

  private:
    void Push(Posted p) {
        {
            std::lock_guard lock(m_mutex);
            m_posted.push_back(p);
        }
        m_changed.notify_all();
    }
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<Posted> m_posted;
};

}  // namespace qelt::test
