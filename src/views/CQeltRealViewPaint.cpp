// The intraday view's drawing: layout, charts, side panel, cursor and data tip.
#include <algorithm>
#include <cstdio>

#include "common/Numbers.h"
#include "views/CQeltRealView.h"
#include "views/intraday/QuotePanelPainter.h"
#include "views/intraday/SectionTable.h"

namespace qelt {
namespace {

constexpr int kNormalPanelWidth = 200;
constexpr int kTablePanelWidth = 300;
/// The bottom of the client holds the time labels between two outline lines.
constexpr int kTimeBand = 20;

}  // namespace

IntradayLayout LayoutIntraday(Size client, int mode, bool flagged) {
    IntradayLayout layout;
    const int panelWidth = mode == CQeltRealView::kHistoryReview ? kTablePanelWidth
                           : mode == CQeltRealView::kChartOnly   ? 0
                                                                 : kNormalPanelWidth;
    const int chartRight = std::max(0, client.cx - panelWidth);
    const int chartBottom = std::max(0, client.cy - kTimeBand);
    layout.chart = {0, 0, chartRight, chartBottom};
    if (mode != CQeltRealView::kHistoryReview && mode != CQeltRealView::kChartOnly && !flagged) {
        layout.chart.bottom = chartBottom / 2;
        layout.dynamicChart = Rect{0, chartBottom / 2, chartRight, chartBottom};
    }
    if (panelWidth > 0) layout.panel = Rect{chartRight, 0, client.cx, chartBottom};
    return layout;
}

ChartFrame CQeltRealView::MainFrame(Size client) {
    EnsureMinuteSeries();
    const int days = std::max(m_days, static_cast<int>(m_series.dayDates.size()));
    return FrameFor(Layout(client).chart, days, m_series.slotsPerDay);
}

std::optional<std::pair<ChartFrame, bool>> CQeltRealView::CursorChart(Size client) {
    if (!m_cursorOn || !HasContract()) return std::nullopt;
    const ChartFrame main = MainFrame(client);
    if (main.InPlot(m_cursor)) return std::make_pair(main, false);
    if (const std::optional<Rect> lower = Layout(client).dynamicChart) {
        const ChartFrame dynamic =
            FrameFor(*lower, main.totalSlots / std::max(1, m_series.slotsPerDay), m_series.slotsPerDay);
        if (dynamic.InPlot(m_cursor)) return std::make_pair(dynamic, true);
    }
    return std::nullopt;
}

void CQeltRealView::Paint(Canvas& canvas, Size client, const DisplayScheme& scheme) {
    const ChartStyle style = ChartStyleOf(m_services.Settings(), scheme);
    PaintCharts(canvas, client, scheme, style);
    PaintCursor(canvas, client, style);
}

void CQeltRealView::PaintForPrint(Canvas& canvas, Size client, const DisplayScheme& scheme) {
    PaintCharts(canvas, client, scheme, ChartStyleOf(m_services.Settings(), scheme));
}

void CQeltRealView::PaintCharts(Canvas& canvas, Size client, const DisplayScheme& scheme,
                                const ChartStyle& style) {
    canvas.FillRect({0, 0, client.cx, client.cy}, style.background);
    if (!HasContract()) return;

    EnsureMinuteSeries();
    const IntradayLayout layout = Layout(client);
    canvas.SelectPen(style.frame);
    for (int y : {client.cy - kTimeBand, client.cy - 2}) {
        canvas.MoveTo(0, y);
        canvas.LineTo(client.cx, y);
    }

    const ChartFrame main = MainFrame(client);
    const int days = main.totalSlots / std::max(1, m_series.slotsPerDay);
    ChartContent content;
    content.series = &m_series;
    content.volumes = &m_volumes;
    content.title = Title();
    content.timeLabels = m_flagged;
    content.days = days;
    PaintIntradayChart(canvas, main, ScaleFor(main, m_series, m_volumes), content, style);

    if (layout.dynamicChart) {
        const ChartFrame lower = FrameFor(*layout.dynamicChart, days, m_series.slotsPerDay);
        ChartContent board = content;
        board.volumes = &m_dynamicVolumes;
        board.title = "动盘分时走势";
        board.timeLabels = false;
        board.dynamicBoard = &m_placement;
        PaintIntradayChart(canvas, lower, ScaleFor(lower, m_series, m_dynamicVolumes), board, style);
    }

    if (layout.panel && m_mode == kHistoryReview) {
        const int count = static_cast<int>(m_tableRows.size());
        m_sectionRow = NormalisedSectionRow(m_sectionRow, count, SectionRowsPerPage(layout.panel->Height()));
        PaintSectionTable(canvas, *layout.panel, m_tableRows, m_sectionRow, scheme, style.frame);
    } else if (layout.panel) {
        PaintQuotePanel(canvas, *layout.panel, m_goods, m_flagged, m_trades.Rows(), scheme, style.frame);
    }
}

void CQeltRealView::PaintCursor(Canvas& canvas, Size client, const ChartStyle& style) {
    const std::optional<std::pair<ChartFrame, bool>> chart = CursorChart(client);
    if (!chart) return;
    const ChartFrame& frame = chart->first;
    PaintChartCursor(canvas, frame, {frame.SlotX(frame.SlotAt(m_cursor.x)), m_cursor.y}, style);
}

InfoTipRecord CQeltRealView::TipFor(int slot) {
    EnsureMinuteSeries();
    InfoTipRecord tip;
    const int i = m_series.RecordAtSlot(slot);
    if (i < 0) {
        tip.volume = "0";
        tip.positionChange = "0";
        tip.dynamicPrice = "--";
        return tip;
    }
    const TradePoint& r = m_series.records[static_cast<std::size_t>(i)];
    tip.date = FormatInt(r.date);
    tip.section = m_flagged ? TimeText(r.time).substr(0, 2) + ":" + TimeText(r.time).substr(2, 2)
                            : SectionText(r.section);
    tip.price = FormatFixed2(r.price);
    tip.reference = FormatFixed2(TipReference(r));
    tip.volume = FormatInt(r.volume);
    tip.positionChange =
        FormatInt(i > 0 ? r.pure - m_series.records[static_cast<std::size_t>(i) - 1].pure : r.volume);
    tip.dynamicPrice = r.newest < 0.00001 ? "--" : FormatFixed2(r.newest);
    return tip;
}

double CQeltRealView::TipReference(const TradePoint& record) const {
    const double panel = LeadingDouble(m_flagged ? m_goods.pre_avg_price : m_goods.pre_close);
    if (m_mode != kHistoryReview && record.date == LeadingInt(m_goods.last_date) && panel > 0) return panel;
    return record.reference > 0 ? record.reference : record.compare;
}

void CQeltRealView::UpdateTip() {
    if (!m_tipEnabled || !m_cursorOn || !HasContract()) {
        Host().HideOverlay(kRecordTipId);
        return;
    }
    const std::optional<std::pair<ChartFrame, bool>> chart = CursorChart(Host().ClientSize());
    if (!chart) return;
    InfoTipContent content;
    content.layout = 3;
    content.record = TipFor(chart->first.SlotAt(m_cursor.x));
    const Rect where{0, 30, kRecordTipSize.cx, 30 + kRecordTipSize.cy};
    Host().ShowOverlay(
        kRecordTipId, where,
        [content](Canvas& canvas, Size size) { PaintInfoTip(canvas, content, size.cx, size.cy); }, true);
}

std::optional<std::pair<int, int>> CQeltRealView::CursorMoment() {
    const std::optional<std::pair<ChartFrame, bool>> chart = CursorChart(Host().ClientSize());
    if (!chart) return std::nullopt;
    const int i = m_series.RecordAtSlot(chart->first.SlotAt(m_cursor.x));
    if (i < 0) return std::nullopt;
    const TradePoint& r = m_series.records[static_cast<std::size_t>(i)];
    return std::make_pair(r.date, r.Minute());
}

void CQeltRealView::FollowCursor(int date, int minute) {
    m_cursorOn = true;
    m_cursor = {-10000, -10000};  // nowhere, unless a record of that moment is shown
    if (!HasContract()) return;
    const ChartFrame frame = MainFrame(Host().ClientSize());
    const ChartScale scale = ScaleFor(frame, m_series, m_volumes);
    int found = -1;
    for (std::size_t i = 0; i < m_series.records.size(); ++i) {
        const TradePoint& r = m_series.records[i];
        if (r.date == date && (r.Minute() <= minute || found < 0)) found = static_cast<int>(i);
        if (r.date == date && r.Minute() > minute) break;
    }
    if (found < 0) return;
    const std::size_t i = static_cast<std::size_t>(found);
    m_cursor = {
        frame.CursorXFor(m_series.slotOf[i]),
        std::clamp(scale.PriceY(frame, m_series.records[i].price), frame.priceTop, frame.PriceBottom())};
}

void CQeltRealView::SetCursorOn(bool on) {
    m_cursorOn = on;
    UpdateTip();
}

void CQeltRealView::SetTipEnabled(bool enabled) {
    m_tipEnabled = enabled;
    UpdateTip();
}

}  // namespace qelt
