// CQeltKLineView: keys, mouse and wheel.
#include <algorithm>

#include "chart/KLineLayout.h"
#include "chart/WindowNavigation.h"
#include "common/Numbers.h"
#include "views/CQeltKLineView.h"
#include "views/ViewKinds.h"
#include "views/kline/KLineMenu.h"

namespace qelt {

// ---- zoom and the cursor keys ----

void CQeltKLineView::ZoomIn() {
    qelt::ZoomIn(m_window, static_cast<int>(m_bars.size()));
    Host().Invalidate();
}

void CQeltKLineView::ZoomOut() {
    qelt::ZoomOut(m_window, static_cast<int>(m_bars.size()));
    Host().Invalidate();
}

void CQeltKLineView::ShowBars(int visibleCount, int lastVisible) {
    const int n = static_cast<int>(m_bars.size());
    m_window.visibleCount = std::clamp(visibleCount, 0, n);
    m_window.lastVisible = std::clamp(lastVisible, m_window.visibleCount - 1, n - 1);
    Host().Invalidate();
}

void CQeltKLineView::ShowCursorAt(int bar) {
    const int n = static_cast<int>(m_bars.size());
    if (bar < 0 || bar >= n) return;
    const int first = m_window.lastVisible - m_window.visibleCount + 1;
    // Out of sight: the bar comes to the middle of the window.
    if (bar < first || bar > m_window.lastVisible)
        ShowBars(m_window.visibleCount, bar + m_window.visibleCount / 2);
    m_window.cursor = bar;
    m_cursorMode = true;
    m_cursorToPlace = true;
    Host().Invalidate();
}

void CQeltKLineView::CursorBack() {
    m_cursorMode = true;
    qelt::CursorBack(m_window, static_cast<int>(m_bars.size()));
    FollowCursorBar();
    Host().Invalidate();
}

void CQeltKLineView::CursorForward() {
    m_cursorMode = true;
    qelt::CursorForward(m_window, static_cast<int>(m_bars.size()));
    FollowCursorBar();
    Host().Invalidate();
}

void CQeltKLineView::FollowCursorBar() {
    const int cursor = m_window.cursor;
    if (cursor < 0 || static_cast<std::size_t>(cursor) >= m_bars.size()) return;
    // The slot of the cursor bar in the window as it now is, the row of its close on the
    // scale of the last paint.
    const float w = m_geometry.barWidth;
    const float slot = static_cast<float>(m_window.visibleCount - m_window.lastVisible + cursor - 1);
    m_pointer.x = static_cast<int>(slot * w + w / 2);
    m_pointer.y = m_geometry.PriceToY(static_cast<float>(m_bars[static_cast<std::size_t>(cursor)].Close()));
    Host().MovePointer(m_pointer);
}

// ---- keys ----

bool CQeltKLineView::OnKey(const KeyInput& key) {
    // Escape takes back a line being drawn before it leaves the chart; Ctrl+Z and Ctrl+Y.
    if (m_layer && OfferToLayer(m_layer->OnKey(key)) != LayerAnswer::Ignored) {
        Host().Invalidate();
        return true;
    }
    const bool any = !m_bars.empty();
    switch (key.key) {
        case ViewKey::Backspace:
            m_services.GoBack();
            m_services.PostSwitchView(kViewKLine, 0);
            return true;
        case ViewKey::Enter:
            m_services.PostSwitchView(kViewIntraday, 0);
            return true;
        case ViewKey::Escape:
            m_services.PostSwitchView(kViewQuoteList, 0);
            return true;
        case ViewKey::PageUp:
            StepGoods(false);
            return true;
        case ViewKey::PageDown:
            StepGoods(true);
            return true;
        case ViewKey::Left:
            if (any) CursorBack();
            return true;
        case ViewKey::Right:
            if (any) CursorForward();
            return true;
        case ViewKey::Up:
            if (any) ZoomIn();
            return true;
        case ViewKey::Down:
            if (any) ZoomOut();
            return true;
        case ViewKey::F8:
            StepPeriod(!key.shift);
            return true;
        case ViewKey::Digit: {
            if (key.digit < 0 || key.digit > 9) return false;
            const int chosen = Host().RunKeyboardWizard(std::string(1, static_cast<char>('0' + key.digit)));
            if (chosen >= 0) {
                m_services.SelectGoods(chosen);
                m_services.PostSwitchView(kViewKLine, 0);
            }
            return true;
        }
        default:
            return false;
    }
}

// ---- mouse ----

bool CQeltKLineView::InMainPane(Point at) const {
    return !m_panes.empty() && at.y >= m_panes[0].top && at.y < m_panes[0].bottom &&
           at.x >= m_panes[0].left && at.x < m_panes[0].right;
}

LayerAnswer CQeltKLineView::OfferToLayer(LayerAnswer answer) {
    if (answer == LayerAnswer::ChartChanged) InvalidateChart();
    return answer;
}

void CQeltKLineView::OnMouseMove(const MouseInput& mouse) {
    if (mouse.at != m_pointer) m_barTipHeldBack = false;
    m_pointer = mouse.at;
    if (m_geometry.Valid()) m_window.cursor = m_geometry.CursorBarAtX(mouse.at.x);
    if (m_dragging) {
        DragBorder(m_panes, m_hoverBorder, mouse.at.y);
    } else if (!m_panes.empty() && mouse.at.x < m_panes[0].right) {
        m_hoverBorder = BorderAt(m_panes, mouse.at);
        Host().SetCursorShape(m_hoverBorder > 0 ? CursorShape::SizeVertical : CursorShape::Arrow);
        // Pane 0's mouse goes to what draws there (the drawn lines) first.
        if (m_layer && InMainPane(mouse.at)) OfferToLayer(m_layer->OnMouseMove(mouse, m_geometry));
    }
    Host().Invalidate();
}

void CQeltKLineView::OnMouseDown(const MouseInput& mouse) {
    m_pointer = mouse.at;
    if (mouse.button == MouseButton::Right) {
        m_dragging = false;
        m_hoverBorder = -1;
        Host().SetCursorShape(CursorShape::Arrow);
        return;
    }
    if (mouse.button != MouseButton::Left || m_panes.empty()) return;
    if (m_hoverBorder > 0) {
        m_dragging = true;
        Host().SetCursorShape(CursorShape::SizeVertical);
        return;
    }
    const int right = m_panes[0].right;
    if (m_goods.listTag == kTagContract && mouse.at.x >= right - 120 && mouse.at.x < right - 60 &&
        mouse.at.y >= 8 && mouse.at.y < 30) {
        ToggleCoverMode();
        return;
    }
    if (m_layer && InMainPane(mouse.at) &&
        OfferToLayer(m_layer->OnMouseDown(mouse, m_geometry)) != LayerAnswer::Ignored) {
        m_barTipHeldBack = true;
        Host().Invalidate();
    }
}

void CQeltKLineView::OnMouseUp(const MouseInput& mouse) {
    if (m_dragging) {
        m_dragging = false;
        m_hoverBorder = -1;
        Host().SetCursorShape(CursorShape::Arrow);
        Host().Invalidate();
        return;
    }
    // Wherever the button goes up: a line being moved is put down.
    if (m_layer && OfferToLayer(m_layer->OnMouseUp(mouse, m_geometry)) != LayerAnswer::Ignored)
        Host().Invalidate();
}

void CQeltKLineView::OnDoubleClick(const MouseInput& mouse) {
    const Point at = mouse.at;
    m_pointer = at;
    // A quick second click while a line's point is being placed places it.
    if (m_layer && InMainPane(at) &&
        OfferToLayer(m_layer->OnDoubleClick(mouse, m_geometry)) != LayerAnswer::Ignored) {
        m_barTipHeldBack = true;
        Host().Invalidate();
        return;
    }
    // A main-chart formula's items: its values, as for a pane's formula.
    for (const auto& [id, box] : m_mainFormulaTitles) {
        if (box.Contains(at)) {
            RunFormulaDialog(id);
            return;
        }
    }
    for (std::size_t i = 0; i < m_panes.size(); ++i) {
        const Rect& pane = m_panes[i];
        if (at.y >= pane.top && at.y < pane.top + 20 && at.x <= 480) {
            if (IsFormulaPaneId(m_paneIds[i]))
                RunFormulaDialog(m_paneIds[i]);
            else
                RunIndicatorDialog(m_paneIds[i]);
            return;
        }
    }
    m_cursorMode = !m_cursorMode;
    m_pastDayPending = true;
    Host().Invalidate();
}

void CQeltKLineView::OnWheel(bool towardsUser, Point) { StepGoods(towardsUser); }

void CQeltKLineView::OnContextMenu(Point at) {
    m_rightClick = at;
    KLineMenuState state;
    state.chartType = m_window.chartType;
    state.period = ShownPeriod();
    state.minutes = HasMinutePeriods();
    state.windowCount = m_windowCount;
    state.logScale = m_logScale;
    state.inMainPane = !m_panes.empty() && at.y < m_panes[0].bottom;
    state.tradeMarks = ShownTradeMarks() != nullptr;
    const std::vector<StoredFormula>& formulas = m_services.Formulas().Formulas();
    for (std::size_t place = 0; place < formulas.size(); ++place) {
        const StoredFormula& formula = formulas[place];
        state.formulas.push_back(formula.name);
        if (!formula.mainChart) continue;
        const bool shown =
            std::find(m_mainFormulas.begin(), m_mainFormulas.end(), formula.id) != m_mainFormulas.end();
        state.mainFormulas.push_back({static_cast<int>(place), formula.name, shown});
    }
    state.anyMainFormula = !m_mainFormulas.empty();
    const int chosen = Host().ShowPopupMenu(BuildKLineMenu(state), at);
    if (chosen != 0) OnCommand(chosen);
}

}  // namespace qelt
