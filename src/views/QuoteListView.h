#pragma once
/// `CQeltListView`'s state and rules without a window: the quote board of one category with
/// its 24 column slots, frozen first three columns, sorting, selection, scrolling, column
/// chooser and self-selected commands. It is a view of the view contract; its Qt half only
/// adds the tab strip and the two skinned scroll bars around it.
///
/// Display position p (0 = top of the list) shows row order[p], or order[n - 1 - p] when the
/// order is reversed. The selected row is 1-based within the visible page.
#include <array>
#include <string>
#include <vector>

#include "gfx/Canvas.h"
#include "views/BoardColours.h"
#include "views/BoardRow.h"
#include "views/ColumnTable.h"
#include "views/View.h"
#include "views/ViewServices.h"

namespace qelt {

/// Where the child windows go for a client size (scroll bar thickness b = scale × 20).
struct BoardLayout {
    Rect vScroll;  ///< (w - b, 0) .. (w, h - b)
    Rect tabs;     ///< (0, h - b), 80 × categories × scale + 30 wide
    Rect hScroll;  ///< from the tab strip's right end to the right edge
    int barThickness = 20;
};

/// A popup the view asks its window to show at `at` (client coordinates).
struct BoardPopup {
    enum class Kind { None, ColumnChooser, AddSelfSelected, RemoveSelfSelected };
    Kind kind = Kind::None;
    Point at;
    std::string checkedTitle;  ///< column chooser: the clicked slot's title
};

/// Number of scrollable column slots (the horizontal scroll range).
inline constexpr int kScrollableSlots = kColumnSlots - kFrozenSlots;

class QuoteListView : public View {
  public:
    explicit QuoteListView(ViewServices& services);
    QuoteListView(const QuoteListView&) = delete;
    QuoteListView& operator=(const QuoteListView&) = delete;

    // ---- the view contract ----
    /// First show: reads head.ini (the columns; the sort too at the first board of the run),
    /// takes the application's current category and builds the rows. The first board of the
    /// run selects its first row and makes it current; a later one comes back where the last
    /// was left, on the current contract's row (scrolled into view), or on the first row,
    /// made current, when the category does not hold the current contract.
    void OnInitialUpdate() override;
    void OnSize(Size client) override { OnSize(client.cx, client.cy); }
    void Paint(Canvas& canvas, Size client, const DisplayScheme& scheme) override;
    bool OnKey(const KeyInput& key) override;
    void OnMouseDown(const MouseInput& mouse) override;
    void OnDoubleClick(const MouseInput& mouse) override;
    void OnWheel(bool towardsUser, Point) override { OnWheel(towardsUser); }
    void OnContextMenu(Point at) override;
    std::optional<CommandState> StateOf(int command) const override;
    /// 32892/32893 self-selected and the column commands 32845–32862, 32941–32946.
    bool OnCommand(int command) override;
    void OnNotify(unsigned message, std::intptr_t wParam) override;
    /// "list:".
    std::optional<std::vector<std::string>> StandingRequests() const override;
    bool CanPrint() const override { return true; }
    /// The printed board grows by 60 pixels each way.
    Size PrintSize(Size client) const override { return {client.cx + 60, client.cy + 60}; }
    /// For the printer: 60 more pixels each way, rows per page from the taller height, no
    /// selection line; the header's sort rectangles stay those of the screen.
    void PaintForPrint(Canvas& canvas, Size client, const DisplayScheme& scheme) override;
    bool CanExport(ExportKind) const override { return true; }
    std::optional<ExportDocument> Export(ExportKind kind) const override;

    // ---- the board's own handlers ----
    /// Rebuilds the rows from the store's goods of the current category (order kept by the
    /// current sort key and direction; scroll position and selection are kept).
    void RebuildRows();
    /// WM_NET_LIST: the store has a new goods list.
    void OnNetList() { RebuildRows(); }
    /// Tab 1125: category `index` becomes current here and in the application.
    void OnTabSelect(int index);

    /// WM_SIZE: recomputes rows per page (scrolling so the selected row stays in view) and
    /// the horizontal offset's limit, and returns the child windows' places.
    BoardLayout OnSize(int width, int height);

