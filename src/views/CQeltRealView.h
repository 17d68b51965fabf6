#pragma once
/// `CQeltRealView`, the intraday chart ("分时走势"): the price line of the current contract over
/// the trading day with volume bars under it, for 1 to 8 days, rebuilt from the contract's
/// trades whenever the store has new ones (WM_NET_REAL).
///
/// Modes (the argument of the view switch that created the view):
/// - normal: the chart and the 200-pixel quote panel; goods traded in sections show the
///   section chart above and the dynamic-board chart below;
/// - 2, history review: the chart of a past day's trades (the store's trade list, filled by a
///   "hisreal" reply) and the 300-pixel section table;
/// - 3, chart only: the chart over the whole client. The multi-goods view's cells are views of
///   this mode bound to a fixed contract (`BoundCell`).
///
/// Flagged goods are drawn as a minute series (241 slots a day, see MinuteSeries.h), other
/// goods as one slot per section. A double click toggles the cursor, whose record the data
/// tip (`CInfoTip` layout 3) shows; the right button offers "天数".
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/ChinaClock.h"
#include "views/HeldTrades.h"
#include "views/View.h"
#include "views/ViewServices.h"
#include "views/controls/InfoTipPainter.h"
#include "views/intraday/ChartScale.h"
#include "views/intraday/IntradayChartPainter.h"
#include "views/intraday/IntradaySeries.h"

namespace qelt {

/// Where the parts of the intraday view go for a client size.
struct IntradayLayout {
    Rect chart;                        ///< the section chart or the flagged chart
    std::optional<Rect> dynamicChart;  ///< normal mode, goods traded in sections: the lower half
    std::optional<Rect> panel;         ///< the quote panel (normal) or the section table (mode 2)
};

IntradayLayout LayoutIntraday(Size client, int mode, bool flagged);

/// The data tip's control id, place and kind.
inline constexpr int kRecordTipId = 1023;

class CQeltRealView : public View {
  public:
    enum Mode : int { kNormal = 1, kHistoryReview = 2, kChartOnly = 3 };

    /// The main view: its mode is `argument` (kNormal for anything but 2 and 3), its
    /// contract the application's current goods at first show.
    explicit CQeltRealView(ViewServices& services, ChinaClock clock = SystemChinaTime,
                           int argument = kNormal);
    /// A chart-only cell bound to `goods` whatever the current goods (the multi-goods view);
    /// an empty goods number binds nothing and the cell stays empty.
    static std::unique_ptr<CQeltRealView> BoundCell(ViewServices& services, ChinaClock clock, GoodsKey goods);

    // ---- the view contract ----
    /// First show: takes the mode and the contract, appends to the navigation history and
    /// builds the series.
    void OnInitialUpdate() override;
    void Paint(Canvas& canvas, Size client, const DisplayScheme& scheme) override;
    bool OnKey(const KeyInput& key) override;
    void OnMouseMove(const MouseInput& mouse) override;
    void OnDoubleClick(const MouseInput& mouse) override;
    void OnWheel(bool towardsUser, Point at) override;
    /// The "天数" popup with the current number of days checked.
    void OnContextMenu(Point at) override;
    std::optional<CommandState> StateOf(int command) const override;
    /// 32797..32804 (最近1日..最近8日), 32817/32818 (上一个/下一个).
    bool OnCommand(int command) override;
    /// WM_NET_REAL (and WM_NET_HISREAL) rebuild the series; WM_NET_LIST refreshes the quote.
    void OnNotify(unsigned message, std::intptr_t wParam) override;
    /// "list:" and the contract's standing "real" request; nothing for a bound cell (the
    /// multi-goods view asks for all its cells).
    std::optional<std::vector<std::string>> StandingRequests() const override;
    bool CanPrint() const override { return true; }
    /// The charts and the panel without the cursor lines: paper shows no pointer.
    void PaintForPrint(Canvas& canvas, Size client, const DisplayScheme& scheme) override;

