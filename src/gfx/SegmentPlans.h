#pragma once
/// The plans of the segments a chart's lines are made of, worked out once. A segment's plan
/// depends only on where it goes from its start and on where and how the one before it
/// ended, not on where it lies: the stepping is the same under any shift by whole pixels.
/// A segment in the middle of a polyline (no cap of its own) that steps at most two device
/// pixels right and fifteen up or down, after one that ended within two pixels of its start,
/// is looked up here instead of planned, which is most segments of a line of thousands of
/// bars. Internal to the pixel writer.
#include <bit>
#include <climits>
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
        std::uint8_t flags = 0;      ///< kVertical, kAxisAligned
        std::int16_t nextJoin = -1;  ///< JoinOf the state it leaves, for a segment from its end
        static constexpr std::uint8_t kVertical = 1, kAxisAligned = 2;
    };

    /// Plans every segment the table holds.
    SegmentPlans();

    /// How a segment starting at (x, y) joins the one `state` stepped last, as part of the
    /// table's index; -1 when the table holds no such join (or nothing was stepped yet).
    static int JoinOf(const StepState& state, int x, int y) {
        if (state.last.x == INT_MIN) return -1;
        const int px = state.last.x - x + kNear, py = state.last.y - y + kNear;
        if (static_cast<unsigned>(px) > 2 * kNear || static_cast<unsigned>(py) > 2 * kNear) return -1;
        // A segment stepped leaves one of the four directions: 1, 2, 4 or 8.
        const int dirIndex = std::countr_zero(static_cast<unsigned>(state.lastDir));
        return ((px * (2 * kNear + 1) + py) * 4 + dirIndex) * 2 + (state.lastAxisAligned ? 1 : 0);
    }

    /// Where the table holds the plan of a segment without caps by (dx, dy) that joins the
    /// last as `join` (JoinOf) says; -1 outside what it holds.
    static int IndexOf(int join, int dx, int dy) {
        if (join < 0 || static_cast<unsigned>(dx) > kMaxDx || static_cast<unsigned>(dy + kMaxDy) > 2 * kMaxDy)
            return -1;
        return (dx * (2 * kMaxDy + 1) + dy + kMaxDy) * kJoins + join;
    }
    /// The plan at `index` (IndexOf), relative to the segment's start.
    const Plan& At(int index) const { return m_plans[index]; }
    /// The plan's nextJoin, from a table small enough for the first-level cache: a line's
    /// next segment is found from it without waiting for the plan itself to load.
    int NextJoinAt(int index) const { return m_nextJoins[index] == kNoJoin ? -1 : m_nextJoins[index]; }

  private:
    static constexpr int kMaxDx = 2, kMaxDy = 15, kNear = 2;
    static constexpr int kJoins = (2 * kNear + 1) * (2 * kNear + 1) * 4 * 2;
    static constexpr int kCount = (kMaxDx + 1) * (2 * kMaxDy + 1) * kJoins;
    static constexpr std::uint8_t kNoJoin = 255;
    static_assert(kJoins < kNoJoin);

    /// The state a join index stands for, for a segment starting at (0, 0): JoinOf turned back.
    static StepState StateOfJoin(int join);
    /// The plan of the segment by (dx, dy) from (0, 0) after `state`.
    static Plan PlanFrom(StepState state, int dx, int dy);

    Plan m_plans[kCount];
    std::uint8_t m_nextJoins[kCount];
};

/// The one table, made on first use.
const SegmentPlans& ChartSegmentPlans();

}  // namespace qelt::stepping
