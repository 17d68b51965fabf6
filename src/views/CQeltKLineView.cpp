#include "views/CQeltKLineView.h"

#include <algorithm>
#include <ctime>
#include <iterator>
#include <utility>

#include "chart/KLineLayout.h"
#include "chart/OXChart.h"
#include "chart/Series.h"
#include "common/Commands.h"
#include "common/Messages.h"
#include "common/Numbers.h"
#include "common/Text.h"
#include "data/SeriesUpdate.h"
#include "views/KLineExport.h"
#include "views/StandingRequests.h"
#include "views/ViewKinds.h"
#include "views/kline/DrawnLinesLayer.h"
#include "views/kline/KLineChartKey.h"
#include "views/kline/KLineMenu.h"
#include "views/kline/MainChartFormulas.h"
#include "views/kline/TradeMarks.h"

namespace qelt {
namespace {

std::string LocalToday() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[16];
    std::strftime(text, sizeof text, "%Y%m%d", &local);
    return text;
}

/// Categories whose current goods is already the main record: the all-goods list and the
/// self-selected list.
bool ShowsMainRecords(const std::string& code) { return code == "0000" || code == "0001"; }

}  // namespace

CQeltKLineView::CQeltKLineView(ViewServices& services)
    : m_services(services),
      m_today(LocalToday()),
      m_formulaPanes([&services] { services.PostViewMessage(WM_FORMULA_READY, 0); }) {
    constexpr std::array<int, 8> kInitialIds{0, 1, 21, 3, 4, 5, 22, 23};
    for (std::size_t i = 0; i < m_paneIds.size(); ++i)
        m_paneIds[i] = i < kInitialIds.size() ? kInitialIds[i] : static_cast<int>(i);
    m_layer = std::make_unique<DrawnLinesLayer>(services, *this);
}

CQeltKLineView::~CQeltKLineView() = default;

int CQeltKLineView::PaneIndicator(int pane) const {
    if (pane < 0 || static_cast<std::size_t>(pane) >= m_paneIds.size()) return -1;
    return m_paneIds[static_cast<std::size_t>(pane)];
}

void CQeltKLineView::InvalidateChart() { m_chartKey.reset(); }

std::shared_ptr<const TradeMarks> CQeltKLineView::ShownTradeMarks() const {
    std::shared_ptr<const TradeMarks> marks = m_services.ChartTradeMarks();
    if (!marks || marks->goods != m_goods.Key() || marks->period != m_window.period ||
        m_window.chartType == kChartOX)
        return nullptr;
    return marks;
}

std::optional<ExportDocument> CQeltKLineView::Export(ExportKind kind) const {
    return KLineExport(kind, m_bars, m_goods.name, ShownMinutes() > 0);
}

int CQeltKLineView::ShownPeriod() const {
    return MinutesOfPeriod(m_window.period) > 0 && !HasMinutePeriods() ? kPeriodDay : m_window.period;
}

std::optional<SaveRequest> CQeltKLineView::PictureExport() const { return KLinePictureRequest(m_goods.name); }

void CQeltKLineView::SetMainPaneLayer(std::unique_ptr<MainPaneLayer> layer) {
    m_layer = std::move(layer);
    if (m_layer) m_layer->OnGoodsLoaded(m_goods);
    InvalidateChart();
}

// ---- loading ----

void CQeltKLineView::OnInitialUpdate() {
    const ViewSettings& kept = m_services.Settings().Views();
    m_window.period = kept.KLinePeriod();
    FirstUpdate();
    if (const std::optional<std::vector<int>>& ids = kept.KLinePanes()) {
        m_windowCount = static_cast<int>(ids->size()) + 1;
        for (std::size_t i = 0; i < ids->size(); ++i) m_paneIds[i + 1] = (*ids)[i];
        m_panes.clear();
    }
    m_logScale = kept.LogScale();
    m_mainFormulas = kept.KLineMainFormulas();
}

void CQeltKLineView::FirstUpdate() {
    m_services.PushHistory();
    StartWindow(m_window);
    m_window.cursor = -1;
    LoadSeries();
}

void CQeltKLineView::RefreshGoods() {
    m_categoryCode = m_services.CurrentCategoryCode();
    // The stored record first: its series request goes out once, while it is wanted.
    std::optional<std::string> request;
    const bool online = m_services.IsOnline();
    m_services.EditCurrentGoods([&](CQeltGoods& goods) { request = UpdateSeriesFromQuote(goods, online); });
    if (request) m_services.Send(*request);
    m_goods = LiveGoods();
}