    // ---- state ----
    int Mode() const { return m_mode; }
    int Days() const { return m_days; }
    void SetDays(int days);
    bool HasContract() const { return !m_key.goodsNo.empty(); }
    bool Flagged() const { return m_flagged; }
    const CQeltGoods& Goods() const { return m_goods; }
    /// The series drawn in the (upper) chart: for flagged goods the minute series at the
    /// clock's current minute.
    const IntradaySeries& Series();
    /// Goods traded in sections: the dynamic-board trades of the series' dates.
    const std::vector<DynamicPoint>& DynamicBoard() const { return m_dynamic; }
    /// Mode 2: the past day's records shown by the section table, and its first row shown.
    const std::vector<TradePoint>& SectionRows() const { return m_tableRows; }
    int SectionRow() const { return m_sectionRow; }
    /// The contract's trades the view holds (not in the history review).
    std::size_t TradesHeld() const { return m_trades.Rows().size(); }
    bool CursorOn() const { return m_cursorOn; }
    Point CursorPoint() const { return m_cursor; }
    /// The data tip's texts for the record at `slot`. Its 涨幅 and 涨跌 are measured from the
    /// day's previous close, as the quote panel's: for the quote's own day the panel's
    /// reference (昨结 for flagged goods, 昨收 otherwise); for an earlier day, or in the
    /// history review, the day's reference price the trades carry, or the record's comparison
    /// price when they carry none.
    InfoTipRecord TipFor(int slot);

    /// Fetches new trades (or the history review's list) and rebuilds the series.
    void Refresh();

    // ---- the multi-goods view's hooks ----
    /// Binds the cell to another contract and rebuilds.
    void Bind(const GoodsKey& goods);
    const GoodsKey& Bound() const { return m_key; }
    /// Called when the keyboard wizard chose another contract for a bound cell.
    void SetOnRebound(std::function<void()> rebound) { m_onRebound = std::move(rebound); }
    /// The date and minute of the record under the cursor, when the cursor is on one.
    std::optional<std::pair<int, int>> CursorMoment();
    /// Puts the cursor on the record of `date` shown at `minute` (the latest not after it).
    void FollowCursor(int date, int minute);
    void SetCursorOn(bool on);
    /// Whether this view shows its data tip (the multi-goods view shows only one).
    void SetTipEnabled(bool enabled);

  private:
    CQeltRealView(ViewServices& services, ChinaClock clock, int argument, bool bound);
    void TakeCurrentGoods();
    void RefreshQuote();
    void Rebuild();
    /// Rebuilds the minute series when the series or the clock's minute changed.
    void EnsureMinuteSeries();
    std::string Title() const;
    IntradayLayout Layout(Size client) const { return LayoutIntraday(client, m_mode, m_flagged); }
    /// The chart frame of the (upper) chart for a client size.
    ChartFrame MainFrame(Size client);
    /// The chart under the cursor: its frame and whether it is the dynamic-board chart.
    std::optional<std::pair<ChartFrame, bool>> CursorChart(Size client);
    /// Everything but the cursor lines.
    void PaintCharts(Canvas& canvas, Size client, const DisplayScheme& scheme, const ChartStyle& style);
    void PaintCursor(Canvas& canvas, Size client, const ChartStyle& style);
    void UpdateTip();
    double TipReference(const TradePoint& record) const;
    void StepGoods(bool forward);
    void ChooseGoods(int digit);
    void MoveSectionRow(int delta);
    /// Selects the cell's contract as the current goods before leaving for another view.
    void SelectBoundGoods();

    ViewServices& m_services;
    ChinaClock m_clock;
    const bool m_bound;
    const int m_argument;
    int m_mode = kNormal;
    int m_days = 1;

    GoodsKey m_key;      ///< the contract on show
    CQeltGoods m_goods;  ///< the quote (no series, no trades)
    bool m_flagged = false;

    HeldTrades m_trades;
    std::vector<RowKey> m_rowKeys;            ///< beside the held trades, read once per trade
    std::vector<TradePoint> m_tableRows;      ///< mode 2: the past day's records
    std::vector<TradePoint> m_minuteRecords;  ///< flagged: one record per traded minute
    bool m_minutesDirty = true;
    ChinaTime m_minutesBuiltAt;
    IntradaySeries m_series;
    std::vector<std::int64_t> m_volumes;
    std::vector<DynamicPoint> m_dynamic;
    DynamicBoardPlacement m_placement;
    std::vector<std::int64_t> m_dynamicVolumes;

    bool m_cursorOn = false;
    Point m_cursor;
    int m_sectionRow = -1;
    bool m_tipEnabled = true;
    std::function<void()> m_onRebound;
};

}  // namespace qelt
