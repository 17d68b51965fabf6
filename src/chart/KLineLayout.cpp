#include "chart/KLineLayout.h"

#include <algorithm>
#include <cstdlib>

namespace qelt {

std::vector<Rect> LayOutPanes(int count, Size client, bool quotePanel) {
    count = std::clamp(count, 1, kMaxWindowCount);
    const int height = client.cy;
    int h = height * 3 / (count + 2);
    if (count == 1) h = height - 30;
    if (count > 1 && h > 0.7 * height) h = static_cast<int>(0.7 * height);
    if (h < 300) h = 300;

    std::vector<Rect> panes;
    panes.reserve(static_cast<std::size_t>(count));
    panes.push_back({0, kMainPaneTop, quotePanel ? client.cx - kQuotePanelWidth : client.cx, h});
    if (count == 1) return panes;
    const int lower = (height - panes[0].bottom - kDateStripHeight) / (count - 1);
    for (int i = 1; i < count; ++i) {
        const Rect& above = panes.back();
        panes.push_back({above.left, above.bottom, above.right, above.bottom + lower});
    }
    return panes;
}

int BorderAt(const std::vector<Rect>& panes, Point at) {
    if (panes.empty() || at.x >= panes[0].right) return -1;
    for (std::size_t i = 1; i < panes.size(); ++i)
        if (std::abs(at.y - panes[i].top) < 3) return static_cast<int>(i);
    return -1;
}

void DragBorder(std::vector<Rect>& panes, int index, int y) {
    if (index < 1 || static_cast<std::size_t>(index) >= panes.size()) return;
    Rect& above = panes[static_cast<std::size_t>(index - 1)];
    Rect& dragged = panes[static_cast<std::size_t>(index)];
    // Each pointer move decides on its own, so the border is kept where both panes stay
    // open: a quick move (or the last one before the release) cannot squeeze either.
    const int highest = above.top + kMinimumPaneHeight, lowest = dragged.bottom - kMinimumPaneHeight;
    if (highest > lowest) return;  // the two panes together have no room to give
    above.bottom = std::clamp(y, highest, lowest);
    dragged.top = above.bottom;
}

int PaneForIndicatorCommand(const std::vector<Rect>& panes, int count, int clientHeight, int y) {
    if (panes.empty() || y < panes[0].bottom || count < 2) return -1;
    const int paneHeight = (clientHeight - kDateStripHeight - panes[0].bottom) / (count - 1);
    if (paneHeight <= 0) return -1;
    return (y - panes[0].bottom) / paneHeight + 1;
}

float BarWidth(const Rect& mainPane, int visibleCount) {
    if (visibleCount <= 0) return 0.0f;
    const float w = static_cast<float>(mainPane.right - kAxisColumn - mainPane.left) / visibleCount;
    return std::clamp(w, 0.0f, 100.0f);
}

}  // namespace qelt
