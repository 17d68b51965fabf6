#include "PixelQueue.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace qelt {
namespace {

enum Kind { kStart, kFill, kDash, kLine, kText, kRows, kEnd };

// Storage comes in blocks of this size (more for a larger payload): a dense chart posts a
// few hundred kilobytes.
constexpr std::size_t kBlockBytes = 256 * 1024;
constexpr std::size_t kAlign = alignof(std::max_align_t);

}  // namespace

struct PixelQueue::Command {
    std::atomic<Command*> next{nullptr};
    int kind = kStart;
    std::uint32_t pixel = 0;
    const PixelWriter* writer = nullptr;
    Rect rect;
    int a = 0;  ///< dash: horizontal; text: x; rows: the row
    int b = 0;  ///< dash: origin; text: y
    const void* payload = nullptr;
    std::size_t count = 0;
};

PixelQueue::PixelQueue() { Begin(); }
PixelQueue::~PixelQueue() = default;

void* PixelQueue::Allocate(std::size_t bytes) {
    bytes = (bytes + kAlign - 1) / kAlign * kAlign;
    if (m_block < m_blocks.size() && m_used + bytes <= m_blockSizes[m_block]) {
        void* at = m_blocks[m_block].get() + m_used;
        m_used += bytes;
        return at;
    }
    // The next block, replaced when too small: no command of this run lies in it yet.
    if (m_block < m_blocks.size()) ++m_block;
    if (m_block == m_blocks.size() || m_blockSizes[m_block] < bytes) {
        const std::size_t size = std::max(kBlockBytes, bytes);
        // Aligned for any command: operator new aligns to max_align_t.
        auto block = std::unique_ptr<std::byte[]>(new std::byte[size]);
        if (m_block == m_blocks.size()) {
            m_blocks.push_back(std::move(block));
            m_blockSizes.push_back(size);
        } else {
            m_blocks[m_block] = std::move(block);
            m_blockSizes[m_block] = size;
        }
    }
    m_used = bytes;
    return m_blocks[m_block].get();
}

void PixelQueue::Begin() {
    m_block = 0;
    m_used = 0;
    m_tail = m_cursor = new (Allocate(sizeof(Command))) Command;
    m_writer = nullptr;
    m_posted = 0;
    m_done.store(0, std::memory_order_relaxed);
}

void PixelQueue::Use(const PixelWriter& writer) {
    // Writers change with the clip, a few times a pane: the commands share one copy.
    m_writer = new (Allocate(sizeof(PixelWriter))) PixelWriter(writer);
}

void PixelQueue::Link(Command& command) {
    // Hands the command over: everything in it was written before.
    m_tail->next.store(&command, std::memory_order_release);
    m_tail = &command;
    ++m_posted;
}

PixelQueue::Command& PixelQueue::Post(int kind) {
    Command* command = new (Allocate(sizeof(Command))) Command;
    command->kind = kind;
    command->writer = m_writer;
    return *command;
}

void PixelQueue::FillRect(const Rect& r, std::uint32_t pixel) {
    Command& c = Post(kFill);
    c.rect = r;
    c.pixel = pixel;
    Link(c);
}

void PixelQueue::DashedSpan(const Rect& r, bool horizontal, int origin, const std::vector<int>& pattern,
                            std::uint32_t pixel) {
    Command& c = Post(kDash);
    c.rect = r;
    c.a = horizontal ? 1 : 0;
    c.b = origin;
    c.pixel = pixel;
    void* copy = Allocate(pattern.size() * sizeof(int) + 1);
    if (!pattern.empty()) std::memcpy(copy, pattern.data(), pattern.size() * sizeof(int));
    c.payload = copy;
    c.count = pattern.size();
    Link(c);
}

void PixelQueue::Polyline(const Point* points, std::size_t count, std::uint32_t pixel,
                          PixelWriter::Placement placement) {
    Command& c = Post(kLine);
    c.pixel = pixel;
    c.a = static_cast<int>(placement);
    void* copy = Allocate(count * sizeof(Point) + 1);
    if (count > 0) std::memcpy(copy, points, count * sizeof(Point));
    c.payload = copy;
    c.count = count;
    Link(c);
}

void PixelQueue::BlendCoverage(int x, int y, const CoverageMask& mask, std::uint32_t pixel) {
    Command& c = Post(kText);
    c.a = x;
    c.b = y;
    c.payload = &mask;
    c.pixel = pixel;
    Link(c);
}

void PixelQueue::Rows(int row) {
    Command& c = Post(kRows);
    c.a = row;
    Link(c);
}

void PixelQueue::End() { Link(Post(kEnd)); }

bool PixelQueue::RunNext(void (*rows)(void* context, int row), void* context, bool& ended) {
    Command* c = m_cursor->next.load(std::memory_order_acquire);
    if (c == nullptr) return false;
    switch (c->kind) {
        case kFill:
            c->writer->FillRect(c->rect, c->pixel);
            break;
        case kDash: {
            const auto* pattern = static_cast<const int*>(c->payload);
            c->writer->DashedSpan(c->rect, c->a != 0, c->b, {pattern, c->count}, c->pixel);
            break;
        }
        case kLine:
            c->writer->PlacedPolyline(static_cast<const Point*>(c->payload), c->count, c->pixel,
                                      static_cast<PixelWriter::Placement>(c->a));
            break;
        case kText:
            c->writer->BlendCoverage(c->a, c->b, *static_cast<const CoverageMask*>(c->payload), c->pixel);
            break;
        case kRows:
            rows(context, c->a);
            break;
        case kEnd:
            ended = true;
            break;
        default:
            break;
    }
    m_cursor = c;
    m_done.store(m_done.load(std::memory_order_relaxed) + 1, std::memory_order_release);
    return true;
}

}  // namespace qelt
