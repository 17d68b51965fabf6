// The pixel writer's own contract, without the painter it matches (tests/ui compares the two
// pixel for pixel): fills scaled to device pixels and kept inside the clip, the pictures of a
// few polylines, the polylines it leaves to the painter, and the column reduction of long
// polylines.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "gfx/PixelWriter.h"
#include "gfx/PolylineColumns.h"

namespace qelt {
namespace {

constexpr std::uint32_t kInk = 0xFF00FF00u;
constexpr std::uint32_t kPaper = 0xFF000000u;

/// A surface of `width` × `height` device pixels with a row padding of 3 pixels, as images
/// pad their rows, so a writer that confuses width and stride writes into the padding.
struct Surface {
    Surface(int width, int height) : width(width), height(height), pixels((width + 3) * height, kPaper) {}
    PixelSurface View() { return {pixels.data(), width + 3, width, height}; }
    std::uint32_t At(int x, int y) const { return pixels[y * (width + 3) + x]; }
    /// Inked pixels, the padding included.
    int Inked() const { return static_cast<int>(std::count(pixels.begin(), pixels.end(), kInk)); }
    int width, height;
    std::vector<std::uint32_t> pixels;
};

TEST(PixelWriter, FillsCoverScaledViewPixelsInsideTheClipOnly) {
    for (int scale : {1, 2, 3}) {
        Surface surface(40 * scale, 30 * scale);
        // The clip cuts device pixels in the middle of view pixels, and reaches past the surface.
        const Rect clip{5 * scale + 1, 3, 100 * scale, 20 * scale - 1};
        PixelWriter writer(surface.View(), scale, clip);
        writer.FillRect({2, 2, 12, 25}, kInk);
        writer.FillRect({30, 5, 30, 9}, kInk);    // empty
        writer.FillRect({35, 10, 60, 12}, kInk);  // past the surface's right edge
        int expected = 0;
        for (int y = 0; y < surface.height; ++y) {
            for (int x = 0; x < surface.width; ++x) {
                const bool inClip = x >= clip.left && y >= clip.top && y < clip.bottom;
                const bool first = x >= 2 * scale && x < 12 * scale && y >= 2 * scale && y < 25 * scale;
                const bool third = x >= 35 * scale && y >= 10 * scale && y < 12 * scale;
                const bool inked = inClip && (first || third);
                expected += inked;
                ASSERT_EQ(surface.At(x, y), inked ? kInk : kPaper)
                    << "scale " << scale << " at " << x << "," << y;
            }
        }
        EXPECT_EQ(surface.Inked(), expected) << "nothing written into the row padding";
    }
}

TEST(PixelWriter, LongFillsStopAtTheirEndsWhereverTheyStart) {
    // Rows 703 pixels apart: every other row starts off an eight-byte boundary. Runs of odd
    // and even lengths either side of the length from which long runs are filled another way.
    Surface surface(700, 8);
    PixelWriter writer(surface.View(), 1, {0, 0, 700, 8});
    int y = 0;
    for (const int left : {0, 1, 3}) {
        for (const int length : {255, 256, 257, 400, 700 - left}) {
            std::fill(surface.pixels.begin(), surface.pixels.end(), kPaper);
            writer.FillRect({left, y, left + length, y + 1}, kInk);
            for (int x = 0; x < 700; ++x)
                ASSERT_EQ(surface.At(x, y), x >= left && x < left + length ? kInk : kPaper)
                    << "row " << y << " from " << left << " for " << length << " at " << x;
            EXPECT_EQ(surface.Inked(), length) << "nothing written outside the run";
            y = (y + 1) % 8;
        }
    }
    std::fill(surface.pixels.begin(), surface.pixels.end(), kPaper);
    writer.FillRect({0, 0, 700, 8}, kInk);
    EXPECT_EQ(surface.Inked(), 700 * 8) << "the whole surface, its row padding left alone";
}

TEST(PixelWriter, LeavesToThePainterTheLinesItWouldDrawOtherwise) {
    Surface surface(50, 50);
    PixelWriter writer(surface.View(), 1, {0, 0, 50, 50});
    const std::vector<std::vector<Point>> refused = {
        {},
        {{5, 5}},
        {{5, 5}, {20, 9}, {5, 5}},     // closed
        {{5, 5}, {50, 9}},             // a point past the right edge
        {{5, -1}, {20, 9}},            // above the top
        {{5, 5}, {20, 20}, {20, 18}},  // ends two pixels upwards
        {{5, 5}, {20, 20}, {19, 20}},  // ends one pixel to the left
    };
    for (const auto& points : refused) {
        EXPECT_FALSE(writer.Polyline(points.data(), points.size(), kInk)) << points.size() << " points";
        EXPECT_EQ(surface.Inked(), 0);
    }
    // The same short ends are fine at the start, downwards, or alone.
    const std::vector<std::vector<Point>> taken = {{{20, 20}, {20, 18}, {30, 25}},
                                                   {{5, 5}, {20, 20}, {20, 22}},
                                                   {{20, 20}, {19, 20}},
                                                   {{0, 0}, {49, 49}}};
    for (const auto& points : taken) EXPECT_TRUE(writer.Polyline(points.data(), points.size(), kInk));
    // At two device pixels per view pixel a one-pixel end is two device pixels long.
    Surface dense(100, 100);
    PixelWriter denseWriter(dense.View(), 2, {0, 0, 100, 100});
    const std::vector<Point> shortEnd = {{5, 5}, {20, 20}, {20, 19}},
                             longerEnd = {{5, 5}, {20, 20}, {20, 18}};
    EXPECT_FALSE(denseWriter.Polyline(shortEnd.data(), shortEnd.size(), kInk));
    EXPECT_TRUE(denseWriter.Polyline(longerEnd.data(), longerEnd.size(), kInk));
}

/// The polyline through `points` drawn on 11 × 10 pixels, as lines of '#' (ink) and '.'.
std::string Drawn(const std::vector<Point>& points) {
    Surface surface(11, 10);
    PixelWriter writer(surface.View(), 1, {0, 0, 11, 10});
    EXPECT_TRUE(writer.Polyline(points.data(), points.size(), kInk));
    std::string picture;
    for (int y = 0; y < surface.height; ++y) {
        picture += '\n';
        for (int x = 0; x < surface.width; ++x) picture += surface.At(x, y) == kInk ? '#' : '.';
    }
    return picture;
}

// The painter's pictures of these polylines: the first pixel at the first point, never one
// before it; a turn's corner closed; a line turning straight back capped at its tip; the
// short segments in the middle of a line (planned once for all lines) as any other.
TEST(PixelWriter, PolylinesStartAtTheirFirstPointAndCloseEveryCorner) {
    // a right angle
    EXPECT_EQ(Drawn({{1, 1}, {6, 1}, {6, 6}}), R"(
...........
.######....
......#....
......#....
......#....
......#....
......#....
...........
...........
...........)");
    // a V
    EXPECT_EQ(Drawn({{1, 1}, {4, 4}, {8, 1}}), R"(
...........
.#.....##..
..#...#....
...#.#.....
....#......
...........
...........
...........
...........
...........)");
    // straight back
    EXPECT_EQ(Drawn({{2, 2}, {9, 2}, {2, 3}}), R"(
...........
...........
..########.
..#........
...........
...........
...........
...........
...........
...........)");
    // a zigzag whose third turn leaves a corner to close
    EXPECT_EQ(Drawn({{1, 1}, {5, 8}, {9, 4}, {8, 1}, {7, 4}}), R"(
...........
.#......#..
.#.....##..
..#....##..
...#...#.#.
...#....#..
....#..#...
....#.#....
.....#.....
...........)");
    // steep, then flat there and back
    EXPECT_EQ(Drawn({{6, 7}, {3, 2}, {9, 3}, {4, 2}}), R"(
...........
...........
...######..
...#.....##
....#......
.....#.....
.....#.....
......#....
...........
...........)");
    // a step: a segment straight down between two flat ones
    EXPECT_EQ(Drawn({{1, 2}, {4, 2}, {4, 7}, {9, 7}}), R"(
...........
...........
.####......
....#......
....#......
....#......
....#......
....######.
...........
...........)");
    // a wiggle of one-pixel steps, as a long chart's lines are made of
    EXPECT_EQ(Drawn({{1, 6}, {3, 5}, {4, 5}, {4, 4}, {5, 5}}), R"(
...........
...........
...........
...........
....#......
..####.....
.#.........
...........
...........
...........)");
    // one row down, then up and down again
    EXPECT_EQ(Drawn({{1, 2}, {3, 2}, {3, 3}, {4, 1}, {5, 3}}), R"(
...........
....#......
.####......
...#.#.....
...........
...........
...........
...........
...........
...........)");
}

/// Whether some `scale` × `scale` block holding (x, y) is inked wherever the clip lets it be.
bool InABlock(const Surface& surface, const Rect& clip, int scale, int x, int y) {
    for (int top = y - scale + 1; top <= y; ++top)
        for (int left = x - scale + 1; left <= x; ++left) {
            bool whole = true;
            for (int dy = 0; dy < scale && whole; ++dy)
                for (int dx = 0; dx < scale && whole; ++dx)
                    if (clip.Contains({left + dx, top + dy}) && surface.At(left + dx, top + dy) != kInk)
                        whole = false;
            if (whole) return true;
        }
    return false;
}

TEST(PixelWriter, LinesStayInsideTheClipAndAreAsThickAsTheScale) {
    std::mt19937 random(3);
    for (int scale : {1, 2, 3}) {
        Surface surface(64 * scale, 64 * scale);
        const Rect clip{10 * scale + 1, 7 * scale, 50 * scale - 1, 40 * scale};
        PixelWriter writer(surface.View(), scale, clip);
        std::vector<Point> points;
        for (int i = 0; i < 200; ++i)
            points.push_back({static_cast<int>(random() % 64), static_cast<int>(random() % 64)});
        ASSERT_TRUE(writer.Polyline(points.data(), points.size(), kInk));
        int inked = 0;
        for (int y = 0; y < surface.height; ++y)
            for (int x = 0; x < surface.width; ++x) {
                if (surface.At(x, y) != kInk) continue;
                ++inked;
                ASSERT_TRUE(clip.Contains({x, y})) << x << "," << y;
                // One-device-pixel lines side by side: every pixel in a whole block.
                ASSERT_TRUE(InABlock(surface, clip, scale, x, y))
                    << "scale " << scale << " at " << x << "," << y;
            }
        EXPECT_GT(inked, 0);
        EXPECT_EQ(surface.Inked(), inked);
    }
}

/// The lowest and highest y of each column a polyline's points visit.
std::map<int, std::pair<int, int>> ColumnRanges(const std::vector<Point>& points) {
    std::map<int, std::pair<int, int>> ranges;
    for (const Point& p : points) {
        auto [it, added] = ranges.try_emplace(p.x, p.y, p.y);
        it->second = {std::min(it->second.first, p.y), std::max(it->second.second, p.y)};
    }
    return ranges;
}

TEST(KeepColumnExtremes, KeepsEveryColumnsRangeEndsAndAtMostFourPointsPerRun) {
    std::mt19937 random(5);
    std::vector<Point> out;
    for (int trial = 0; trial < 300; ++trial) {
        std::vector<Point> points;
        int x = 0;
        const int size = 1 + static_cast<int>(random() % 60);
        for (int i = 0; i < size; ++i) {
            x += random() % 3 == 0 ? 1 : 0;                          // runs of many points in a column
            if (trial % 7 == 0) x = static_cast<int>(random() % 4);  // columns visited again later
            points.push_back({x, static_cast<int>(random() % 40)});
        }
        KeepColumnExtremes(points, out);
        ASSERT_FALSE(out.empty());
        EXPECT_EQ(out.front(), points.front());
        EXPECT_EQ(out.back(), points.back());
        EXPECT_EQ(ColumnRanges(out), ColumnRanges(points));
        // Runs of one column shrink to at most four points and keep their order of columns.
        std::size_t i = 0, j = 0;
        while (i < points.size()) {
            std::size_t end = i;
            while (end < points.size() && points[end].x == points[i].x) ++end;
            std::size_t outEnd = j;
            while (outEnd < out.size() && out[outEnd].x == points[i].x) ++outEnd;
            ASSERT_GT(outEnd, j);
            const std::size_t run = end - i;
            EXPECT_LE(outEnd - j, run <= 2 ? run : 4u);
            i = end, j = outEnd;
        }
        EXPECT_EQ(j, out.size());
    }
    // A run goes to its nearer extreme first: from 5 via 3 and 9 to 6.
    KeepColumnExtremes({{1, 5}, {1, 9}, {1, 3}, {1, 7}, {1, 6}, {2, 0}}, out);
    EXPECT_EQ(out, (std::vector<Point>{{1, 5}, {1, 3}, {1, 9}, {1, 6}, {2, 0}}));
}

}  // namespace
}  // namespace qelt

