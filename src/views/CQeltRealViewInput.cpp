// The intraday view's keys, mouse, wheel and popup.
#include <algorithm>

#include "common/Commands.h"
#include "common/Numbers.h"
#include "views/CQeltRealView.h"
#include "views/ViewKinds.h"
#include "views/intraday/SectionTable.h"

namespace qelt {

bool CQeltRealView::OnKey(const KeyInput& key) {
    bool used = true;
    switch (key.key) {
        case ViewKey::PageDown:
            StepGoods(true);
            break;
        case ViewKey::PageUp:
            StepGoods(false);
            break;
        case ViewKey::Left:
        case ViewKey::Right:
            if (m_cursorOn) {
                const double width = MainFrame(Host().ClientSize()).slotWidth;
                const int step = std::max(1, static_cast<int>(width));
                m_cursor.x += key.key == ViewKey::Left ? -step : step;
                UpdateTip();
            }
            break;
        case ViewKey::Up:
            MoveSectionRow(-1);
            break;
        case ViewKey::Down:
            MoveSectionRow(1);
            break;
        case ViewKey::Enter:
            SelectBoundGoods();
            m_services.PostSwitchView(kViewKLine, 0);
            break;
        case ViewKey::Backspace:
            m_services.GoBack();
            m_services.PostSwitchView(kViewKLine, 0);
            break;
        case ViewKey::Escape:
            m_services.PostSwitchView(kViewQuoteList, 0);
            break;
        case ViewKey::Digit:
            ChooseGoods(key.digit);
            break;
        default:
            used = false;
            break;
    }
    Host().Invalidate();
    return used;
}

void CQeltRealView::MoveSectionRow(int delta) {
    if (delta < 0) {
        m_sectionRow = std::max(0, m_sectionRow - 1);
        return;
    }
    ++m_sectionRow;
    // Kept on a full page: moving down at the last page stays there.
    if (const std::optional<Rect> panel = Layout(Host().ClientSize()).panel;
        panel && m_mode == kHistoryReview)
        m_sectionRow = NormalisedSectionRow(m_sectionRow, static_cast<int>(m_tableRows.size()),
                                            SectionRowsPerPage(panel->Height()));
}

void CQeltRealView::ChooseGoods(int digit) {
    const int chosen =
        Host().RunKeyboardWizard(std::string(1, static_cast<char>('0' + std::clamp(digit, 0, 9))));
    if (chosen < 0) return;
    m_services.SelectGoods(chosen);
    if (m_mode != kChartOnly) {
        m_services.PostSwitchView(kViewIntraday, 0);
        return;
    }
    // Chart only: the view takes the contract at once.
    if (m_bound) {
        for (const GoodsSummary& s : m_services.MainSummaries()) {
            if (s.position != chosen) continue;
            Bind(s.Key());
            if (m_onRebound) m_onRebound();
            return;
        }
        return;
    }
    m_cursorOn = false;
    TakeCurrentGoods();
    Refresh();
    UpdateTip();
    m_services.RefreshStandingRequests();
}

void CQeltRealView::OnMouseMove(const MouseInput& mouse) {
    m_cursor = mouse.at;
    if (!m_cursorOn) return;
    UpdateTip();
    Host().Invalidate();
}

void CQeltRealView::OnDoubleClick(const MouseInput& mouse) {
    if (mouse.button != MouseButton::Left) return;
    m_cursor = mouse.at;
    SetCursorOn(!m_cursorOn);
    Host().Invalidate();
}

void CQeltRealView::OnWheel(bool towardsUser, Point) {
    if (m_mode == kHistoryReview) return;
    StepGoods(towardsUser);
}

void CQeltRealView::OnContextMenu(Point at) {
    PopupMenu menu;
    menu.title = "天数";
    for (int days = 1; days <= 8; ++days)
        menu.entries.push_back(
            MenuEntry::Check(cmd::kDays1 + days - 1, "最近" + FormatInt(days) + "日", days == m_days));
    if (const int chosen = Host().ShowPopupMenu(menu, at)) OnCommand(chosen);
}

}  // namespace qelt