    /// Header: sort click; below: row selection. True when the board must repaint.
    bool OnLButtonDown(Point p);
    /// Makes the selected row's contract current and asks for the K-line view.
    void OnLButtonDblClk();
    void OnEnter() { OnLButtonDblClk(); }
    /// Header: the column chooser for the slot under the point; below: selects the row and
    /// asks for the self-selected popup, if the category allows one.
    BoardPopup OnRButtonDown(Point p);
    /// A "list head" choice for the slot of the last header right click; writes head.ini
    /// (a failed write is reported).
    bool OnColumnCommand(int id);
    /// Moves the selection one row down (towards the user) or up and makes it current.
    void OnWheel(bool towardsUser);
    /// The keyboard wizard chose `goodsIndex` (< 0: nothing chosen).
    void OnHotKeyChosen(int goodsIndex);
    void OnVScroll(int code, int position);
    void OnHScroll(int code, int position);
    /// Keyboard scrolling: up/down move the selection as the wheel does, page up/down scroll
    /// a page of the vertical bar, left/right a column of the horizontal bar.
    enum class NavKey { Up, Down, PageUp, PageDown, Left, Right };
    void OnNavKey(NavKey key);

    // ---- state ----
    const std::vector<BoardRow>& Rows() const { return m_rows; }
    /// Row numbers in ascending order of the current sort key.
    const std::vector<int>& DisplayOrder() const { return m_order; }
    /// Row index shown at display position `p`, or -1 outside the rows.
    int RowAt(int displayPos) const;
    /// The goods record copy of a row.
    const CQeltGoods& GoodsOfRow(int row) const { return m_goods[static_cast<size_t>(row)]; }
    const ColumnTable& Columns() const { return m_columns; }
    int GoodsCount() const { return m_goodsCount; }
    /// The first row, the selected row and the horizontal offset live in the application's
    /// selection: a board made again after another view comes back where this one was left.
    int FirstRow() const { return Place().firstRow; }
    int SelectedRow() const { return Place().selectedRow; }
    int RowsPerPage() const { return m_rowsPerPage; }
    int HorizontalOffset() const { return Place().hOffset; }
    /// The horizontal offset that brings the last column into view for the client width (the
    /// scroll stops there); every scrollable slot before the first layout.
    int MaxHorizontalOffset() const;
    /// The sort (key and direction) lives in the application's selection: it outlives the
    /// board.
    int SortKey() const { return m_services.Selection().boardSort.key; }
    bool Reversed() const { return m_services.Selection().boardSort.descending; }
    int Category() const { return m_category; }
    std::string CategoryCode() const;
    int RowHeight() const { return m_rowHeight; }
    int HeaderHeight() const { return m_headerHeight; }

  private:
    void SortRows();
    /// A sort click: the new sort for the run and for head.ini (a failed write is reported).
    void ChangeSort(int key);
    void PaintWith(Canvas& canvas, Size size, const DisplayScheme& scheme, int rowsPerPage,
                   bool selectionBand);
    BoardPlace& Place() { return m_services.Selection().boardPlace; }
    const BoardPlace& Place() const { return m_services.Selection().boardPlace; }
    /// Selects the current contract's row, scrolling it into view; false when no row shows it.
    bool PlaceOnCurrentGoods();
    /// Runs the popup the view asks for at a right click.
    void ShowPopup(const BoardPopup& popup);
    bool OnSelfSelectedCommand(int id);
    /// Slots shown for a client width, in drawing order, with their right edges.
    std::vector<std::pair<int, int>> ShownSlots(int width) const {
        return ShownSlots(width, HorizontalOffset());
    }
    std::vector<std::pair<int, int>> ShownSlots(int width, int hOffset) const;
    /// Selected row for a click at `y`; false when it lies outside the rows.
    bool SelectAt(int y);
    void MakeSelectedCurrent();
    const CQeltGoods* SelectedGoods() const;

    ViewServices& m_services;
    ColumnTable m_columns;
    double m_scale = 1.0;
    int m_goodsCount = 30;
    int m_rowsPerPage = 20;
    int m_rowHeight = 22;
    int m_headerHeight = 30;
    int m_clickedSlot = 0;
    int m_category = 0;
    int m_clientWidth = 0;
    std::array<Rect, 3> m_sortRects{};
    std::vector<CQeltGoods> m_goods;
    std::vector<BoardRow> m_rows;
    std::vector<int> m_order;
};

}  // namespace qelt
