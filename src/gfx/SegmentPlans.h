#pragma once
/// The plans of the segments a chart's lines are made of, worked out once. A segment's plan
/// depends only on where it goes from its start and on where and how the one before it
/// ended, not on where it lies: the stepping is the same under any shift by whole pixels.
/// A segment in the middle of a polyline (no cap of its own) that steps at most two device
/// pixels right and fifteen up or down, after one that ended within two pixels of its start,
/// is looked up here instead of planned, which is most segments of a line of thousands of
/// bars. Internal to the pixel writer.
#include <cstdint>

#include "LineStepping.h"

namespace qelt::stepping {

class SegmentPlans {
  public:
    struct Plan {
        std::int32_t x = 0;  ///< the first row's minor coordinate (16.16) from the start's
        std::int32_t xinc = 0;
        std::int8_t ys = 0, ye = 0;        ///< rows from the start's along the major axis
        std::int8_t lastX = 0, lastY = 0;  ///< where the state ends, from the start
        std::uint8_t lastDir = 0;
        bool axisAligned = false;
        bool vertical = false;
    };

    /// Plans every segment the table holds.
    SegmentPlans();

    /// The plan of the segment by (dx, dy) after `state` (which has stepped a segment
    /// already), relative to the segment's start (x1, y1); nullptr outside what the table
    /// holds.
    const Plan* Find(const StepState& state, int x1, int y1, int dx, int dy) const {
        const int px = state.last.x - x1 + kNear, py = state.last.y - y1 + kNear;
        const int dirIndex = DirIndex(state.lastDir);
        if (static_cast<unsigned>(dx) > kMaxDx || static_cast<unsigned>(dy + kMaxDy) > 2 * kMaxDy ||
            static_cast<unsigned>(px) > 2 * kNear || static_cast<unsigned>(py) > 2 * kNear || dirIndex < 0)
            return nullptr;
        int index = dx;
        index = index * (2 * kMaxDy + 1) + dy + kMaxDy;
        index = index * (2 * kNear + 1) + px;
        index = index * (2 * kNear + 1) + py;
        index = index * 4 + dirIndex;
        return &m_plans[index * 2 + (state.lastAxisAligned ? 1 : 0)];
    }

  private:
    static constexpr int kMaxDx = 2, kMaxDy = 15, kNear = 2;
    static constexpr int kCount = (kMaxDx + 1) * (2 * kMaxDy + 1) * (2 * kNear + 1) * (2 * kNear + 1) * 4 * 2;

    struct Key {
        int dx, dy, previousX, previousY, lastDir;
        bool lastAxisAligned;
    };
    static int DirIndex(int dir) {
        switch (dir) {
            case kTopToBottom: return 0;
            case kBottomToTop: return 1;
            case kLeftToRight: return 2;
            case kRightToLeft: return 3;
            default: return -1;
        }
    }
    static Key KeyAt(int index) {
        static constexpr int kDirs[4] = {kTopToBottom, kBottomToTop, kLeftToRight, kRightToLeft};
        Key key{};
        key.lastAxisAligned = index % 2 != 0;
        index /= 2;
        key.lastDir = kDirs[index % 4];
        index /= 4;
        key.previousY = index % (2 * kNear + 1) - kNear;
        index /= 2 * kNear + 1;
        key.previousX = index % (2 * kNear + 1) - kNear;
        index /= 2 * kNear + 1;
        key.dy = index % (2 * kMaxDy + 1) - kMaxDy;
        key.dx = index / (2 * kMaxDy + 1);
        return key;
    }

    Plan m_plans[kCount];
};

/// The one table, made on first use.
const SegmentPlans& ChartSegmentPlans();

}  // namespace qelt::stepping
