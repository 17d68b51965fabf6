#pragma once
/// `CQeltKLineView`, 技术分析: one goods' bars in the main pane (candles, American line or
/// point-and-figure columns, with five moving averages) over up to seven indicator panes, a
/// date strip along the bottom and the quote panel on the right; a crosshair with a data tip,
/// zoom, scrolling, the cursor keys, pane borders to drag, a context menu to change chart
/// type, period, window count, indicators, the formulas over the main chart (主图公式) and the
/// logarithmic price scale.
///
/// Periods: day, week and month bars, and for goods traded continuously (the kind-1
/// categories) 1, 5, 15, 30 and 60-minute bars: the past days kept in the history database
/// (the minute history asks the server for those the chart lacks) and today's, made from the
/// contract's trades as they come. The period is kept in klineperiod.ini; on goods traded in
/// sections a minute period shows the day bars and the status bar says why. Offline, where the
/// categories' kinds are not known, a contract with kept minute bars has the minute periods.
///
/// Painting keeps the chart (everything that follows the data, the window, the layout and
/// the colours) in a bitmap; what follows the mouse and the cursor bar (crosshair, its price
/// and date, pane titles with their values, read-outs, moving-average labels) is drawn over
/// it at every paint, after the rectangles it covered the paint before are copied back. A
/// crosshair move therefore never draws the chart again.
///
/// Files: this one (state, loading, commands, notifications), CQeltKLineViewInput.cpp (keys
/// and mouse), CQeltKLineViewPaint.cpp (layout and the two layers).
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "chart/KLineStyle.h"
#include "chart/MainChartPainter.h"
#include "chart/MainPaneGeometry.h"
#include "chart/SeriesWindow.h"
#include "chart/WindowNavigation.h"
#include "data/settings/IndicatorParameters.h"
#include "indicators/IndicatorCache.h"
#include "indicators/IndicatorPane.h"
#include "views/View.h"
#include "views/ViewServices.h"
#include "views/controls/DataTipPainter.h"
#include "views/kline/FormulaPanes.h"
#include "views/kline/KLineMinuteBars.h"
#include "views/kline/MainPaneLayer.h"
#include "views/kline/MovingAverages.h"

namespace qelt {

class TrackingCanvas;

/// Indicator ids per pane at construction: pane 0 the main chart, then VOL, MACD, VR, OBV,
/// PVT, DMI, BOLL, then 8, 9, ... 59 (ids of no indicator: such a pane shows its frame only).
/// Ids from 1000 on are the user's formulas (formula.txt's ids): such a pane draws its formula,
/// or "公式已删除" when the library no longer holds it, and keeps the id all the same.
inline constexpr std::size_t kPaneIdSlots = 60;

class CQeltKLineView : public View {
  public:
    explicit CQeltKLineView(ViewServices& services);
    ~CQeltKLineView() override;
    CQeltKLineView(const CQeltKLineView&) = delete;
    CQeltKLineView& operator=(const CQeltKLineView&) = delete;

