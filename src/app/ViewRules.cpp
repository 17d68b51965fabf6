#include "ViewRules.h"

#include "data/Categories.h"

namespace qelt {

KeyAction ActionForFunctionKey(int functionKey, bool hasActiveView, bool kLineActive) {
    KeyAction action;
    switch (functionKey) {
        case 1:
            action.switchTo = kViewTradeList;
            break;
        case 2:
            action.switchTo = kViewQuoteList;
            break;
        case 3:
        case 4:
            action.setCurrentGoods = functionKey == 3 ? 0 : 1;
            action.resetSelfSelectedCategory = true;
            action.switchTo = kViewKLine;
            break;
        case 5:
            if (hasActiveView) action.switchTo = kLineActive ? kViewIntraday : kViewKLine;
            break;
        case 6:
            action.toggleSelfSelected = true;
            break;
        default:
            break;
    }
    return action;
}

SelfSelectedToggle SelfSelectedToggleFor(const std::string& code, const std::string& selfSelectedCategory) {
    // On the self-selected list the entry was added under the category remembered for it.
    if (code == "0000") return {SelfSelectedToggle::Remove, selfSelectedCategory};
    if (code == "0002" || code == "0003" || code == "0004") return {};
    return {SelfSelectedToggle::Add, std::string(code == kContractCode ? kContractCode : kAllGoodsCode)};
}

}  // namespace qelt