CQeltGoods CQeltKLineView::LiveGoods() const {
    CQeltGoods goods = m_services.CurrentGoods();
    if (!ShowsMainRecords(m_categoryCode)) {
        // A derived list's entry mirrors a main record; the main record has the live quote,
        // the name, the flag and today's trades (taken without its bars: a contract's tens of
        // thousands of them would be copied only to be dropped).
        if (const std::optional<CQeltGoods> main = m_services.GoodsQuote(goods.Key())) {
            CopyQuoteFields(*main, goods);
            goods.name = main->name;
            goods.flagged = main->flagged;
            goods.trades = m_services.TradesAfter(goods.Key(), 0, {}).rows;
        }
    }
    UpdateSeriesFromQuote(goods, false);
    return goods;
}

CQeltKLineView::DaySeriesMark CQeltKLineView::MarkOf(const CQeltGoods& goods) {
    DaySeriesMark mark;
    if (MinutesOfPeriod(m_window.period) > 0 && (goods.flagged || m_keptMinutes)) {
        mark.trades = goods.trades.size();
        if (!goods.trades.empty()) mark.lastTrade = std::string(IdentityOf(goods.trades.back()));
        mark.pastDays = m_services.MinuteHistory().Revision();
    }
    mark.length = goods.series.size();
    if (!goods.series.empty()) {
        mark.first = goods.series.front();
        mark.last = goods.series.back();
    }
    // Goods without a delivery month show the live price as their last day's close.
    if (TrimLeft(goods.due_date).empty()) mark.newest = goods.newest_price;
    return mark;
}

void CQeltKLineView::LoadSeries() {
    RefreshGoods();
    // Offline the categories' kinds are not known: a contract whose minute bars were kept is
    // one traded continuously.
    if (!(m_goods.Key() == m_keptMinutesFor)) {
        m_keptMinutesFor = m_goods.Key();
        m_keptMinutes = !m_goods.flagged && m_services.MinuteHistory().HasKeptDays(m_goods.Key());
    }
    m_loadedDays = MarkOf(m_goods);
    const int minutes = ShownMinutes();
    if (MinutesOfPeriod(m_window.period) > 0 && minutes == 0) SayNoMinutes();
    // Day, week and month bars need no past days of minute bars: their download stops.
    if (minutes == 0 && m_loadedMinutes) m_services.MinuteHistory().Stop();
    m_loadedMinutes = minutes > 0;
    if (minutes == 0 && m_window.chartType == kChartOX) {
        const IndicatorParameters& table = m_services.Settings().m_indicators;
        m_window.oxBoxSize =
            OXBoxSize(m_goods.goods_no, table[param::kOxIndexBox], table[param::kOxSilkBox],
                      table[param::kOxCocoonBox], HighestClose(m_goods), LowestClose(m_goods));
        // Before the first layout the columns wait: the view does not know its panes yet.
        if (!m_laidOutOnce) return;
        BuildOX(m_goods, ShownPeriod(), m_window.oxBoxSize, table[param::kOxReversal]);
    }
    BarSeries loaded;
    if (minutes > 0) {
        loaded = m_minuteBars.Load(m_goods, minutes, m_categoryCode, m_services.MinuteHistory());
        // The past days come in one at a time after the chart opened on today's few bars: a
        // window that showed the whole shorter series widens with it.
        const int shorter = m_window.lastLoadedCount;
        const bool showedAll =
            shorter > 0 && m_window.visibleCount == shorter && shorter < kDefaultVisibleCount;
        const int n = static_cast<int>(loaded.size());
        ResetWindow(m_window, n);
        if (showedAll && n > shorter) m_window.visibleCount = std::min(n, kDefaultVisibleCount);
        BarSeries().swap(m_goods.series);  // the day bars were only the past days' dates
    } else {
        // The view's copy of the record keeps its quote; its day bars move into the chart.
        SeriesWindow window = m_window;
        window.period = ShownPeriod();
        loaded = qelt::TakeSeries(m_goods, window);
        window.period = m_window.period;
        m_window = window;
    }
    // What the formula panes need not read again (a live quote changes the last bar only).
    m_unchangedBars = ShowsFormulas() ? UnchangedBars(m_bars, loaded) : 0;
    // A live quote or a new day only continues the series: the kept indicator lines pick up
    // at its end instead of going over every bar again.
    m_indicators.Replacing(m_bars, m_generation, loaded, m_generation + 1);
    m_bars = std::move(loaded);
    ++m_generation;
    if (m_layer) {
        m_layer->OnSeriesLoaded(m_bars, minutes);
        m_layer->OnGoodsLoaded(m_goods);
    }
    InvalidateChart();
}

