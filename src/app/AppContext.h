#pragma once
/// The application context: what the whole client shares while it runs, without a window.
/// - the selection every view reads (current category, goods, self-selected code, spare
///   text, day qualifier) and the navigation history;
/// - the table of view kinds (ViewKindTable.h: adding a view is registering its entry) and
///   view switching: the old view goes before the new one is shown; a kind the table does
///   not know leaves the view on show as it is;
/// - command routing: the view on show is asked first, then the application's own handlers;
///   a command nobody handles is disabled, and a disabled command does nothing when run;
/// - the standing requests of the view on show, handed to the session (which polls them
///   while it is online);
/// - the global keys F1-F6 and the jumps to a goods (F3, F4, the index panes);
/// - the drawn lines' journal: myline.txt and every goods' undo history for the whole run;
/// - the user's formulas (formula.txt) and the parameter values the panes compute them with
///   (formulaparam.ini), read at start-up;
/// - the past days' minute bars (MinuteHistoryFlow): asked of the server for the chart on
///   show and kept in the history database CQeltApp hands in.
/// CQeltApp wires the Qt frame and the connection to it; tests drive it with fakes.
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/LineJournal.h"
#include "app/MinuteHistoryFlow.h"
#include "app/Session.h"
#include "app/ViewKindTable.h"
#include "common/Poster.h"
#include "data/CQeltData.h"
#include "data/settings/CQeltCFG.h"
#include "formula/FormulaLibrary.h"
#include "formula/FormulaValueTable.h"
#include "views/NavigationHistory.h"
#include "views/View.h"
#include "views/ViewServices.h"

namespace qelt {

/// The frame that shows the one main view, as the context sees it (the Qt main frame).
class ViewFrame {
  public:
    virtual ~ViewFrame() = default;
    /// Shows `view` of `kind` in a new host window (the previous one is gone by then) and
    /// returns the window the store's notifications go to.
    virtual WindowId ShowView(int kind, View& view) = 0;
    /// Destroys the host window of the view on show; the view itself goes after it.
    virtual void RemoveView() = 0;
    /// The new view has had its first update: lay it out, give it the keyboard focus, paint.
    virtual void ViewReady() = 0;
    /// The table of view kinds changed: the menus and the toolbar follow it.
    virtual void ViewKindsChanged() = 0;
    /// Says in the status bar what a command did.
    virtual void ShowStatus(const std::string& text) = 0;
};

class AppContext : public ViewServices {
  public:
    struct AppCommand {
        std::function<void()> run;
        std::function<CommandState()> state;  ///< enabled when empty
    };

    AppContext(CQeltCFG& settings, CQeltData& store, SessionLink& link, Poster& poster,
               MessageTargets& targets);
    ~AppContext() override;
    AppContext(const AppContext&) = delete;
    AppContext& operator=(const AppContext&) = delete;

    // ---- wiring ----
    /// The frame views are shown in; nullptr while there is none (no switch happens then).
    void SetFrame(ViewFrame* frame) { m_frame = frame; }
    /// Registers a view kind (an entry with the same id is replaced in its place); its
    /// command switches to it from then on, and the frame's menus and toolbar show it.
    void RegisterView(ViewKind kind);
    /// Replaces the factory of a registered kind (tests stand in for a view).
    void ReplaceFactory(int kind, ViewFactory factory);
    bool HasView(int kind) const { return FindKind(kind) != nullptr; }
    /// The registered kinds in registration order.
    const std::vector<ViewKind>& ViewKinds() const { return m_kinds; }
    /// An application command (connect, settings, dialogs, ...).
    void RegisterCommand(int command, AppCommand handler);

    // ---- views ----
    /// Switches the main view to `kind`, made for `argument`; a kind the table does not know
    /// leaves the view on show as it is.
    void SwitchView(int kind, int argument = kDefaultViewArgument);
    /// WM_SWITCH_VIEW: wParam > 0 the kind, lParam the argument of the new view.
    void OnSwitchViewMessage(std::intptr_t kind, std::intptr_t argument);
    /// Removes the view on show (the frame is closing).
    void CloseView();
    View* ActiveView() const { return m_view.get(); }
    int ActiveKind() const { return m_viewKind; }
    /// Hands the standing requests of the view on show to the session.
    void SetStandingRequests();

    // ---- commands and keys ----
    CommandState StateOfCommand(int command) const;
    /// Runs a command: the view on show first, then the application. False when nobody
    /// handles it.
    bool RunCommand(int command);
    /// F1..F6.
    void OnFunctionKey(int key);
    /// F3, F4 and the index panes: goods `index` becomes current with the self-selected code
    /// back to "0001", and the K-line view is asked for.
    void JumpToGoods(int index);

