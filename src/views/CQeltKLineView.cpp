#include "views/CQeltKLineView.h"

#include <algorithm>
#include <ctime>
#include <utility>

#include "chart/KLineLayout.h"
#include "chart/OXChart.h"
#include "chart/Series.h"
#include "common/Commands.h"
#include "common/Messages.h"
#include "common/Numbers.h"
#include "common/Text.h"
#include "data/SeriesUpdate.h"
#include "data/settings/KLineSettingsFiles.h"
#include "views/KLineExport.h"
#include "views/StandingRequests.h"
#include "views/ViewKinds.h"
#include "views/kline/DrawnLinesLayer.h"
#include "views/kline/KLineChartKey.h"
#include "views/kline/KLineMenu.h"

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

CQeltKLineView::CQeltKLineView(ViewServices& services) : m_services(services), m_today(LocalToday()) {
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

std::optional<ExportDocument> CQeltKLineView::Export(ExportKind kind) const {
    return KLineExport(kind, m_bars, m_goods.name);
}

std::optional<SaveRequest> CQeltKLineView::PictureExport() const { return KLinePictureRequest(m_goods.name); }

void CQeltKLineView::SetMainPaneLayer(std::unique_ptr<MainPaneLayer> layer) {
    m_layer = std::move(layer);
    if (m_layer) m_layer->OnGoodsLoaded(m_goods);
    InvalidateChart();
}

// ---- loading ----

void CQeltKLineView::OnInitialUpdate() {
    FirstUpdate();
    const std::string& dir = m_services.Settings().ProgramDirectory();
    if (std::optional<std::vector<int>> ids = ReadWinfile(dir)) {
        m_windowCount = static_cast<int>(ids->size()) + 1;
        for (std::size_t i = 0; i < ids->size(); ++i) m_paneIds[i + 1] = (*ids)[i];
        m_panes.clear();
    }
    m_logScale = ReadLogScale(dir);
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
        // the name, the flag and today's trades.
        const CQeltGoods main = m_services.MainGoods(goods.position);
        if (main.Key() == goods.Key()) {
            CopyQuoteFields(main, goods);
            goods.name = main.name;
            goods.flagged = main.flagged;
            goods.trades = main.trades;
        }
    }
    UpdateSeriesFromQuote(goods, false);
    return goods;
}

CQeltKLineView::DaySeriesMark CQeltKLineView::MarkOf(const CQeltGoods& goods) {
    DaySeriesMark mark;
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
    m_loadedDays = MarkOf(m_goods);
    if (m_window.chartType == kChartOX) {
        const IndicatorParameters& table = m_services.Settings().m_indicators;
        m_window.oxBoxSize =
            OXBoxSize(m_goods.goods_no, table[param::kOxIndexBox], table[param::kOxSilkBox],
                      table[param::kOxCocoonBox], HighestClose(m_goods), LowestClose(m_goods));
        // Before the first layout the columns wait: the view does not know its panes yet.
        if (!m_laidOutOnce) return;
        BuildOX(m_goods, m_window.period, m_window.oxBoxSize, table[param::kOxReversal]);
    }
    BarSeries loaded = qelt::LoadSeries(m_goods, m_window);
    // What the formula panes need not read again (a live quote changes the last bar only).
    m_unchangedBars = ShowsFormulas() ? UnchangedBars(m_bars, loaded) : 0;
    // A live quote or a new day only continues the series: the kept indicator lines pick up
    // at its end instead of going over every bar again.
    m_indicators.Replacing(m_bars, m_generation, loaded, m_generation + 1);
    m_bars = std::move(loaded);
    ++m_generation;
    if (m_layer) m_layer->OnGoodsLoaded(m_goods);
    InvalidateChart();
}

void CQeltKLineView::CheckLiveData() {
    // The day series as a load would take it, against the one the shown chart was made of:
    // week, month and point-and-figure series are built from it and differ from it in length.
    if (MarkOf(LiveGoods()) == m_loadedDays) return;
    LoadSeries();
    Host().Invalidate();
}

void CQeltKLineView::OnNotify(unsigned message, std::intptr_t) {
    if (message == WM_NET_REAL || message == WM_NET_LINE) CheckLiveData();
    if (message == WM_NET_HISREAL) m_services.PostSwitchView(kViewIntraday, 2);
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
    StartWindow(m_window);
    LoadSeries();
    Host().Invalidate();
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
    // A failed write keeps the layout for this run; it is reported once.
    if (!WriteWinfile(m_services.Settings().ProgramDirectory(), ids))
        m_services.ReportSaveFailed(kWinFileName);
}

void CQeltKLineView::SetWindowCount(int count) {
    m_windowCount = std::clamp(count, 1, kMaxWindowCount);
    m_panes.clear();
    LayOut(Host().ClientSize());
    Host().Invalidate();
}

void CQeltKLineView::AssignIndicator(int code) {
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
    for (int i = 1; i < m_windowCount && static_cast<std::size_t>(i) < m_paneIds.size(); ++i)
        if (IsFormulaPaneId(m_paneIds[static_cast<std::size_t>(i)])) return true;
    return false;
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
    switch (command) {
        case cmd::kDay:
            return CommandState{true, m_window.period == kPeriodDay};
        case cmd::kWeek:
            return CommandState{true, m_window.period == kPeriodWeek};
        case cmd::kMonth:
            return CommandState{true, m_window.period == kPeriodMonth};
        case cmd::kChartCandles:
            return CommandState{true, m_window.chartType == kChartCandles};
        case cmd::kChartAmerican:
            return CommandState{true, m_window.chartType == kChartAmerican};
        case cmd::kChartOX:
            return CommandState{true, m_window.chartType == kChartOX};
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
        default:
            break;
    }
    if (const int count = WindowCountOfCommand(command)) return CommandState{true, count == m_windowCount};
    if (IndicatorOfCommand(command) >= 0) return CommandState{};
    if (const int place = FormulaPlaceOfCommand(command); place >= 0)
        return CommandState{static_cast<std::size_t>(place) < m_services.Formulas().Formulas().size(), false};
    if (m_layer) return m_layer->StateOf(command);
    return std::nullopt;
}

bool CQeltKLineView::OnCommand(int command) {
    const int n = static_cast<int>(m_bars.size());
    switch (command) {
        case cmd::kDay:
            SetPeriod(kPeriodDay);
            return true;
        case cmd::kWeek:
            SetPeriod(kPeriodWeek);
            return true;
        case cmd::kMonth:
            SetPeriod(kPeriodMonth);
            return true;
        case cmd::kChartCandles:
            SetChartType(kChartCandles);
            return true;
        case cmd::kChartAmerican:
            SetChartType(kChartAmerican);
            return true;
        case cmd::kChartOX:
            SetChartType(kChartOX);
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
            if (!WriteLogScale(m_services.Settings().ProgramDirectory(), m_logScale))
                m_services.ReportSaveFailed(kLogScaleFileName);
            Host().Invalidate();
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
    if (m_layer && m_layer->StateOf(command)) {
        if (OfferToLayer(m_layer->OnCommand(command)) != LayerAnswer::Ignored) Host().Invalidate();
        return true;
    }
    return false;
}

}  // namespace qelt
