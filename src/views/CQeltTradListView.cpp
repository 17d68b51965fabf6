#include "views/CQeltTradListView.h"

#include <algorithm>

#include "common/Commands.h"
#include "common/Messages.h"
#include "common/Numbers.h"
#include "common/Text.h"
#include "views/ScrollCodes.h"
#include "views/StandingRequests.h"
#include "views/ViewKinds.h"
#include "views/controls/InfoTipPainter.h"
#include "views/intraday/TradePoint.h"

namespace qelt {
namespace {

constexpr int kTableTop = 30;
constexpr int kRowHeight = 22;
constexpr int kColumns = CQeltTradListView::kColumns;
/// A page step of the column scroll bar, in columns.
constexpr int kColumnPage = 5;
constexpr Colour kTitleColour = Rgb(255, 192, 192);
constexpr Colour kGrey = Rgb(192, 192, 192);
constexpr Colour kRowLine = Rgb(200, 30, 30);
constexpr int kRowTipId = 1023;

constexpr const char* kTitles[kColumns] = {
    "日  期",   "节  号",   "价 格",    "成交量",   "买  量", "卖  量", "净持仓量", "持仓变化",
    "购销总量", "购销变化", "动盘价格", "动盘成交", "申买价", "申卖价", "申买量",   "申卖量"};

bool Dynamic(const TradeRow& row) { return Trim(FieldOf(row, 10)).empty(); }

std::int64_t Number(const TradeRow& row, std::size_t field) { return LeadingInt64(FieldOf(row, field)); }

}  // namespace

CQeltTradListView::CQeltTradListView(ViewServices& services) : m_services(services) {}

void CQeltTradListView::OnInitialUpdate() {
    CQeltGoods goods = m_services.CurrentGoods();
    m_key = goods.Key();
    m_name = goods.name;
    m_trades.Adopt(std::move(goods.trades));
    MoveDayStart(0);
    m_services.PushHistory();
    Sync();
}

void CQeltTradListView::Sync() {
    if (!m_key.goodsNo.empty()) m_trades.Sync(m_services, m_key);
    MoveDayStart(m_trades.Replaced() ? 0 : m_trades.FirstNew());
}

void CQeltTradListView::MoveDayStart(std::size_t firstChanged) {
    const std::vector<TradeRow>& rows = m_trades.Rows();
    if (rows.empty()) {
        m_dayStart = 0;
        return;
    }
    // Rows before `firstChanged` are as before: only the new ones need a look.
    const std::string_view newest = FieldOf(rows.back(), 4);
    std::size_t i = rows.size() - 1;
    while (i > firstChanged && FieldOf(rows[i - 1], 4) == newest) --i;
    if (i > firstChanged || firstChanged == 0) {
        m_dayStart = i;
        return;
    }
    // Every new row is of the newest date: the day started before them when the row before
    // them is of that date too (the day start found before stands), else with them.
    if (FieldOf(rows[firstChanged - 1], 4) != newest) m_dayStart = firstChanged;
}

int CQeltTradListView::RowsPerPage(Size client) {
    const int bar = MaxColumnOffset(client) > 0 ? kScrollBarThickness : 0;
    return std::max(0, (client.cy - kTableTop - 30 - bar) / kRowHeight);
}

int CQeltTradListView::ColumnWidth(Size client) { return std::max(80, client.cx / kColumns); }

int CQeltTradListView::MaxColumnOffset(Size client) {
    const int w = ColumnWidth(client);
    const int scrollable = kColumns - kFrozenColumns;
    // At least one scrollable column is on show, however narrow the window.
    const int room = std::max(1, (client.cx - kFrozenColumns * w) / w);
    return std::max(0, scrollable - room);
}

std::vector<std::pair<int, int>> CQeltTradListView::ShownColumns(Size client) const {
    const int w = ColumnWidth(client);
    const int offset = std::clamp(m_columnOffset, 0, MaxColumnOffset(client));
    std::vector<std::pair<int, int>> shown;
    for (int k = 0; k < kColumns; ++k) {
        if (k >= kFrozenColumns && k < kFrozenColumns + offset) continue;
        const int place = static_cast<int>(shown.size());
        // The frozen columns always; the others while they fit whole.
        if (k >= kFrozenColumns && w * (place + 1) > client.cx) break;
        shown.emplace_back(k, 5 + w * place);
    }
    return shown;
}

TradeListScroll CQeltTradListView::HorizontalScroll(Size client) const {
    TradeListScroll scroll;
    scroll.maximum = MaxColumnOffset(client);
    scroll.position = std::clamp(m_columnOffset, 0, scroll.maximum);
    if (scroll.Shown()) scroll.bar = {0, std::max(0, client.cy - kScrollBarThickness), client.cx, client.cy};
    return scroll;
}

Size CQeltTradListView::KnownClient() const { return m_client.cx > 0 ? m_client : Host().ClientSize(); }

void CQeltTradListView::OnHScroll(int code, int position) {
    int offset = m_columnOffset;
    switch (code) {
        case kSbLineUp:
            --offset;
            break;
        case kSbLineDown:
            ++offset;
            break;
        case kSbPageUp:
            offset -= kColumnPage;
            break;
        case kSbPageDown:
            offset += kColumnPage;
            break;
        case kSbThumbPosition:
        case kSbThumbTrack:
            offset = position;
            break;
        case kSbTop:
            offset = 0;
            break;
        case kSbBottom:
            offset = kColumns;
            break;
        default:
            break;
    }
    m_columnOffset = std::clamp(offset, 0, MaxColumnOffset(KnownClient()));
}

TradeWindow CQeltTradListView::Window(Size client) {
    const int rows = RowsPerPage(client);
    const int count = static_cast<int>(m_trades.Rows().size());
    const int start = static_cast<int>(m_dayStart);
    if (m_endRow < start + rows) m_endRow = start + rows;
    if (m_endRow >= count || m_endRow < rows || m_follow) m_endRow = count;
    m_follow = m_endRow == count;
    return {std::max(m_endRow - rows, start), m_endRow};
}

std::string CQeltTradListView::Cell(std::size_t i, int k) const {
    const std::vector<TradeRow>& rows = m_trades.Rows();
    const TradeRow& row = rows[i];
    switch (k) {
        case 0:
            return std::string(FieldOf(row, 4));
        case 1:
            return Dynamic(row) ? std::string(FieldOf(row, 11)) : SectionText(LeadingInt(FieldOf(row, 0)));
        case 2:
            return FormatFixed2(LeadingDouble(FieldOf(row, 1)));
        case 3:
            return std::string(FieldOf(row, 3));
        case 4:
            return std::string(FieldOf(row, 5));
        case 5:
            return std::string(FieldOf(row, 6));
        case 6:
            return std::string(FieldOf(row, 8));
        // The trade before the day's first is the summary's P; before the first held, none.
        case 7:
            return FormatInt(Number(row, 8) - (i > 0 ? Number(rows[i - 1], 8) : 0));
        case 8:
            return std::string(FieldOf(row, 9));
        case 9:
            return FormatInt(i > 0 ? Number(row, 9) - Number(rows[i - 1], 9) : Number(row, 3));
        case 10:
            return std::string(FieldOf(row, 12));
        case 11:
            return std::string(FieldOf(row, 13));
        case 12:
            return std::string(FieldOf(row, 14));
        case 13:
            return std::string(FieldOf(row, 16));
        case 14:
            return std::string(FieldOf(row, 15));
        case 15:
            return std::string(FieldOf(row, 17));
        default:
            return {};
    }
}

void CQeltTradListView::Paint(Canvas& canvas, Size client, const DisplayScheme& scheme) {
    m_client = client;
    const CQeltCFG& settings = m_services.Settings();
    canvas.FillRect({0, 0, client.cx, client.cy}, scheme.background);
    canvas.SetBkMode(BkMode::Transparent);
    canvas.SetTextAlign({HAlign::Left, VAlign::Top});
    canvas.SelectFont(settings.Fonts()[3]);
    canvas.SetTextColour(kTitleColour);
    canvas.TextOut(10, 6, "商品名称：" + m_name + "\t\t(提示：↑向上滚动、↓向下滚动)");

    const int w = ColumnWidth(client);
    const std::vector<TradeRow>& rows = m_trades.Rows();
    canvas.SelectPen(settings.Pens()[2]);
    canvas.MoveTo(0, kTableTop + 25);
    canvas.LineTo(client.cx, kTableTop + 25);
    canvas.MoveTo(2 * w, kTableTop);
    canvas.LineTo(2 * w, client.cy);

    // A window made wider may show every column again: the offset follows.
    m_columnOffset = std::clamp(m_columnOffset, 0, MaxColumnOffset(client));
    const std::vector<std::pair<int, int>> columns = ShownColumns(client);
    canvas.SelectFont(settings.Fonts()[2]);
    canvas.SetTextColour(kGrey);
    for (const auto& [k, x] : columns) {
        const char* title = k == 1 && !rows.empty() && Dynamic(rows.front()) ? "动盘时间" : kTitles[k];
        canvas.TextOut(x, kTableTop + 3, title);
    }

    if (m_dayStart > 0) {
        const TradeRow& p = rows[m_dayStart - 1];
        canvas.SelectFont(settings.Fonts()[0]);
        canvas.TextOut(client.cx - 300, kTableTop - 17,
                       MonthDayText(DateOfRow(p)) + " 价格:" + FormatFixed2(LeadingDouble(FieldOf(p, 1))) +
                           "   净持仓量:" + std::string(FieldOf(p, 8)));
    }

    const TradeWindow window = Window(client);
    canvas.SelectFont(Font{});
    for (int n = 0; window.first + n < window.end && n < RowsPerPage(client); ++n) {
        const std::size_t i = static_cast<std::size_t>(window.first + n);
        const int y = kTableTop + 30 + kRowHeight * n;
        canvas.SetTextColour(kGrey);
        for (const auto& [k, x] : columns) canvas.TextOut(x, y, Cell(i, k));
        canvas.SelectPen(Pen::Solid(1, kRowLine));
        canvas.MoveTo(0, y + 20);
        canvas.LineTo(client.cx, y + 20);
    }
}

bool CQeltTradListView::OnKey(const KeyInput& key) {
    switch (key.key) {
        case ViewKey::Up:
            --m_endRow;
            m_follow = false;
            break;
        case ViewKey::Down:
            ++m_endRow;
            m_follow = false;
            break;
        case ViewKey::Left:
            OnHScroll(kSbLineUp, 0);
            break;
        case ViewKey::Right:
            OnHScroll(kSbLineDown, 0);
            break;
        case ViewKey::PageUp:
            StepGoods(false);
            break;
        case ViewKey::PageDown:
            StepGoods(true);
            break;
        case ViewKey::Enter:
            m_services.PostSwitchView(kViewIntraday, 0);
            break;
        case ViewKey::Escape:
            m_services.PostSwitchView(kViewQuoteList, 0);
            break;
        case ViewKey::Backspace:
            m_services.GoBack();
            m_services.PostSwitchView(kViewKLine, 0);
            break;
        case ViewKey::Digit: {
            const int chosen = Host().RunKeyboardWizard(
                std::string(1, static_cast<char>('0' + std::clamp(key.digit, 0, 9))));
            if (chosen >= 0) {
                m_services.SelectGoods(chosen);
                m_services.PostSwitchView(kViewTradeList, 0);
            }
            break;
        }
        default:
            return false;
    }
    Host().Invalidate();
    return true;
}

void CQeltTradListView::OnWheel(bool towardsUser, Point) { StepGoods(towardsUser); }

void CQeltTradListView::StepGoods(bool forward) {
    m_services.StepGoods(forward);
    m_services.PostSwitchView(kViewTradeList, 0);
}

std::optional<CommandState> CQeltTradListView::StateOf(int command) const {
    if (command == cmd::kNextGoods || command == cmd::kPrevGoods) return CommandState{};
    return std::nullopt;
}

bool CQeltTradListView::OnCommand(int command) {
    if (command != cmd::kNextGoods && command != cmd::kPrevGoods) return false;
    StepGoods(command == cmd::kNextGoods);
    return true;
}

void CQeltTradListView::OnNotify(unsigned message, std::intptr_t) {
    if (message != WM_NET_REAL) return;
    Sync();
    Host().Invalidate();
}

std::optional<std::vector<std::string>> CQeltTradListView::StandingRequests() const {
    if (m_key.goodsNo.empty()) return std::nullopt;
    return StandingRequestsFor(kViewTradeList, m_services.Selection().dayQualifier, m_key);
}

void CQeltTradListView::OnMouseDown(const MouseInput& mouse) {
    if (mouse.button != MouseButton::Left) return;
    const TradeWindow window = Window(KnownClient());
    const int n = (mouse.at.y - kTableTop - 30) / kRowHeight;
    if (mouse.at.y < kTableTop + 30 || window.first + n >= window.end) {
        Host().HideOverlay(kRowTipId);
        return;
    }
    ShowRowTip(static_cast<std::size_t>(window.first + n), mouse.at);
}

void CQeltTradListView::ShowRowTip(std::size_t i, Point at) {
    const TradeRow& row = m_trades.Rows()[i];
    InfoTipContent content;
    content.layout = 4;
    content.record.date = std::string(FieldOf(row, 4));
    content.record.section = Cell(i, 1);
    content.record.price = std::string(FieldOf(row, 1));
    content.record.reference = std::string(FieldOf(row, 2));
    content.record.volume = std::string(FieldOf(row, 3));
    content.record.positionChange = Cell(i, 7);
    const double dynamicPrice = LeadingDouble(FieldOf(row, 12));
    content.record.dynamicPrice = dynamicPrice < 0.00001 ? "--" : FormatFixed2(dynamicPrice);
    const Rect where{at.x + 16, at.y - kRecordTipSize.cy / 2, at.x + 16 + kRecordTipSize.cx,
                     at.y + kRecordTipSize.cy - kRecordTipSize.cy / 2};
    Host().ShowOverlay(
        kRowTipId, where,
        [content](Canvas& canvas, Size size) { PaintInfoTip(canvas, content, size.cx, size.cy); }, true);
}

}  // namespace qelt
