#pragma once
/// `CQeltMutiView`, the multi-goods view ("多股同列"): four chart-only intraday views in a 2 × 2
/// grid (top-left, top-right, bottom-left, bottom-right), each bound to a contract of its own,
/// and the standing requests that keep the server sending all four contracts' trades.
///
/// The cells show the contracts remembered in mutiview.ini (chosen with "更换商品" in a
/// cell's popup or by typing a goods number in it), otherwise the day's most traded contracts
/// of the store's main list, the most traded top-left; with three goods or fewer a cell
/// without a remembered choice stays empty.
/// The four cells share one cursor: with the cursor on, moving it in one cell puts the other
/// three on the same minute (only the cell under the pointer shows its data tip).
///
/// Each cell paints into a bitmap of its own, copied into place; input goes to the cell under
/// the pointer with the cell's offset, keys to the cell the pointer was in last.
#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/ChinaClock.h"
#include "data/settings/MultiGoodsFile.h"
#include "views/CQeltRealView.h"
#include "views/ChildViewHost.h"
#include "views/View.h"
#include "views/ViewServices.h"

namespace qelt {

/// Every 400th trade notification sends the four subscriptions again.
inline constexpr int kResubscribeEvery = 400;

class CQeltMutiView : public View {
  public:
    explicit CQeltMutiView(ViewServices& services, ChinaClock clock = SystemChinaTime);
    ~CQeltMutiView() override;
    CQeltMutiView(const CQeltMutiView&) = delete;
    CQeltMutiView& operator=(const CQeltMutiView&) = delete;

    /// The cells' places for a client size: (0, 0, w/2 - 1, h/2), (w/2 + 1, 0, w, h/2),
    /// (0, h/2, w/2 - 1, h), (w/2 + 1, h/2, w, h); the separator line at x = w/2.
    static std::array<Rect, kMultiGoodsCells> CellPlaces(Size client);

    // ---- the view contract ----
    /// Binds the cells, runs their first show.
    void OnInitialUpdate() override;
    void OnSize(Size client) override;
    void Paint(Canvas& canvas, Size client, const DisplayScheme& scheme) override;
    bool OnKey(const KeyInput& key) override;
    void OnMouseDown(const MouseInput& mouse) override;
    void OnMouseMove(const MouseInput& mouse) override;
    void OnMouseUp(const MouseInput& mouse) override;
    void OnDoubleClick(const MouseInput& mouse) override;
    void OnWheel(bool towardsUser, Point at) override;
    /// "更换商品" and the cell's "天数".
    void OnContextMenu(Point at) override;
    std::optional<CommandState> StateOf(int command) const override;
    bool OnCommand(int command) override;
    /// WM_NET_REAL: every cell rebuilds; every 400th subscribes again.
    void OnNotify(unsigned message, std::intptr_t wParam) override;
    /// One "real:%s:%s:%s:1:" per cell that shows a contract, in cell order.
    std::optional<std::vector<std::string>> StandingRequests() const override;
    bool CanPrint() const override { return true; }
    /// Each cell as it prints (without its cursor).
    void PaintForPrint(Canvas& canvas, Size client, const DisplayScheme& scheme) override;

    // ---- state ----
    CQeltRealView& Cell(std::size_t i) { return *m_cells[i]; }
    int ActiveCell() const { return m_active; }
    int Notifications() const { return m_notifications; }
    /// Binds cell `i` to `key`, remembers the four cells' contracts and subscribes again.
    void ChangeGoods(std::size_t i, const GoodsKey& key);

  private:
    void PaintCells(Canvas& canvas, Size client, const DisplayScheme& scheme, bool forPrint);
    /// The cell whose place holds `p`, -1 in the gap.
    int CellAt(Point p) const;
    MouseInput ForCell(int i, const MouseInput& mouse) const;
    /// After input in cell `from`: the other cells follow its cursor.
    void ShareCursor(int from);
    /// Writes the cells' contracts to mutiview.ini (a failed write is reported).
    void Remember();

    ViewServices& m_services;
    ChinaClock m_clock;
    std::array<std::unique_ptr<ChildViewHost>, kMultiGoodsCells> m_hosts;
    std::array<std::unique_ptr<CQeltRealView>, kMultiGoodsCells> m_cells;
    int m_active = 0;
    int m_notifications = 0;
};

}  // namespace qelt
