#include "chart/LineEditor.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "chart/MyLineDrawing.h"

namespace qelt {
namespace {

int AddBars(int index, long long bars) {
    const long long sum = static_cast<long long>(index) + bars;
    return static_cast<int>(
        std::clamp<long long>(sum, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

}  // namespace

void LineEditor::Load(std::vector<CMyLine> lines) {
    m_lines = std::move(lines);
    m_before.clear();
    Deselect();
}

void LineEditor::Deselect() {
    m_selected = -1;
    m_active = -1;
    m_placing = false;
    m_moving = false;
}

void LineEditor::Begin() { m_before = m_lines; }

LineEditor::Result LineEditor::Complete() {
    Result result{true, std::nullopt};
    if (m_before != m_lines) result.done = LineEdit{std::move(m_before), m_lines};
    m_before.clear();
    return result;
}

LineEditor::Result LineEditor::Arm(std::string_view kind) {
    Result result;
    if (Busy()) {
        m_placing = false;
        m_moving = false;
        m_active = -1;
        result = Complete();
    }
    m_armedKind = std::string(kind);
    m_armed = true;
    return result;
}

void LineEditor::Disarm() {
    m_armedKind.clear();
    m_armed = false;
}

LineEditor::Result LineEditor::MouseDown(Point at, const MainPaneGeometry& geometry) {
    if (!geometry.Valid()) return {};
    const CKLinePoint anchor = PixelToAnchor(geometry, at);
    if (m_armed) {
        Begin();
        // A bar width below one pixel still gives cycle lines a step.
        const int unit = std::max(1, static_cast<int>(geometry.barWidth));
        m_lines.push_back(CMyLine::Make(m_armedKind, unit, anchor));
        m_selected = static_cast<int>(m_lines.size()) - 1;
        m_armed = false;
        if (m_lines.back().anchors.size() < 2) return Complete();
        m_active = 1;
        m_placing = true;
        return {true, std::nullopt};
    }
    if (m_placing && m_selected >= 0 && m_active >= 0) {
        std::vector<CKLinePoint>& anchors = m_lines[static_cast<std::size_t>(m_selected)].anchors;
        const std::size_t active = static_cast<std::size_t>(m_active);
        anchors[active] = anchor;
        if (active + 1 < anchors.size() && anchors[active + 1] == anchors[0]) {
            ++m_active;
            return {true, std::nullopt};
        }
        m_placing = false;
        m_active = -1;
        return Complete();
    }
    Result result;
    if (m_selected >= 0) {
        const int handle =
            HandleAt(PixelPointsOf(m_lines[static_cast<std::size_t>(m_selected)], geometry), at);
        if (handle >= 0) {
            Begin();
            m_active = handle;
            m_placing = true;
            return {true, std::nullopt};
        }
        Deselect();
        result.repaint = true;
    }
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        if (!HitTestMyLine(m_lines[i], PixelPointsOf(m_lines[i], geometry), at)) continue;
        Begin();
        m_selected = static_cast<int>(i);
        m_moving = true;
        m_dragX = at.x;
        m_dragY = at.y;
        result.repaint = true;
        break;
    }
    return result;
}

LineEditor::Result LineEditor::MouseMove(Point at, const MainPaneGeometry& geometry) {
    if (!geometry.Valid() || m_selected < 0) return {};
    CMyLine& line = m_lines[static_cast<std::size_t>(m_selected)];
    if (m_placing && m_active >= 0) {
        line.anchors[static_cast<std::size_t>(m_active)] = PixelToAnchor(geometry, at);
        return {true, std::nullopt};
    }
    if (!m_moving) return {};
    const double bars = std::trunc((at.x - m_dragX) / geometry.barWidth);
    const int dy = at.y - m_dragY;
    if (bars == 0 && dy == 0) return {};
    for (CKLinePoint& p : line.anchors) {
        p.index = AddBars(p.index, static_cast<long long>(bars));
        p.price = ShiftPrice(geometry, p.price, dy);
    }
    m_dragX += bars * geometry.barWidth;
    m_dragY = at.y;
    return {true, std::nullopt};
}

LineEditor::Result LineEditor::MouseUp() {
    if (!m_moving) return {};
    m_moving = false;
    return Complete();
}

LineEditor::Result LineEditor::DeleteSelected() {
    if (m_selected < 0 || static_cast<std::size_t>(m_selected) >= m_lines.size()) return {};
    if (!Busy()) Begin();
    m_lines.erase(m_lines.begin() + m_selected);
    Deselect();
    return Complete();
}

LineEditor::Result LineEditor::ClearAll() {
    if (!Busy()) Begin();
    m_lines.clear();
    Deselect();
    Disarm();
    return Complete();
}

LineEditor::Result LineEditor::Cancel() {
    if (Busy()) {
        m_lines = std::move(m_before);
        m_before.clear();
        const bool stillThere = m_selected >= 0 && static_cast<std::size_t>(m_selected) < m_lines.size();
        m_placing = false;
        m_moving = false;
        m_active = -1;
        if (!stillThere) m_selected = -1;
        return {true, std::nullopt};
    }
    if (m_armed) {
        Disarm();
        return {true, std::nullopt};
    }
    return {};
}

}  // namespace qelt
