#include "SegmentPlans.h"

namespace qelt::stepping {

SegmentPlans::SegmentPlans() {
    for (int index = 0; index < kCount; ++index) {
        Key key = KeyAt(index);
        if (key.dx == 0 && key.dy == 0) continue;
        StepState state{{key.previousX, key.previousY}, key.lastDir, key.lastAxisAligned};
        bool vertical = false;
        const Run run = PlanAnySegment(state, 0, 0, key.dx, key.dy, kNoCaps, vertical);
        Plan& plan = m_plans[index];
        plan = {run.x, run.xinc, static_cast<std::int8_t>(run.ys), static_cast<std::int8_t>(run.ye),
                static_cast<std::int8_t>(state.last.x), static_cast<std::int8_t>(state.last.y),
                static_cast<std::uint8_t>(state.lastDir), state.lastAxisAligned, vertical};
    }
}

const SegmentPlans& ChartSegmentPlans() {
    static const SegmentPlans plans;
    return plans;
}

}  // namespace qelt::stepping
