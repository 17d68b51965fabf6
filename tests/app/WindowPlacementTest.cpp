// Where top-level windows open: within the screen's available area, cut to it when larger,
// never below their smallest size, the title bar always on the screen.
#include <gtest/gtest.h>

#include "app/WindowPlacement.h"

namespace qelt {
namespace {

constexpr Rect kLargeScreen{0, 0, 1920, 1080};
/// A 1024 × 600 screen with a 24-pixel panel at the top.
constexpr Rect kSmallScreen{0, 24, 1024, 600};

TEST(WindowPlacement, AWindowTheAreaHoldsOpensWhereItAsked) {
    EXPECT_EQ(PlaceWithin({0, 0, 1024, 700}, kLargeScreen), (Rect{0, 0, 1024, 700}));
    EXPECT_EQ(PlaceWithin({800, 550, 1090, 720}, kLargeScreen), (Rect{800, 550, 1090, 720}));
}

TEST(WindowPlacement, ASmallScreenMovesAndCutsTheWindowIntoItsArea) {
    // The main window: as wide as the screen, as high as the area below the panel.
    EXPECT_EQ(PlaceWithin({0, 24, 1024, 724}, kSmallScreen, {}, {600, 450}), (Rect{0, 24, 1024, 600}));
    // 预警系统 at (800, 550): moved left and up until all of it shows.
    EXPECT_EQ(PlaceWithin({800, 550, 1090, 720}, kSmallScreen), (Rect{734, 430, 1024, 600}));
    // Off the area at the top left: moved in.
    EXPECT_EQ(PlaceWithin({-50, 0, 240, 170}, kSmallScreen), (Rect{0, 24, 290, 194}));
}

TEST(WindowPlacement, TheFrameCountsAndTheSmallestSizeWins) {
    const FrameMargins frame{4, 30, 4, 4};
    // The title bar and borders stay inside the area as well.
    EXPECT_EQ(PlaceWithin({0, 0, 1024, 700}, kSmallScreen, frame, {600, 450}), (Rect{4, 54, 1020, 596}));
    // A window that cannot be made small enough keeps its top left (and title bar) on screen.
    EXPECT_EQ(PlaceWithin({300, 300, 1300, 1100}, Rect{0, 0, 800, 600}, frame, {900, 700}),
              (Rect{4, 30, 904, 730}));
}

}  // namespace
}  // namespace qelt
