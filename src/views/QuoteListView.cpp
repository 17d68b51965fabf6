#include "views/QuoteListView.h"

#include <algorithm>

#include "common/Commands.h"
#include "common/Messages.h"
#include "common/Numbers.h"
#include "net/Requests.h"
#include "views/BoardExport.h"
#include "views/ScrollCodes.h"
#include "views/ViewKinds.h"

namespace qelt {
namespace {

/// Every column but the row's number and the contract's names shows a quote.
bool IsQuoteColumn(const std::string& title) {
    return title != "编号" && title != "商品名称" && title != "交货月";
}

// A page step of the board's scroll bars, in rows or columns.
constexpr int kPageStep = 5;
/// Pixels kept free between a cell's text and the next column's.
constexpr int kCellGap = 4;

}  // namespace

QuoteListView::QuoteListView(ViewServices& services) : m_services(services) {
    m_scale = services.Settings().DisplayScale();
    if (!(m_scale > 0.0)) m_scale = 1.0;
    m_rowHeight = std::max(1, static_cast<int>(m_scale * 22));
    m_headerHeight = static_cast<int>(m_scale * 30);
    m_category = services.Selection().category;
}

void QuoteListView::OnInitialUpdate() {
    if (const std::optional<std::string>& text = m_services.Settings().Views().BoardColumns())
        m_columns.ParseHeadText(*text);
    BoardPlace& place = Place();
    BoardSort& sort = m_services.Selection().boardSort;
    // The file's sort is the run's until the user sorts: read once, at the first board.
    if (!place.shown && m_columns.Sort()) sort = *m_columns.Sort();
    m_columns.SetSort(sort);
    m_category = m_services.Selection().category;
    RebuildRows();
    if (!place.shown || !PlaceOnCurrentGoods()) {
        place.firstRow = 0;
        place.selectedRow = 1;
        MakeSelectedCurrent();
    }
    place.shown = true;
}

bool QuoteListView::PlaceOnCurrentGoods() {
    const int goods = m_services.Selection().goods;
    // The row left selected still shows the current contract: all is as it was.
    if (const CQeltGoods* selected = SelectedGoods(); selected && selected->position == goods) return true;
    BoardPlace& place = Place();
    const int rows = std::max(1, m_rowsPerPage);
    for (int p = 0; p < static_cast<int>(m_order.size()); ++p) {
        if (m_goods[static_cast<size_t>(RowAt(p))].position != goods) continue;
        if (p < place.firstRow)
            place.firstRow = p;
        else if (p >= place.firstRow + rows)
            place.firstRow = p - rows + 1;
        place.selectedRow = p - place.firstRow + 1;
        return true;
    }
    return false;
}

std::string QuoteListView::CategoryCode() const {
    const std::vector<std::string> codes = m_services.CategoryCodes();
    if (m_category < 0 || static_cast<size_t>(m_category) >= codes.size()) return {};
    return codes[static_cast<size_t>(m_category)];
}

void QuoteListView::RebuildRows() {
    m_goods = m_services.GoodsOfCategory(m_category);
    m_goodsCount = static_cast<int>(m_goods.size());
    m_rows.clear();
    m_rows.reserve(m_goods.size());
    for (const CQeltGoods& g : m_goods) m_rows.push_back(BuildBoardRow(g, m_services.IsFlagged(g.goods_no)));
    SortRows();
}

void QuoteListView::SortRows() {
    // Equal keys keep store order, as the board's sort maps always did.
    m_order.resize(m_rows.size());
    for (size_t i = 0; i < m_order.size(); ++i) m_order[i] = static_cast<int>(i);
    const size_t key = static_cast<size_t>(std::clamp(SortKey(), 1, 3) - 1);
    std::stable_sort(m_order.begin(), m_order.end(), [&](int a, int b) {
        return m_rows[static_cast<size_t>(a)].keys[key] < m_rows[static_cast<size_t>(b)].keys[key];
    });
}

int QuoteListView::RowAt(int displayPos) const {
    const int n = static_cast<int>(m_order.size());
    if (displayPos < 0 || displayPos >= n) return -1;
    return m_order[static_cast<size_t>(Reversed() ? n - 1 - displayPos : displayPos)];
}

void QuoteListView::OnTabSelect(int index) {
    if (index < 0 || static_cast<size_t>(index) >= m_services.CategoryCodes().size()) return;
    m_category = index;
    m_services.Selection().category = index;
    RebuildRows();
    Place().firstRow = 0;
    Place().selectedRow = 1;
}

BoardLayout QuoteListView::OnSize(int width, int height) {
    BoardLayout layout;
    const int b = static_cast<int>(m_scale * 20);
    const int k = static_cast<int>(m_services.CategoryNames().size());
    layout.barThickness = b;
    layout.vScroll = {width - b, 0, width, height - b};
    const int tabsWidth = static_cast<int>(80 * k * m_scale) + 30;
    layout.tabs = {0, height - b, tabsWidth, height};
    layout.hScroll = {std::min(tabsWidth, width), height - b, width, height};
    m_clientWidth = width;
    m_rowsPerPage = std::max(0, (height - m_headerHeight - b) / m_rowHeight);
    BoardPlace& place = Place();
    place.hOffset = std::min(place.hOffset, MaxHorizontalOffset());
    // A shorter window keeps the selected row on the page: the rows above it scroll away.
    if (m_rowsPerPage > 0 && place.selectedRow > m_rowsPerPage) {
        place.firstRow += place.selectedRow - m_rowsPerPage;
        place.selectedRow = m_rowsPerPage;
    }
    return layout;
}

int QuoteListView::MaxHorizontalOffset() const {
    if (m_clientWidth <= 0) return kScrollableSlots;
    for (int offset = 0; offset < kScrollableSlots; ++offset) {
        const std::vector<std::pair<int, int>> shown = ShownSlots(m_clientWidth, offset);
        if (!shown.empty() && shown.back().first == kColumnSlots) return offset;
    }
    return kScrollableSlots;
}

std::vector<std::pair<int, int>> QuoteListView::ShownSlots(int width, int hOffset) const {
    std::vector<std::pair<int, int>> shown;
    int right = 5;
    for (int slot = 1; slot <= kColumnSlots; ++slot) {
        if (slot > kFrozenSlots && slot - 4 < hOffset) continue;
        const int next = right + m_columns.Slot(slot).width;
        if (next > width - 25) break;
        right = next;
        shown.emplace_back(slot, right);
    }
    return shown;
}

void QuoteListView::Paint(Canvas& canvas, Size client, const DisplayScheme& scheme) {
    PaintWith(canvas, client, scheme, m_rowsPerPage, true);
}

void QuoteListView::PaintForPrint(Canvas& canvas, Size client, const DisplayScheme& scheme) {
    const int rows = (client.cy + 60) / m_rowHeight;
    const std::array<Rect, 3> keep = m_sortRects;
    PaintWith(canvas, PrintSize(client), scheme, rows, false);
    m_sortRects = keep;  // the header on screen is what the user clicks
}

void QuoteListView::PaintWith(Canvas& canvas, Size size, const DisplayScheme& scheme, int rowsPerPage,
                              bool selectionBand) {
    const int width = size.cx, height = size.cy;
    const BoardColourSet colours = BoardColoursOf(scheme);
    canvas.FillRect({0, 0, width, height}, colours.background);
    if (selectionBand && SelectedGoods()) {
        // The band spans the row's text and ends where the selection was once underlined.
        const int top = m_headerHeight + m_rowHeight * (Place().selectedRow - 1) - 2;
        canvas.FillRect({0, top, width - 20, top + m_rowHeight}, colours.selection);
    }
    canvas.SelectFont(Font{"宋体", 18, 400});
    canvas.SetTextAlign({HAlign::Right, VAlign::Top});
    canvas.SetBkMode(BkMode::Transparent);

    const std::vector<std::pair<int, int>> shown = ShownSlots(width);
    const bool stale = m_services.QuotesStale();
    m_sortRects = {};
    canvas.SetTextColour(colours.header);
    for (const auto& [slot, right] : shown) {
        const Column& column = m_columns.Slot(slot);
        std::string title = column.title;
        for (size_t k = 0; k < kSortTitles.size(); ++k) {
            if (column.title != kSortTitles[k]) continue;
            m_sortRects[k] = {right - column.width, 0, right, m_headerHeight};
            if (static_cast<int>(k) + 1 == SortKey()) title += Reversed() ? kDownArrow : kUpArrow;
        }
        canvas.TextOutWithin(right, 5, title, column.width - kCellGap);
    }

    for (int i = 0; i < rowsPerPage; ++i) {
        const int displayPos = Place().firstRow + i;
        const int row = RowAt(displayPos);
        if (row < 0) break;
        const int y = m_headerHeight + m_rowHeight * i;
        for (const auto& [slot, right] : shown) {
            const std::optional<Cell> cell =
                CellFor(m_columns.Slot(slot).title, m_rows[static_cast<size_t>(row)], displayPos, colours);
            if (!cell) continue;
            canvas.SetTextColour(stale && IsQuoteColumn(m_columns.Slot(slot).title) ? kStaleColour
                                                                                    : cell->colour);
            // A six-digit price or a long volume comes out smaller rather than run into the
            // next column.
            canvas.TextOutWithin(right, y, cell->text, m_columns.Slot(slot).width - kCellGap);
        }
    }
}

bool QuoteListView::SelectAt(int y) {
    if (y < m_headerHeight) return false;
    const int selected = std::min((y - m_headerHeight) / m_rowHeight + 1, m_rowsPerPage);
    if (selected < 1 || RowAt(Place().firstRow + selected - 1) < 0) return false;
    Place().selectedRow = selected;
    return true;
}

const CQeltGoods* QuoteListView::SelectedGoods() const {
    const int row = RowAt(Place().firstRow + Place().selectedRow - 1);
    return row < 0 ? nullptr : &m_goods[static_cast<size_t>(row)];
}

void QuoteListView::MakeSelectedCurrent() {
    const CQeltGoods* goods = SelectedGoods();
    if (!goods) return;
    m_services.SelectGoods(goods->position);
    if (CategoryCode() == kSelfSelectedCode)
        m_services.Selection().selfSelectedCategory =
            goods->name.ends_with("合约") ? kContractCode : kAllGoodsCode;
}

bool QuoteListView::OnLButtonDown(Point p) {
    if (p.y < m_headerHeight) {
        for (size_t k = 0; k < m_sortRects.size(); ++k) {
            if (!m_sortRects[k].Contains(p)) continue;
            ChangeSort(static_cast<int>(k) + 1);
            return true;
        }
        return false;
    }
    if (!SelectAt(p.y)) return false;
    MakeSelectedCurrent();
    return true;
}

void QuoteListView::ChangeSort(int key) {
    BoardSort& sort = m_services.Selection().boardSort;
    if (key == sort.key)
        sort.descending = !sort.descending;
    else
        sort.key = key;
    SortRows();
    m_columns.SetSort(sort);
    // The next run starts with this order; held by the settings for the run, a head.ini that
    // cannot be written is told once.
    m_services.EditableViewSettings().SetBoardColumns(m_columns.HeadText());
}

void QuoteListView::OnLButtonDblClk() {
    if (!SelectedGoods()) return;
    MakeSelectedCurrent();
    m_services.PostSwitchView(kViewKLine, 0);
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
    if (code == kSelfSelectedCode)
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
    // Held by the settings for the run; a head.ini that cannot be written is told once.
    m_services.EditableViewSettings().SetBoardColumns(m_columns.HeadText());
    return true;
}

bool QuoteListView::OnSelfSelectedCommand(int id) {
    if (id != cmd::kAddSelfSelected && id != cmd::kRemoveSelfSelected) return false;
    const CQeltGoods* goods = SelectedGoods();
    if (!goods) return true;
    const GoodsKey key = goods->Key();
    const std::string allGoods(kAllGoodsCode);
    const std::string contracts(kContractCode);
    if (id == cmd::kAddSelfSelected) {
        m_services.AddSelfSelected(key, CategoryCode() == kContractCode ? contracts : allGoods);
        return true;
    }
    m_services.RemoveFromSelfSelected(key);
    RebuildRows();
    return true;
}

bool QuoteListView::OnCommand(int command) {
    if (OnSelfSelectedCommand(command) || OnColumnCommand(command)) {
        Host().Invalidate();
        return true;
    }
    return false;
}

std::optional<CommandState> QuoteListView::StateOf(int command) const {
    if (command == cmd::kAddSelfSelected || command == cmd::kRemoveSelfSelected ||
        TitleOfColumnCommand(command))
        return CommandState{};
    return std::nullopt;
}

void QuoteListView::OnWheel(bool towardsUser) {
    BoardPlace& place = Place();
    if (towardsUser) {
        if (place.firstRow + place.selectedRow < static_cast<int>(m_rows.size())) {
            if (place.selectedRow < m_rowsPerPage)
                ++place.selectedRow;
            else
                ++place.firstRow;
        }
    } else if (place.selectedRow > 1) {
        --place.selectedRow;
    } else {
        place.firstRow = std::max(0, place.firstRow - 1);
        place.selectedRow = 1;
    }
    MakeSelectedCurrent();
}

void QuoteListView::OnHotKeyChosen(int goodsIndex) {
    if (goodsIndex < 0) return;
    m_services.SelectGoods(goodsIndex);
    m_services.PostSwitchView(kViewKLine, 0);
}

namespace {

int Scrolled(int value, int code, int position, int maximum) {
    switch (code) {
        case kSbLineUp:
            value -= 1;
            break;
        case kSbLineDown:
            value += 1;
            break;
        case kSbPageUp:
            value -= kPageStep;
            break;
        case kSbPageDown:
            value += kPageStep;
            break;
        case kSbThumbPosition:
        case kSbThumbTrack:
            value = position;
            break;
        case kSbTop:
            value = 0;
            break;
        case kSbBottom:
            value = maximum;
            break;
        default:
            break;
    }
    return std::clamp(value, 0, std::max(0, maximum));
}

}  // namespace

void QuoteListView::OnVScroll(int code, int position) {
    Place().firstRow = Scrolled(Place().firstRow, code, position, m_goodsCount);
}

void QuoteListView::OnHScroll(int code, int position) {
    Place().hOffset = Scrolled(Place().hOffset, code, position, MaxHorizontalOffset());
}

void QuoteListView::OnNavKey(NavKey key) {
    switch (key) {
        case NavKey::Up:
            OnWheel(false);
            break;
        case NavKey::Down:
            OnWheel(true);
            break;
        case NavKey::PageUp:
            OnVScroll(kSbPageUp, 0);
            break;
        case NavKey::PageDown:
            OnVScroll(kSbPageDown, 0);
            break;
        case NavKey::Left:
            OnHScroll(kSbLineUp, 0);
            break;
        case NavKey::Right:
            OnHScroll(kSbLineDown, 0);
            break;
    }
}

// ---- the view contract ----

bool QuoteListView::OnKey(const KeyInput& key) {
    switch (key.key) {
        case ViewKey::Enter:
            OnEnter();
            return true;
        case ViewKey::Digit:
            OnHotKeyChosen(Host().RunKeyboardWizard(std::string(1, static_cast<char>('0' + key.digit))));
            Host().Invalidate();
            return true;
        case ViewKey::Up:
            OnNavKey(NavKey::Up);
            break;
        case ViewKey::Down:
            OnNavKey(NavKey::Down);
            break;
        case ViewKey::PageUp:
            OnNavKey(NavKey::PageUp);
            break;
        case ViewKey::PageDown:
            OnNavKey(NavKey::PageDown);
            break;
        case ViewKey::Left:
            OnNavKey(NavKey::Left);
            break;
        case ViewKey::Right:
            OnNavKey(NavKey::Right);
            break;
        default:
            return false;
    }
    Host().Invalidate();
    return true;
}

void QuoteListView::OnMouseDown(const MouseInput& mouse) {
    if (mouse.button == MouseButton::Left && OnLButtonDown(mouse.at)) Host().Invalidate();
}

void QuoteListView::OnDoubleClick(const MouseInput& mouse) {
    if (mouse.button == MouseButton::Left) OnLButtonDblClk();
}

void QuoteListView::OnContextMenu(Point at) {
    const BoardPopup popup = OnRButtonDown(at);
    Host().Invalidate();
    ShowPopup(popup);
}

void QuoteListView::ShowPopup(const BoardPopup& popup) {
    if (popup.kind == BoardPopup::Kind::None) return;
    PopupMenu menu;
    if (popup.kind == BoardPopup::Kind::ColumnChooser) {
        menu.title = "list head";
        for (const ColumnCommand& c : kColumnCommands)
            menu.entries.push_back(MenuEntry::Check(c.id, c.label, popup.checkedTitle == c.title));
    } else {
        menu.title = "自定义";
        const bool add = popup.kind == BoardPopup::Kind::AddSelfSelected;
        menu.entries.push_back(add ? MenuEntry::Command(cmd::kAddSelfSelected, "添加到自选")
                                   : MenuEntry::Command(cmd::kRemoveSelfSelected, "从自选删除"));
    }
    if (const int chosen = Host().ShowPopupMenu(menu, popup.at)) OnCommand(chosen);
}

void QuoteListView::OnNotify(unsigned message, std::intptr_t) {
    if (message != WM_NET_LIST) return;
    OnNetList();
    Host().Invalidate();
}

std::optional<std::vector<std::string>> QuoteListView::StandingRequests() const {
    return std::vector<std::string>{ListRequest()};
}

std::optional<ExportDocument> QuoteListView::Export(ExportKind kind) const {
    return ExportDocument{SaveRequestFor(kind), BoardExportText(kind, m_rows)};
}

}  // namespace qelt
