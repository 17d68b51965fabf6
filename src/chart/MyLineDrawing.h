#pragma once
/// Drawing and hit-testing one drawn line on the K-line view's main pane.
///
/// Kinds (p0, p1, p2 the line's pixel points; "across" from the clip's left to its right):
/// - segment: p0 to p1, clipped; line: the line through p0 and p1 across the pane;
/// - para: that line and its parallel through p2;
/// - rect: the four edges of the rectangle with corners p0 and p1;
/// - wave: across at p0.y and p1.y, and seven dotted levels at integer eighths of the
///   distance between them, labelled "12.5%" ... "87.5%";
/// - gold: across at p0.y and p1.y, and dotted levels at 23.6% ... 261.8% of the distance
///   from p0, labelled, up to the first level outside the pane;
/// - period: vertical lines every g pixels from x0 = unit * truncate(p0.x / unit), g being
///   the distance to p1 in whole units (at least one unit).
/// A selected line is drawn in the selected pen with magenta texts and shows white handle
/// squares on its points; otherwise the normal pen and yellow texts.
#include <vector>

#include "chart/LineAnchors.h"
#include "data/CMyLine.h"
#include "gfx/Canvas.h"

namespace qelt {

struct LinePens {
    Pen normal;
    Pen selected;
    Pen handle;
};

/// Half the side of a handle square; a click this close to a point grabs it.
inline constexpr int kHandleSize = 2;
inline constexpr Colour kLineTextColour = 0x00FFFF;      ///< yellow
inline constexpr Colour kSelectedTextColour = 0xFF00FF;  ///< magenta

/// The line's pixel points as drawn and hit: its anchors in pixels, then for wave and gold
/// the second point moved under the first (p1.x = p0.x), and for a cycle line with distinct
/// x the two points moved onto its first two vertical lines.
std::vector<Point> PixelPointsOf(const CMyLine& line, const MainPaneGeometry& geometry);

/// Draws the line with the canvas clipped to `clip` (the clip in effect before is restored).
/// `points` are PixelPointsOf the line; an empty vector draws nothing.
void DrawMyLine(Canvas& canvas, const CMyLine& line, const std::vector<Point>& points, bool selected,
                const Rect& clip, const LinePens& pens);

/// True when `at` lies on the line by its kind's tolerance:
/// - segment: within the box of p0, p1 grown by 5 pixels and nearer than 8 pixels to the
///   line through them (to p0 itself when p0 = p1); line and para: nearer than 8 pixels to
///   the infinite line(s); rect: any edge, each tested as a segment;
/// - wave: |y - p0.y| < 2 or |y - p1.y| < 2; gold: the same with <= 1;
///   period: |x - p0.x| < 2 or |x - p1.x| < 2.
bool HitTestMyLine(const CMyLine& line, const std::vector<Point>& points, Point at);

/// Index of the first point `at` lies within +- kHandleSize of; -1 when none.
int HandleAt(const std::vector<Point>& points, Point at);

}  // namespace qelt
