#pragma once
/// The only way the core signals the user interface: posted window messages (to a window
/// registered by handle) and thread messages (to the application). Posting never waits.
/// The Qt side implements it with posted events of the same numbers; tests use a queue.
#include <atomic>
#include <cstdint>

namespace qelt {

/// Handle of a window registered with the poster's implementation; 0 is "no window".
using WindowId = std::uint32_t;
inline constexpr WindowId kNoWindow = 0;

class Poster {
  public:
    virtual ~Poster() = default;
    /// Posts to the window; does nothing for kNoWindow or a window that no longer exists.
    virtual void PostWindowMessage(WindowId window, unsigned message, std::intptr_t wParam,
                                   std::intptr_t lParam) = 0;
    /// Posts to the application's (interface) thread.
    virtual void PostThreadMessage(unsigned message, std::intptr_t wParam, std::intptr_t lParam) = 0;
};

/// The windows the receive side posts to. Written by the interface thread, read by the
/// receive thread, hence atomic.
struct MessageTargets {
    std::atomic<WindowId> notification{kNoWindow};    ///< active view, or the login dialog
    std::atomic<WindowId> mainFrame{kNoWindow};       ///< gets WM_NET_INDEX
    std::atomic<WindowId> passwordDialog{kNoWindow};  ///< gets WM_NET_PWD while open
};

}  // namespace qelt
