// The filler that lays a surface's rows on a thread of its own: what it fills and when the
// caller may rely on it, and one fill at a time. Run under TSan too: a pixel read before the
// filler has handed its row over is a race there.
#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <string>
#include <vector>

#include "gfx/RowFiller.h"

namespace qelt {
namespace {

constexpr std::uint32_t kUnfilled = 0xFF000000u;
constexpr int kAll = std::numeric_limits<int>::max();

/// Rows padded by 5 pixels, as images pad them: a fill that confuses width and stride shows.
struct PaddedRows {
    PaddedRows(int width, int height)
        : width(width), height(height), pixels((width + 5) * height, kUnfilled) {}
    PixelSurface View() { return {pixels.data(), width + 5, width, height}; }
    /// The first row, from `top` to `bottom`, not all `pixel` (its padding all paper), or "".
    std::string FirstWrongRow(int top, int bottom, std::uint32_t pixel) const {
        for (int y = top; y < bottom; ++y)
            for (int x = 0; x < width + 5; ++x)
                if (pixels[y * (width + 5) + x] != (x < width ? pixel : kUnfilled))
                    return "row " + std::to_string(y);
        return "";
    }
    int width, height;
    std::vector<std::uint32_t> pixels;
};

TEST(RowFiller, TheRowsFromTheFirstAskedAreFilledWholeAndTheRowsAboveAreLeftAlone) {
    RowFiller& filler = RowFiller::Shared();
    // Heights around the filler's blocks of rows, starts inside, at and past the foot. The
    // caller fills blocks too as it waits: the thread and it take turns at the blocks.
    const int heights[] = {1, 31, 32, 33, 95, 300};
    std::uint32_t pixel = 0xFF102030u;
    for (int height : heights)
        for (int from : {0, 1, height / 2, height - 1, height, height + 7}) {
            PaddedRows surface(37, height);
            pixel += 0x010101u;
            const RowFiller::Fill fill = filler.Start(surface.View(), from, pixel);
            ASSERT_NE(fill.owner, 0u) << "the filler is free between fills";
            const int first = std::min(from, height);
            // Part way: the rows asked for are filled when Await returns.
            const int part = first + (height - first) / 3;
            filler.Await(fill, part);
            EXPECT_EQ(surface.FirstWrongRow(first, part, pixel), "") << height << " rows from " << from;
            filler.Await(fill, kAll);
            EXPECT_EQ(surface.FirstWrongRow(first, height, pixel), "") << height << " rows from " << from;
            EXPECT_EQ(surface.FirstWrongRow(0, first, kUnfilled), "") << height << " rows from " << from;
            // Asking again of a fill that is done returns at once, as does owner 0.
            filler.Await(fill, kAll);
            filler.Await(RowFiller::Fill{}, kAll);
        }
}

TEST(RowFiller, ASecondFillStartsOnlyWhenTheFirstIsDone) {
    RowFiller& filler = RowFiller::Shared();
    for (int round = 0; round < 50; ++round) {
        PaddedRows large(1024, 512), small(16, 16);
        const std::uint32_t pixel = 0xFF000000u | static_cast<std::uint32_t>(round + 1);
        const RowFiller::Fill first = filler.Start(large.View(), 0, pixel);
        ASSERT_NE(first.owner, 0u);
        const RowFiller::Fill second = filler.Start(small.View(), 0, pixel);
        if (second.owner != 0) {
            // Taken: the first fill was over, every row of it handed over.
            EXPECT_EQ(large.FirstWrongRow(0, large.height, pixel), "") << "round " << round;
            filler.Await(second, kAll);
            EXPECT_EQ(small.FirstWrongRow(0, small.height, pixel), "") << "round " << round;
        } else {
            // Refused: the small surface is the caller's alone, untouched.
            EXPECT_EQ(small.FirstWrongRow(0, small.height, kUnfilled), "") << "round " << round;
        }
        filler.Await(first, kAll);
        EXPECT_EQ(large.FirstWrongRow(0, large.height, pixel), "") << "round " << round;
    }
}

TEST(RowFiller, WithoutItsThreadTheCallerFillsTheBlocksItWaitsForAndNoMore) {
    // As when the thread's core is slow to wake: every row is the caller's to fill.
    RowFiller filler;
    PaddedRows surface(40, 1000);
    const std::uint32_t pixel = 0xFF405060u;
    const RowFiller::Fill fill = filler.Start(surface.View(), 10, pixel);
    ASSERT_NE(fill.owner, 0u);
    filler.Await(fill, 50);
    // Rows 10..49 asked for: the blocks holding them are filled, the rows after them are not.
    const int blockEnd = 10 + (40 + fill.blockRows - 1) / fill.blockRows * fill.blockRows;
    EXPECT_EQ(surface.FirstWrongRow(10, blockEnd, pixel), "");
    EXPECT_EQ(surface.FirstWrongRow(blockEnd, 1000, kUnfilled), "") << "only what was waited for";
    EXPECT_EQ(surface.FirstWrongRow(0, 10, kUnfilled), "");
    EXPECT_EQ(filler.Start(surface.View(), 0, pixel).owner, 0u) << "one fill at a time";
    filler.Await(fill, kAll);
    EXPECT_EQ(surface.FirstWrongRow(10, 1000, pixel), "");
    // Every block filled: the fill is over and the next may start.
    PaddedRows next(8, 1);
    const RowFiller::Fill again = filler.Start(next.View(), 0, pixel);
    ASSERT_NE(again.owner, 0u) << "the filler is free once every row is filled";
    filler.Await(again, kAll);
    EXPECT_EQ(next.FirstWrongRow(0, 1, pixel), "");
    // A surface taller than the blocks it counts: larger blocks, every row still filled.
    PaddedRows tall(2, 40000);
    const RowFiller::Fill big = filler.Start(tall.View(), 0, pixel);
    filler.Await(big, kAll);
    EXPECT_EQ(tall.FirstWrongRow(0, 40000, pixel), "");
}

/// Writes that overlap, so that only the order they were posted in gives the reference's
/// pixels: fills, a polyline, a dashed span and a text's coverage, at two device pixels per
/// view pixel, some clipped.
void PostOrMake(PixelQueue* queue, const PixelSurface& surface, int round, int band,
                const CoverageMask& mask) {
    const PixelWriter whole(surface, 2, {0, 0, surface.width, surface.height});
    const PixelWriter clipped(surface, 2, {10, band * 100 + 6, 100, band * 100 + 90});
    const std::uint32_t ink = 0xFF000000u | static_cast<std::uint32_t>(round * 7919 + band * 104729);
    const int top = band * 50;
    const Rect box{3 + round % 5, top + 2, 40 + round % 7, top + 30};
    const Point line[] = {{2, top + 40}, {50, top + 5}, {58, top + 44}};
    const std::vector<int> dashes = {3, 2, 1, 4};
    if (queue) {
        queue->Use(whole);
        queue->FillRect(box, ink);
        queue->Use(clipped);
        queue->Polyline(line, 3, ink ^ 0x00FFFFFFu, clipped.PolylinePlacement(line, 3));
        queue->Use(whole);
        queue->DashedSpan({0, top + 20, 60, top + 21}, true, round, dashes, ink ^ 0x0000FF00u);
        queue->Use(clipped);
        queue->BlendCoverage(30 + round, top * 2 + 40, mask, ink ^ 0x00FF0000u);
        queue->FillRect({box.left + 5, box.top + 5, box.right + 9, box.bottom - 3}, ink ^ 0x000000FFu);
    } else {
        whole.FillRect(box, ink);
        clipped.Polyline(line, 3, ink ^ 0x00FFFFFFu);
        whole.DashedSpan({0, top + 20, 60, top + 21}, true, round, dashes, ink ^ 0x0000FF00u);
        clipped.BlendCoverage(30 + round, top * 2 + 40, mask, ink ^ 0x00FF0000u);
        clipped.FillRect({box.left + 5, box.top + 5, box.right + 9, box.bottom - 3}, ink ^ 0x000000FFu);
    }
}

void ExpectWritesMadeInOrderBehindTheirRows(RowFiller& filler, int rounds) {
    CoverageMask mask{-3, -20, 23, 17, {}};
    for (int i = 0; i < mask.width * mask.height; ++i)
        mask.coverage.push_back(static_cast<std::uint8_t>(i * 37));
    for (int round = 0; round < rounds; ++round) {
        PaddedRows queued(120, 300), made(120, 300);
        const std::uint32_t pixel = 0xFF203040u + static_cast<std::uint32_t>(round);
        const int from = round % 3 == 0 ? 0 : 17;
        const RowFiller::Fill fill = filler.Start(queued.View(), from, pixel, true);
        ASSERT_NE(fill.owner, 0u);
        for (int y = from; y < made.height; ++y)
            std::fill_n(made.pixels.begin() + y * (made.width + 5), made.width, pixel);
        // Each band's writes are posted once its rows are asked for, as a chart draws pane by
        // pane; half way the painting waits for the writes (the painter is to draw next).
        for (int band = 0; band < 3; ++band) {
            filler.Rows(fill, (band + 1) * 100);
            PostOrMake(&filler.Queue(), queued.View(), round, band, mask);
            PostOrMake(nullptr, made.View(), round, band, mask);
            if (band == 1) {
                filler.Sync(fill);
                ASSERT_TRUE(
                    std::equal(queued.pixels.begin(), queued.pixels.begin() + 200 * 125, made.pixels.begin()))
                    << "round " << round << ": the writes posted are made when Sync returns";
            }
        }
        filler.End(fill);
        ASSERT_TRUE(queued.pixels == made.pixels) << "round " << round;
    }
}

TEST(RowFiller, WritesPostedBehindTheRowsAreMadeInOrderOnTheLaidRows) {
    // On the thread, which races the painting for the rows and the writes.
    ExpectWritesMadeInOrderBehindTheirRows(RowFiller::Shared(), 60);
    // Without it (as when its core sleeps), the painting makes them itself.
    RowFiller alone;
    ExpectWritesMadeInOrderBehindTheirRows(alone, 3);
}

TEST(RowFiller, AQueuedFillEndsOnlyAtItsEnd) {
    // Its rows may all be laid long before its writes are made: no other fill may start
    // (and empty the queue) until End.
    RowFiller filler;
    PaddedRows surface(16, 64), other(4, 4);
    const RowFiller::Fill fill = filler.Start(surface.View(), 0, 0xFF111111u, true);
    filler.Rows(fill, kAll);
    EXPECT_EQ(surface.FirstWrongRow(0, 64, 0xFF111111u), "");
    EXPECT_EQ(filler.Start(other.View(), 0, 0xFF222222u).owner, 0u);
    const PixelWriter writer(surface.View(), 1, {0, 0, 16, 64});
    filler.Queue().Use(writer);
    filler.Queue().FillRect({0, 0, 16, 8}, 0xFF333333u);
    EXPECT_EQ(filler.Start(other.View(), 0, 0xFF222222u).owner, 0u);
    filler.End(fill);
    EXPECT_EQ(surface.FirstWrongRow(0, 8, 0xFF333333u), "");
    EXPECT_EQ(surface.FirstWrongRow(8, 64, 0xFF111111u), "");
    const RowFiller::Fill next = filler.Start(other.View(), 0, 0xFF222222u);
    EXPECT_NE(next.owner, 0u);
    filler.End(next);
    EXPECT_EQ(other.FirstWrongRow(0, 4, 0xFF222222u), "");
}

}  // namespace
}  // namespace qelt
