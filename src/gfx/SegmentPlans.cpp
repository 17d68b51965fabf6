#include "SegmentPlans.h"

namespace qelt::stepping {

SegmentPlans::SegmentPlans() {
    for (int dx = 0; dx <= kMaxDx; ++dx) {
        for (int dy = -kMaxDy; dy <= kMaxDy; ++dy) {
            if (dx == 0 && dy == 0) continue;
            // Every state a join index stands for, from a segment that ended near (0, 0).
            for (int px = -kNear; px <= kNear; ++px) {
                for (int py = -kNear; py <= kNear; ++py) {
                    for (int dir : {kTopToBottom, kBottomToTop, kLeftToRight, kRightToLeft}) {
                        for (bool axisAligned : {false, true}) {
                            StepState state{{px, py}, dir, axisAligned};
                            Plan& plan =
                                m_plans[(dx * (2 * kMaxDy + 1) + dy + kMaxDy) * kJoins + JoinOf(state, 0, 0)];
                            bool vertical = false;
                            const Run run = PlanAnySegment(state, 0, 0, dx, dy, kNoCaps, vertical);
                            plan.x = run.x;
                            plan.xinc = run.xinc;
                            plan.ys = static_cast<std::int8_t>(run.ys);
                            plan.ye = static_cast<std::int8_t>(run.ye);
                            plan.lastX = static_cast<std::int8_t>(state.last.x);
                            plan.lastY = static_cast<std::int8_t>(state.last.y);
                            plan.lastDir = static_cast<std::uint8_t>(state.lastDir);
                            plan.flags =
                                static_cast<std::uint8_t>((vertical ? Plan::kVertical : 0) |
                                                          (state.lastAxisAligned ? Plan::kAxisAligned : 0));
                            plan.nextJoin = static_cast<std::int16_t>(JoinOf(state, dx, dy));
                        }
                    }
                }
            }
        }
    }
}

const SegmentPlans& ChartSegmentPlans() {
    static const SegmentPlans plans;
    return plans;
}

}  // namespace qelt::stepping
