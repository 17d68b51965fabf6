#include "views/QuoteListView.h"

#include <algorithm>

#include "common/Numbers.h"
#include "views/ScrollCodes.h"

namespace qelt {
namespace {

constexpr const char* kUpArrow = "↑";
constexpr const char* kDownArrow = "↓";
constexpr std::array<const char*, 3> kSortTitles = {"商品名称", "价格", "涨幅"};
// Pseudo-category of the self-selected list and the codes its entries remember.
constexpr const char* kSelfSelected = "0000";
constexpr const char* kAllGoods = "0001";
constexpr const char* kContracts = "0005";
// A page step of the board's scroll bars, in rows or columns.
constexpr int kPageStep = 5;

bool EndsWith(std::string_view text, std::string_view tail) {
    return text.size() >= tail.size() && text.substr(text.size() - tail.size()) == tail;
}

}  // namespace

QuoteListView::QuoteListView(ListViewHost& host, BoardColours colours)
    : m_host(host), m_colours(colours) {
    m_scale = host.DisplayScale();
    if (!(m_scale > 0.0)) m_scale = 1.0;
    m_rowHeight = std::max(1, static_cast<int>(m_scale * 22));
    m_headerHeight = static_cast<int>(m_scale * 30);
    m_category = host.CurrentCategory();
}

QuoteListView::~QuoteListView() { m_host.StopPolling(); }

void QuoteListView::InitialUpdate() {
    m_category = m_host.CurrentCategory();
    RebuildRows();
    MakeSelectedCurrent();
    m_columns.Load(m_host.ProgramDirectory());
}

std::string QuoteListView::CategoryCode() const {
    const std::vector<std::string> codes = m_host.CategoryCodes();
    if (m_category < 0 || static_cast<size_t>(m_category) >= codes.size()) return {};
    return codes[static_cast<size_t>(m_category)];
}

void QuoteListView::RebuildRows() {
    m_goods = m_host.GoodsOfCategory(m_category);
    m_goodsCount = static_cast<int>(m_goods.size());
    m_rows.clear();
    m_rows.reserve(m_goods.size());
    for (const CQeltGoods& g : m_goods) m_rows.push_back(BuildBoardRow(g, m_host.IsFlagged(g.goods_no)));
    SortRows();
}

void QuoteListView::SortRows() {
    // Equal keys keep store order, as the board's sort maps always did.
    m_order.resize(m_rows.size());
    for (size_t i = 0; i < m_order.size(); ++i) m_order[i] = static_cast<int>(i);
    const size_t key = static_cast<size_t>(std::clamp(m_sortKey, 1, 3) - 1);
    std::stable_sort(m_order.begin(), m_order.end(), [&](int a, int b) {
        return m_rows[static_cast<size_t>(a)].keys[key] < m_rows[static_cast<size_t>(b)].keys[key];
    });
}

int QuoteListView::RowAt(int displayPos) const {
    const int n = static_cast<int>(m_order.size());
    if (displayPos < 0 || displayPos >= n) return -1;
    return m_order[static_cast<size_t>(m_reverse ? n - 1 - displayPos : displayPos)];
}

void QuoteListView::OnTabSelect(int index) {
    if (index < 0 || static_cast<size_t>(index) >= m_host.CategoryCodes().size()) return;
    m_category = index;
    m_host.SetCurrentCategory(index);
    RebuildRows();
    m_firstRow = 0;
    m_selectedRow = 1;
}

BoardLayout QuoteListView::OnSize(int width, int height) {
    BoardLayout layout;
    const int b = static_cast<int>(m_scale * 20);
    const int k = static_cast<int>(m_host.CategoryNames().size());
    layout.barThickness = b;
    layout.vScroll = {width - b, 0, width, height - b};
    const int tabsWidth = static_cast<int>(80 * k * m_scale) + 30;
    layout.tabs = {0, height - b, tabsWidth, height};
    layout.hScroll = {std::min(tabsWidth, width), height - b, width, height};
    m_clientWidth = width;
    m_rowsPerPage = std::max(0, (height - m_headerHeight - b) / m_rowHeight);
    return layout;
}

std::vector<std::pair<int, int>> QuoteListView::ShownSlots(int width) const {
    std::vector<std::pair<int, int>> shown;
    int right = 5;
    for (int slot = 1; slot <= kColumnSlots; ++slot) {
        if (slot > kFrozenSlots && slot - 4 < m_hOffset) continue;
        const int next = right + m_columns.Slot(slot).width;
        if (next > width - 25) break;
        right = next;
        shown.emplace_back(slot, right);
    }
    return shown;
}

void QuoteListView::Paint(Canvas& canvas, int width, int height) {
    PaintWith(canvas, width, height, m_rowsPerPage, m_colours.screen, true);
}

void QuoteListView::PaintForPrint(Canvas& canvas, int width, int height) {
    const int rows = (height + 60) / m_rowHeight;
    const std::array<Rect, 3> keep = m_sortRects;
    PaintWith(canvas, width + 60, height + 60, rows, m_colours.print, false);
    m_sortRects = keep;  // the header on screen is what the user clicks
}

void QuoteListView::PaintWith(Canvas& canvas, int width, int height, int rowsPerPage,
                              const BoardColourSet& colours, bool selectionLine) {
    canvas.FillRect({0, 0, width, height}, colours.background);
    canvas.SelectFont(Font{"宋体", 18, 400});
    canvas.SetTextAlign({HAlign::Right, VAlign::Top});
    canvas.SetBkMode(BkMode::Transparent);

    const std::vector<std::pair<int, int>> shown = ShownSlots(width);
    m_sortRects = {};
    canvas.SetTextColour(colours.header);
    for (const auto& [slot, right] : shown) {
        const Column& column = m_columns.Slot(slot);
        std::string title = column.title;
        for (size_t k = 0; k < kSortTitles.size(); ++k) {
            if (column.title != kSortTitles[k]) continue;
            m_sortRects[k] = {right - column.width, 0, right, m_headerHeight};
            if (static_cast<int>(k) + 1 == m_sortKey) title += m_reverse ? kDownArrow : kUpArrow;
        }
        canvas.TextOut(right, 5, title);
    }

    for (int i = 0; i < rowsPerPage; ++i) {
        const int displayPos = m_firstRow + i;
        const int row = RowAt(displayPos);
        if (row < 0) break;
        const int y = m_headerHeight + m_rowHeight * i;
        for (const auto& [slot, right] : shown) {
            const std::optional<Cell> cell =
                CellFor(m_columns.Slot(slot).title, m_rows[static_cast<size_t>(row)], displayPos, colours);
            if (!cell) continue;
            canvas.SetTextColour(cell->colour);
            canvas.TextOut(right, y, cell->text);
        }
    }

    if (selectionLine) {
        const int y = m_headerHeight + m_rowHeight * m_selectedRow - 2;
        canvas.SelectPen(Pen::Solid(2, kSelectionColour));
        canvas.MoveTo(0, y);
        canvas.LineTo(width - 20, y);
    }
}

bool QuoteListView::SelectAt(int y) {
    if (y < m_headerHeight) return false;
    const int selected = std::min((y - m_headerHeight) / m_rowHeight + 1, m_rowsPerPage);
    if (selected < 1 || RowAt(m_firstRow + selected - 1) < 0) return false;
    m_selectedRow = selected;
    return true;
}

const CQeltGoods* QuoteListView::SelectedGoods() const {
    const int row = RowAt(m_firstRow + m_selectedRow - 1);
    return row < 0 ? nullptr : &m_goods[static_cast<size_t>(row)];
}

void QuoteListView::MakeSelectedCurrent() {
    const CQeltGoods* goods = SelectedGoods();
    if (!goods) return;
    m_host.SetCurrentGoods(goods->position);
    m_host.ClearSpareText();
    if (CategoryCode() == kSelfSelected)
        m_host.SetSelfSelectedCategory(EndsWith(goods->name, "合约") ? kContracts : kAllGoods);
}

bool QuoteListView::OnLButtonDown(Point p) {
    if (p.y < m_headerHeight) {
        for (size_t k = 0; k < m_sortRects.size(); ++k) {
            if (!m_sortRects[k].Contains(p)) continue;
            const int key = static_cast<int>(k) + 1;
            if (key == m_sortKey)
                m_reverse = m_reverse ? 0 : 1;
            else
                m_sortKey = key;
            SortRows();
            return true;
        }
        return false;
    }
    if (!SelectAt(p.y)) return false;
    MakeSelectedCurrent();
    return true;
}

void QuoteListView::OnLButtonDblClk() {
    if (!SelectedGoods()) return;
    MakeSelectedCurrent();
    m_host.PostSwitchView(2, 0);
}

BoardPopup QuoteListView::OnRButtonDown(Point p) {
    BoardPopup popup;
    if (p.y < m_headerHeight) {
        for (const auto& [slot, right] : ShownSlots(m_clientWidth)) {
            if (p.x >= right) continue;
            m_clickedSlot = slot;
            popup.kind = BoardPopup::Kind::ColumnChooser;
            popup.at = p;
            popup.checkedTitle = m_columns.Slot(slot).title;
            return popup;
        }
        return popup;
    }
    if (!SelectAt(p.y)) return popup;
    MakeSelectedCurrent();
    const std::string code = CategoryCode();
    const int number = LeadingInt(code);
    if (code == kSelfSelected)
        popup.kind = BoardPopup::Kind::RemoveSelfSelected;
    else if (number > 10 || number == 1 || number == 5)
        popup.kind = BoardPopup::Kind::AddSelfSelected;
    popup.at = {p.x, p.y + 50};
    return popup;
}

bool QuoteListView::OnColumnCommand(int id) {
    const std::optional<std::string> title = TitleOfColumnCommand(id);
    if (!title || m_clickedSlot < 1) return false;
    m_columns.Choose(m_clickedSlot, *title);
    m_columns.Save(m_host.ProgramDirectory());
    return true;
}

bool QuoteListView::OnCommand(int id) {
    if (id != kCmdAddSelfSelected && id != kCmdRemoveSelfSelected) return false;
    const CQeltGoods* goods = SelectedGoods();
    if (!goods) return true;
    const std::string goodsNo = goods->goods_no;
    const std::string dueDate = goods->due_date;
    if (id == kCmdAddSelfSelected) {
        m_host.AddSelfSelected(goodsNo, dueDate, CategoryCode() == kContracts ? kContracts : kAllGoods);
        return true;
    }
    // An entry remembers the category it was added from, which the self-selected list
    // itself does not show: remove the contract whichever it was.
    m_host.RemoveSelfSelected(goodsNo, dueDate, kAllGoods);
    m_host.RemoveSelfSelected(goodsNo, dueDate, kContracts);
    RebuildRows();
    return true;
}

void QuoteListView::OnWheel(bool towardsUser) {
    if (towardsUser) {
        if (m_firstRow + m_selectedRow < static_cast<int>(m_rows.size())) {
            if (m_selectedRow < m_rowsPerPage)
                ++m_selectedRow;
            else
                ++m_firstRow;
        }
    } else if (m_selectedRow > 1) {
        --m_selectedRow;
    } else {
        m_firstRow = std::max(0, m_firstRow - 1);
        m_selectedRow = 1;
    }
    MakeSelectedCurrent();
}

void QuoteListView::OnHotKeyChosen(int goodsIndex) {
    if (goodsIndex < 0) return;
    m_host.SetCurrentGoods(goodsIndex);
    m_host.PostSwitchView(2, 0);
}

namespace {

int Scrolled(int value, int code, int position, int maximum) {
    switch (code) {
        case kSbLineUp: value -= 1; break;
        case kSbLineDown: value += 1; break;
        case kSbPageUp: value -= kPageStep; break;
        case kSbPageDown: value += kPageStep; break;
        case kSbThumbPosition:
        case kSbThumbTrack: value = position; break;
        case kSbTop: value = 0; break;
        case kSbBottom: value = maximum; break;
        default: break;
    }
    return std::clamp(value, 0, std::max(0, maximum));
}

}  // namespace

void QuoteListView::OnVScroll(int code, int position) {
    m_firstRow = Scrolled(m_firstRow, code, position, m_goodsCount);
}

void QuoteListView::OnHScroll(int code, int position) {
    m_hOffset = Scrolled(m_hOffset, code, position, kScrollableSlots);
}

void QuoteListView::OnNavKey(NavKey key) {
    switch (key) {
        case NavKey::Up: OnWheel(false); break;
        case NavKey::Down: OnWheel(true); break;
        case NavKey::PageUp: OnVScroll(kSbPageUp, 0); break;
        case NavKey::PageDown: OnVScroll(kSbPageDown, 0); break;
        case NavKey::Left: OnHScroll(kSbLineUp, 0); break;
        case NavKey::Right: OnHScroll(kSbLineDown, 0); break;
    }
}

}  // namespace qelt