    // ---- the view contract ----
    /// Binds to the application's current goods, records it in the navigation history, loads
    /// 100 bars of the day series up to the newest, reads winfile.ini and logscale.ini.
    void OnInitialUpdate() override;
    /// The panes are laid out again at the next paint.
    void OnSize(Size client) override;
    /// The kept chart is drawn again when `scheme` differs from the one it was drawn in.
    void Paint(Canvas& canvas, Size client, const DisplayScheme& scheme) override;
    bool OnKey(const KeyInput& key) override;
    void OnMouseDown(const MouseInput& mouse) override;
    void OnMouseMove(const MouseInput& mouse) override;
    void OnMouseUp(const MouseInput& mouse) override;
    void OnDoubleClick(const MouseInput& mouse) override;
    /// A notch towards the user is 下一个商品, the other way 上一个商品.
    void OnWheel(bool towardsUser, Point at) override;
    /// Menu 137 at the point; the three indicator groups are greyed inside the main pane.
    void OnContextMenu(Point at) override;
    std::optional<CommandState> StateOf(int command) const override;
    bool OnCommand(int command) override;
    /// WM_NET_REAL / WM_NET_LINE: reload when the goods' day series changed (a bar more or
    /// fewer, another first or last bar, with today's quote folded in), whatever the period
    /// on show; WM_NET_HISREAL: the intraday view in its history review (kind 3, argument 2).
    void OnNotify(unsigned message, std::intptr_t wParam) override;
    /// "list:" and the goods' trades "real:%s:%s:%s:1:".
    std::optional<std::vector<std::string>> StandingRequests() const override;
    /// 导出到EXCEL / 导出到文本文件: every bar of the displayed series (the OX columns in OX
    /// mode) in its period, whatever the window shows.
    bool CanExport(ExportKind) const override { return true; }
    std::optional<ExportDocument> Export(ExportKind kind) const override;
    /// 导出到图片: "<goods name>.bmp".
    std::optional<SaveRequest> PictureExport() const override;
    bool CanPrint() const override { return true; }
    /// The chart in `scheme`, straight onto the printer's canvas, with the moving averages'
    /// labels and the panes' titles but nothing that marks the pointer (crosshair, its price
    /// and date, the panes' read-outs); the bitmap kept for the screen is left alone.
    void PaintForPrint(Canvas& canvas, Size client, const DisplayScheme& scheme) override;

    // ---- the main pane, for what draws in it (the drawn analysis lines) ----
    /// Pane 0's geometry as the last paint laid it out.
    const MainPaneGeometry& MainPane() const { return m_geometry; }
    /// Installs (or with nullptr removes) what draws in the main pane and takes its mouse; the
    /// view starts with the drawn lines' layer (DrawnLinesLayer).
    void SetMainPaneLayer(std::unique_ptr<MainPaneLayer> layer);
    /// The chart is drawn again at the next paint (the layer's part of it changed).
    void InvalidateChart();
    /// Whether the screen's chart lays its background a band at a time as the drawing goes
    /// down (the default) or wholly first; the picture is the same either way.
    void SetBackgroundInBands(bool inBands) { m_backgroundInBands = inBands; }
    /// Shows `visibleCount` bar slots ending at bar `lastVisible`, both brought into the
    /// series as a load would (N at most n, L at least N - 1).
    void ShowBars(int visibleCount, int lastVisible);
    /// Puts the cursor (crosshair and data tip) on `bar`, scrolling the window to it when it
    /// is out of sight (a trade of 交易评测 shown on the chart).
    void ShowCursorAt(int bar);
    /// The trades of a system under test this chart marks: those of ViewServices when they
    /// are of this contract and period (and the chart shows bars, not OX columns).
    std::shared_ptr<const TradeMarks> ShownTradeMarks() const;

    // ---- state (tests, the print path, the drawing layer) ----
    /// The goods as the last load took it; the day bars it had are the day series on show
    /// (Series()), not kept twice.
    const CQeltGoods& Goods() const { return m_goods; }
    const BarSeries& Series() const { return m_bars; }
    const SeriesWindow& Window() const { return m_window; }
    int WindowCount() const { return m_windowCount; }
    int PaneIndicator(int pane) const;
    const std::vector<Rect>& Panes() const { return m_panes; }
    const MainPaneLayer* Layer() const { return m_layer.get(); }
    bool CursorMode() const { return m_cursorMode; }
    bool QuotePanelShown() const { return m_quotePanel; }
    bool LogScale() const { return m_logScale; }
    /// The formulas chosen for the main chart (主图公式), in the order they were put there,
    /// kept in mainformula.ini; those the library holds as 主图 formulas are drawn, over the
    /// candles and the American line.
    const std::vector<int>& MainChartFormulas() const { return m_mainFormulas; }
    /// The period on show: the chosen one, or the day for a minute period on goods traded in
    /// sections.
    int ShownPeriod() const;
    /// Its bar length in minutes; 0 for day, week and month.
    int ShownMinutes() const { return MinutesOfPeriod(ShownPeriod()); }
    /// The goods trades continuously (its category's kind says so, or, offline, where the
    /// kinds are not known, minute bars of it were kept).
    bool HasMinutePeriods() const { return m_goods.flagged || m_keptMinutes; }
    Point Pointer() const { return m_pointer; }
    /// The local date "%Y%m%d" the view takes for today (tests set another).
    void SetToday(std::string today) { m_today = std::move(today); }

