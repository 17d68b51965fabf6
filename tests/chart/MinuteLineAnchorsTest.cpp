// Drawn lines on minute bars keep their date and time: stamps to indexes and back, inside
// the series, beyond its ends over the sessions of the weekdays, and as the series grows at
// both ends.
#include <gtest/gtest.h>

#include "chart/MinuteBars.h"
#include "chart/MinuteLineAnchors.h"
#include "common/Numbers.h"

namespace qelt {
namespace {

/// Every 30-minute bar of the given days (all eight of each).
BarSeries ThirtyMinuteBars(std::initializer_list<int> dates) {
    BarSeries bars;
    for (int date : dates)
        for (int slot = 0; slot < BarsPerDay(30); ++slot) {
            CBarRow bar{FormatInt(date), "10"};
            bar.SetTime(SlotTime(slot, 30));
            bars.push_back(bar);
        }
    return bars;
}

TEST(MinuteLineAnchors, StampsAreDatesAndTimesAndComeBackToTheirBars) {
    const BarSeries bars = ThirtyMinuteBars({20260302, 20260303});  // Monday, Tuesday
    CBarRow first = bars.front();
    // 2026-03-02 is day 20514 after 1970-01-01; 09:00 is minute 540.
    EXPECT_EQ(MinuteStamp(first), 20514 * 1440 + 540);
    for (int index = -20; index < 40; ++index)
        EXPECT_EQ(IndexOfStamp(bars, StampOfIndex(bars, index, 30), 30), index) << index;
    // Beyond the end: Tuesday's last bar is 15:00; next come Wednesday 09:00, 09:30 ...
    EXPECT_EQ(StampOfIndex(bars, 16, 30), (20514 + 2) * 1440 + 540);
    EXPECT_EQ(StampOfIndex(bars, 19, 30), (20514 + 2) * 1440 + 630);
    // Before the start: Monday 09:00 steps back over the weekend to Friday 15:00.
    EXPECT_EQ(StampOfIndex(bars, -1, 30), (20514 - 3) * 1440 + 900);
    // A time without a bar of its own lands on the next bar; lunch on the afternoon's first.
    EXPECT_EQ(IndexOfStamp(bars, 20514 * 1440 + 545, 30), 1);
    EXPECT_TRUE(IndexOfStamp({}, 123, 5) == 0 && StampOfIndex({}, 3, 5) == 0);
}

TEST(MinuteLineAnchors, ALineKeepsItsBarsWhenEarlierDaysArriveAndTodayGrows) {
    const BarSeries shown = ThirtyMinuteBars({20260303, 20260304});
    const CMyLine drawn{"segment", 6, {{3, 10.5f}, {20, 11.0f}}};  // the second point in the future
    const std::vector<CMyLine> kept = LinesAtStamps({drawn}, shown, 30);
    EXPECT_EQ(LinesAtIndexes(kept, shown, 30), std::vector<CMyLine>{drawn});

    // An earlier day arrives in front: the same date and time, eight bars further on.
    BarSeries grown = ThirtyMinuteBars({20260302, 20260303, 20260304});
    std::vector<CMyLine> again = LinesAtIndexes(kept, grown, 30);
    EXPECT_EQ(again[0].anchors[0].index, 3 + 8);
    EXPECT_EQ(again[0].anchors[1].index, 20 + 8);
    EXPECT_EQ(again[0].anchors[0].price, 10.5f);
    EXPECT_EQ(grown[static_cast<std::size_t>(again[0].anchors[0].index)].Time(), shown[3].Time());
    // Today's bars come: the future point is now a bar of the series, the same one.
    grown = ThirtyMinuteBars({20260302, 20260303, 20260304, 20260305});
    again = LinesAtIndexes(kept, grown, 30);
    EXPECT_EQ(MinuteStamp(grown[static_cast<std::size_t>(again[0].anchors[1].index)]),
              kept[0].anchors[1].index);
}

}  // namespace
}  // namespace qelt
