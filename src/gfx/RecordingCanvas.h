#pragma once
/// A canvas that draws nothing and records every primitive with the state in effect, so
/// that the views' pixel rules are asserted in plain tests. Text extents are fixed: each
/// GBK byte is half the font height wide (a Chinese character a full height), the height is
/// the font height.
#include <string>
#include <vector>

#include "Canvas.h"

namespace qelt {

enum class DrawOp { Line, Polyline, Rectangle, FillRect, Ellipse, Polygon, FillRegion, Text, Bitmap };

struct DrawRecord {
    DrawOp op;
    std::vector<Point> points;  ///< line ends, polyline/polygon vertices, or the text anchor
    Rect rect;                  ///< rectangles, ellipses, bitmaps (position and size)
    std::string text;           ///< UTF-8 text for DrawOp::Text
    Pen pen;
    Brush brush;
    Font font;
    Colour colour = 0;  ///< text colour, or the fill colour of FillRect/FillRegion
    Colour bkColour = 0;
    BkMode bkMode = BkMode::Opaque;
    TextAlign align;
    std::optional<Rect> clip;
};

class RecordingCanvas : public Canvas {
  public:
    RecordingCanvas() = default;
    RecordingCanvas(int width, int height) : m_width(width), m_height(height) {}

    const std::vector<DrawRecord>& Records() const { return m_records; }
    void Clear() { m_records.clear(); }

    /// Records of one kind, in drawing order.
    std::vector<DrawRecord> Of(DrawOp op) const;
    /// Text records whose text equals `text`.
    std::vector<DrawRecord> TextsEqual(const std::string& text) const;
    /// All texts drawn, in order.
    std::vector<std::string> Texts() const;

    int Width() const { return m_width; }
    int Height() const { return m_height; }

    void Polyline(const std::vector<Point>& points) override;
    void Rectangle(const Rect& r) override;
    void FillRect(const Rect& r, Colour colour) override;
    void Ellipse(const Rect& r) override;
    void Polygon(const std::vector<Point>& points) override;
    void FillRegion(const Region& region, Colour colour) override;
    void TextOut(int x, int y, std::string_view utf8) override;
    Size TextExtent(std::string_view utf8) override;
    std::unique_ptr<MemoryBitmap> CreateBitmap(int width, int height) override;
    void DrawBitmap(const MemoryBitmap& bitmap, int x, int y) override;

  protected:
    void DrawLine(Point from, Point to) override;

  private:
    DrawRecord Base(DrawOp op) const;
    std::vector<DrawRecord> m_records;
    int m_width = 0;
    int m_height = 0;
};

/// The memory bitmap of a RecordingCanvas: its canvas records too.
class RecordingBitmap : public MemoryBitmap {
  public:
    RecordingBitmap(int width, int height) : m_canvas(width, height) {}
    int Width() const override { return m_canvas.Width(); }
    int Height() const override { return m_canvas.Height(); }
    Canvas& GetCanvas() override { return m_canvas; }
    RecordingCanvas& Recorder() { return m_canvas; }
    const RecordingCanvas& Recorder() const { return m_canvas; }
    bool SaveBmp(const std::string& path) const override;

  private:
    RecordingCanvas m_canvas;
};

}  // namespace qelt
