#include "views/controls/TabStripControl.h"

#include <algorithm>

namespace qelt {

void TabStripControl::SetTabs(const std::vector<std::string>& labels, const std::vector<std::string>& texts,
                              int baseWidth, double scale) {
    m_scale = scale > 0 ? scale : 1.0;
    m_texts = texts;
    m_tabs.clear();
    const int width = static_cast<int>(m_scale * baseWidth);
    const int height = static_cast<int>(18 * m_scale);
    int left = 2;
    for (size_t i = 0; i < labels.size() && i < static_cast<size_t>(kMaxTabs); ++i) {
        CTab tab;
        tab.label = labels[i];
        tab.rect = {left, 0, left + width, height};
        tab.height = height;
        m_tabs.push_back(std::move(tab));
        left += width;
    }
    if (m_selected >= static_cast<int>(m_tabs.size())) m_selected = 0;
    BuildShapes();
}

void TabStripControl::SetSelected(int index) {
    if (index < 0 || index >= static_cast<int>(m_tabs.size())) return;
    m_selected = index;
    BuildShapes();
}

void TabStripControl::BuildShapes() {
    const int last = static_cast<int>(m_tabs.size()) - 1;
    for (int i = 0; i <= last; ++i) {
        CTab& tab = m_tabs[static_cast<size_t>(i)];
        const bool selected = i == m_selected;
        const bool afterSelected = i == m_selected + 1;
        const bool isLast = i == last;
        const int l = tab.rect.left;
        const int r = tab.rect.right;
        const int h = tab.height;
        const int shift = afterSelected ? 1 : 0;
        Point first{l - 8, 1};
        if (afterSelected) first.x = isLast ? l + 10 : l + 9;
        const Point lastPoint = (selected || isLast != selected) ? Point{r + 9, 1} : Point{r - 8, 1};
        tab.polygon = {
            first,    {l + shift, h / 2}, {l + 8 + shift, h}, {r - 8, h}, {r + (selected ? 1 : 0), h / 2},
            lastPoint};
        tab.region = Region(tab.polygon);
    }
}

int TabStripControl::HitTest(Point p) const {
    for (size_t i = 0; i < m_tabs.size(); ++i)
        if (m_tabs[i].region.Contains(p)) return static_cast<int>(i);
    return -1;
}

int TabStripControl::Click(Point p) {
    const int hit = HitTest(p);
    if (hit >= 0) SetSelected(hit);
    return hit;
}

void TabStripControl::Paint(Canvas& canvas, int width, int height) const {
    canvas.FillRect({0, 0, width, height}, kTabBackground);
    canvas.SelectFont(Font{"宋体", static_cast<int>(12 * m_scale), 700});
    canvas.SetBkMode(BkMode::Transparent);
    canvas.SetTextAlign({HAlign::Centre, VAlign::Top});
    canvas.SelectPen(Pen::Solid(1, kTabBackground));
    for (size_t i = 0; i < m_tabs.size(); ++i) {
        const CTab& tab = m_tabs[i];
        const bool selected = static_cast<int>(i) == m_selected;
        canvas.FillRegion(tab.region, selected ? kTabSelectedFace : kTabFace);
        std::vector<Point> outline = tab.polygon;
        outline.push_back(outline.front());
        canvas.Polyline(outline);
        // The label is centred in the rectangle shrunk by 10 left and right and 1 top and
        // bottom, then moved 2 pixels down.
        const Rect box{tab.rect.left + 10, tab.rect.top + 1 + 2, tab.rect.right - 10,
                       tab.rect.bottom - 1 + 2};
        const Size extent = canvas.TextExtent(tab.label);
        canvas.SetTextColour(selected ? kTabSelectedText : 0);
        canvas.SetClip(box);
        canvas.TextOut((box.left + box.right) / 2, box.top + (box.Height() - extent.cy) / 2, tab.label);
        canvas.ClearClip();
    }
}

}  // namespace qelt
