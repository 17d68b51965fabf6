#pragma once
/// Pixel writes posted by the painting thread for another to make, in the order posted: the
/// fills, lines and texts of a dense chart are half the painting thread's work, and the second
/// core can make them while the first works out the next pane.
///
/// One thread posts; one at a time runs what is posted (the hand-over between runners is the
/// caller's, with an acquire and a release). Whatever a command needs (the writer with its
/// clip, a polyline's points, a dash pattern) is copied into storage the queue keeps until
/// the next Begin; a coverage mask must outlive the run.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "PixelWriter.h"

namespace qelt {

class PixelQueue {
  public:
    PixelQueue();
    ~PixelQueue();
    PixelQueue(const PixelQueue&) = delete;
    PixelQueue& operator=(const PixelQueue&) = delete;

    // --- the posting thread ---
    /// Empties the queue for a new run; nothing of the last may still be running.
    void Begin();
    /// The writes posted from now on are made through a copy of `writer` (its surface, scale
    /// and clip), until the next Use. Every run starts with one.
    void Use(const PixelWriter& writer);
    void FillRect(const Rect& r, std::uint32_t pixel);
    void DashedSpan(const Rect& r, bool horizontal, int origin, const std::vector<int>& pattern,
                    std::uint32_t pixel);
    /// Points whose placement the writer in use has given (not kLeftToPainter).
    void Polyline(const Point* points, std::size_t count, std::uint32_t pixel,
                  PixelWriter::Placement placement);
    void BlendCoverage(int x, int y, const CoverageMask& mask, std::uint32_t pixel);
    /// What follows draws in device rows above `row`: the runner has them laid first.
    void Rows(int row);
    /// The last command of the run.
    void End();
    /// Commands posted since Begin.
    std::uint64_t Posted() const { return m_posted; }

    // --- the running thread ---
    /// Runs the next command posted, if there is one; `rows(context, row)` lays the rows of a
    /// Rows command. `ended` turns true at End.
    bool RunNext(void (*rows)(void* context, int row), void* context, bool& ended);
    /// Commands run since Begin, what they wrote visible to the thread that reads this.
    std::uint64_t Done() const { return m_done.load(std::memory_order_acquire); }

  private:
    struct Command;
    /// `bytes` of storage aligned for any command, kept until the next Begin.
    void* Allocate(std::size_t bytes);
    Command& Post(int kind);
    /// Appends a command made by Post: the runner may take it from now on.
    void Link(Command& command);

    std::vector<std::unique_ptr<std::byte[]>> m_blocks;
    std::vector<std::size_t> m_blockSizes;
    std::size_t m_block = 0;                ///< the block being allocated from
    std::size_t m_used = 0;                 ///< bytes of it taken
    Command* m_tail = nullptr;              ///< the last posted (the posting thread's)
    const PixelWriter* m_writer = nullptr;  ///< the writer in use (the posting thread's)
    std::uint64_t m_posted = 0;             ///< the posting thread's
    Command* m_cursor = nullptr;            ///< the last run (the running thread's)
    std::atomic<std::uint64_t> m_done{0};
};

}  // namespace qelt