    // ---- ViewServices ----
    ViewSelection& Selection() override { return m_selection; }
    const ViewSelection& Selection() const override { return m_selection; }
    std::vector<std::string> CategoryCodes() const override { return m_store.CategoryCodes(); }
    std::vector<std::string> CategoryNames() const override { return m_store.CategoryNames(); }
    std::vector<CQeltGoods> GoodsOfCategory(int index) const override {
        return m_store.GoodsOfCategory(index);
    }
    std::vector<GoodsSummary> MainSummaries() const override { return m_store.Summaries(GoodsList::Main); }
    bool IsFlagged(std::string_view goodsNo) const override { return m_store.IsFlagged(goodsNo); }
    CQeltGoods CurrentGoods() const override;
    std::optional<CQeltGoods> GoodsQuote(const GoodsKey& goods) const override;
    TradeUpdate TradesAfter(const GoodsKey& goods, std::size_t held,
                            const std::string& lastIdentity) const override;
    std::vector<TradeRow> TradeList() const override { return m_store.TradeList(); }
    void EditCurrentGoods(const std::function<void(CQeltGoods&)>& edit) override;
    const CQeltCFG& Settings() const override { return m_settings; }
    IndicatorParameters& EditableIndicators() override { return m_settings.m_indicators; }
    bool SaveIndicators() override { return m_settings.SaveIndicators(); }
    ViewSettings& EditableViewSettings() override { return m_settings.Views(); }
    void ReportSaveFailed(const std::string& fileName) override {
        m_settings.Reports().WriteFailed(fileName);
    }
    void AddSelfSelected(const GoodsKey& goods, const std::string& category) override;
    void RemoveSelfSelected(const GoodsKey& goods, const std::string& category) override;
    void PostSwitchView(int kind, int argument) override;
    void PostViewMessage(unsigned message, std::intptr_t wParam) override;
    void StepGoods(bool forward) override;
    void RefreshStandingRequests() override { SetStandingRequests(); }
    void Send(const std::string& request) override { m_link.Send(request); }
    bool IsOnline() const override { return m_link.IsOnline(); }
    void ShowStatus(const std::string& text) override {
        if (m_frame != nullptr) m_frame->ShowStatus(text);
    }
    PastMinuteDays& MinuteHistory() override { return m_minuteHistory; }
    /// Where past days' minute bars are kept (the history database); none: nothing is kept.
    void SetMinuteArchive(MinuteArchive* archive) { m_minuteHistory.SetArchive(archive); }
    bool QuotesStale() const override { return m_link.QuotesStale(); }
    void PushHistory() override { m_history.Push(m_selection.goods, m_selection.category); }
    bool GoBack() override;
    void CommitLines(const std::vector<CMyLine>& before, const std::vector<CMyLine>& after) override;
    std::optional<std::vector<CMyLine>> StepLines(bool redo) override;
    bool CanStepLines(bool redo) const override;
    std::vector<CMyLine> MinuteLines(int minutes) const override;
    void CommitMinuteLines(int minutes, const std::vector<CMyLine>& before,
                           const std::vector<CMyLine>& after) override;
    std::optional<std::vector<CMyLine>> StepMinuteLines(int minutes, bool redo) override;
    bool CanStepMinuteLines(int minutes, bool redo) const override;

    const FormulaLibrary& Formulas() const override { return m_formulas; }
    std::vector<double> FormulaValues(int id) const override;
    void SetFormulaValues(int id, const std::vector<double>& values) override;
    std::shared_ptr<const TradeMarks> ChartTradeMarks() const override { return m_tradeMarks; }
    void ClearChartTradeMarks() override { m_tradeMarks.reset(); }
    /// 在图上显示: `marks` go on the K-line chart of their contract and period.
    void SetChartTradeMarks(std::shared_ptr<const TradeMarks> marks) { m_tradeMarks = std::move(marks); }

    /// The drawn lines of the run: loaded at start-up, applied to the store after every
    /// fill, saved after each edit and at exit.
    LineJournal& Lines() { return m_lines; }
    /// Reads formula.txt and formulaparam.ini (a values file that exists but cannot be read
    /// is reported, and not written over this run); a new formula.txt gets the example
    /// trading systems beside the example formulas. Returns what formula.txt's reading
    /// found for the user (damaged sections, formulas that no longer compile).
    std::vector<std::string> LoadFormulas();
    /// The user's formulas for the editor (工具 → 公式管理); the views read them through
    /// Formulas() and see its changes at their next paint.
    FormulaLibrary& EditableFormulas() { return m_formulas; }

  private:
    /// F6: adds the current goods to the self-selected list, or removes it there.
    void ToggleSelfSelected();
    /// myline.txt's identity of the goods on show; nothing when there is none.
    std::optional<LineKey> CurrentLineKey() const;
    const ViewKind* FindKind(int id) const;

    CQeltCFG& m_settings;
    CQeltData& m_store;
    SessionLink& m_link;
    Poster& m_poster;
    MessageTargets& m_targets;
    ViewFrame* m_frame = nullptr;

    ViewSelection m_selection;
    NavigationHistory m_history;

    std::vector<ViewKind> m_kinds;
    std::map<int, AppCommand> m_commands;
    std::unique_ptr<View> m_view;
    int m_viewKind = 0;
    LineJournal m_lines;
    MinuteHistoryFlow m_minuteHistory;
    FormulaLibrary m_formulas;
    FormulaValueTable m_formulaValues;
    std::shared_ptr<const TradeMarks> m_tradeMarks;
};

}  // namespace qelt