void CQeltKLineView::SayNoMinutes() {
    const std::string goods = m_goods.goods_no + m_goods.due_date;
    if (goods == m_noMinutesSaid) return;
    m_noMinutesSaid = goods;
    m_services.ShowStatus((m_goods.name.empty() ? goods : m_goods.name) +
                          " 按小节交易，没有分钟线：显示日线（分钟线只用于连续交易的品种）");
}

void CQeltKLineView::CheckLiveData() {
    // The day series as a load would take it, against the one the shown chart was made of:
    // week, month and point-and-figure series are built from it and differ from it in length.
    if (MarkOf(LiveGoods()) == m_loadedDays) return;
    LoadSeries();
    Host().Invalidate();
}

void CQeltKLineView::OnNotify(unsigned message, std::intptr_t) {
    PastMinuteDays& pastDays = m_services.MinuteHistory();
    if (message == WM_NET_REAL || message == WM_NET_LINE || message == WM_NET_LIST) pastDays.Passing();
    if (message == WM_NET_REAL || message == WM_NET_LINE) CheckLiveData();
    if (message == WM_FORMULA_READY && m_formulaPanes.Collect()) {
        InvalidateChart();
        Host().Invalidate();
    }
    if (message != WM_NET_HISREAL) return;
    // A past day the minute chart asked for is kept now: the chart takes it in. Any other is
    // the day the user asked to see.
    if (pastDays.TakeReply()) {
        CheckLiveData();
        return;
    }
    m_services.PostSwitchView(kViewIntraday, 2);
}

std::optional<std::vector<std::string>> CQeltKLineView::StandingRequests() const {
    return StandingRequestsFor(kViewKLine, m_services.Selection().dayQualifier, m_goods.Key());
}

void CQeltKLineView::StepGoods(bool forward) {
    m_services.StepGoods(forward);
    // Bound to the new goods first: the standing requests sent again are the new goods'. The
    // panes stay as the user left them (winfile.ini holds nothing the view does not have).
    FirstUpdate();
    m_services.RefreshStandingRequests();
    Host().Invalidate();
}

void CQeltKLineView::SetPeriod(int period) {
    m_window.period = period;
    // Point-and-figure columns are built from day, week and month bars.
    if (MinutesOfPeriod(period) > 0 && m_window.chartType == kChartOX) m_window.chartType = kChartCandles;
    // Held by the settings for the run; a klineperiod.ini that cannot be written is told once.
    m_services.EditableViewSettings().SetKLinePeriod(period);
    StartWindow(m_window);
    LoadSeries();
    Host().Invalidate();
}

void CQeltKLineView::StepPeriod(bool forward) {
    static constexpr int kOrder[] = {kPeriodDay,     kPeriodWeek,     kPeriodMonth,    kPeriodMinute1,
                                     kPeriodMinute5, kPeriodMinute15, kPeriodMinute30, kPeriodMinute60};
    constexpr int count = static_cast<int>(std::size(kOrder));
    int place =
        static_cast<int>(std::find(std::begin(kOrder), std::end(kOrder), ShownPeriod()) - std::begin(kOrder));
    bool passedOver = false;
    for (int step = 0; step < count; ++step) {
        place = (place + (forward ? 1 : count - 1)) % count;
        if (MinutesOfPeriod(kOrder[place]) == 0 || HasMinutePeriods()) break;
        passedOver = true;
    }
    if (passedOver) {
        m_noMinutesSaid.clear();
        SayNoMinutes();
    }
    SetPeriod(kOrder[place]);
}

void CQeltKLineView::SetChartType(int chartType) {
    m_window.chartType = chartType;
    StartWindow(m_window);
    LoadSeries();
    Host().Invalidate();
}

// ---- panes ----

void CQeltKLineView::SaveWinfile() const {
    std::vector<int> ids;
    for (int i = 1; i < m_windowCount; ++i) ids.push_back(m_paneIds[static_cast<std::size_t>(i)]);
    // Held by the settings for the run; a winfile.ini that cannot be written is told once.
    m_services.EditableViewSettings().SetKLinePanes(std::move(ids));
}

void CQeltKLineView::SetWindowCount(int count) {
    m_windowCount = std::clamp(count, 1, kMaxWindowCount);
    m_panes.clear();
    LayOut(Host().ClientSize());
    Host().Invalidate();
}

