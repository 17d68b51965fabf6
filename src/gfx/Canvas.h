#pragma once
/// The drawing surface every custom-painted window draws on. It is shaped like the device
/// context the views' pixel rules are written for: a current pen, brush, font, text colour,
/// background mode and colour, text alignment and pen position; integer coordinates;
/// rectangles whose right and bottom edges are excluded.
///
/// Implementations: RecordingCanvas (tests), the QPainter adapter (src/ui).
#include <algorithm>
#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "GfxTypes.h"
#include "Region.h"

namespace qelt {

class MemoryBitmap;

class Canvas {
  public:
    Canvas() : m_serial(NextSerial()) {}
    /// A copy is another surface: it takes the drawing state, not the serial.
    Canvas(const Canvas& other) : Canvas() { CopyState(other); }
    Canvas& operator=(const Canvas& other) {
        CopyState(other);
        return *this;
    }
    virtual ~Canvas() = default;

    /// A number no other canvas of this process has had: a view that keeps what it drew on a
    /// surface between paints (the K-line chart under its crosshair) knows by it whether it
    /// is handed the same surface again, even when a new one takes the old one's address.
    std::uint64_t Serial() const { return m_serial; }

    // --- state (kept here so every backend sees the same rules) ---
    void SelectPen(const Pen& pen) { m_pen = pen; }
    void SelectBrush(const Brush& brush) { m_brush = brush; }
    void SelectFont(const Font& font) { m_font = font; }
    void SetTextColour(Colour c) { m_textColour = c; }
    void SetBkColour(Colour c) { m_bkColour = c; }
    void SetBkMode(BkMode mode) { m_bkMode = mode; }
    void SetTextAlign(TextAlign align) { m_align = align; }
    /// Restricts drawing to `clip`; nothing restores the whole surface but ClearClip.
    void SetClip(const Rect& clip) {
        m_clip = clip;
        ClipChanged();
    }
    void ClearClip() {
        m_clip.reset();
        ClipChanged();
    }

    const Pen& CurrentPen() const { return m_pen; }
    const Brush& CurrentBrush() const { return m_brush; }
    const Font& CurrentFont() const { return m_font; }
    Colour TextColour() const { return m_textColour; }
    Colour BkColour() const { return m_bkColour; }
    BkMode CurrentBkMode() const { return m_bkMode; }
    TextAlign CurrentTextAlign() const { return m_align; }
    const std::optional<Rect>& Clip() const { return m_clip; }
    Point CurrentPosition() const { return m_position; }

    // --- drawing ---
    void MoveTo(int x, int y) { m_position = {x, y}; }
    /// Line from the current position to (x, y) with the current pen; the end point itself is
    /// not drawn. The current position moves to (x, y).
    void LineTo(int x, int y) {
        DrawLine(m_position, {x, y});
        m_position = {x, y};
    }
    /// Connected lines through `points` with the current pen.
    virtual void Polyline(const std::vector<Point>& points) = 0;
    /// Outline with the pen, inside filled with the brush; covers left..right-1, top..bottom-1.
    virtual void Rectangle(const Rect& r) = 0;
    /// Fills left..right-1, top..bottom-1 with `colour`, whatever pen and brush are selected.
    virtual void FillRect(const Rect& r, Colour colour) = 0;
    /// Ellipse inscribed in `r`, pen outline and brush fill.
    virtual void Ellipse(const Rect& r) = 0;
    /// Closed polygon, pen outline and brush fill by the winding rule.
    virtual void Polygon(const std::vector<Point>& points) = 0;
    /// Fills the region with `colour` (winding rule).
    virtual void FillRegion(const Region& region, Colour colour) = 0;
    /// Text at (x, y) anchored by the current alignment, in the current font and text colour,
    /// on the background colour when the mode is opaque.
    virtual void TextOut(int x, int y, std::string_view utf8) = 0;
    /// Size the text would take in the current font.
    virtual Size TextExtent(std::string_view utf8) = 0;

