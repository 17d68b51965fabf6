#include "RowFiller.h"

#include <algorithm>
#include <chrono>
#include <limits>
#include <thread>

namespace qelt {
namespace {

// Rows are taken in blocks of about half a megabyte at 3840 pixels a row: small enough that
// the drawing seldom waits, large enough that taking one is not a cost.
constexpr int kBlockRows = 32;

// Who runs a queued fill's writes (below the owner in RowFiller::m_runner).
constexpr std::uint64_t kNoRunner = 0, kThreadRuns = 1, kCallerRuns = 2, kRunOut = 3;

struct FillOf {
    RowFiller* filler;
    const RowFiller::Fill* fill;
};

}  // namespace

RowFiller& RowFiller::Shared() {
    // Never destroyed: a canvas destroyed during exit may still ask it about its fill.
    static RowFiller* const shared = new RowFiller(Threaded{});
    return *shared;
}

RowFiller::Fill RowFiller::Start(const PixelSurface& surface, int from, std::uint32_t pixel, bool queued) {
    std::lock_guard lock(m_mutex);
    if (m_busy.load(std::memory_order_acquire) != 0) return {};
    // On one core the thread would only take turns with the caller. (Asked once: the library
    // reads a system file for the answer, a cost on every repaint.)
    static const bool oneCore = std::thread::hardware_concurrency() == 1;
    if (m_threaded && oneCore) return {};
    if (m_threaded && !m_started) {
        std::thread([this] { Run(); }).detach();
        m_started = true;
    }
    Fill fill;
    fill.owner = ++m_lastOwner;
    fill.surface = surface;
    fill.from = std::clamp(from, 0, surface.height);
    fill.pixel = pixel;
    const int rows = surface.height - fill.from;
    fill.blockRows = std::max(kBlockRows, (rows + kMaxBlocks - 1) / kMaxBlocks);
    fill.blocks = (rows + fill.blockRows - 1) / fill.blockRows;
    // Only the caller and the thread take blocks, and the thread takes this fill through the
    // mutex: the count needs no order of its own.
    m_next.store(fill.owner << kBlockBits, std::memory_order_relaxed);
    fill.queued = queued;
    // The last fill's queue has run to its end (it ended before its fill did): it can be
    // emptied. The thread takes the new run through the mutex.
    if (queued) m_queue.Begin();
    m_runner.store(fill.owner << 2, std::memory_order_relaxed);
    m_busy.store(fill.owner, std::memory_order_release);
    if (m_threaded) {
        m_pending = fill;
        m_wake.notify_one();
    }
    return fill;
}

bool RowFiller::Claim(const Fill& fill, int limit, int& block) {
    std::uint64_t seen = m_next.load(std::memory_order_relaxed);
    for (;;) {
        // The count of a later fill: this one is over.
        if (seen >> kBlockBits != fill.owner) return false;
        const int next = static_cast<int>(seen & ((1u << kBlockBits) - 1));
        if (next >= limit) return false;
        if (m_next.compare_exchange_weak(seen, seen + 1, std::memory_order_relaxed)) {
            block = next;
            return true;
        }
    }
}

void RowFiller::FillBlock(const Fill& fill, int block) {
    const PixelSurface& surface = fill.surface;
    const int top = fill.from + block * fill.blockRows;
    const int bottom = std::min(top + fill.blockRows, surface.height);
    const PixelWriter writer(surface, 1, {0, 0, surface.width, surface.height});
    writer.FillRect({0, top, surface.width, bottom}, fill.pixel);
    m_filledFor[static_cast<std::size_t>(block)].store(fill.owner, std::memory_order_release);
}

bool RowFiller::Done(const Fill& fill, int block) const {
    // Once the fill is over (busy with none or with a later one), every block was filled and
    // handed over before: whichever side ended the fill read each hand-over first.
    return m_filledFor[static_cast<std::size_t>(block)].load(std::memory_order_acquire) == fill.owner ||
           m_busy.load(std::memory_order_acquire) != fill.owner;
}

int RowFiller::BlocksAbove(const Fill& fill, int row) {
    const long long rows = static_cast<long long>(row) - fill.from;
    return rows <= 0 ? 0
                     : static_cast<int>(
                           std::min<long long>(fill.blocks, (rows + fill.blockRows - 1) / fill.blockRows));
}

void RowFiller::Await(const Fill& fill, int row) {
    if (fill.owner == 0) return;
    const int needed = BlocksAbove(fill, row);
    int block = 0;
    while (Claim(fill, needed, block)) FillBlock(fill, block);
    for (int b = 0; b < needed; ++b)
        while (!Done(fill, b)) std::this_thread::yield();
    // A queued fill ends only once its queue has run out: its writes come after its rows.
    if (needed == fill.blocks &&
        (!fill.queued || m_runner.load(std::memory_order_acquire) == (fill.owner << 2 | kRunOut)))
        Finish(fill);
}

void RowFiller::Finish(const Fill& fill) {
    // Every block is filled and its hand-over read here: the fill is over, whoever saw it
    // first (the thread may not even have woken for it), and the next may start.
    std::uint64_t owner = fill.owner;
    m_busy.compare_exchange_strong(owner, 0, std::memory_order_acq_rel);
}

void RowFiller::LayRows(void* context, int row) {
    const auto* of = static_cast<const FillOf*>(context);
    of->filler->Await(*of->fill, row);
}

bool RowFiller::RunHere(const Fill& fill) {
    std::uint64_t none = fill.owner << 2 | kNoRunner;
    if (!m_runner.compare_exchange_strong(none, fill.owner << 2 | kCallerRuns, std::memory_order_acquire))
        return false;
    FillOf of{this, &fill};
    bool ended = false;
    while (!ended && m_queue.RunNext(&LayRows, &of, ended)) {
    }
    m_runner.store(fill.owner << 2 | (ended ? kRunOut : kNoRunner), std::memory_order_release);
    return true;
}

void RowFiller::Rows(const Fill& fill, int row) {
    m_queue.Rows(row);
    m_posts.fetch_add(1, std::memory_order_release);
    m_posts.notify_one();
    // Until the thread is up, the painting makes its own writes as it goes. Once it is, the
    // painting lays the rows the writes need (the thread has the writes, as much work as
    // working them out) and the thread finds them laid.
    if (RunHere(fill)) return;
    const int needed = BlocksAbove(fill, row);
    int block = 0;
    while (Claim(fill, needed, block)) FillBlock(fill, block);
}

void RowFiller::Sync(const Fill& fill) {
    m_posts.fetch_add(1, std::memory_order_release);
    m_posts.notify_one();
    // While the thread makes the writes, lay the rows no one has taken: the writes of a
    // dense chart are as much work as working them out, and the fill can be shared.
    int block = 0;
    while (m_queue.Done() != m_queue.Posted())
        if (!RunHere(fill)) {
            if (Claim(fill, fill.blocks, block))
                FillBlock(fill, block);
            else
                std::this_thread::yield();
        }
}

void RowFiller::End(const Fill& fill) {
    if (fill.owner == 0) return;
    if (fill.queued) {
        m_queue.End();
        Sync(fill);
        // Whoever ran the End marks the queue run out just after: then this side can end the
        // fill, and the next paint finds the filler free.
        while (m_runner.load(std::memory_order_acquire) != (fill.owner << 2 | kRunOut))
            std::this_thread::yield();
    }
    Await(fill, std::numeric_limits<int>::max());
}

void RowFiller::RunQueue(const Fill& fill) {
    const std::uint64_t owner = fill.owner << 2;
    for (;;) {
        std::uint64_t seen = owner | kNoRunner;
        if (m_runner.compare_exchange_weak(seen, owner | kThreadRuns, std::memory_order_acquire)) break;
        // A later fill's, or run to its end: nothing more to run.
        if ((seen & ~std::uint64_t{3}) != owner || (seen & 3) == kRunOut) return;
        // The caller is running it for now: lay a block meanwhile.
        int block = 0;
        if (Claim(fill, fill.blocks, block))
            FillBlock(fill, block);
        else
            std::this_thread::yield();
    }
    FillOf of{this, &fill};
    auto idleSince = std::chrono::steady_clock::now();
    bool idle = false;
    for (;;) {
        const std::uint32_t posts = m_posts.load(std::memory_order_acquire);
        bool ended = false;
        if (m_queue.RunNext(&LayRows, &of, ended)) {
            if (ended) break;
            idle = false;
            continue;
        }
        int block = 0;
        if (Claim(fill, fill.blocks, block)) {
            FillBlock(fill, block);
            continue;
        }
        // Nothing posted and every row taken: the painting is working out what to draw next.
        // Spin a little (a pane's figures take tens of microseconds), then sleep until the
        // next Rows, Sync or End.
        const auto now = std::chrono::steady_clock::now();
        if (!idle) idle = true, idleSince = now;
        if (now - idleSince < std::chrono::microseconds(200))
            std::this_thread::yield();
        else
            m_posts.wait(posts, std::memory_order_acquire);
    }
    m_runner.store(owner | kRunOut, std::memory_order_release);
}

void RowFiller::Run() {
    for (;;) {
        Fill fill;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [this] { return m_pending.owner != 0; });
            fill = m_pending;
            m_pending = {};
        }
        if (fill.queued) RunQueue(fill);
        int block = 0;
        while (Claim(fill, fill.blocks, block)) FillBlock(fill, block);
        // A block the caller took may still be being filled: the fill is over when it is.
        for (int b = 0; b < fill.blocks; ++b)
            while (!Done(fill, b)) std::this_thread::yield();
        Finish(fill);
    }
}

}  // namespace qelt