void CQeltKLineView::AssignIndicator(int code) {
    // Resized since the last paint: the click addresses the panes the next paint shows.
    if (m_panes.empty()) LayOut(m_client);
    const int pane = PaneForIndicatorCommand(m_panes, m_windowCount, m_client.cy, m_rightClick.y);
    if (pane >= 1 && static_cast<std::size_t>(pane) < m_paneIds.size()) {
        m_paneIds[static_cast<std::size_t>(pane)] = code;
        Host().Invalidate();
    }
    SaveWinfile();
}

void CQeltKLineView::RunIndicatorDialog(int code) {
    const IndicatorParameters before = m_services.Settings().m_indicators;
    if (Host().RunIndicatorDialog(code)) InvalidateChart();
    // The columns are built at a load: a changed box or reversal builds them again now, as
    // every other parameter shows at the next paint. Even a dialog closed with its close box
    // may have changed the table.
    const IndicatorParameters& after = m_services.Settings().m_indicators;
    bool oxChanged = false;
    for (int position : {param::kOxIndexBox, param::kOxSilkBox, param::kOxCocoonBox, param::kOxReversal})
        oxChanged |= before[position] != after[position];
    if (oxChanged && m_window.chartType == kChartOX) LoadSeries();
    Host().Invalidate();
}

void CQeltKLineView::RunFormulaDialog(int id) {
    if (!m_services.Formulas().Find(id)) return;  // deleted: nothing to set
    // The values are part of the kept chart's key: what the dialog set shows at this paint.
    if (Host().RunFormulaDialog(id)) Host().Invalidate();
}

bool CQeltKLineView::ShowsFormulas() const {
    if (!MainFormulasOnShow().empty()) return true;
    for (int i = 1; i < m_windowCount && static_cast<std::size_t>(i) < m_paneIds.size(); ++i)
        if (IsFormulaPaneId(m_paneIds[static_cast<std::size_t>(i)])) return true;
    return false;
}

std::vector<int> CQeltKLineView::MainFormulasOnShow() const {
    if (m_window.chartType == kChartOX) return {};
    return ShownMainChartFormulas(m_mainFormulas, m_services.Formulas());
}

FormulaPaneContent CQeltKLineView::PrepareMainFormula(int id) {
    const FormulaPanes::Series series{&m_bars, m_generation, m_unchangedBars};
    return m_formulaPanes.Prepare(MainChartFormulaKey(id), id, m_services.Formulas(),
                                  m_services.FormulaValues(id), series);
}

void CQeltKLineView::ToggleMainChartFormula(int id) {
    const auto found = std::find(m_mainFormulas.begin(), m_mainFormulas.end(), id);
    if (found != m_mainFormulas.end()) {
        m_mainFormulas.erase(found);
        m_formulaPanes.Forget(MainChartFormulaKey(id));
    } else {
        m_mainFormulas.push_back(id);
    }
    // Held by the settings for the run; a mainformula.ini that cannot be written is told once.
    m_services.EditableViewSettings().SetKLineMainFormulas(m_mainFormulas);
    Host().Invalidate();
}

void CQeltKLineView::ClearMainChartFormulas() {
    for (const int id : m_mainFormulas) m_formulaPanes.Forget(MainChartFormulaKey(id));
    m_mainFormulas.clear();
    m_services.EditableViewSettings().SetKLineMainFormulas({});
    Host().Invalidate();
}

void CQeltKLineView::ToggleCoverMode() {
    std::optional<std::string> request;
    const bool online = m_services.IsOnline();
    m_services.EditCurrentGoods([&](CQeltGoods& goods) {
        goods.coverMode = goods.coverMode ? 0 : 1;
        goods.series.clear();
        goods.weekSeries.clear();
        goods.monthSeries.clear();
        goods.seriesWanted = true;
        request = UpdateSeriesFromQuote(goods, online);
    });
    if (request) m_services.Send(*request);
    LoadSeries();
    Host().Invalidate();
}

// ---- commands ----

