// CQeltKLineView: layout, the chart kept between paints, and what follows the cursor.
#include <algorithm>

#include "chart/BarPainter.h"
#include "chart/DateStrip.h"
#include "chart/KLineLayout.h"
#include "chart/MinuteStrip.h"
#include "chart/QuotePanel.h"
#include "common/Numbers.h"
#include "indicators/IndicatorTable.h"
#include "indicators/PaneParts.h"
#include "net/Requests.h"
#include "views/CQeltKLineView.h"
#include "views/kline/BackgroundBands.h"
#include "views/kline/BarTips.h"
#include "views/kline/FormulaPane.h"
#include "views/kline/KLineChartKey.h"
#include "views/kline/MainChartFormulas.h"
#include "views/kline/TrackingCanvas.h"
#include "views/kline/TradeMarks.h"

namespace qelt {
namespace {

constexpr Colour kButtonLight = 0xC8C8C8;
constexpr Colour kButtonShadow = 0x636363;

bool HasMovingAverages(int chartType) { return chartType == kChartCandles || chartType == kChartAmerican; }

}  // namespace

// ---- layout ----

void CQeltKLineView::OnSize(Size client) {
    m_client = client;
    m_panes.clear();
}

void CQeltKLineView::LayOut(Size client) {
    m_client = client;  // what a right click is mapped against until the next layout
    m_panes = LayOutPanes(m_windowCount, client, m_quotePanel);
    m_laidOutOnce = true;
    SaveWinfile();
}

BarColumns& CQeltKLineView::Columns() { return m_indicators.Columns(m_bars, m_generation); }

MainChartInput CQeltKLineView::ChartInput() const {
    MainChartInput input;
    input.bars = &m_bars;
    input.oxBoxes = &m_goods.oxBoxes;
    input.chartType = m_window.chartType;
    input.period = ShownPeriod();
    input.oxBox = m_window.oxBoxSize;
    input.lastVisible = m_window.lastVisible;
    input.visibleCount = m_window.visibleCount;
    input.extremes = m_extremes;
    input.goodsName = m_goods.name;
    input.goodsNo = m_goods.goods_no;
    input.closeLine = m_categoryCode == "0003";
    input.logarithmic = m_logScale && m_window.chartType != kChartOX;
    if (m_window.chartType == kChartOX && !(m_window.oxBoxSize > 0.0f) && !m_goods.series.empty())
        input.note = kZeroBoxNote;
    return input;
}

void CQeltKLineView::Prepare(Size client, const DisplayScheme& scheme) {
    m_client = client;
    m_style = KLineStyle::FromSettings(m_services.Settings(), scheme);
    if (m_panes.empty()) LayOut(client);
    if (m_bars.empty()) {
        m_extremes = {};
        m_extremesKey[0] = ~0ull;
    } else {
        ClampWindowToSeries(m_window, static_cast<int>(m_bars.size()));
        const std::array<std::uint64_t, 3> key{m_generation, static_cast<std::uint64_t>(m_window.lastVisible),
                                               static_cast<std::uint64_t>(m_window.visibleCount)};
        if (key != m_extremesKey) {
            m_extremes = ScanVisibleExtremes(m_bars, m_window);
            m_extremesKey = key;
        }
    }
    m_geometry = LayOutMainChart(ChartInput(), m_panes[0]);
    const int cursor = m_window.cursor;
    if (m_cursorToPlace && m_geometry.Valid() && cursor >= 0 && cursor < static_cast<int>(m_bars.size())) {
        m_cursorToPlace = false;
        m_pointer = {m_geometry.BarCentreX(cursor),
                     m_geometry.PriceToY(LeadingFloat(m_bars[static_cast<std::size_t>(cursor)][kBarClose]))};
    }
}

CQeltKLineView::ChartKey CQeltKLineView::CurrentChartKey(Size client) const {
    ChartKey key;
    key.client = client;
    key.panes = m_panes;
    for (std::size_t i = 0; i < key.paneIds.size(); ++i) key.paneIds[i] = m_paneIds[i];
    key.quotePanel = m_quotePanel;
    key.logScale = m_logScale;
    key.chartType = m_window.chartType;
    key.period = ShownPeriod();
    key.visibleCount = m_window.visibleCount;
    key.lastVisible = m_window.lastVisible;
    key.generation = m_generation;
    key.scheme = m_style.scheme;
    key.parameters = m_services.Settings().m_indicators.Values();
    key.formulaRevision = m_services.Formulas().Revision();
    for (std::size_t i = 1; i < m_panes.size() && i < key.formulaValues.size(); ++i)
        if (IsFormulaPaneId(m_paneIds[i])) key.formulaValues[i] = m_services.FormulaValues(m_paneIds[i]);
    key.tradeMarks = ShownTradeMarks();
    key.mainFormulas = MainFormulasOnShow();
    for (const int id : key.mainFormulas) key.mainFormulaValues.push_back(m_services.FormulaValues(id));
    return key;
}

// ---- painting ----

void CQeltKLineView::Paint(Canvas& canvas, Size client, const DisplayScheme& scheme) {
    Prepare(client, scheme);
    ShowBarTip(canvas);
    const ChartKey key = CurrentChartKey(client);
    if (!m_chartKey || !(*m_chartKey == key)) {
        m_chartKey = std::make_unique<ChartKey>(key);
        m_bitmapCurrent = false;
        m_targetCurrent = false;
    }
    if (canvas.Serial() != m_targetSerial) {
        // Another surface (a new buffer after a resize, a bitmap for export): it holds nothing
        // of ours, and the kept bitmap may not match its pixel density.
        m_targetSerial = canvas.Serial();
        m_targetCurrent = false;
        m_chartBitmap.reset();
        m_bitmapCurrent = false;
    }
    canvas.ClearClip();
    if (!m_targetCurrent) {
        PaintChartLayer(canvas, client, m_backgroundInBands);
        m_targetCurrent = true;
    } else {
        if (!m_bitmapCurrent) {
            if (!m_chartBitmap || m_chartBitmap->Width() != client.cx || m_chartBitmap->Height() != client.cy)
                m_chartBitmap = canvas.CreateBitmap(client.cx, client.cy);
            PaintChartLayer(m_chartBitmap->GetCanvas(), client, m_backgroundInBands);
            m_bitmapCurrent = true;
        }
        // Wipe what the cursor layer drew last time.
        for (const Rect& r : m_cursorRects) {
            canvas.SetClip(r);
            canvas.DrawBitmap(*m_chartBitmap, 0, 0);
        }
        canvas.ClearClip();
    }
    TrackingCanvas tracker(canvas);
    PaintCursorLayer(tracker, client, true);
    m_cursorRects = tracker.Touched();
    canvas.ClearClip();
    UpdateDataTip(canvas);
}

void CQeltKLineView::PaintForPrint(Canvas& canvas, Size client, const DisplayScheme& scheme) {
    Prepare(client, scheme);
    canvas.ClearClip();
    PaintChartLayer(canvas, client, false);
    PaintCursorLayer(canvas, client, false);
}

void CQeltKLineView::PaintChartLayer(Canvas& canvas, Size client, bool backgroundInBands) {
    const int height = client.cy, chartRight = m_panes[0].right;
    canvas.ClearClip();
    BackgroundBands background(
        canvas, client.cx, height, m_style.scheme.background,
        [&] {
            canvas.SelectPen(m_style.frame);
            canvas.MoveTo(chartRight, 0);
            canvas.LineTo(chartRight, height - 2);
            canvas.MoveTo(0, m_panes[0].bottom);
            canvas.LineTo(chartRight, m_panes[0].bottom);
            for (int y : {height - kDateStripHeight, height - 2}) {
                canvas.MoveTo(0, y);
                canvas.LineTo(client.cx, y);
            }
        },
        backgroundInBands);
    // Each part is drawn with the background laid some rows below its own: a label at a
    // pane's foot may run over into the next pane, by half its height at the most (a
    // fallback font's glyphs may be half as high again as the font's nominal height).
    const int spill = std::max(24, 2 * m_style.text.height);
    const auto reachBelowPane = [&](std::size_t pane) { background.Reach(m_panes[pane].bottom + spill); };
    // A point-and-figure column may end a box below the pane when the boxes do not match the
    // bars: the background is laid whole under it.
    if (m_window.chartType == kChartOX)
        background.Reach(height);
    else
        reachBelowPane(0);

    MainChartInput input = ChartInput();
    const int n = static_cast<int>(m_bars.size());
    if (n > 0) {
        BarColumns& columns = Columns();
        const int from = std::max(0, m_window.lastVisible - m_window.visibleCount + 1), to = n;
        input.prices = {columns.Open(from, to), columns.Close(0, to), columns.High(from, to),
                        columns.Low(from, to)};
        const auto& parameters = m_services.Settings().m_indicators;
        if (m_averagesGeneration != m_generation || m_averagesParameters != parameters.Values()) {
            m_averages.Compute(m_bars, parameters);
            m_averagesGeneration = m_generation;
            m_averagesParameters = parameters.Values();
        }
    }
    DrawMainChartBody(canvas, input, m_geometry, m_style);
    if (n > 0 && HasMovingAverages(m_window.chartType)) {
        // Bars left of the window take part in the averages: they may run past the pane's range.
        const Rect& main = m_panes[0];
        canvas.SetClip({main.left, main.top, m_geometry.axisX, main.bottom + 1});
        DrawMovingAverageLines(canvas, m_averages, m_geometry, PaneStyle::LinePens(m_style.scheme));
        canvas.ClearClip();
    }
    if (n > 0) PaintMainChartFormulas(canvas);
    DrawMainChartLabels(canvas, input, m_geometry, m_style);
    if (const std::shared_ptr<const TradeMarks> marks = ShownTradeMarks()) {
        canvas.SetClip(m_geometry.PlotClip());
        DrawTradeMarks(canvas, *marks, m_bars, m_geometry, m_style.text, m_style.scheme.background);
        canvas.ClearClip();
    }
    if (m_layer) {
        canvas.SetClip(m_geometry.PlotClip());
        m_layer->PaintChart(canvas, m_geometry);
        canvas.ClearClip();
    }

    for (std::size_t i = 1; i < m_panes.size(); ++i) {
        reachBelowPane(i);
        const Rect& pane = m_panes[i];
        canvas.SelectPen(Pen::Solid(1, m_style.grid.colour));
        canvas.MoveTo(pane.left, pane.top);
        canvas.LineTo(pane.right, pane.top);
        PaintPane(canvas, i, PaneLayer::Chart);
        canvas.SelectPen(m_style.axis);
        canvas.MoveTo(pane.right - kAxisColumn, pane.top);
        canvas.LineTo(pane.right - kAxisColumn, pane.bottom);
    }
    background.Reach(height);
    if (m_quotePanel)
        DrawQuotePanel(canvas, {chartRight, 0, client.cx, height - kDateStripHeight}, m_goods, m_style);
    const Rect strip{0, height - kDateStripHeight, chartRight, height};
    if (ShownMinutes() > 0)
        DrawMinuteStrip(canvas, strip, m_bars, m_geometry, m_style);
    else if (m_window.chartType != kChartOX)
        DrawDateStrip(canvas, strip, m_bars, m_geometry, m_categoryCode, m_style);
    if (m_goods.listTag == kTagContract) PaintCoverButton(canvas);
}

void CQeltKLineView::PaintPane(Canvas& canvas, std::size_t pane, PaneLayer layer) {
    const int code = m_paneIds[pane];
    const bool formula = IsFormulaPaneId(code);
    if (!formula) m_formulaPanes.Forget(static_cast<int>(pane));
    // An id of no indicator: frame and axis only.
    if (!formula && FindIndicatorDefinition(code) == nullptr) return;
    PaneStyle style;
    style.grid = m_style.grid;
    style.tick = m_style.axis;
    style.border = m_style.border;
    style.rising = m_style.rising;
    style.falling = m_style.falling;
    style.font = m_style.text;
    canvas.SetBkMode(BkMode::Transparent);
    canvas.SetBkColour(m_style.scheme.background);
    if (formula) {
        PaintFormulaPane(canvas, pane, layer, style);
        return;
    }
    const IndicatorParameters& parameters = m_services.Settings().m_indicators;

    PaneRequest request;
    static_cast<PaneFrame&>(request) = FrameOf(pane, layer, style);
    request.code = code;
    request.bars = &m_bars;
    request.parameters = &parameters;
    request.result = &m_indicators.Result(code, m_bars, request.window, parameters, m_generation);
    DrawIndicatorPane(canvas, request);
}

PaneFrame CQeltKLineView::FrameOf(std::size_t pane, PaneLayer layer, const PaneStyle& style) {
    PaneFrame frame;
    frame.pane = m_panes[pane];
    frame.window =
        MakeIndicatorWindow(m_window.lastVisible, m_window.visibleCount, static_cast<int>(m_bars.size()));
    frame.barWidth = m_geometry.barWidth;
    frame.cursor = m_window.cursor;
    frame.mouse = m_pointer;
    frame.chartRight = m_panes[0].right;
    frame.scheme = &m_style.scheme;
    frame.style = &style;
    frame.columns = &Columns();
    frame.layer = layer;
    return frame;
}

void CQeltKLineView::PaintFormulaPane(Canvas& canvas, std::size_t pane, PaneLayer layer,
                                      const PaneStyle& style) {
    const int id = m_paneIds[pane];
    FormulaPaneRequest request;
    static_cast<PaneFrame&>(request) = FrameOf(pane, layer, style);
    const FormulaPanes::Series series{&m_bars, m_generation, m_unchangedBars};
    request.content = m_formulaPanes.Prepare(static_cast<int>(pane), id, m_services.Formulas(),
                                             m_services.FormulaValues(id), series);
    DrawFormulaPane(canvas, request);
}

void CQeltKLineView::PaintMainChartFormulas(Canvas& canvas) {
    // Formulas taken off the chart, switched to 副图 or deleted keep no run.
    const std::vector<int> shown = MainFormulasOnShow();
    for (const int id : m_mainFormulas)
        if (std::find(shown.begin(), shown.end(), id) == shown.end())
            m_formulaPanes.Forget(MainChartFormulaKey(id));
    for (const int id : shown) DrawMainChartFormula(canvas, PrepareMainFormula(id), m_geometry, m_style);
}

void CQeltKLineView::PaintMainChartFormulaTitles(Canvas& canvas) {
    m_mainFormulaTitles.clear();
    if (m_bars.empty()) return;
    MainChartTitleRow row;
    row.left = kMovingAverageLabelsEnd;
    row.wrapLeft = m_panes[0].left + 5;
    row.wrapRows = 2;
    // Clear of the price axis, and of the cover button on a contract's chart.
    row.right = m_goods.listTag == kTagContract ? m_panes[0].right - 130 - 4 : m_geometry.axisX;
    for (const int id : MainFormulasOnShow()) {
        const Rect box = DrawMainChartFormulaTitle(canvas, PrepareMainFormula(id), m_window.cursor, row,
                                                   m_style.scheme, m_style.text);
        if (box.Width() > 0) m_mainFormulaTitles.emplace_back(id, box);
    }
}

void CQeltKLineView::PaintCoverButton(Canvas& canvas) const {
    const int left = m_panes[0].right - 130, top = 8, right = left + 60, bottom = top + 26;
    canvas.SelectPen(Pen::Solid(1, kButtonLight));
    canvas.MoveTo(left, bottom - 1);
    canvas.LineTo(left, top);
    canvas.LineTo(right - 1, top);
    canvas.SelectPen(Pen::Solid(1, kButtonShadow));
    canvas.LineTo(right - 1, bottom - 1);
    canvas.LineTo(left - 1, bottom - 1);
    canvas.SelectFont(m_style.text);
    canvas.SetBkMode(BkMode::Transparent);
    canvas.SetTextAlign({HAlign::Left, VAlign::Top});
    canvas.SetTextColour(m_style.scheme.line[0]);
    canvas.TextOut(left + 8, top + 5, m_goods.coverMode == 1 ? "后覆盖" : "前覆盖");
}

void CQeltKLineView::PaintCursorLayer(Canvas& canvas, Size client, bool pointerMarks) {
    const int height = client.cy, chartRight = m_panes[0].right;
    const int n = static_cast<int>(m_bars.size());
    if (n > 0 && HasMovingAverages(m_window.chartType))
        DrawMovingAverageLabels(canvas, m_averages, m_window.cursor, m_style.scheme, m_style.text);
    PaintMainChartFormulaTitles(canvas);
    // The titles' boxes: the data tip keeps clear of them.
    m_titleBoxes.clear();
    for (const auto& title : m_mainFormulaTitles) m_titleBoxes.push_back(title.second);
    for (std::size_t i = 1; i < m_panes.size(); ++i) {
        TrackingCanvas titles(canvas, true);
        PaintPane(titles, i, pointerMarks ? PaneLayer::Cursor : PaneLayer::Titles);
        const Rect& pane = m_panes[i];
        for (const Rect& box : titles.TextBoxes())
            if (box.top < pane.top + kPaneTitleStrip && box.left < pane.right - kAxisColumn)
                m_titleBoxes.push_back(box);
    }
    if (m_layer) {
        canvas.SetClip(m_geometry.PlotClip());
        m_layer->PaintCursor(canvas, m_geometry);
        canvas.ClearClip();
    }
    if (!pointerMarks) return;
    DrawCrosshairPrice(canvas, m_geometry, m_pointer, m_style);
    if (m_window.chartType != kChartOX) {
        const int cursor = m_window.cursor;
        const std::string caption = cursor >= 0 && cursor < n
                                        ? BarCaption(m_bars[static_cast<std::size_t>(cursor)])
                                        : std::string(kNoBarCaption);
        DrawCursorDate(canvas, {0, height - kDateStripHeight, chartRight, height}, caption, m_pointer.x);
    }
    if (m_cursorMode && m_pointer.x < chartRight) {
        canvas.SelectPen(m_style.scheme.linePen);
        canvas.MoveTo(m_pointer.x, 10);
        canvas.LineTo(m_pointer.x, height - kDateStripHeight);
        canvas.MoveTo(0, m_pointer.y);
        canvas.LineTo(chartRight - 50, m_pointer.y);
    }
}

// ---- the tips ----

int CQeltKLineView::BarBodyAt(Point at) const {
    if (!InMainPane(at) || !m_geometry.Valid()) return -1;
    const int bar = m_geometry.CursorBarAtX(at.x);
    if (bar < 0 || bar >= static_cast<int>(m_bars.size())) return -1;
    const CBarRow& row = m_bars[static_cast<std::size_t>(bar)];
    const float open = static_cast<float>(row.Open()), close = static_cast<float>(row.Close());
    const BarSlot slot =
        SlotAt(static_cast<float>(m_geometry.pane.left) + m_geometry.SlotLeft(bar), m_geometry.barWidth);
    if (at.x < std::min(slot.left, slot.right) || at.x > std::max(slot.left, slot.right)) return -1;
    const int yo = m_geometry.PriceToY(open), yc = m_geometry.PriceToY(close);
    // A flat bar's body is its open line: a pixel either way still touches it.
    if (at.y < std::min(yo, yc) - 1 || at.y > std::max(yo, yc) + 1) return -1;
    return bar;
}

void CQeltKLineView::ShowBarTip(Canvas& measure) {
    // The tip follows the pointer from body to body and goes as soon as it is on none; it
    // keeps away while the pointer draws and after a click that drew, until the pointer moves.
    const bool drawing = m_barTipHeldBack || (m_layer && m_layer->Editing());
    const int bar = m_cursorMode || drawing ? -1 : BarBodyAt(m_pointer);
    if (bar < 0) {
        if (m_barTipShown) Host().HideOverlay(kBarTipOverlay);
        m_barTipShown = false;
    } else {
        const InfoTipContent tip = MakeBarTip(m_bars, bar);
        // As wide as its texts need in the font the screen has: a six-digit price reads whole.
        const Size size = BarTipSize(measure, tip, {kBarTipWidth, kBarTipHeight});
        const Rect where{m_pointer.x, m_pointer.y + 18, m_pointer.x + size.cx, m_pointer.y + 18 + size.cy};
        Host().ShowOverlay(
            kBarTipOverlay, where,
            [tip](Canvas& canvas, Size size) { PaintInfoTip(canvas, tip, size.cx, size.cy); }, true);
        m_barTipShown = true;
        if (m_pastDayPending) {
            const CBarRow& row = m_bars[static_cast<std::size_t>(bar)];
            // The user's day comes next: the minute history sends nothing behind it, so the
            // reply the intraday view shows is the user's.
            m_services.MinuteHistory().Stop();
            m_services.Send(RealHistoryRequest(m_categoryCode, row[kBarDate], m_goods.Key()));
            m_cursorMode = true;
        }
    }
    m_pastDayPending = false;
}

void CQeltKLineView::UpdateDataTip(Canvas& measure) {
    const int cursor = m_window.cursor;
    const bool inside = cursor >= 0 && cursor < static_cast<int>(m_bars.size());
    if (!m_cursorMode) {
        if (m_dataTip) Host().HideOverlay(kDataTipOverlay);
        m_dataTip.reset();
        return;
    }
    if (m_pointer.x >= m_panes[0].right || m_window.chartType == kChartOX || !inside) return;
    DataTipContent tip = MakeDataTip(m_goods, m_bars, cursor, m_today);
    const Size size{DataTipWidth(measure, tip),
                    tip.layout == 1 ? kDataTipHeightLayout1 : kDataTipHeightLayout2};
    const Point at = PlaceDataTip(size, m_geometry.axisX, m_titleBoxes, m_pointer);
    const Rect where{at.x, at.y, at.x + size.cx, at.y + size.cy};
    if (m_dataTip && *m_dataTip == tip && m_dataTipPlace == where) return;
    Host().ShowOverlay(
        kDataTipOverlay, where,
        [tip](Canvas& canvas, Size size) { PaintDataTip(canvas, tip, size.cx, size.cy); }, false);
    m_dataTip = std::move(tip);
    m_dataTipPlace = where;
}

}  // namespace qelt
