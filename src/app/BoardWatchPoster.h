#pragma once
/// The poster the application gives its store: every post goes on to the application's own
/// poster, and a folded board ("list" reply, WM_NET_LIST, posted to whichever view is on show)
/// also runs a hook, on the receive thread. So the application hears every board update
/// whatever view is on show: the condition alarms run after each.
#include <functional>
#include <utility>

#include "common/Messages.h"
#include "common/Poster.h"

namespace qelt {

class BoardWatchPoster : public Poster {
  public:
    explicit BoardWatchPoster(Poster& next) : m_next(next) {}
    /// Set before the receive thread starts; runs on it, so it only posts onwards.
    void SetBoardHook(std::function<void()> hook) { m_hook = std::move(hook); }

    void PostWindowMessage(WindowId window, unsigned message, std::intptr_t wParam,
                           std::intptr_t lParam) override {
        m_next.PostWindowMessage(window, message, wParam, lParam);
        if (message == WM_NET_LIST && m_hook) m_hook();
    }
    void PostThreadMessage(unsigned message, std::intptr_t wParam, std::intptr_t lParam) override {
        m_next.PostThreadMessage(message, wParam, lParam);
    }

  private:
    Poster& m_next;
    std::function<void()> m_hook;
};

}  // namespace qelt
