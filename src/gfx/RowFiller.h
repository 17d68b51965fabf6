#pragma once
/// Fills the rows of a pixel surface with one colour on a thread of its own, top row first,
/// while the caller draws in the rows above: the background of a dense chart (33 MB, about a
/// millisecond of memory writes) is laid on the second core as the first draws the chart.
/// One surface at a time, for the whole process.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>

#include "PixelWriter.h"

namespace qelt {

class RowFiller {
  public:
    /// The process's filler; its thread starts at the first fill and is never joined (every
    /// fill is awaited to its end by its owner, so nothing is left half done at exit).
    static RowFiller& Shared();

    /// Starts filling device rows `from`.. to the foot of `surface`, whole rows, with `pixel`
    /// and answers an owner number for Await; 0 when it is busy with another fill (the
    /// caller then fills itself).
    std::uint64_t Start(const PixelSurface& surface, int from, std::uint32_t pixel);
    /// Waits until the fill `owner` has filled the device rows above `row`, their pixels then
    /// visible to this thread; with a row past the surface's foot, until the fill is done.
    /// Returns at once for a fill that is done (or owner 0).
    void Await(std::uint64_t owner, int row);

    RowFiller(const RowFiller&) = delete;
    RowFiller& operator=(const RowFiller&) = delete;

  private:
    RowFiller() = default;
    void Run();

    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_started = false;
    // The fill being handed over (guarded by m_mutex).
    PixelSurface m_surface;
    int m_from = 0;
    std::uint32_t m_pixel = 0;
    std::uint64_t m_starting = 0;  ///< its owner, 0 when none waits to start
    std::uint64_t m_lastOwner = 0;
    // The fill under way.
    std::atomic<std::uint64_t> m_busy{0};  ///< its owner, 0 when the filler is free
    std::atomic<int> m_reached{0};         ///< it has filled the rows above this
};

}  // namespace qelt
