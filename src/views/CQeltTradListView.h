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
    static int RowsPerPage(Size client);
    static int ColumnWidth(Size client);

    /// The text of cell k (0..15) of row i.
    std::string Cell(std::size_t i, int k) const;

  private:
    void Sync();
    void MoveDayStart(std::size_t firstChanged);
    void StepGoods(bool forward);
    void ShowRowTip(std::size_t row, Point at);

    ViewServices& m_services;
    GoodsKey m_key;  ///< the contract whose trades are listed
    std::string m_name;
    HeldTrades m_trades;
    std::size_t m_dayStart = 0;
    int m_endRow = -1;
    bool m_follow = true;
    Size m_client;
};

}  // namespace qelt
