#include "views/kline/TrackingCanvas.h"

#include <algorithm>

namespace qelt {

void TrackingCanvas::Sync() {
    m_target.SelectPen(CurrentPen());
    m_target.SelectBrush(CurrentBrush());
    m_target.SelectFont(CurrentFont());
    m_target.SetTextColour(TextColour());
    m_target.SetBkColour(BkColour());
    m_target.SetBkMode(CurrentBkMode());
    m_target.SetTextAlign(CurrentTextAlign());
}

void TrackingCanvas::ClipChanged() {
    if (Clip())
        m_target.SetClip(*Clip());
    else
        m_target.ClearClip();
}

void TrackingCanvas::Touch(Rect r, int grow) {
    r = {r.left - grow, r.top - grow, r.right + grow, r.bottom + grow};
    if (Clip()) {
        const Rect& c = *Clip();
        r = {std::max(r.left, c.left), std::max(r.top, c.top), std::min(r.right, c.right),
             std::min(r.bottom, c.bottom)};
    }
    if (r.Width() > 0 && r.Height() > 0) m_touched.push_back(r);
}

void TrackingCanvas::TouchPoints(const std::vector<Point>& points) {
    if (points.empty()) return;
    Rect bounds{points[0].x, points[0].y, points[0].x + 1, points[0].y + 1};
    for (const Point& p : points) {
        bounds.left = std::min(bounds.left, p.x);
        bounds.top = std::min(bounds.top, p.y);
        bounds.right = std::max(bounds.right, p.x + 1);
        bounds.bottom = std::max(bounds.bottom, p.y + 1);
    }
    Touch(bounds, CurrentPen().width + 1);
}

void TrackingCanvas::DrawLine(Point from, Point to) {
    Sync();
    m_target.MoveTo(from.x, from.y);
    m_target.LineTo(to.x, to.y);
    TouchPoints({from, to});
}

void TrackingCanvas::Polyline(const std::vector<Point>& points) {
    Sync();
    m_target.Polyline(points);
    TouchPoints(points);
}

void TrackingCanvas::Rectangle(const Rect& r) {
    Sync();
    m_target.Rectangle(r);
    Touch(r, CurrentPen().width + 1);
}

void TrackingCanvas::FillRect(const Rect& r, Colour colour) {
    m_target.FillRect(r, colour);
    Touch(r, 1);
}

void TrackingCanvas::Ellipse(const Rect& r) {
    Sync();
    m_target.Ellipse(r);
    Touch(r, CurrentPen().width + 1);
}

void TrackingCanvas::Polygon(const std::vector<Point>& points) {
    Sync();
    m_target.Polygon(points);
    TouchPoints(points);
}

void TrackingCanvas::FillRegion(const Region& region, Colour colour) {
    m_target.FillRegion(region, colour);
    Touch(region.Bounds(), 1);
}

Rect TrackingCanvas::TextBounds(int x, int y, std::string_view utf8, const Font& font, TextAlign align) {
    const int h = font.height > 0 ? font.height : 12;
    // No Latin letter, digit or sign is wider than one em in the faces the views use (digits
    // are about 0.6 em), a Chinese character or an arrow about one em; the line is at most
    // 1.4 em high.
    int width = 3;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(utf8[i]);
        if (c < 0x80)
            width += h + 1;
        else if (c >= 0xC0)
            width += h * 6 / 5 + 1;  // the first byte of a multi-byte character
    }
    const int height = h * 7 / 5 + 3;
    int left = x - 1;
    if (align.h == HAlign::Right) left = x - width;
    if (align.h == HAlign::Centre) left = x - width / 2 - 1;
    int top = y - 1;
    if (align.v == VAlign::Baseline) top = y - h * 6 / 5 - 2;
    if (align.v == VAlign::Bottom) top = y - height;
    return {left, top, left + width + 1, top + height + 1};
}

void TrackingCanvas::TextOut(int x, int y, std::string_view utf8) {
    Sync();
    m_target.TextOut(x, y, utf8);
    Touch(TextBounds(x, y, utf8, CurrentFont(), CurrentTextAlign()), 0);
    if (!m_measureTexts) return;
    const Size size = m_target.TextExtent(utf8);
    const TextAlign align = CurrentTextAlign();
    int left = x, top = y;
    if (align.h == HAlign::Right) left = x - size.cx;
    if (align.h == HAlign::Centre) left = x - size.cx / 2;
    if (align.v != VAlign::Top) top = y - size.cy;  // a baseline is near enough the bottom
    m_texts.push_back({left, top, left + size.cx, top + size.cy});
}

Size TrackingCanvas::TextExtent(std::string_view utf8) {
    m_target.SelectFont(CurrentFont());
    return m_target.TextExtent(utf8);
}

std::unique_ptr<MemoryBitmap> TrackingCanvas::CreateBitmap(int width, int height) {
    return m_target.CreateBitmap(width, height);
}

void TrackingCanvas::DrawBitmap(const MemoryBitmap& bitmap, int x, int y) {
    m_target.DrawBitmap(bitmap, x, y);
    Touch({x, y, x + bitmap.Width(), y + bitmap.Height()}, 0);
}

}  // namespace qelt
