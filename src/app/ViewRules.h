#pragma once
/// Rules of the application that need no window: the global function keys and F6.
#include <string>

#include "views/ViewKinds.h"

namespace qelt {

/// What a global function key does.
struct KeyAction {
    int switchTo = 0;                        ///< view kind to post with WM_SWITCH_VIEW, 0 for none
    int setCurrentGoods = -1;                ///< F3/F4: the goods index to make current first
    bool resetSelfSelectedCategory = false;  ///< F3/F4: self-selected category code := "0001"
    bool toggleSelfSelected = false;         ///< F6
};

/// F1..F6 (`functionKey` 1..6); `kLineActive` tells F5 which way to go, `hasActiveView`
/// whether there is a view at all.
KeyAction ActionForFunctionKey(int functionKey, bool hasActiveView, bool kLineActive);

/// F6 for the category code on show: "remove" for "0000", nothing for "0002".."0004", else
/// "add" under category "0005" when "0005" is shown and "0001" otherwise.
struct SelfSelectedToggle {
    enum Kind { None, Add, Remove } kind = None;
    std::string category;  ///< the category code written with the entry
};
SelfSelectedToggle SelfSelectedToggleFor(const std::string& currentCategoryCode,
                                         const std::string& selfSelectedCategory);

}  // namespace qelt
