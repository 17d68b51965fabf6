#include "app/AppContext.h"

#include "app/Navigation.h"
#include "app/ViewRules.h"
#include "common/Commands.h"
#include "common/DiagnosticLog.h"
#include "common/Messages.h"
#include "common/Numbers.h"
#include "views/ViewKinds.h"

namespace qelt {
namespace {

/// The menu command that shows each view kind.
int CommandOfKind(int kind) {
    switch (kind) {
        case kViewQuoteList:
            return cmd::kQuoteList;
        case kViewKLine:
            return cmd::kKLine;
        case kViewIntraday:
            return cmd::kIntraday;
        case kViewTradeList:
            return cmd::kTradeList;
        case kViewWeb:
            return cmd::kWeb;
        case kViewMultiGoods:
            return cmd::kMultiGoods;
        default:
            return 0;
    }
}

}  // namespace

AppContext::AppContext(CQeltCFG& settings, CQeltData& store, SessionLink& link, Poster& poster,
                       MessageTargets& targets)
    : m_settings(settings),
      m_store(store),
      m_link(link),
      m_poster(poster),
      m_targets(targets),
      m_lines(settings.ProgramDirectory(), settings.Reports()) {
    m_store.SetGoodsEntering([this](CQeltGoods& goods) { m_lines.GiveLines(goods); });
}

AppContext::~AppContext() { m_store.SetGoodsEntering({}); }

void AppContext::RegisterView(int kind, ViewFactory factory) {
    m_factories[kind] = std::move(factory);
    if (const int command = CommandOfKind(kind))
        RegisterCommand(command, {[this, kind] { SwitchView(kind); }, {}});
}

void AppContext::RegisterCommand(int command, AppCommand handler) {
    m_commands[command] = std::move(handler);
}

void AppContext::SwitchView(int kind) {
    if (m_frame == nullptr) return;
    if (kind < kViewQuoteList || kind > kViewMultiGoods) kind = kViewQuoteList;
    const auto factory = m_factories.find(kind);
    if (factory == m_factories.end()) return;  // not available: the view on show stays as it is
    // The old view goes first, and polling with it, so that nothing the old view asked for
    // is sent once the new one is on show; the new view starts polling again.
    m_link.StopPolling();
    CloseView();
    m_view = factory->second(*this);
    m_viewKind = kind;
    Log("view " + FormatInt(kind) + " on show");
    m_targets.notification = m_frame->ShowView(kind, *m_view);
    m_view->OnInitialUpdate();
    m_frame->ViewReady();
    SetStandingRequests();
}

void AppContext::OnSwitchViewMessage(std::intptr_t kind, std::intptr_t argument) {
    m_viewArgument = static_cast<int>(argument);
    if (kind > 0) SwitchView(static_cast<int>(kind));
    m_viewArgument = 1;
}

void AppContext::CloseView() {
    m_targets.notification = kNoWindow;
    if (m_frame != nullptr) m_frame->RemoveView();
    m_view.reset();
    m_viewKind = 0;
}

void AppContext::SetStandingRequests() {
    if (!IsOnline() || !m_link.IsConnected() || !m_view) return;
    std::optional<std::vector<std::string>> requests = m_view->StandingRequests();
    if (!requests) return;
    m_link.SetStanding(std::move(*requests));
    m_link.StartPolling();
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
    if (toggle.kind == SelfSelectedToggle::Add)
        AddSelfSelected(goods.goods_no, goods.due_date, toggle.category);
    else
        RemoveFromSelfSelected(goods.goods_no, goods.due_date);  // as the board's popup does
    m_poster.PostWindowMessage(m_targets.notification.load(), WM_NET_LIST, 0, 0);
}

CQeltGoods AppContext::CurrentGoods() const {
    return m_store.CurrentGoods(m_selection.category, m_selection.goods, m_selection.selfSelectedCategory);
}

std::optional<CQeltGoods> AppContext::GoodsQuote(const std::string& goodsNo,
                                                 const std::string& dueDate) const {
    std::optional<CQeltGoods> quote;
    m_store.VisitMain([&](const CQeltGoods& g) {
        if (quote || g.goods_no != goodsNo || g.due_date != dueDate) return;
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

TradeUpdate AppContext::TradesAfter(const std::string& goodsNo, const std::string& dueDate, std::size_t held,
                                    const std::string& lastIdentity) const {
    TradeUpdate update;
    m_store.VisitMain([&](const CQeltGoods& g) {
        if (update.found || g.goods_no != goodsNo || g.due_date != dueDate) return;
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

void AppContext::AddSelfSelected(const std::string& goodsNo, const std::string& dueDate,
                                 const std::string& category) {
    m_settings.AddSelfSelected(goodsNo, dueDate, category);
}

void AppContext::RemoveSelfSelected(const std::string& goodsNo, const std::string& dueDate,
                                    const std::string& category) {
    m_settings.RemoveSelfSelected(goodsNo, dueDate, category);
}

void AppContext::PostSwitchView(int kind, int argument) {
    m_poster.PostThreadMessage(WM_SWITCH_VIEW, kind, argument);
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

}  // namespace qelt
