#pragma once
/// The kinds of main view as one table: each entry is everything the client knows of a
/// kind (its id in WM_SWITCH_VIEW, its name, the factory that makes the view for a switch's
/// argument, the command that shows it with its menu and toolbar texts, and whether the
/// alarm queries keep polling while it is on show). The menus, the toolbar, the command
/// states and switching read the registered table: a new kind is one entry.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "views/View.h"
#include "views/ViewServices.h"

namespace qelt {

/// Makes the view of a kind; `argument` is the one of the switch (1 unless one was given).
using ViewFactory = std::function<std::unique_ptr<View>(ViewServices& services, int argument)>;

/// Where a kind's button sits on the main toolbar.
enum class ToolbarPlace {
    None,           ///< no button
    Views,          ///< with the views at the start of the bar
    BesideDrawing,  ///< at the end, before 画笔 (资讯)
};

struct ViewKind {
    int id = 0;  ///< the kind in WM_SWITCH_VIEW and SwitchView
    std::string name;
    ViewFactory factory;
    int command = 0;          ///< the menu and toolbar command that shows it (0: none)
    std::string menuText;     ///< in the 分析 menu, with its key after a tab ("报价分析\tF2")
    std::string toolbarText;  ///< the glyph of its toolbar button
    ToolbarPlace toolbar = ToolbarPlace::Views;
    /// While it is on show the polling passes carry the alarm queries, alone when the view
    /// has no standing requests of its own.
    bool keepsAlarmPolling = true;
};

/// The argument of a switch that gives none.
inline constexpr int kDefaultViewArgument = 1;

/// The client's six kinds in menu order: 报价分析, 技术分析, 即时分析, 成交明细, 多股同列,
/// 资讯系统 (whose page is at `webSite()` when it is made).
std::vector<ViewKind> BuiltInViewKinds(std::function<std::string()> webSite);

}  // namespace qelt
