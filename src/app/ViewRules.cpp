#include "ViewRules.h"

#include "net/Requests.h"

namespace qelt {

std::optional<std::vector<std::string>> StandingRequestsFor(int kind, const std::string& dayQualifier,
                                                            const std::string& goodsNo,
                                                            const std::string& dueDate) {
    switch (kind) {
        case kViewQuoteList: return std::vector<std::string>{ListRequest()};
        case kViewKLine:
        case kViewIntraday:
            return std::vector<std::string>{ListRequest(), RealStandingRequest(dayQualifier, goodsNo, dueDate)};
        case kViewTradeList: return std::vector<std::string>{RealStandingRequest(dayQualifier, goodsNo, dueDate)};
        default: return std::nullopt;
    }
}

KeyAction ActionForFunctionKey(int functionKey, bool hasActiveView, bool kLineActive) {
    KeyAction action;
    switch (functionKey) {
        case 1: action.switchTo = kViewTradeList; break;
        case 2: action.switchTo = kViewQuoteList; break;
        case 3:
        case 4:
            action.setCurrentGoods = functionKey == 3 ? 0 : 1;
            action.resetSelfSelectedCategory = true;
            action.switchTo = kViewKLine;
            break;
        case 5:
            if (hasActiveView) action.switchTo = kLineActive ? kViewIntraday : kViewKLine;
            break;
        case 6: action.toggleSelfSelected = true; break;
        default: break;
    }
    return action;
}

SelfSelectedToggle SelfSelectedToggleFor(const std::string& code, const std::string& selfSelectedCategory) {
    // On the self-selected list the entry was added under the category remembered for it.
    if (code == "0000") return {SelfSelectedToggle::Remove, selfSelectedCategory};
    if (code == "0002" || code == "0003" || code == "0004") return {};
    return {SelfSelectedToggle::Add, code == "0005" ? "0005" : "0001"};
}

}  // namespace qelt
