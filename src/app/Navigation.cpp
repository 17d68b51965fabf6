#include "Navigation.h"

#include <functional>

#include "common/Numbers.h"
#include "common/Text.h"
#include "data/Categories.h"

namespace qelt {
namespace {

/// The next index after `current` in [0, n) (wrapping) whose element qualifies.
int NextMatching(int n, int current, bool forward, const std::function<bool(int)>& qualifies) {
    if (n <= 0) return current;
    int i = current;
    for (int inspected = 0; inspected < n; ++inspected) {
        i = forward ? i + 1 : i - 1;
        if (i >= n) i = 0;
        if (i < 0) i = n - 1;
        if (qualifies(i)) return i;
    }
    return current;
}

int StepInDerived(const std::vector<GoodsSummary>& list, int current, bool forward) {
    const int n = static_cast<int>(list.size());
    if (n == 0) return current;
    int at = -1;
    for (int i = 0; i < n; ++i)
        if (list[i].position == current) {
            at = i;
            break;
        }
    int next;
    if (at < 0)
        next = forward ? 0 : n - 1;
    else
        next = forward ? (at + 1) % n : (at + n - 1) % n;
    return list[next].position;
}

}  // namespace

int StepGoods(const NavigationLists& lists, const std::string& categoryCode, int current, bool forward) {
    const auto& main = lists.main;
    const int n = static_cast<int>(main.size());
    const int k = LeadingInt(categoryCode);
    switch (k) {
        case 1:
            return NextMatching(n, current, forward, [&](int i) { return LeadingInt(main[i].state) > 0; });
        case 2:
            return StepInDerived(lists.spotMonth, current, forward);
        case 3:
            return StepInDerived(lists.delivery, current, forward);
        case 4:
            return StepInDerived(lists.thirdMonth, current, forward);
        case 5:
            return NextMatching(n, current, forward, [&](int i) {
                return main[i].goods_no != kIndexGoodsNo && main[i].due_date.ends_with("25");
            });
        case 6:
            return NextMatching(n, current, forward, [&](int i) {
                return main[i].goods_no != kIndexGoodsNo &&
                       (main[i].due_date.ends_with("05") || main[i].due_date.ends_with("15"));
            });
        case 2000:
            return NextMatching(n, current, forward,
                                [&](int i) { return TrimLeft(main[i].due_date).empty(); });
        default:
            break;
    }
    if (k <= 10) return current;
    return NextMatching(n, current, forward, [&](int i) {
        return main[i].goods_no == categoryCode && LeadingInt(main[i].state) >= 0;
    });
}

}  // namespace qelt
