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
    // Heights around the filler's blocks of rows, starts inside, at and past the foot.
    const int heights[] = {1, 31, 32, 33, 95, 300};
    std::uint32_t pixel = 0xFF102030u;
    for (int height : heights)
        for (int from : {0, 1, height / 2, height - 1, height, height + 7}) {
            PaddedRows surface(37, height);
            pixel += 0x010101u;
            const std::uint64_t owner = filler.Start(surface.View(), from, pixel);
            ASSERT_NE(owner, 0u) << "the filler is free between fills";
            const int first = std::min(from, height);
            // Part way: the rows asked for are filled when Await returns.
            const int part = first + (height - first) / 3;
            filler.Await(owner, part);
            EXPECT_EQ(surface.FirstWrongRow(first, part, pixel), "") << height << " rows from " << from;
            filler.Await(owner, kAll);
            EXPECT_EQ(surface.FirstWrongRow(first, height, pixel), "") << height << " rows from " << from;
            EXPECT_EQ(surface.FirstWrongRow(0, first, kUnfilled), "") << height << " rows from " << from;
            // Asking again of a fill that is done returns at once, as does owner 0.
            filler.Await(owner, kAll);
            filler.Await(0, kAll);
        }
}

TEST(RowFiller, ASecondFillStartsOnlyWhenTheFirstIsDone) {
    RowFiller& filler = RowFiller::Shared();
    for (int round = 0; round < 50; ++round) {
        PaddedRows large(1024, 512), small(16, 16);
        const std::uint32_t pixel = 0xFF000000u | static_cast<std::uint32_t>(round + 1);
        const std::uint64_t first = filler.Start(large.View(), 0, pixel);
        ASSERT_NE(first, 0u);
        const std::uint64_t second = filler.Start(small.View(), 0, pixel);
        if (second != 0) {
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

}  // namespace
}  // namespace qelt
