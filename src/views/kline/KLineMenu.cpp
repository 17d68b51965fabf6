#include "views/kline/KLineMenu.h"

#include <array>
#include <string>

#include "chart/SeriesWindow.h"
#include "common/Commands.h"
#include "indicators/IndicatorCatalogue.h"

namespace qelt {
namespace {

constexpr std::array<IndicatorCommand, 21> kIndicatorCommands{{
    {cmd::kIndicatorVol, 1},  {cmd::kIndicatorCcl, 2},   {cmd::kIndicatorVr, 3},   {cmd::kIndicatorObv, 4},
    {cmd::kIndicatorPvt, 5},  {cmd::kIndicatorMacd, 21}, {cmd::kIndicatorDmi, 22}, {cmd::kIndicatorBoll, 23},
    {cmd::kIndicatorSar, 24}, {cmd::kIndicatorJs, 25},   {cmd::kIndicatorCdp, 26}, {cmd::kIndicatorExpma, 27},
    {cmd::kIndicatorRsi, 41}, {cmd::kIndicatorRoc, 42},  {cmd::kIndicatorKdj, 43}, {cmd::kIndicatorEmv, 44},
    {cmd::kIndicatorWr, 45},  {cmd::kIndicatorAdtm, 46}, {cmd::kIndicatorBbi, 47}, {cmd::kIndicatorAmv, 48},
    {cmd::kIndicatorCci, 49},
}};

constexpr std::array<int, 8> kWindowCommands{cmd::kWindows1, cmd::kWindows2, cmd::kWindows3, cmd::kWindows4,
                                             cmd::kWindows5, cmd::kWindows6, cmd::kWindows7, cmd::kWindows8};
constexpr std::array<const char*, 8> kWindowTexts{"仅主窗口", "二个窗口", "三个窗口", "四个窗口",
                                                  "五个窗口", "六个窗口", "七个窗口", "八个窗口"};

int CommandOfCode(int code) {
    for (const IndicatorCommand& entry : kIndicatorCommands)
        if (entry.code == code) return entry.command;
    return 0;
}

MenuEntry GroupMenu(IndicatorGroup group, bool enabled) {
    std::vector<MenuEntry> entries;
    for (const IndicatorInfo& info : IndicatorCatalogue()) {
        if (info.group != group || info.menuText.empty()) continue;
        const int command = CommandOfCode(info.code);
        if (command != 0) entries.push_back(MenuEntry::Command(command, std::string(info.menuText)));
    }
    return MenuEntry::Sub(std::string(GroupText(group)), std::move(entries), enabled);
}

}  // namespace

std::span<const IndicatorCommand> IndicatorCommands() { return kIndicatorCommands; }

int IndicatorOfCommand(int command) {
    for (const IndicatorCommand& entry : kIndicatorCommands)
        if (entry.command == command) return entry.code;
    return -1;
}

int FormulaPlaceOfCommand(int command) {
    const int place = command - cmd::kFormulaPaneFirst;
    return place >= 0 && place < cmd::kFormulaPaneCommands ? place : -1;
}

int CommandOfFormulaPlace(int place) {
    return place >= 0 && place < cmd::kFormulaPaneCommands ? cmd::kFormulaPaneFirst + place : 0;
}

int MainFormulaPlaceOfCommand(int command) {
    const int place = command - cmd::kMainFormulaFirst;
    return place >= 0 && place < cmd::kMainFormulaCommands ? place : -1;
}

int CommandOfMainFormulaPlace(int place) {
    return place >= 0 && place < cmd::kMainFormulaCommands ? cmd::kMainFormulaFirst + place : 0;
}

int WindowCountOfCommand(int command) {
    for (std::size_t i = 0; i < kWindowCommands.size(); ++i)
        if (kWindowCommands[i] == command) return static_cast<int>(i) + 1;
    return 0;
}

int CommandOfWindowCount(int count) {
    if (count < 1 || count > static_cast<int>(kWindowCommands.size())) return 0;
    return kWindowCommands[static_cast<std::size_t>(count - 1)];
}

namespace {

struct PeriodEntry {
    int period;
    int command;
    const char* text;
};

constexpr PeriodEntry kPeriodEntries[] = {
    {kPeriodDay, cmd::kDay, "日"},
    {kPeriodWeek, cmd::kWeek, "周"},
    {kPeriodMonth, cmd::kMonth, "月"},
    {kPeriodMinute1, cmd::kMinute1, "1分钟"},
    {kPeriodMinute5, cmd::kMinute5, "5分钟"},
    {kPeriodMinute15, cmd::kMinute15, "15分钟"},
    {kPeriodMinute30, cmd::kMinute30, "30分钟"},
    {kPeriodMinute60, cmd::kMinute60, "60分钟"},
};

}  // namespace

int PeriodOfCommand(int command) {
    for (const PeriodEntry& entry : kPeriodEntries)
        if (entry.command == command) return entry.period;
    return 0;
}

int CommandOfPeriod(int period) {
    for (const PeriodEntry& entry : kPeriodEntries)
        if (entry.period == period) return entry.command;
    return 0;
}

const char* PeriodMenuText(int period) {
    for (const PeriodEntry& entry : kPeriodEntries)
        if (entry.period == period) return entry.text;
    return "";
}

PopupMenu BuildKLineMenu(const KLineMenuState& state) {
    PopupMenu menu;
    menu.title = "系统菜单";
    menu.entries.push_back(MenuEntry::Command(cmd::kIndicators, "指标设置"));
    menu.entries.push_back(MenuEntry::Separator());
    const bool minutePeriod = MinutesOfPeriod(state.period) > 0;
    menu.entries.push_back(MenuEntry::Sub(
        "主图类型", {MenuEntry::Check(cmd::kChartCandles, "标准(空心阳线)", state.chartType == 1),
                     MenuEntry::Check(cmd::kChartAmerican, "美国线", state.chartType == 2),
                     MenuEntry::Check(cmd::kChartOX, "OX点数图", state.chartType == 3, !minutePeriod)}));
    std::vector<MenuEntry> periods;
    for (const PeriodEntry& entry : kPeriodEntries)
        periods.push_back(MenuEntry::Check(entry.command, entry.text, state.period == entry.period,
                                           MinutesOfPeriod(entry.period) == 0 || state.minutes));
    menu.entries.push_back(MenuEntry::Sub("分析周期", std::move(periods)));
    std::vector<MenuEntry> windows;
    for (std::size_t i = 0; i < kWindowCommands.size(); ++i)
        windows.push_back(MenuEntry::Check(kWindowCommands[i], kWindowTexts[i],
                                           state.windowCount == static_cast<int>(i) + 1));
    menu.entries.push_back(MenuEntry::Sub("窗口个数", std::move(windows)));
    menu.entries.push_back(MenuEntry::Separator());
    menu.entries.push_back(GroupMenu(IndicatorGroup::VolumePosition, !state.inMainPane));
    menu.entries.push_back(GroupMenu(IndicatorGroup::Trend, !state.inMainPane));
    menu.entries.push_back(GroupMenu(IndicatorGroup::Oscillator, !state.inMainPane));
    std::vector<MenuEntry> formulas;
    for (std::size_t i = 0; i < state.formulas.size() && i < cmd::kFormulaPaneCommands; ++i)
        formulas.push_back(MenuEntry::Command(CommandOfFormulaPlace(static_cast<int>(i)), state.formulas[i]));
    const bool any = !formulas.empty();
    menu.entries.push_back(MenuEntry::Sub("自编指标", std::move(formulas), any && !state.inMainPane));
    if (state.inMainPane) {
        std::vector<MenuEntry> mainFormulas;
        for (const KLineMenuState::MainFormula& formula : state.mainFormulas)
            if (const int command = CommandOfMainFormulaPlace(formula.place))
                mainFormulas.push_back(MenuEntry::Check(command, formula.name, formula.shown));
        if (!mainFormulas.empty()) mainFormulas.push_back(MenuEntry::Separator());
        mainFormulas.push_back(
            MenuEntry::Command(cmd::kMainFormulasOff, "删除主图公式", state.anyMainFormula));
        menu.entries.push_back(MenuEntry::Sub("主图公式", std::move(mainFormulas)));
    }
    menu.entries.push_back(MenuEntry::Separator());
    menu.entries.push_back(MenuEntry::Check(cmd::kLogScale, "对数坐标", state.logScale));
    if (state.tradeMarks) menu.entries.push_back(MenuEntry::Command(cmd::kTradeMarksOff, "取消交易标记"));
    return menu;
}

}  // namespace qelt
