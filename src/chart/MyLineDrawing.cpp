#include "chart/MyLineDrawing.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "chart/LineClipping.h"
#include "common/Numbers.h"

namespace qelt {
namespace {

constexpr double kGoldRatios[] = {0.236, 0.382, 0.5, 0.618, 0.809, 1.382, 1.618, 2, 2.382, 2.618};

/// Perpendicular distance from `at` to the infinite line through a and b (to a when a = b).
double DistanceToLine(Point a, Point b, Point at) {
    const double dx = static_cast<double>(b.x) - a.x;
    const double dy = static_cast<double>(b.y) - a.y;
    const double px = static_cast<double>(at.x) - a.x;
    const double py = static_cast<double>(at.y) - a.y;
    const double length = std::hypot(dx, dy);
    if (length == 0) return std::hypot(px, py);
    return std::fabs(dx * py - dy * px) / length;
}

bool NearLine(Point a, Point b, Point at) { return DistanceToLine(a, b, at) < 8; }

bool NearSegment(Point a, Point b, Point at) {
    const bool inBox = at.x >= std::min(a.x, b.x) - 5 && at.x <= std::max(a.x, b.x) + 5 &&
                       at.y >= std::min(a.y, b.y) - 5 && at.y <= std::max(a.y, b.y) + 5;
    return inBox && NearLine(a, b, at);
}

Point Plus(Point a, Point b) { return {a.x + b.x, a.y + b.y}; }
Point Minus(Point a, Point b) { return {a.x - b.x, a.y - b.y}; }

/// Draws one line with the pen in effect, and a label, for one kind of one line.
class LinePainter {
  public:
    LinePainter(Canvas& canvas, const Rect& clip, Colour colour)
        : m_canvas(canvas), m_clip(clip), m_colour(colour) {}

    void Segment(Point a, Point b) {
        if (!ClipSegment(a, b, m_clip)) return;
        m_canvas.MoveTo(a.x, a.y);
        m_canvas.LineTo(b.x, b.y);
    }
    void Extended(Point a, Point b) {
        if (auto ends = ExtendLine(a, b, m_clip)) Segment(ends->first, ends->second);
    }
    void Across(int y) { Segment({m_clip.left, y}, {m_clip.right, y}); }
    void Down(int x) { Segment({x, m_clip.top}, {x, m_clip.bottom}); }
    /// A dotted level across at y with its label "%.1f%%" above it on the left.
    void Level(int y, double percent) {
        const Pen pen = m_canvas.CurrentPen();
        m_canvas.SelectPen(Pen{PenStyle::Dot, 1, m_colour, {}, false});
        Across(y);
        m_canvas.SelectPen(pen);
        m_canvas.TextOut(m_clip.left + 5, y - 12, FormatFixed(percent, 1) + "%");
    }
    bool Inside(int y) const { return y >= m_clip.top && y <= m_clip.bottom; }
    const Rect& Clip() const { return m_clip; }

