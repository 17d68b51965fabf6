#include "chart/LineClipping.h"

#include <vector>

namespace qelt {
namespace {

struct PointD {
    double x = 0;
    double y = 0;
};

Point Truncated(PointD p) { return {static_cast<int>(p.x), static_cast<int>(p.y)}; }

}  // namespace

int OutCodeOf(double x, double y, const Rect& clip) {
    int code = 0;
    if (x < clip.left) code |= kOutLeft;
    if (x > clip.right) code |= kOutRight;
    if (y > clip.bottom) code |= kOutBelow;
    if (y < clip.top) code |= kOutAbove;
    return code;
}

bool ClipSegment(Point& a, Point& b, const Rect& clip) {
    // In doubles, truncated once at the end, so that an end moved onto an edge stays on it.
    PointD p{static_cast<double>(a.x), static_cast<double>(a.y)};
    PointD q{static_cast<double>(b.x), static_cast<double>(b.y)};
    int codeP = OutCodeOf(p.x, p.y, clip);
    int codeQ = OutCodeOf(q.x, q.y, clip);
    // Each pass puts one end on an edge line; four passes per end are the most it takes.
    for (int pass = 0; pass < 8; ++pass) {
        if ((codeP | codeQ) == 0) {
            a = Truncated(p);
            b = Truncated(q);
            return true;
        }
        if ((codeP & codeQ) != 0) break;
        const bool moveP = codeP != 0;
        const int code = moveP ? codeP : codeQ;
        PointD at;
        if (code & kOutAbove) {
            at = {p.x + (q.x - p.x) * (clip.top - p.y) / (q.y - p.y), static_cast<double>(clip.top)};
        } else if (code & kOutBelow) {
            at = {p.x + (q.x - p.x) * (clip.bottom - p.y) / (q.y - p.y), static_cast<double>(clip.bottom)};
        } else if (code & kOutRight) {
            at = {static_cast<double>(clip.right), p.y + (q.y - p.y) * (clip.right - p.x) / (q.x - p.x)};
        } else {
            at = {static_cast<double>(clip.left), p.y + (q.y - p.y) * (clip.left - p.x) / (q.x - p.x)};
        }
        if (moveP) {
            p = at;
            codeP = OutCodeOf(p.x, p.y, clip);
        } else {
            q = at;
            codeQ = OutCodeOf(q.x, q.y, clip);
        }
    }
    a = {0, 0};
    b = {0, 0};
    return false;
}

std::optional<std::pair<Point, Point>> ExtendLine(Point a, Point b, const Rect& clip) {
    if (a == b) return std::nullopt;
    const double dx = static_cast<double>(b.x) - a.x;
    const double dy = static_cast<double>(b.y) - a.y;
    std::vector<Point> found;
    auto take = [&](PointD p) {
        const Point t = Truncated(p);
        for (const Point& f : found)
            if (f == t) return;  // a corner crossed: both its edges give it
        found.push_back(t);
    };
    auto onVertical = [&](int x) {
        if (dx == 0) return;
        const double y = a.y + dy * (x - a.x) / dx;
        if (y >= clip.top && y <= clip.bottom) take({static_cast<double>(x), y});
    };
    auto onHorizontal = [&](int y) {
        if (dy == 0) return;
        const double x = a.x + dx * (y - a.y) / dy;
        if (x >= clip.left && x <= clip.right) take({x, static_cast<double>(y)});
    };
    onVertical(clip.left);
    onHorizontal(clip.top);
    onVertical(clip.right);
    onHorizontal(clip.bottom);
    if (found.size() < 2) return std::nullopt;
    Point p = found[0];
    Point q = found[1];
    if (!ClipSegment(p, q, clip)) return std::nullopt;
    return std::make_pair(p, q);
}

}  // namespace qelt