namespace qelt {
namespace {

/// A channel's share of a blend, `value` × `a` / 255 rounded to the nearest.
std::uint32_t Share(std::uint32_t value, std::uint32_t a) {
    return static_cast<std::uint32_t>(std::lround(value * a / 255.0));
}

TEST(PixelWriter, CoverageBlendsEachPixelAsTheRoundedSharesOfInkAndWhatWasThere) {
    // Masks of every width up to two groups of four and a tail, at every offset across the
    // clip's edges, over pixels of every kind: each pixel is ink × a + old × (255 - a), each
    // channel rounded, the words summed; nothing outside the clip or the mask changes.
    std::mt19937 random(7);
    for (int width = 1; width <= 11; ++width)
        for (int dx = -3; dx <= 3; ++dx) {
            CoverageMask mask;
            mask.left = -2;
            mask.top = -5;
            mask.width = width;
            mask.height = 3;
            for (int i = 0; i < width * 3; ++i) {
                const int kind = static_cast<int>(random() % 4);  // blank, full, or between
                mask.coverage.push_back(static_cast<std::uint8_t>(kind == 0   ? 0
                                                                  : kind == 1 ? 255
                                                                              : random() % 256));
            }
            std::vector<std::uint32_t> pixels(20 * 8);
            for (std::uint32_t& p : pixels) p = 0xFF000000u | (random() & 0xFFFFFFu);
            const std::vector<std::uint32_t> before = pixels;
            const PixelSurface surface{pixels.data(), 20, 20, 8};
            const Rect clip{4, 2, 12, 4};
            const std::uint32_t ink = 0xFF000000u | (random() & 0xFFFFFFu);
            PixelWriter(surface, 1, clip).BlendCoverage(6 + dx, 6, mask, ink);
            for (int y = 0; y < 8; ++y)
                for (int x = 0; x < 20; ++x) {
                    const int mx = x - (6 + dx + mask.left), my = y - (6 + mask.top);
                    const bool covered = mx >= 0 && mx < width && my >= 0 && my < 3 && x >= clip.left &&
                                         x < clip.right && y >= clip.top && y < clip.bottom;
                    const std::uint32_t old = before[static_cast<std::size_t>(y * 20 + x)];
                    std::uint32_t expected = old;
                    if (covered) {
                        const std::uint32_t a = mask.coverage[static_cast<std::size_t>(my * width + mx)];
                        std::uint32_t laid = 0, kept = 0;
                        for (int shift = 0; shift < 32; shift += 8) {
                            laid |= Share((ink >> shift) & 0xFF, a) << shift;
                            kept |= Share((old >> shift) & 0xFF, 255 - a) << shift;
                        }
                        expected = laid + kept;
                    }
                    ASSERT_EQ(pixels[static_cast<std::size_t>(y * 20 + x)], expected)
                        << "width " << width << ", offset " << dx << ", pixel " << x << "," << y;
                }
        }
}

}  // namespace
}  // namespace qelt
