#include "SegmentPlans.h"

namespace qelt::stepping {

StepState SegmentPlans::StateOfJoin(int join) {
    StepState state;
    state.lastAxisAligned = join % 2 != 0;
    join /= 2;
    state.lastDir = 1 << (join % 4);
    join /= 4;
    state.last = {join / (2 * kNear + 1) - kNear, join % (2 * kNear + 1) - kNear};
    return state;
}

SegmentPlans::Plan SegmentPlans::PlanFrom(StepState state, int dx, int dy) {
    bool vertical = false;
    const Run run = PlanAnySegment(state, 0, 0, dx, dy, kNoCaps, vertical);
    Plan plan;
    plan.x = run.x;
    plan.xinc = run.xinc;
    plan.ys = static_cast<std::int8_t>(run.ys);
    plan.ye = static_cast<std::int8_t>(run.ye);
    plan.lastX = static_cast<std::int8_t>(state.last.x);
    plan.lastY = static_cast<std::int8_t>(state.last.y);
    plan.lastDir = static_cast<std::uint8_t>(state.lastDir);
    plan.flags = static_cast<std::uint8_t>((vertical ? Plan::kVertical : 0) |
                                           (state.lastAxisAligned ? Plan::kAxisAligned : 0));
    plan.nextJoin = static_cast<std::int16_t>(JoinOf(state, dx, dy));
    return plan;
}

SegmentPlans::SegmentPlans() {
    for (int dx = 0; dx <= kMaxDx; ++dx) {
        for (int dy = -kMaxDy; dy <= kMaxDy; ++dy) {
            if (dx == 0 && dy == 0) continue;
            for (int join = 0; join < kJoins; ++join) {
                const int index = IndexOf(join, dx, dy);
                m_plans[index] = PlanFrom(StateOfJoin(join), dx, dy);
                const int next = m_plans[index].nextJoin;
                m_nextJoins[index] = next < 0 ? kNoJoin : static_cast<std::uint8_t>(next);
            }
        }
    }
}

const SegmentPlans& ChartSegmentPlans() {
    static const SegmentPlans plans;
    return plans;
}

}  // namespace qelt::stepping
