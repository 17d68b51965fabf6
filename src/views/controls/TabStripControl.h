#pragma once
/// `CMyTab` / `CTab` without a window: the owner-drawn category tab strip at the bottom of the
/// quote board. Up to 20 tabs, each a six-point polygon whose shape depends on whether it is
/// the selected tab, the one right after it, or the last one; hit tests use the polygon's
/// region. Selecting a tab makes the window post 1125 (tab index) to its parent.
#include <string>
#include <vector>

#include "gfx/Canvas.h"
#include "gfx/Region.h"

namespace qelt {

/// One tab: label, rectangle, the polygon and the region built from it.
struct CTab {
    std::string label;
    Rect rect;
    int height = 0;
    std::vector<Point> polygon;
    Region region;
};

inline constexpr int kMaxTabs = 20;
inline constexpr Colour kTabBackground = 0x1E1E1E;
inline constexpr Colour kTabFace = 0x7D7D7D;
inline constexpr Colour kTabSelectedFace = 0xFFFFFF;
inline constexpr Colour kTabSelectedText = 0x0000FF;  // red

class TabStripControl {
  public:
    /// Sets the labels (the first 20) and their second texts; each tab is scale × baseWidth
    /// wide, the first at x = 2, 18 × scale high.
    void SetTabs(const std::vector<std::string>& labels, const std::vector<std::string>& texts, int baseWidth,
                 double scale);
    const std::vector<CTab>& Tabs() const { return m_tabs; }
    const std::vector<std::string>& Texts() const { return m_texts; }
    int Selected() const { return m_selected; }
    void SetSelected(int index);

    /// The first tab whose region contains `p`, or -1.
    int HitTest(Point p) const;
    /// Left click: the hit tab becomes selected and is returned (-1 when none was hit).
    int Click(Point p);

    void Paint(Canvas& canvas, int width, int height) const;

  private:
    void BuildShapes();
    std::vector<CTab> m_tabs;
    std::vector<std::string> m_texts;
    int m_selected = 0;
    double m_scale = 1.0;
};

}  // namespace qelt
