#pragma once
/// Fills the rows of a pixel surface with one colour, block by block from the top, on a thread
/// of its own and on the caller's: the background of a dense chart (33 MB, about half a
/// millisecond of memory writes) is laid on the second core as the first draws the chart.
/// When the caller needs rows that no one has begun on, it fills them itself: a thread on a
/// core that had gone to sleep can take most of a millisecond to wake, longer than the fill.
/// With a queued fill, the thread also makes the pixel writes the painting posts (a
/// PixelQueue), each behind the rows it needs, while the painting works out what comes next.
/// One surface at a time, for the whole process.
#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>

#include "PixelQueue.h"
#include "PixelWriter.h"

namespace qelt {

class RowFiller {
  public:
    /// A fill under way, as Start hands it to its caller: what Await needs to take part in it.
    struct Fill {
        std::uint64_t owner = 0;  ///< 0: no fill
        PixelSurface surface;
        int from = 0;       ///< the first device row
        int blockRows = 0;  ///< rows in a block (the last may have fewer)
        int blocks = 0;     ///< blocks from `from` to the foot
        std::uint32_t pixel = 0;
        bool queued = false;  ///< the painting's pixel writes are posted to Queue()
    };

    /// The process's filler; its thread starts at the first fill and is never joined (every
    /// fill is awaited to its end by its owner, so nothing is left half done at exit).
    static RowFiller& Shared();
    /// A filler without a thread: Await fills every row, as when the thread never wakes.
    RowFiller() : m_threaded(false) {}

    /// Starts filling device rows `from`.. to the foot of `surface`, whole rows, with `pixel`;
    /// owner 0 when a fill is still under way (the caller then fills itself).
    /// With `queued`, the pixel writes of the painting are posted to Queue(), to be made on the
    /// filler's thread after the rows they need (Rows) and before End returns.
    Fill Start(const PixelSurface& surface, int from, std::uint32_t pixel, bool queued = false);
    /// Returns when the fill's device rows above `row` are filled, their pixels then visible to
    /// this thread; with a row past the surface's foot, when every row is. Blocks of those rows
    /// that the thread has not begun on are filled here. Returns at once for owner 0.
    void Await(const Fill& fill, int row);

    // --- a queued fill, from the thread that started it ---
    /// Where the painting posts its writes.
    PixelQueue& Queue() { return m_queue; }
    /// The writes posted from now on draw above device row `row`: its rows are laid first.
    /// Returns at once; the writes posted so far are made here when the thread has not begun.
    void Rows(const Fill& fill, int row);
    /// Returns when every write posted is made, the pixels then visible to this thread.
    void Sync(const Fill& fill);
    /// Makes every write posted and lays every row of the fill.
    void End(const Fill& fill);

    RowFiller(const RowFiller&) = delete;
    RowFiller& operator=(const RowFiller&) = delete;

  private:
    struct Threaded {};
    explicit RowFiller(Threaded) : m_threaded(true) {}

    static constexpr int kBlockBits = 20;
    static constexpr int kMaxBlocks = 1024;

    void Run();
    /// The thread's part of a queued fill: it runs the queue to its end, filling blocks ahead
    /// while the painting posts nothing.
    void RunQueue(const Fill& fill);
    /// Runs everything posted here when no one runs the queue; false when someone does.
    bool RunHere(const Fill& fill);
    /// Lays the rows above `row` for a Rows command (context: the RowFiller and the Fill).
    static void LayRows(void* context, int row);
    /// Takes the next block of `fill` not yet taken, when it is one of the first `limit`.
    bool Claim(const Fill& fill, int limit, int& block);
    /// Fills the block and hands it over.
    void FillBlock(const Fill& fill, int block);
    /// The blocks of `fill` that hold its rows above `row`.
    static int BlocksAbove(const Fill& fill, int row);
    /// Whether the block of `fill` is filled, or the whole fill is over.
    bool Done(const Fill& fill, int block) const;
    /// Ends the fill, every block of it seen filled.
    void Finish(const Fill& fill);

    const bool m_threaded;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_started = false;                // guarded by m_mutex
    Fill m_pending;                        ///< the fill handed to the thread, not yet taken (m_mutex)
    std::uint64_t m_lastOwner = 0;         // guarded by m_mutex
    std::atomic<std::uint64_t> m_busy{0};  ///< the fill's owner until its blocks are seen filled
    /// The fill's owner above kBlockBits, the first block no one has taken below.
    std::atomic<std::uint64_t> m_next{0};
    /// For each block, the owner of the last fill that filled it.
    std::array<std::atomic<std::uint64_t>, kMaxBlocks> m_filledFor{};
    PixelQueue m_queue;
    /// Who runs the queue: the fill's owner above 2 bits, below 0 for no one, 1 for the thread,
    /// 2 for the caller, 3 when it has run to its end.
    std::atomic<std::uint64_t> m_runner{0};
    /// Counted up at every Rows, Sync and End: the idle thread waits on it.
    std::atomic<std::uint32_t> m_posts{0};
};

}  // namespace qelt