std::optional<CommandState> CQeltKLineView::StateOf(int command) const {
    const int n = static_cast<int>(m_bars.size());
    // The minute periods are greyed on goods traded in sections.
    if (const int period = PeriodOfCommand(command))
        return CommandState{MinutesOfPeriod(period) == 0 || HasMinutePeriods(), ShownPeriod() == period};
    switch (command) {
        case cmd::kChartCandles:
            return CommandState{true, m_window.chartType == kChartCandles};
        case cmd::kChartAmerican:
            return CommandState{true, m_window.chartType == kChartAmerican};
        case cmd::kChartOX:
            return CommandState{ShownMinutes() == 0, m_window.chartType == kChartOX};
        case cmd::kZoomIn:
        case cmd::kZoomOut:
        case cmd::kCursorLeft:
        case cmd::kCursorRight:
            return CommandState{n > 0, false};
        case cmd::kPrevGoods:
        case cmd::kNextGoods:
        case cmd::kIndicators:
            return CommandState{};
        case cmd::kDetails:
            return CommandState{true, m_quotePanel};
        case cmd::kLogScale:
            return CommandState{true, m_logScale};
        case cmd::kTradeMarksOff:
            // Marks of another chart are the application's to take off.
            if (ShownTradeMarks()) return CommandState{};
            break;
        case cmd::kMainFormulasOff:
            return CommandState{!m_mainFormulas.empty(), false};
        default:
            break;
    }
    if (const int count = WindowCountOfCommand(command)) return CommandState{true, count == m_windowCount};
    if (IndicatorOfCommand(command) >= 0) return CommandState{};
    if (const int place = FormulaPlaceOfCommand(command); place >= 0)
        return CommandState{static_cast<std::size_t>(place) < m_services.Formulas().Formulas().size(), false};
    if (const int place = MainFormulaPlaceOfCommand(command); place >= 0) {
        const std::vector<StoredFormula>& formulas = m_services.Formulas().Formulas();
        if (static_cast<std::size_t>(place) >= formulas.size()) return CommandState{false, false};
        const StoredFormula& formula = formulas[static_cast<std::size_t>(place)];
        const bool chosen =
            std::find(m_mainFormulas.begin(), m_mainFormulas.end(), formula.id) != m_mainFormulas.end();
        return CommandState{formula.mainChart, chosen};
    }
    if (m_layer) return m_layer->StateOf(command);
    return std::nullopt;
}

bool CQeltKLineView::OnCommand(int command) {
    const int n = static_cast<int>(m_bars.size());
    if (const int period = PeriodOfCommand(command)) {
        if (MinutesOfPeriod(period) == 0 || HasMinutePeriods()) SetPeriod(period);
        return true;
    }
    switch (command) {
        case cmd::kChartCandles:
            SetChartType(kChartCandles);
            return true;
        case cmd::kChartAmerican:
            SetChartType(kChartAmerican);
            return true;
        case cmd::kChartOX:
            if (ShownMinutes() == 0) SetChartType(kChartOX);
            return true;
        case cmd::kPrevGoods:
            StepGoods(false);
            return true;
        case cmd::kNextGoods:
            StepGoods(true);
            return true;
        case cmd::kZoomIn:
            if (n > 0) ZoomIn();
            return true;
        case cmd::kZoomOut:
            if (n > 0) ZoomOut();
            return true;
        case cmd::kCursorLeft:
            if (n > 0) CursorBack();
            return true;
        case cmd::kCursorRight:
            if (n > 0) CursorForward();
            return true;
        case cmd::kDetails:
            m_quotePanel = !m_quotePanel;
            m_panes.clear();
            Host().Invalidate();
            return true;
        case cmd::kIndicators:
            RunIndicatorDialog(-1);
            return true;
        case cmd::kLogScale:
            m_logScale = !m_logScale;
            m_services.EditableViewSettings().SetLogScale(m_logScale);
            Host().Invalidate();
            return true;
        case cmd::kTradeMarksOff:
            if (!ShownTradeMarks()) break;
            m_services.ClearChartTradeMarks();
            Host().Invalidate();
            return true;
        case cmd::kMainFormulasOff:
            ClearMainChartFormulas();
            return true;
        default:
            break;
    }
    if (const int count = WindowCountOfCommand(command)) {
        SetWindowCount(count);
        return true;
    }
    if (const int code = IndicatorOfCommand(command); code >= 0) {
        AssignIndicator(code);
        return true;
    }
    if (const int place = FormulaPlaceOfCommand(command); place >= 0) {
        const std::vector<StoredFormula>& formulas = m_services.Formulas().Formulas();
        if (static_cast<std::size_t>(place) < formulas.size())
            AssignIndicator(formulas[static_cast<std::size_t>(place)].id);
        return true;
    }
    if (const int place = MainFormulaPlaceOfCommand(command); place >= 0) {
        // A stale entry (the library changed while the menu was open) does nothing.
        const std::vector<StoredFormula>& formulas = m_services.Formulas().Formulas();
        if (static_cast<std::size_t>(place) < formulas.size() &&
            formulas[static_cast<std::size_t>(place)].mainChart)
            ToggleMainChartFormula(formulas[static_cast<std::size_t>(place)].id);
        return true;
    }
    if (m_layer && m_layer->StateOf(command)) {
        if (OfferToLayer(m_layer->OnCommand(command)) != LayerAnswer::Ignored) Host().Invalidate();
        return true;
    }
    return false;
}

}  // namespace qelt
