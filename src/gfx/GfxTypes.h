#pragma once
/// Drawing values as the views' pixel rules are written: colours as 0x00BBGGRR, integer
/// coordinates, rectangles that exclude their right and bottom edges.
#include <cstdint>
#include <string>
#include <vector>

namespace qelt {

/// 0x00BBGGRR, as the colour tables of the views give them.
using Colour = std::uint32_t;

constexpr Colour Rgb(unsigned r, unsigned g, unsigned b) {
    return (r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16);
}
constexpr unsigned RedOf(Colour c) { return c & 0xFF; }
constexpr unsigned GreenOf(Colour c) { return (c >> 8) & 0xFF; }
constexpr unsigned BlueOf(Colour c) { return (c >> 16) & 0xFF; }

struct Point {
    int x = 0;
    int y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

struct Size {
    int cx = 0;
    int cy = 0;
    friend bool operator==(const Size&, const Size&) = default;
};

/// left/top inclusive, right/bottom exclusive: width = right - left.
struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool Contains(Point p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
    friend bool operator==(const Rect&, const Rect&) = default;
};

enum class PenStyle { Solid, Dash, Dot, DashDot, User, Null };

/// A pen; `dashes` (dash, gap, dash, ...) in pixels is used only by PenStyle::User.
struct Pen {
    PenStyle style = PenStyle::Solid;
    int width = 1;
    Colour colour = 0;
    std::vector<int> dashes;
    bool flatEnds = false;
    static Pen Solid(int width, Colour c) { return Pen{PenStyle::Solid, width, c, {}, false}; }
    friend bool operator==(const Pen&, const Pen&) = default;
};

struct Brush {
    bool null = false;
    Colour colour = 0;
    static Brush Solid(Colour c) { return Brush{false, c}; }
    static Brush Hollow() { return Brush{true, 0}; }
    friend bool operator==(const Brush&, const Brush&) = default;
};

/// A font by face, height in pixels and weight (400 normal, 700 bold).
struct Font {
    std::string face = "宋体";
    int height = 12;
    int weight = 400;
    friend bool operator==(const Font&, const Font&) = default;
};

/// Horizontal and vertical text anchoring of TextOut.
enum class HAlign { Left, Right, Centre };
enum class VAlign { Top, Baseline, Bottom };

struct TextAlign {
    HAlign h = HAlign::Left;
    VAlign v = VAlign::Top;
    friend bool operator==(const TextAlign&, const TextAlign&) = default;
};

/// Opaque: text cells are filled with the background colour; transparent: they are not.
enum class BkMode { Transparent, Opaque };

}  // namespace qelt
