#pragma once
/// The K-line view's commands: which indicator each entry of the context menu assigns (one
/// table), the window-count entries, and popup menu 137 ("系统菜单") with its checks.
#include <span>
#include <string>
#include <vector>

#include "views/ViewHost.h"

namespace qelt {

struct IndicatorCommand {
    int command;  ///< the menu entry
    int code;     ///< the indicator id it gives the pane
};

/// The 21 indicator entries in catalogue order (VOL .. CCI).
std::span<const IndicatorCommand> IndicatorCommands();
/// The indicator id an entry assigns; -1 for any other command.
int IndicatorOfCommand(int command);

/// 自编指标's entries: the place of the formula an entry puts in the pane (in the library's
/// list), -1 for any other command; the entry of the formula at `place`.
int FormulaPlaceOfCommand(int command);
int CommandOfFormulaPlace(int place);

/// 主图公式's check entries: the place in the library's list of the formula an entry puts on
/// (or takes off) the main chart, -1 for any other command; the entry of the formula at `place`.
int MainFormulaPlaceOfCommand(int command);
int CommandOfMainFormulaPlace(int place);

/// 1..8 for 仅主窗口 .. 八个窗口; 0 for any other command.
int WindowCountOfCommand(int command);
int CommandOfWindowCount(int count);

/// The period (kPeriodDay .. kPeriodMinute60) an entry of 分析周期 chooses; 0 for any other
/// command. The entries in the menu's order, and their texts.
int PeriodOfCommand(int command);
int CommandOfPeriod(int period);
const char* PeriodMenuText(int period);

/// What the menu marks.
struct KLineMenuState {
    int chartType = 1;
    int period = 1;
    /// The goods trades continuously: the minute periods can be chosen (and OX cannot while
    /// one is on show).
    bool minutes = true;
    int windowCount = 3;
    bool logScale = false;
    /// The click was in the main pane: the indicator groups are greyed.
    bool inMainPane = false;
    /// The names of the user's formulas in the library's order.
    std::vector<std::string> formulas;
    /// The library's 主图 formulas (their places in the library's list, names, and whether
    /// this chart draws them), for 主图公式.
    struct MainFormula {
        int place = 0;
        std::string name;
        bool shown = false;
    };
    std::vector<MainFormula> mainFormulas;
    /// The chart draws formulas: 删除主图公式 is enabled.
    bool anyMainFormula = false;
    /// The chart marks the trades of a system under test: 取消交易标记 is offered.
    bool tradeMarks = false;
};

/// Menu 137: 指标设置, separator, 主图类型, 分析周期 (日, 周, 月, then 1分钟 .. 60分钟), 窗口个数,
/// separator, 量仓指标, 趋势指标,
/// 摆动指标 (positions 6, 7 and 8), 自编指标 (the formulas by name, the first
/// kFormulaPaneCommands of them; greyed when there is none), in the main pane 主图公式 (the 主图
/// formulas as check entries, then a separator and 删除主图公式), then a separator and 对数坐标,
/// and 取消交易标记 while the chart marks a system's trades.
PopupMenu BuildKLineMenu(const KLineMenuState& state);

}  // namespace qelt
