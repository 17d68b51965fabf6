#pragma once
/// `CQeltTradListView`, the trade detail list ("成交明细"): the current contract's trades of its
/// latest trading day, one row each, newest at the bottom, following new trades until the user
/// scrolls back. The latest trade of an earlier day shows only in the summary line.
///
/// The window over the rows (S the day's first row, R rows a page, n rows held): the end row
/// (one past the last row shown) is raised to S + R when below it; set to n when it reaches n,
/// is below R, or the list follows; the list follows exactly when the end row is n; the first
/// row shown is max(end - R, S). A repaint costs the rows on the page, whatever is held: the
/// day start moves only when trades arrive.
///
/// Sixteen columns of w = client width / 16, at least 80 pixels: a client narrower than 16 × 80
/// cannot show them all. Then the first two (date and section) stay at the left and the other
/// fourteen scroll sideways, by Left and Right or the scroll bar along the bottom, as far as the
/// last column and no further.
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "views/HeldTrades.h"
#include "views/View.h"
#include "views/ViewServices.h"

namespace qelt {

/// The rows the list shows: [first, end).
struct TradeWindow {
    int first = 0;
    int end = 0;
};

/// The horizontal scroll bar of the columns: its place along the bottom of the client, its
/// range (0 .. maximum columns scrolled) and position. No bar when every column fits.
struct TradeListScroll {
    Rect bar;
    int maximum = 0;
    int position = 0;
    bool Shown() const { return maximum > 0; }
};

class CQeltTradListView : public View {
  public:
    explicit CQeltTradListView(ViewServices& services);

    // ---- the view contract ----
    /// First show: the application's current goods becomes the contract for good; appends to
    /// the navigation history.
    void OnInitialUpdate() override;
    void Paint(Canvas& canvas, Size client, const DisplayScheme& scheme) override;
    bool OnKey(const KeyInput& key) override;
    void OnWheel(bool towardsUser, Point at) override;
    /// A click on a row shows that trade in a record tip (`CInfoTip` layout 4); elsewhere hides it.
    void OnMouseDown(const MouseInput& mouse) override;
    std::optional<CommandState> StateOf(int command) const override;
    /// 32817 / 32818: the previous / next goods.
    bool OnCommand(int command) override;
    /// WM_NET_REAL: the new trades are fetched and the list repaints.
    void OnNotify(unsigned message, std::intptr_t wParam) override;
    /// The contract's standing "real" request.
    std::optional<std::vector<std::string>> StandingRequests() const override;

    // ---- state ----
    /// Applies the window rule for a client size (as painting does) and returns the rows shown.
    TradeWindow Window(Size client);
    int EndRow() const { return m_endRow; }
    bool Following() const { return m_follow; }
    /// The first row of the latest day.
    std::size_t DayStart() const { return m_dayStart; }
    const std::vector<TradeRow>& Rows() const { return m_trades.Rows(); }
    /// Rows a page: the table from y 30 less its 30-pixel header, less the scroll bar when
    /// the columns do not fit.
    static int RowsPerPage(Size client);
    static int ColumnWidth(Size client);
    static constexpr int kColumns = 16;
    static constexpr int kFrozenColumns = 2;
    static constexpr int kScrollBarThickness = 20;
    /// How far the columns can scroll: 0 when all sixteen fit.
    static int MaxColumnOffset(Size client);
    /// The columns shown, in drawing order, with the left edge of each.
    std::vector<std::pair<int, int>> ShownColumns(Size client) const;
    int ColumnOffset() const { return m_columnOffset; }
    TradeListScroll HorizontalScroll(Size client) const;
    /// WM_HSCROLL from the bar: line, page, thumb; kept between 0 and the last column's offset.
    void OnHScroll(int code, int position);

    /// The text of cell k (0..15) of row i.
    std::string Cell(std::size_t i, int k) const;

  private:
    void Sync();
    void MoveDayStart(std::size_t firstChanged);
    void StepGoods(bool forward);
    void ShowRowTip(std::size_t row, Point at);
    Size KnownClient() const;

    ViewServices& m_services;
    GoodsKey m_key;  ///< the contract whose trades are listed
    std::string m_name;
    HeldTrades m_trades;
    std::size_t m_dayStart = 0;
    int m_endRow = -1;
    bool m_follow = true;
    int m_columnOffset = 0;  ///< scrollable columns hidden at the left
    Size m_client;
};

}  // namespace qelt
