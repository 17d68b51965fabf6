#include "RowFiller.h"

#include <algorithm>
#include <thread>

namespace qelt {
namespace {

// Rows are taken in blocks of about half a megabyte at 3840 pixels a row: small enough that
// the drawing seldom waits, large enough that taking one is not a cost.
constexpr int kBlockRows = 32;

}  // namespace

RowFiller& RowFiller::Shared() {
    // Never destroyed: a canvas destroyed during exit may still ask it about its fill.
    static RowFiller* const shared = new RowFiller(Threaded{});
    return *shared;
}

RowFiller::Fill RowFiller::Start(const PixelSurface& surface, int from, std::uint32_t pixel) {
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

void RowFiller::Await(const Fill& fill, int row) {
    if (fill.owner == 0) return;
    const long long rows = static_cast<long long>(row) - fill.from;
    const int needed = rows <= 0 ? 0
                                 : static_cast<int>(std::min<long long>(
                                       fill.blocks, (rows + fill.blockRows - 1) / fill.blockRows));
    int block = 0;
    while (Claim(fill, needed, block)) FillBlock(fill, block);
    for (int b = 0; b < needed; ++b)
        while (!Done(fill, b)) std::this_thread::yield();
    if (needed == fill.blocks) Finish(fill);
}

void RowFiller::Finish(const Fill& fill) {
    // Every block is filled and its hand-over read here: the fill is over, whoever saw it
    // first (the thread may not even have woken for it), and the next may start.
    std::uint64_t owner = fill.owner;
    m_busy.compare_exchange_strong(owner, 0, std::memory_order_acq_rel);
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
        int block = 0;
        while (Claim(fill, fill.blocks, block)) FillBlock(fill, block);
        // A block the caller took may still be being filled: the fill is over when it is.
        for (int b = 0; b < fill.blocks; ++b)
            while (!Done(fill, b)) std::this_thread::yield();
        Finish(fill);
    }
}

}  // namespace qelt
