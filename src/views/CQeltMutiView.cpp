#include "views/CQeltMutiView.h"

#include <algorithm>
#include <cstdint>

#include "common/Commands.h"
#include "common/Messages.h"
#include "common/Numbers.h"
#include "common/Text.h"
#include "data/Categories.h"
#include "net/Requests.h"

namespace qelt {
namespace {

/// Floating windows of cell i get ids from (i + 1) × this on.
constexpr int kOverlayIdStep = 10000;

/// A contract is a goods in one delivery month: not an index record (quoted, never traded)
/// nor a goods without delivery months (丝绵, whose trades the intraday chart cannot divide).
bool IsContract(const GoodsSummary& g) {
    return !Trim(g.due_date).empty() &&
           std::find(kIndexNames.begin(), kIndexNames.end(), g.due_date) == kIndexNames.end();
}

/// The day's volume of a goods: continuous trading's for flagged goods (their sections' figure
/// repeats it), sections' and continuous trading's together for the others.
std::int64_t DayVolume(const CQeltGoods& g) {
    const std::int64_t continuous = LeadingInt64(g.all_num_d);
    return g.flagged ? continuous : LeadingInt64(g.all_num) + continuous;
}

/// The cells' contracts when the user chose none: the most traded of the day first; contracts
/// without trades after them (stopped ones last), in the store's order; other goods only when
/// there are too few contracts.
std::vector<GoodsKey> MostTraded(const ViewServices& services, const std::vector<GoodsSummary>& goods) {
    struct Candidate {
        GoodsKey key;
        bool other = false;  ///< not a contract
        bool stopped = false;
        std::int64_t volume = 0;
    };
    std::vector<Candidate> candidates;
    for (const GoodsSummary& g : goods) {
        Candidate c{g.Key(), !IsContract(g), g.state == "-1", 0};
        if (const std::optional<CQeltGoods> quote = services.GoodsQuote(c.key)) c.volume = DayVolume(*quote);
        candidates.push_back(std::move(c));
    }
    std::stable_sort(candidates.begin(), candidates.end(), [](const Candidate& a, const Candidate& b) {
        if (a.other != b.other) return !a.other;
        if (a.volume != b.volume) return a.volume > b.volume;
        return !a.stopped && b.stopped;
    });
    std::vector<GoodsKey> keys;
    for (std::size_t i = 0; i < candidates.size() && i < kMultiGoodsCells; ++i)
        keys.push_back(candidates[i].key);
    return keys;
}

}  // namespace

CQeltMutiView::CQeltMutiView(ViewServices& services, ChinaClock clock)
    : m_services(services), m_clock(clock ? std::move(clock) : ChinaClock(SystemChinaTime)) {
    for (std::size_t i = 0; i < kMultiGoodsCells; ++i)
        m_hosts[i] = std::make_unique<ChildViewHost>(*this, kOverlayIdStep * static_cast<int>(i + 1));
}

CQeltMutiView::~CQeltMutiView() {
    for (auto& cell : m_cells)
        if (cell) cell->Attach(NullViewHost());
}

std::array<Rect, kMultiGoodsCells> CQeltMutiView::CellPlaces(Size client) {
    const int w = client.cx;
    const int h = client.cy;
    return {Rect{0, 0, w / 2 - 1, h / 2}, Rect{w / 2 + 1, 0, w, h / 2}, Rect{0, h / 2, w / 2 - 1, h},
            Rect{w / 2 + 1, h / 2, w, h}};
}

void CQeltMutiView::OnInitialUpdate() {
    const MultiGoodsChoices choices = m_services.Settings().Views().MultiGoods();
    const std::vector<GoodsSummary> goods = m_services.MainSummaries();
    auto held = [&](const GoodsKey& key) {
        for (const GoodsSummary& g : goods)
            if (g.Key() == key) return true;
        return false;
    };
    const std::vector<GoodsKey> traded =
        goods.size() > 3 ? MostTraded(m_services, goods) : std::vector<GoodsKey>{};
    for (std::size_t i = 0; i < kMultiGoodsCells; ++i) {
        GoodsKey key;
        if (!choices[i].goodsNo.empty() && held(choices[i]))
            key = choices[i];
        else if (i < traded.size())
            key = traded[i];
        m_cells[i] = CQeltRealView::BoundCell(m_services, m_clock, key);
        m_cells[i]->Attach(*m_hosts[i]);
        m_cells[i]->SetOnRebound([this] {
            Remember();
            m_services.RefreshStandingRequests();
        });
    }
    OnSize(Host().ClientSize());
    for (auto& cell : m_cells) cell->OnInitialUpdate();
}

void CQeltMutiView::OnSize(Size client) {
    if (client.cx <= 0 || client.cy <= 0) return;  // nothing is laid out in an empty client
    const std::array<Rect, kMultiGoodsCells> places = CellPlaces(client);
    for (std::size_t i = 0; i < kMultiGoodsCells; ++i) {
        m_hosts[i]->SetPlace(places[i]);
        if (m_cells[i]) m_cells[i]->OnSize(m_hosts[i]->ClientSize());
    }
}

void CQeltMutiView::Paint(Canvas& canvas, Size client, const DisplayScheme& scheme) {
    PaintCells(canvas, client, scheme, false);
}

void CQeltMutiView::PaintForPrint(Canvas& canvas, Size client, const DisplayScheme& scheme) {
    PaintCells(canvas, client, scheme, true);
}

void CQeltMutiView::PaintCells(Canvas& canvas, Size client, const DisplayScheme& scheme, bool forPrint) {
    canvas.FillRect({0, 0, client.cx, client.cy}, scheme.background);
    canvas.SelectPen(m_services.Settings().Pens()[2]);
    canvas.MoveTo(client.cx / 2, 0);
    canvas.LineTo(client.cx / 2, client.cy);
    if (client.cx <= 0 || client.cy <= 0) return;
    OnSize(client);
    for (std::size_t i = 0; i < kMultiGoodsCells; ++i) {
        const Rect& place = m_hosts[i]->Place();
        if (!m_cells[i] || place.Width() <= 0 || place.Height() <= 0) continue;
        std::unique_ptr<MemoryBitmap> bitmap = canvas.CreateBitmap(place.Width(), place.Height());
        const Size size{place.Width(), place.Height()};
        if (forPrint)
            m_cells[i]->PaintForPrint(bitmap->GetCanvas(), size, scheme);
        else
            m_cells[i]->Paint(bitmap->GetCanvas(), size, scheme);
        canvas.DrawBitmap(*bitmap, place.left, place.top);
    }
}

int CQeltMutiView::CellAt(Point p) const {
    for (std::size_t i = 0; i < kMultiGoodsCells; ++i)
        if (m_hosts[i]->Place().Contains(p)) return static_cast<int>(i);
    return -1;
}

MouseInput CQeltMutiView::ForCell(int i, const MouseInput& mouse) const {
    MouseInput moved = mouse;
    moved.at = m_hosts[static_cast<std::size_t>(i)]->ToChild(mouse.at);
    return moved;
}

void CQeltMutiView::ShareCursor(int from) {
    CQeltRealView& source = *m_cells[static_cast<std::size_t>(from)];
    const std::optional<std::pair<int, int>> moment =
        source.CursorOn() ? source.CursorMoment() : std::nullopt;
    for (std::size_t i = 0; i < kMultiGoodsCells; ++i) {
        CQeltRealView& cell = *m_cells[i];
        const bool active = static_cast<int>(i) == from;
        cell.SetTipEnabled(active);
        if (active) continue;
        if (!source.CursorOn())
            cell.SetCursorOn(false);
        else if (moment)
            cell.FollowCursor(moment->first, moment->second);
    }
    Host().Invalidate();
}

void CQeltMutiView::OnMouseDown(const MouseInput& mouse) {
    const int i = CellAt(mouse.at);
    if (i < 0 || !m_cells[0]) return;
    m_active = i;
    m_cells[static_cast<std::size_t>(i)]->OnMouseDown(ForCell(i, mouse));
}

void CQeltMutiView::OnMouseMove(const MouseInput& mouse) {
    const int i = CellAt(mouse.at);
    if (i < 0 || !m_cells[0]) return;
    m_active = i;
    m_cells[static_cast<std::size_t>(i)]->OnMouseMove(ForCell(i, mouse));
    if (m_cells[static_cast<std::size_t>(i)]->CursorOn()) ShareCursor(i);
}

void CQeltMutiView::OnMouseUp(const MouseInput& mouse) {
    const int i = CellAt(mouse.at);
    if (i < 0 || !m_cells[0]) return;
    m_cells[static_cast<std::size_t>(i)]->OnMouseUp(ForCell(i, mouse));
}

void CQeltMutiView::OnDoubleClick(const MouseInput& mouse) {
    const int i = CellAt(mouse.at);
    if (i < 0 || !m_cells[0]) return;
    m_active = i;
    m_cells[static_cast<std::size_t>(i)]->OnDoubleClick(ForCell(i, mouse));
    ShareCursor(i);
}

void CQeltMutiView::OnWheel(bool towardsUser, Point at) {
    const int i = CellAt(at);
    if (i < 0 || !m_cells[0]) return;
    m_cells[static_cast<std::size_t>(i)]->OnWheel(towardsUser,
                                                  m_hosts[static_cast<std::size_t>(i)]->ToChild(at));
}

bool CQeltMutiView::OnKey(const KeyInput& key) {
    if (!m_cells[0]) return false;
    CQeltRealView& cell = *m_cells[static_cast<std::size_t>(m_active)];
    const bool used = cell.OnKey(key);
    if (key.key == ViewKey::Left || key.key == ViewKey::Right) ShareCursor(m_active);
    return used;
}

void CQeltMutiView::OnContextMenu(Point at) {
    const int i = CellAt(at);
    if (i < 0 || !m_cells[0]) return;
    m_active = i;
    const CQeltRealView& cell = *m_cells[static_cast<std::size_t>(i)];
    std::vector<MenuEntry> days;
    for (int n = 1; n <= 8; ++n)
        days.push_back(MenuEntry::Check(cmd::kDays1 + n - 1, "最近" + FormatInt(n) + "日", n == cell.Days()));
    PopupMenu menu;
    menu.title = "多股同列";
    menu.entries = {MenuEntry::Command(cmd::kChangeGoods, "更换商品"), MenuEntry::Separator(),
                    MenuEntry::Sub("天数", std::move(days))};
    if (const int chosen = Host().ShowPopupMenu(menu, at)) OnCommand(chosen);
}

std::optional<CommandState> CQeltMutiView::StateOf(int command) const {
    if (command == cmd::kChangeGoods) return CommandState{};
    if (!m_cells[0]) return std::nullopt;
    return m_cells[static_cast<std::size_t>(m_active)]->StateOf(command);
}

bool CQeltMutiView::OnCommand(int command) {
    if (!m_cells[0]) return false;
    const std::size_t i = static_cast<std::size_t>(m_active);
    if (command != cmd::kChangeGoods) return m_cells[i]->OnCommand(command);
    const int chosen = Host().RunKeyboardWizard("");
    if (chosen < 0) return true;
    for (const GoodsSummary& g : m_services.MainSummaries())
        if (g.position == chosen) ChangeGoods(i, g.Key());
    return true;
}

void CQeltMutiView::ChangeGoods(std::size_t i, const GoodsKey& key) {
    if (i >= kMultiGoodsCells || !m_cells[i]) return;
    m_cells[i]->Bind(key);
    Remember();
    m_services.RefreshStandingRequests();
    Host().Invalidate();
}

void CQeltMutiView::Remember() {
    // The four cells as they are now: a choice pins the default goods of the others too, so
    // the grid comes back as the user left it whatever the store's order.
    MultiGoodsChoices choices;
    for (std::size_t i = 0; i < kMultiGoodsCells; ++i)
        if (m_cells[i]) choices[i] = m_cells[i]->Bound();
    m_services.EditableViewSettings().SetMultiGoods(choices);  // a failed write is told once
}

void CQeltMutiView::OnNotify(unsigned message, std::intptr_t wParam) {
    if (!m_cells[0]) return;
    for (auto& cell : m_cells) cell->OnNotify(message, wParam);
    if (message != WM_NET_REAL) return;
    if (++m_notifications >= kResubscribeEvery) {
        m_notifications = 0;
        m_services.RefreshStandingRequests();
    }
}

std::optional<std::vector<std::string>> CQeltMutiView::StandingRequests() const {
    std::vector<std::string> requests;
    for (const auto& cell : m_cells)
        if (cell && cell->HasContract())
            requests.push_back(RealStandingRequest(m_services.Selection().dayQualifier, cell->Bound()));
    return requests;
}

}  // namespace qelt
