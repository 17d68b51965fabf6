#include "app/AppContext.h"

#include <algorithm>

#include "app/ExampleSystems.h"
#include "app/Navigation.h"
#include "app/ViewRules.h"
#include "common/Commands.h"
#include "common/DiagnosticLog.h"
#include "common/Files.h"
#include "common/Messages.h"
#include "common/Numbers.h"
#include "views/ViewKinds.h"

namespace qelt {

AppContext::AppContext(CQeltCFG& settings, CQeltData& store, SessionLink& link, Poster& poster,
                       MessageTargets& targets)
    : m_settings(settings),
      m_store(store),
      m_link(link),
      m_poster(poster),
      m_targets(targets),
      m_lines(settings.ProgramDirectory(), settings.Reports()),
      m_minuteHistory(nullptr, {[this](const std::string& request) { m_link.Send(request); },
                                [this] { return m_link.IsOnline(); },
                                [this](const std::string& text) { ShowStatus(text); },
                                [this] { return m_store.LastDetailList(); }}),
      m_formulas(settings.ProgramDirectory()),
      m_formulaValues(settings.ProgramDirectory()) {
    m_store.SetGoodsEntering([this](CQeltGoods& goods) { m_lines.GiveLines(goods); });
}

AppContext::~AppContext() { m_store.SetGoodsEntering({}); }

void AppContext::RegisterView(ViewKind kind) {
    const int id = kind.id;
    const int command = kind.command;
    auto found = std::find_if(m_kinds.begin(), m_kinds.end(), [id](const ViewKind& k) { return k.id == id; });
    if (found != m_kinds.end()) {
        if (found->command != command) m_commands.erase(found->command);
        *found = std::move(kind);
    } else {
        m_kinds.push_back(std::move(kind));
    }
    if (command != 0) RegisterCommand(command, {[this, id] { SwitchView(id); }, {}});
    if (m_frame != nullptr) m_frame->ViewKindsChanged();
}

void AppContext::ReplaceFactory(int kind, ViewFactory factory) {
    for (ViewKind& k : m_kinds)
        if (k.id == kind) k.factory = std::move(factory);
}

const ViewKind* AppContext::FindKind(int id) const {
    for (const ViewKind& k : m_kinds)
        if (k.id == id) return &k;
    return nullptr;
}

void AppContext::RegisterCommand(int command, AppCommand handler) {
    m_commands[command] = std::move(handler);
}

void AppContext::SwitchView(int kind, int argument) {
    if (m_frame == nullptr) return;
    const ViewKind* entry = FindKind(kind);
    if (entry == nullptr || !entry->factory) {
        // Not a kind of this client: the view on show stays as it is.
        Log("view kind " + FormatInt(kind) + " unknown: the view on show stays");
        return;
    }
    const ViewFactory factory = entry->factory;  // a copy: the view may register kinds
    // The old view goes first, and its requests with it, so that nothing the old view asked
    // for is sent once the new one is on show; the new view's requests follow it.
    m_link.HoldRequests();
    CloseView();
    m_view = factory(*this, argument);
    m_viewKind = kind;
    Log("view " + FormatInt(kind) + " on show");
    m_targets.notification = m_frame->ShowView(kind, *m_view);
    m_view->OnInitialUpdate();
    m_frame->ViewReady();
    SetStandingRequests();
}

void AppContext::OnSwitchViewMessage(std::intptr_t kind, std::intptr_t argument) {
    if (kind > 0) SwitchView(static_cast<int>(kind), static_cast<int>(argument));
}

void AppContext::CloseView() {
    // A chart that goes asks for no more past days.
    m_minuteHistory.Stop();
    m_targets.notification = kNoWindow;
    if (m_frame != nullptr) m_frame->RemoveView();
    m_view.reset();
    m_viewKind = 0;
}

void AppContext::SetStandingRequests() {
    if (!m_view) return;
    const ViewKind* kind = FindKind(m_viewKind);
    m_link.ShowRequests(m_view->StandingRequests(), kind == nullptr || kind->keepsAlarmPolling);
}

CommandState AppContext::StateOfCommand(int command) const {
    if (m_view) {
        if (std::optional<CommandState> state = m_view->StateOf(command)) return *state;
    }
    const auto found = m_commands.find(command);
    if (found == m_commands.end()) return CommandState{false, false};
    return found->second.state ? found->second.state() : CommandState{};
}

bool AppContext::RunCommand(int command) {
    // The state is asked again now: a menu or a key may have been shown a stale one.
    if (!StateOfCommand(command).enabled) {
        Log("command " + FormatInt(command) + " is disabled: nothing done");
        return false;
    }
    if (m_view && m_view->StateOf(command)) return m_view->OnCommand(command);
    const auto found = m_commands.find(command);
    if (found == m_commands.end()) return false;
    // A copy: the handler may register or switch views, which must not pull it from under us.
    const std::function<void()> run = found->second.run;
    if (run) run();
    return true;
}

void AppContext::OnFunctionKey(int key) {
    const KeyAction action = ActionForFunctionKey(key, m_view != nullptr, m_viewKind == kViewKLine);
    if (action.toggleSelfSelected) {
        ToggleSelfSelected();
        return;
    }
    if (action.setCurrentGoods >= 0) {
        JumpToGoods(action.setCurrentGoods);
        return;
    }
    if (action.switchTo > 0) PostSwitchView(action.switchTo, 0);
}

void AppContext::JumpToGoods(int index) {
    SelectGoods(index);
    m_selection.selfSelectedCategory = std::string(kAllGoodsCode);
    PostSwitchView(kViewKLine, 0);
}

void AppContext::ToggleSelfSelected() {
    const SelfSelectedToggle toggle =
        SelfSelectedToggleFor(CurrentCategoryCode(), m_selection.selfSelectedCategory);
    if (toggle.kind == SelfSelectedToggle::None) return;
    const CQeltGoods goods = CurrentGoods();
    if (goods.Matches({})) return;  // nothing on show to add
    const std::string name = goods.name.empty() ? goods.goods_no + goods.due_date : goods.name;
    // The list changes for the run either way; the status says whether mylist.ini kept it.
    if (toggle.kind == SelfSelectedToggle::Add) {
        const bool saved = m_settings.AddSelfSelected(goods.Key(), toggle.category);
        if (m_frame) m_frame->ShowStatus((saved ? "已添加到自选：" : "已添加到自选，但未能保存：") + name);
    } else {
        // As the board's popup does: whichever category it was added under.
        const bool savedAll = m_settings.RemoveSelfSelected(goods.Key(), std::string(kAllGoodsCode));
        const bool savedContracts = m_settings.RemoveSelfSelected(goods.Key(), std::string(kContractCode));
        const bool saved = savedAll && savedContracts;
        if (m_frame) m_frame->ShowStatus((saved ? "已从自选删除：" : "已从自选删除，但未能保存：") + name);
    }
    m_poster.PostWindowMessage(m_targets.notification.load(), WM_NET_LIST, 0, 0);
}

CQeltGoods AppContext::CurrentGoods() const {
    return m_store.CurrentGoods(m_selection.category, m_selection.goods, m_selection.selfSelectedCategory);
}

std::optional<CQeltGoods> AppContext::GoodsQuote(const GoodsKey& goods) const {
    std::optional<CQeltGoods> quote;
    m_store.VisitMainRecord(goods, [&](const CQeltGoods& g) {
        quote.emplace();
        quote->position = g.position;
        quote->name = g.name;
        quote->change = g.change;
        quote->changePercent = g.changePercent;
        quote->flagged = g.flagged;
        CopyQuoteFields(g, *quote);
    });
    return quote;
}

TradeUpdate AppContext::TradesAfter(const GoodsKey& goods, std::size_t held,
                                    const std::string& lastIdentity) const {
    TradeUpdate update;
    m_store.VisitMainRecord(goods, [&](const CQeltGoods& g) {
        update.found = true;
        const std::vector<TradeRow>& trades = g.trades;
        const bool continues =
            held > 0 && held <= trades.size() && IdentityOf(trades[held - 1]) == lastIdentity;
        update.restart = !continues;
        const std::size_t from = continues ? held : 0;
        update.rows.assign(trades.begin() + static_cast<std::ptrdiff_t>(from), trades.end());
    });
    return update;
}

void AppContext::EditCurrentGoods(const std::function<void(CQeltGoods&)>& edit) {
    m_store.EditGoods(m_selection.category, m_selection.goods, m_selection.selfSelectedCategory, edit);
}

void AppContext::AddSelfSelected(const GoodsKey& goods, const std::string& category) {
    m_settings.AddSelfSelected(goods, category);
}

void AppContext::RemoveSelfSelected(const GoodsKey& goods, const std::string& category) {
    m_settings.RemoveSelfSelected(goods, category);
}

void AppContext::PostSwitchView(int kind, int argument) {
    m_poster.PostThreadMessage(WM_SWITCH_VIEW, kind, argument);
}

void AppContext::PostViewMessage(unsigned message, std::intptr_t wParam) {
    // From a worker thread: the target is atomic and the poster takes its own lock.
    m_poster.PostWindowMessage(m_targets.notification.load(), message, wParam, 0);
}

void AppContext::StepGoods(bool forward) {
    const NavigationLists lists{m_store.Summaries(GoodsList::Main), m_store.Summaries(GoodsList::SpotMonth),
                                m_store.Summaries(GoodsList::Delivery),
                                m_store.Summaries(GoodsList::ThirdMonth)};
    m_selection.goods = qelt::StepGoods(lists, CurrentCategoryCode(), m_selection.goods, forward);
}

bool AppContext::GoBack() {
    const std::optional<std::pair<int, int>> back = m_history.Back();
    if (!back) return false;
    m_selection.goods = back->first;
    m_selection.category = back->second;
    return true;
}

std::optional<LineKey> AppContext::CurrentLineKey() const {
    std::optional<LineKey> key;
    // Read in place: a copy of the goods would copy its whole series.
    m_store.EditGoods(m_selection.category, m_selection.goods, m_selection.selfSelectedCategory,
                      [&key](CQeltGoods& goods) { key = LineKeyOf(goods); });
    return key;
}

void AppContext::CommitLines(const std::vector<CMyLine>& before, const std::vector<CMyLine>& after) {
    std::optional<LineKey> key;
    m_store.EditGoods(m_selection.category, m_selection.goods, m_selection.selfSelectedCategory,
                      [&](CQeltGoods& goods) {
                          goods.lines = after;
                          key = LineKeyOf(goods);
                      });
    if (key) m_lines.Commit(*key, before, after);
}

std::optional<std::vector<CMyLine>> AppContext::StepLines(bool redo) {
    const std::optional<LineKey> key = CurrentLineKey();
    if (!key) return std::nullopt;
    std::optional<std::vector<CMyLine>> lines = m_lines.Step(*key, redo);
    if (lines) EditCurrentGoods([&lines](CQeltGoods& goods) { goods.lines = *lines; });
    return lines;
}

bool AppContext::CanStepLines(bool redo) const {
    const std::optional<LineKey> key = CurrentLineKey();
    return key && m_lines.CanStep(*key, redo);
}

std::vector<CMyLine> AppContext::MinuteLines(int minutes) const {
    const std::optional<LineKey> key = CurrentLineKey();
    return key ? m_lines.LinesOf(MinuteLineKey(*key, minutes)) : std::vector<CMyLine>{};
}

void AppContext::CommitMinuteLines(int minutes, const std::vector<CMyLine>& before,
                                   const std::vector<CMyLine>& after) {
    // The store's goods hold the lines of their day bars only: these live in the journal.
    if (const std::optional<LineKey> key = CurrentLineKey())
        m_lines.Commit(MinuteLineKey(*key, minutes), before, after);
}

std::optional<std::vector<CMyLine>> AppContext::StepMinuteLines(int minutes, bool redo) {
    const std::optional<LineKey> key = CurrentLineKey();
    if (!key) return std::nullopt;
    return m_lines.Step(MinuteLineKey(*key, minutes), redo);
}

bool AppContext::CanStepMinuteLines(int minutes, bool redo) const {
    const std::optional<LineKey> key = CurrentLineKey();
    return key && m_lines.CanStep(MinuteLineKey(*key, minutes), redo);
}

std::vector<std::string> AppContext::LoadFormulas() {
    const bool fresh = !FileExists(m_formulas.Path());
    std::vector<std::string> problems = m_formulas.Load();
    if (fresh && problems.empty()) {
        const ExampleSystemsAdded added = AddExampleSystems(m_formulas);
        if (!added.message.empty()) problems.push_back(added.message);
    }
    if (!m_formulaValues.Load()) m_settings.Reports().ReadFailed(kFormulaValuesFileName);
    return problems;
}

std::vector<double> AppContext::FormulaValues(int id) const {
    const StoredFormula* formula = m_formulas.Find(id);
    return formula ? m_formulaValues.ValuesFor(*formula) : std::vector<double>{};
}

void AppContext::SetFormulaValues(int id, const std::vector<double>& values) {
    const StoredFormula* formula = m_formulas.Find(id);
    if (!formula) return;
    // A write that fails keeps the values for this run; the user hears of it once.
    if (!m_formulaValues.Set(*formula, values)) m_settings.Reports().WriteFailed(kFormulaValuesFileName);
}

}  // namespace qelt