  private:
    struct ChartKey;
    /// What a live-data check compares: the day series (after today's quote is folded in) as
    /// the last load took it.
    struct DaySeriesMark {
        std::size_t length = 0;
        CBarRow first;
        CBarRow last;
        std::string newest;  ///< the live price, for goods without a delivery month
        // On minute bars also today's trades and the past days kept.
        std::size_t trades = 0;
        std::string lastTrade;  ///< the identity of the newest trade
        std::uint64_t pastDays = 0;
        friend bool operator==(const DaySeriesMark&, const DaySeriesMark&) = default;
    };

    // ---- loading and navigation (CQeltKLineView.cpp) ----
    /// The current goods, its period's bars (or OX columns) and the window over them.
    void LoadSeries();
    /// The goods copy, brought up to date from the main record the way the quote list has it.
    void RefreshGoods();
    /// The current goods as a load takes it, without changing the store or the view.
    CQeltGoods LiveGoods() const;
    DaySeriesMark MarkOf(const CQeltGoods& goods);
    void FirstUpdate();
    void StepGoods(bool forward);
    void SetPeriod(int period);
    /// F8 / Shift+F8: the next / previous period of the menu's order, round; the minute
    /// periods are passed over on goods traded in sections.
    void StepPeriod(bool forward);
    /// On goods traded in sections: that they have no minute bars (once per goods).
    void SayNoMinutes();
    void SetChartType(int chartType);
    void SetWindowCount(int count);
    void AssignIndicator(int code);
    /// The indicator parameter dialog preselected on `code`; what it changed shows at once.
    void RunIndicatorDialog(int code);
    /// The parameter values of formula `id` (nothing for a deleted one); they show at once.
    void RunFormulaDialog(int id);
    /// Whether a lower pane on show or the main chart draws one of the user's formulas.
    bool ShowsFormulas() const;
    /// 主图公式's entry: formula `id` goes onto the main chart, or off it when it is there.
    void ToggleMainChartFormula(int id);
    /// 删除主图公式: none on the main chart any more.
    void ClearMainChartFormulas();
    /// The formulas drawn over the main chart at this paint: none over OX columns.
    std::vector<int> MainFormulasOnShow() const;
    /// Their contents, computed (or started on the worker) as the panes' are.
    FormulaPaneContent PrepareMainFormula(int id);
    void ToggleCoverMode();
    void SaveWinfile() const;
    void CheckLiveData();

    // ---- input (CQeltKLineViewInput.cpp) ----
    void ZoomIn();
    void ZoomOut();
    void CursorBack();
    void CursorForward();
    /// After a cursor key: the pointer onto the cursor bar's close.
    void FollowCursorBar();
    bool InMainPane(Point at) const;
    LayerAnswer OfferToLayer(LayerAnswer answer);

    // ---- painting (CQeltKLineViewPaint.cpp) ----
    /// Colours, layout, extremes and the main pane's geometry for this paint.
    void Prepare(Size client, const DisplayScheme& scheme);
    void LayOut(Size client);
    ChartKey CurrentChartKey(Size client) const;
    /// The chart under the cursor layer. With `backgroundInBands`, its background is laid a
    /// band at a time as the drawing goes down (the same picture, drawn faster on a dense
    /// screen); otherwise wholly first, as on paper.
    void PaintChartLayer(Canvas& canvas, Size client, bool backgroundInBands);
    /// What follows the cursor bar (moving averages' labels, pane titles, the drawn line being
    /// edited) and, with `pointerMarks`, what marks the pointer (pane read-outs, crosshair
    /// price, cursor date, crosshair lines): the screen has them, paper does not.
    void PaintCursorLayer(Canvas& canvas, Size client, bool pointerMarks);
    void PaintPane(Canvas& canvas, std::size_t pane, PaneLayer layer);
    void PaintFormulaPane(Canvas& canvas, std::size_t pane, PaneLayer layer, const PaneStyle& style);
    /// What pane `pane` of this paint is drawn with, whatever it shows.
    PaneFrame FrameOf(std::size_t pane, PaneLayer layer, const PaneStyle& style);
    /// The main chart's formulas over the bars, and their items in the title row.
    void PaintMainChartFormulas(Canvas& canvas);
    void PaintMainChartFormulaTitles(Canvas& canvas);
    void PaintCoverButton(Canvas& canvas) const;
    /// The bar tip for a pointer on a bar body while the cursor mode is off, and a past-day
    /// double click's request. The tips' texts are measured on `measure`.
    void ShowBarTip(Canvas& measure);
    void UpdateDataTip(Canvas& measure);
    /// The bar whose body (open to close within its slot) holds `at`; -1 for none.
    int BarBodyAt(Point at) const;
    MainChartInput ChartInput() const;
    BarColumns& Columns();

