// Thumb arithmetic, clicks, drags and timers of the skinned scroll bar.
#include <gtest/gtest.h>

#include <map>

#include "views/ScrollCodes.h"
#include "views/controls/SkinnedScrollBarControl.h"

namespace qelt {
namespace {

class RecordingHost : public ScrollBarHost {
  public:
    std::map<int, int> timers;  // running timers: id → interval
    std::vector<std::pair<int, int>> notes;
    bool captured = false;
    bool hand = false;
    void StartTimer(int id, int ms) override { timers[id] = ms; }
    void StopTimer(int id) override { timers.erase(id); }
    void SetCapture(bool on) override { captured = on; }
    void Notify(int code, int position) override { notes.emplace_back(code, position); }
    void Invalidate() override {}
    void SetHandCursor(bool on) override { hand = on; }
};

// A horizontal bar 200 long and 20 thick: track 140, range 0..100.
struct Fixture {
    RecordingHost host;
    SkinnedScrollBarControl bar{host, false};
    Fixture() {
        bar.SetClientSize(200, 20);
        bar.SetRange(0, 100);
    }
};

TEST(SkinnedScrollBarControl, ThumbOffsetAndPositionConvertByTheTrack) {
    Fixture f;
    EXPECT_EQ(f.bar.Track(), 140);
    EXPECT_EQ(f.bar.OffsetFromPosition(0), 20);
    EXPECT_EQ(f.bar.OffsetFromPosition(50), 90);
    EXPECT_EQ(f.bar.OffsetFromPosition(100), 160);
    EXPECT_EQ(f.bar.OffsetFromPosition(33), 20 + 46);  // round(33 × 140 / 100 = 46.2)
    EXPECT_EQ(f.bar.PositionFromOffset(90), 50);
    EXPECT_EQ(f.bar.PositionFromOffset(21), 1);  // round(0.71)
    EXPECT_EQ(f.bar.PositionFromOffset(0), 0);
    EXPECT_EQ(f.bar.PositionFromOffset(400), 100);
    f.bar.SetRange(10, -30);  // length is |max - min|
    EXPECT_EQ(f.bar.Length(), 40);
}

TEST(SkinnedScrollBarControl, LengthZeroKeepsPositionZero) {
    Fixture f;
    f.bar.SetRange(5, 5);
    EXPECT_EQ(f.bar.Length(), 0);
    EXPECT_EQ(f.bar.ThumbOffset(), 20);
    f.bar.OnLButtonDown({150, 10});  // channel click
    EXPECT_EQ(f.bar.Position(), 0);
    f.bar.OnLButtonUp({150, 10});
    f.bar.OnLButtonDown({190, 10});
    f.bar.OnLButtonUp({190, 10});
    EXPECT_EQ(f.bar.Position(), 0);
    EXPECT_EQ(f.host.notes.back(), (std::pair<int, int>{kSbLineDown, 0}));
}

TEST(SkinnedScrollBarControl, ChannelClickCentresTheThumbAndDragTracks) {
    Fixture f;
    f.bar.OnLButtonDown({100, 10});
    EXPECT_TRUE(f.host.captured);
    EXPECT_EQ(f.bar.ThumbOffset(), 90);
    ASSERT_EQ(f.host.notes.size(), 1u);
    EXPECT_EQ(f.host.notes[0], (std::pair<int, int>{kSbThumbTrack, 50}));
    f.bar.OnLButtonUp({100, 10});
    EXPECT_FALSE(f.host.captured);

    f.bar.OnLButtonDown({95, 10});  // on the thumb: drag
    EXPECT_TRUE(f.bar.Dragging());
    f.bar.OnMouseMove({500, 10});  // clamped before the second arrow
    EXPECT_EQ(f.bar.ThumbOffset(), 160);
    EXPECT_EQ(f.host.notes.back(), (std::pair<int, int>{kSbThumbTrack, 100}));
    f.bar.OnLButtonUp({500, 10});
    EXPECT_FALSE(f.bar.Dragging());
}

TEST(SkinnedScrollBarControl, ArrowsStepOnceAndRepeatAfterTheDelay) {
    Fixture f;
    f.bar.OnLButtonDown({190, 10});
    EXPECT_TRUE(f.bar.Pressed(SkinnedScrollBarControl::Part::SecondArrow));
    EXPECT_EQ(f.host.timers.at(kTimerDelay), 200);
    f.bar.OnTimer(kTimerDelay, {190, 10}, true);
    EXPECT_FALSE(f.host.timers.count(kTimerDelay));
    EXPECT_EQ(f.host.timers.at(kTimerRepeat), 50);
    f.bar.OnTimer(kTimerRepeat, {190, 10}, true);
    f.bar.OnTimer(kTimerRepeat, {190, 10}, true);
    EXPECT_EQ(f.bar.Position(), 2);
    // The pointer left the bar: arrows are released and the repeat stops.
    f.bar.OnTimer(kTimerRepeat, {190, 50}, false);
    EXPECT_FALSE(f.host.timers.count(kTimerRepeat));
    EXPECT_EQ(f.bar.Position(), 2);
    f.bar.OnLButtonUp({190, 50});
    EXPECT_EQ(f.bar.Position(), 2);

    f.bar.OnLButtonDown({5, 10});
    f.bar.OnLButtonUp({5, 10});
    EXPECT_EQ(f.bar.Position(), 1);
    EXPECT_EQ(f.host.notes.back(), (std::pair<int, int>{kSbLineUp, 1}));

    RecordingHost vhost;
    SkinnedScrollBarControl vertical(vhost, true);
    vertical.SetClientSize(20, 300);
    vertical.SetRange(0, 10);
    vertical.OnLButtonDown({10, 5});
    EXPECT_EQ(vhost.timers.at(kTimerDelay), 150);
}

TEST(SkinnedScrollBarControl, HoverTimersClearOnceThePointerLeaves) {
    Fixture f;
    f.bar.OnMouseMove({25, 10});  // thumb at 20..40
    EXPECT_TRUE(f.bar.Hovered(SkinnedScrollBarControl::Part::Thumb));
    EXPECT_TRUE(f.host.hand);
    EXPECT_EQ(f.host.timers.at(kTimerThumbHover), 50);
    f.bar.OnTimer(kTimerThumbHover, {100, 10}, true);
    EXPECT_FALSE(f.bar.Hovered(SkinnedScrollBarControl::Part::Thumb));
    EXPECT_FALSE(f.host.hand);
    f.bar.OnMouseMove({5, 10});
    EXPECT_EQ(f.host.timers.at(kTimerArrowHover), 80);
    f.bar.OnTimer(kTimerArrowHover, {5, 10}, false);
    EXPECT_FALSE(f.bar.Hovered(SkinnedScrollBarControl::Part::FirstArrow));
    EXPECT_FALSE(f.host.timers.count(kTimerArrowHover));
}

}  // namespace
}  // namespace qelt