  private:
    Canvas& m_canvas;
    Rect m_clip;
    Colour m_colour;
};

void DrawKind(LinePainter& paint, const CMyLine& line, const std::vector<Point>& p) {
    const std::string& kind = line.kind;
    if (kind == kLineSegment && p.size() >= 2) {
        paint.Segment(p[0], p[1]);
    } else if (kind == kLineStraight && p.size() >= 2) {
        paint.Extended(p[0], p[1]);
    } else if (kind == kLineParallel && p.size() >= 3) {
        paint.Extended(p[0], p[1]);
        paint.Extended(p[2], Plus(p[2], Minus(p[0], p[1])));
    } else if (kind == kLineRect && p.size() >= 2) {
        paint.Segment({p[0].x, p[0].y}, {p[1].x, p[0].y});
        paint.Segment({p[1].x, p[0].y}, {p[1].x, p[1].y});
        paint.Segment({p[1].x, p[1].y}, {p[0].x, p[1].y});
        paint.Segment({p[0].x, p[1].y}, {p[0].x, p[0].y});
    } else if (kind == kLineWave && p.size() >= 2) {
        paint.Across(p[0].y);
        paint.Across(p[1].y);
        const int d = (p[1].y - p[0].y) / 8;
        for (int i = 1; i <= 7; ++i)
            if (paint.Inside(p[0].y + i * d)) paint.Level(p[0].y + i * d, i * 12.5);
    } else if (kind == kLineGold && p.size() >= 2) {
        paint.Across(p[0].y);
        paint.Across(p[1].y);
        for (double ratio : kGoldRatios) {
            const int y = static_cast<int>(ratio * (p[1].y - p[0].y) + p[0].y);
            if (!paint.Inside(y)) break;
            paint.Level(y, ratio * 100);
        }
    } else if (kind == kLinePeriod && p.size() >= 2 && line.unit > 0) {
        // PixelPointsOf has put the points on the first two cycle lines already.
        const int unit = line.unit;
        const int x0 = unit * (p[0].x / unit);
        paint.Down(x0);
        if (p[0].x == p[1].x) return;
        const int g = std::max(unit, unit * ((p[1].x - x0) / unit));
        for (int x = x0 + g; x > paint.Clip().left && x < paint.Clip().right; x += g) paint.Down(x);
    }
}

}  // namespace

std::vector<Point> PixelPointsOf(const CMyLine& line, const MainPaneGeometry& geometry) {
    std::vector<Point> points;
    points.reserve(line.anchors.size());
    for (const CKLinePoint& anchor : line.anchors) points.push_back(AnchorToPixel(geometry, anchor));
    if (points.size() < 2) return points;
    if (line.kind == kLineWave || line.kind == kLineGold) {
        points[1].x = points[0].x;
    } else if (line.kind == kLinePeriod && line.unit > 0 && points[0].x != points[1].x) {
        const int unit = line.unit;
        const int x0 = unit * (points[0].x / unit);
        const int g = std::max(unit, unit * ((points[1].x - x0) / unit));
        points[0].x = x0;
        points[1] = {x0 + g, points[0].y};
    }
    return points;
}

void DrawMyLine(Canvas& canvas, const CMyLine& line, const std::vector<Point>& points, bool selected,
                const Rect& clip, const LinePens& pens) {
    if (points.empty()) return;
    const std::optional<Rect> savedClip = canvas.Clip();
    canvas.SetClip(clip);
    const Colour colour = selected ? kSelectedTextColour : kLineTextColour;
    canvas.SelectPen(selected ? pens.selected : pens.normal);
    canvas.SelectFont(Font{"宋体", 12, 600});
    canvas.SetTextColour(colour);
    canvas.SetBkMode(BkMode::Transparent);
    canvas.SetTextAlign({HAlign::Left, VAlign::Top});
    LinePainter paint(canvas, clip, colour);
    DrawKind(paint, line, points);
    if (selected) {
        canvas.SelectPen(pens.handle);
        canvas.SelectBrush(Brush::Solid(0xFFFFFF));
        for (const Point& p : points) {
            if (OutCodeOf(p.x, p.y, clip) != 0) continue;
            canvas.Rectangle({p.x - kHandleSize, p.y - kHandleSize, p.x + kHandleSize, p.y + kHandleSize});
        }
    }
    if (savedClip)
        canvas.SetClip(*savedClip);
    else
        canvas.ClearClip();
}

bool HitTestMyLine(const CMyLine& line, const std::vector<Point>& p, Point at) {
    const std::string& kind = line.kind;
    if (p.size() < 2) return false;
    if (kind == kLineSegment) return NearSegment(p[0], p[1], at);
    if (kind == kLineStraight) return NearLine(p[0], p[1], at);
    if (kind == kLineParallel)
        return NearLine(p[0], p[1], at) ||
               (p.size() >= 3 && NearLine(Plus(p[2], Minus(p[0], p[1])), p[2], at));
    if (kind == kLineRect) {
        const Point corners[] = {p[0], {p[1].x, p[0].y}, p[1], {p[0].x, p[1].y}};
        for (int i = 0; i < 4; ++i)
            if (NearSegment(corners[i], corners[(i + 1) % 4], at)) return true;
        return false;
    }
    if (kind == kLineWave) return std::abs(at.y - p[0].y) < 2 || std::abs(at.y - p[1].y) < 2;
    if (kind == kLineGold) return std::abs(at.y - p[0].y) <= 1 || std::abs(at.y - p[1].y) <= 1;
    if (kind == kLinePeriod) return std::abs(at.x - p[0].x) < 2 || std::abs(at.x - p[1].x) < 2;
    return false;
}

int HandleAt(const std::vector<Point>& points, Point at) {
    for (std::size_t i = 0; i < points.size(); ++i)
        if (std::abs(at.x - points[i].x) <= kHandleSize && std::abs(at.y - points[i].y) <= kHandleSize)
            return static_cast<int>(i);
    return -1;
}

}  // namespace qelt