    /// TextOut of a label that must keep within `width` pixels (an axis label in a margin of
    /// fixed width): when the current font makes it wider, it is drawn in the largest smaller
    /// height that fits (6 pixels at the least), centred on the line it would have taken, so
    /// a long price reads whole instead of running over the axis or off the surface.
    void TextOutWithin(int x, int y, std::string_view utf8, int width) {
        const Font font = m_font;
        const Font smaller = FontWithin(utf8, width);
        if (smaller == font) return TextOut(x, y, utf8);
        SelectFont(smaller);
        const int shift = (font.height - smaller.height) / 2;
        TextOut(x, m_align.v == VAlign::Top ? y + shift : y - shift, utf8);
        SelectFont(font);
    }
    /// The font TextOutWithin draws `utf8` in for a room of `width` pixels: the current one
    /// when the text fits (or there is no room at all), else the largest smaller one that
    /// fits, 6 pixels high at the least. The current font stays selected.
    Font FontWithin(std::string_view utf8, int width) {
        const Font font = m_font;
        int extent = TextExtent(utf8).cx;
        if (extent <= width || width <= 0 || font.height <= 6) return font;
        Font smaller = font;
        smaller.height = std::max(6, font.height * width / extent);
        for (;;) {
            SelectFont(smaller);
            extent = TextExtent(utf8).cx;
            if (extent <= width || smaller.height <= 6) break;
            --smaller.height;
        }
        SelectFont(font);
        return smaller;
    }

    /// Starts filling the rows from view row `top` to the foot of the surface with `colour`
    /// (whole rows of the whole surface, whatever the clip) on another core; the caller draws
    /// in those rows only after AwaitRows has said they are filled. False when this canvas
    /// has no such means or it is busy: nothing is filled then.
    virtual bool FillRowsAhead(int top, Colour colour) {
        (void)top, (void)colour;
        return false;
    }
    /// Returns when the rows above view row `row` that FillRowsAhead took are filled, filling
    /// those the other core has not begun on here.
    virtual void AwaitRows(int row) { (void)row; }
    /// Whether every view row is a whole number of device rows, so that drawings clipped to
    /// adjacent bands of rows meet without a gap or an overlap (not so at a scale of 1.25).
    virtual bool RowsAreWhole() { return true; }

    /// An off-screen bitmap compatible with this canvas, for double buffering and export.
    virtual std::unique_ptr<MemoryBitmap> CreateBitmap(int width, int height) = 0;
    /// Copies the bitmap's pixels with their top-left corner at (x, y).
    virtual void DrawBitmap(const MemoryBitmap& bitmap, int x, int y) = 0;

  protected:
    virtual void DrawLine(Point from, Point to) = 0;
    virtual void ClipChanged() {}

  private:
    void CopyState(const Canvas& other) {
        m_pen = other.m_pen;
        m_brush = other.m_brush;
        m_font = other.m_font;
        m_textColour = other.m_textColour;
        m_bkColour = other.m_bkColour;
        m_bkMode = other.m_bkMode;
        m_align = other.m_align;
        m_clip = other.m_clip;
        m_position = other.m_position;
    }
    static std::uint64_t NextSerial() {
        static std::atomic<std::uint64_t> next{1};
        return next.fetch_add(1, std::memory_order_relaxed);
    }

    std::uint64_t m_serial;
    Pen m_pen;
    Brush m_brush;
    Font m_font;
    Colour m_textColour = 0;
    Colour m_bkColour = 0xFFFFFF;
    BkMode m_bkMode = BkMode::Opaque;
    TextAlign m_align;
    std::optional<Rect> m_clip;
    Point m_position;
};

/// An off-screen surface with its own canvas.
class MemoryBitmap {
  public:
    virtual ~MemoryBitmap() = default;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual Canvas& GetCanvas() = 0;
    /// Writes the pixels as a Windows bitmap file (24 bits per pixel).
    virtual bool SaveBmp(const std::string& path) const = 0;
};

}  // namespace qelt