    ViewServices& m_services;
    std::unique_ptr<MainPaneLayer> m_layer;

    CQeltGoods m_goods;
    BarSeries m_bars;
    SeriesWindow m_window;
    std::uint64_t m_generation = 0;  ///< bumped at every load: the indicator cache's key
    int m_unchangedBars = 0;         ///< leading bars the last load kept from the one before
    std::string m_categoryCode;
    DaySeriesMark m_loadedDays;  ///< the day series the displayed series was made of
    KLineMinuteBars m_minuteBars;
    std::string m_noMinutesSaid;   ///< the goods the status bar last said has no minute bars
    GoodsKey m_keptMinutesFor;     ///< the goods m_keptMinutes was found for
    bool m_keptMinutes = false;    ///< minute bars of it were kept
    bool m_loadedMinutes = false;  ///< the last load was of minute bars
    bool m_laidOutOnce = false;

    std::vector<Rect> m_panes;
    int m_windowCount = 3;
    std::array<int, kPaneIdSlots> m_paneIds{};
    std::vector<int> m_mainFormulas;
    /// Where the main chart's formulas' items were drawn at the last paint (a double click
    /// there opens the formula's values).
    std::vector<std::pair<int, Rect>> m_mainFormulaTitles;
    bool m_quotePanel = true;
    bool m_logScale = false;
    bool m_cursorMode = false;
    Point m_pointer;
    Point m_rightClick;
    int m_hoverBorder = -1;
    bool m_dragging = false;
    bool m_pastDayPending = false;
    std::string m_today;

    KLineStyle m_style;  ///< of the paint in progress (its scheme is that paint's)
    Size m_client;
    VisibleExtremes m_extremes;
    /// What m_extremes were found for (generation, L, N): a paint that changes none of them
    /// (a crosshair move, a repaint) does not read the visible bars' texts again.
    std::array<std::uint64_t, 3> m_extremesKey{~0ull, 0, 0};
    MainPaneGeometry m_geometry;
    IndicatorCache m_indicators;
    FormulaPanes m_formulaPanes;
    MainMovingAverages m_averages;
    std::uint64_t m_averagesGeneration = 0;
    std::array<int, kIndicatorParameterCount> m_averagesParameters{};

    // The chart kept between paints.
    std::unique_ptr<ChartKey> m_chartKey;  ///< what the chart was drawn for; null: draw again
    std::unique_ptr<MemoryBitmap> m_chartBitmap;
    bool m_bitmapCurrent = false;      ///< m_chartBitmap holds the chart of m_chartKey
    std::uint64_t m_targetSerial = 0;  ///< the surface painted last
    bool m_targetCurrent = false;      ///< it holds that chart under the cursor layer
    bool m_backgroundInBands = true;   ///< the screen's background laid a band at a time
    std::vector<Rect> m_cursorRects;   ///< what the cursor layer covered there

    std::optional<DataTipContent> m_dataTip;  ///< the data tip on show
    Rect m_dataTipPlace;                      ///< and where
    std::vector<Rect> m_titleBoxes;           ///< the lower panes' title texts of the last paint
    bool m_barTipShown = false;
    bool m_barTipHeldBack = false;  ///< a click drew: no bar tip until the pointer moves
    bool m_cursorToPlace = false;   ///< ShowCursorAt: the crosshair goes to the cursor bar at the next paint
};

}  // namespace qelt
