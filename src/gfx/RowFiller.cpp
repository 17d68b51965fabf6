#include "RowFiller.h"

#include <algorithm>
#include <thread>

namespace qelt {
namespace {

// Rows are handed over in blocks of about half a megabyte at 3840 pixels a row: small
// enough that the drawing seldom waits, large enough that the counter is not a cost.
constexpr int kBlockRows = 32;

}  // namespace

RowFiller& RowFiller::Shared() {
    // Never destroyed: a canvas destroyed during exit may still ask it about its fill.
    static RowFiller* const shared = new RowFiller;
    return *shared;
}

std::uint64_t RowFiller::Start(const PixelSurface& surface, int from, std::uint32_t pixel) {
    std::lock_guard lock(m_mutex);
    if (m_busy.load(std::memory_order_acquire) != 0 || m_starting != 0) return 0;
    // On one core the drawing would only wait for the filler's turn. (Asked once: the library
    // reads a system file for the answer, a cost on every repaint.)
    static const bool oneCore = std::thread::hardware_concurrency() == 1;
    if (oneCore) return 0;
    if (!m_started) {
        std::thread([this] { Run(); }).detach();
        m_started = true;
    }
    m_surface = surface;
    m_from = std::clamp(from, 0, surface.height);
    m_pixel = pixel;
    m_starting = ++m_lastOwner;
    // Released, so that a caller that reads it, the last fill's owner included, also sees
    // every row of the fill before (whose end this thread acquired above).
    m_reached.store(m_from, std::memory_order_release);
    m_busy.store(m_starting, std::memory_order_release);
    m_wake.notify_one();
    return m_starting;
}

void RowFiller::Await(std::uint64_t owner, int row) {
    if (owner == 0) return;
    while (m_busy.load(std::memory_order_acquire) == owner) {
        // The count read is this fill's only while the fill is still under way after it.
        if (m_reached.load(std::memory_order_acquire) >= row &&
            m_busy.load(std::memory_order_acquire) == owner)
            return;
        std::this_thread::yield();
    }
}

void RowFiller::Run() {
    for (;;) {
        PixelSurface surface;
        int from = 0;
        std::uint32_t pixel = 0;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [this] { return m_starting != 0; });
            surface = m_surface;
            from = m_from;
            pixel = m_pixel;
            m_starting = 0;
        }
        const PixelWriter writer(surface, 1, {0, 0, surface.width, surface.height});
        for (int top = from; top < surface.height; top += kBlockRows) {
            const int bottom = std::min(top + kBlockRows, surface.height);
            writer.FillRect({0, top, surface.width, bottom}, pixel);
            m_reached.store(bottom, std::memory_order_release);
        }
        m_busy.store(0, std::memory_order_release);
    }
}

}  // namespace qelt
