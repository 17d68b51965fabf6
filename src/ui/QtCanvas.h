#pragma once
/// The canvas over a QPainter. Every difference between the device-context rules the views
/// are written for and QPainter's lives here: rectangles exclude their right and bottom
/// edges (QRect::bottom() is top + height - 1), a line leaves out its end point, fonts are
/// sized in pixels, colours are 0x00BBGGRR.
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <cstdint>
#include <limits>
#include <map>
#include <memory>
#include <optional>
#include <tuple>
#include <vector>

#include "gfx/Canvas.h"
#include "gfx/PixelWriter.h"
#include "gfx/RowFiller.h"
#include "ui/ShapedTexts.h"

namespace qelt {

QColor ToQColor(Colour c);
/// The pixels of a 32-bit image, for a PixelWriter (its own buffer: asking for bits() could
/// detach the image from the one a painter paints).
PixelSurface PixelsOf(const QImage& image);

class QtCanvas : public Canvas {
  public:
    /// Draws with `painter`. `image`, when given, is the image the painter paints: fills and
    /// lines of one-pixel solid pens then go straight into its pixels, exactly as the painter
    /// would draw them, at a fraction of its cost per call.
    explicit QtCanvas(QPainter& painter, QImage* image = nullptr) : m_painter(painter), m_image(image) {}
    /// Waits for rows still being filled ahead: they are the image's.
    ~QtCanvas() override { AwaitRows(std::numeric_limits<int>::max()); }

    /// With false, everything goes through the painter and every text is shaped anew (the
    /// reference the direct writes and the kept shapes are compared with); bitmaps made by
    /// CreateBitmap take the setting over.
    void SetDirectPixels(bool on) {
        m_directPixels = on;
        m_writerKnown = false;
    }
    /// Whether one-pixel solid lines and fills go straight into the image as things stand:
    /// an image of 32-bit pixels at 1, 2 or 3 device pixels per view pixel, painted plainly.
    bool WritesPixelsDirectly() { return DirectWriter() != nullptr; }

    void Polyline(const std::vector<Point>& points) override;
    void Rectangle(const Rect& r) override;
    void FillRect(const Rect& r, Colour colour) override;
    void Ellipse(const Rect& r) override;
    void Polygon(const std::vector<Point>& points) override;
    void FillRegion(const Region& region, Colour colour) override;
    void TextOut(int x, int y, std::string_view utf8) override;
    Size TextExtent(std::string_view utf8) override;
    /// Through the shared RowFiller, when the image takes direct writes.
    bool FillRowsAhead(int top, Colour colour) override;
    void AwaitRows(int row) override;
    bool RowsAreWhole() override;
    std::unique_ptr<MemoryBitmap> CreateBitmap(int width, int height) override;
    void DrawBitmap(const MemoryBitmap& bitmap, int x, int y) override;

  protected:
    void DrawLine(Point from, Point to) override;
    void ClipChanged() override;

  private:
    void ApplyPenAndBrush();
    void ApplyFont();
    /// Device pixels per view pixel of the surface.
    qreal Ratio() const;
    /// A horizontal or vertical line of a one-pixel pen as a filled span (solid) or a span
    /// filled with the dash pattern; false when the pen needs the general path.
    bool FillAxisLine(Point from, Point to);
    /// Lines and polylines of a one-pixel solid pen on a surface of more device pixels than
    /// view pixels: hairlines drawn side by side cover as many device pixels as the pen is
    /// wide, far faster than stroking a scaled pen.
    bool HairlinesAtRatio(const QPoint* points, int count, bool closed);
    /// The writer into the image's pixels, when nothing the painter is set to do (a scale
    /// other than 1, 2 or 3 device pixels per view pixel, translation, opacity, blending,
    /// anti-aliasing, a clip other than the canvas's own) would make its pixels differ.
    const PixelWriter* DirectWriter();
    std::optional<PixelWriter> MakeDirectWriter() const;
    /// Polyline and DrawLine through the writer for a solid one-pixel pen.
    bool DirectPolyline(const Point* points, std::size_t count);
    /// Fills left..right-1, top..bottom-1 through the writer or the painter.
    void FillSolid(const Rect& r, Colour colour);
    /// Where the writes through `writer` (the canvas's) go while rows are filled ahead: posted
    /// to the filler's thread, made there in order behind the rows they need. Null when they
    /// are made here.
    PixelQueue* QueueFor(const PixelWriter& writer);
    /// The painter, for drawing: once the writes posted before are made.
    QPainter& Painter();
    QPainter& m_painter;
    QImage* m_image;
    bool m_directPixels = true;
    bool m_writerKnown = false;           ///< m_writer answers for the painter's present state
    std::optional<PixelWriter> m_writer;  ///< the writer, when the painter allows one
    bool m_writerQueued = false;          ///< the queue has m_writer in use
    RowFiller::Fill m_rowsAhead;          ///< the RowFiller's fill of this image, owner 0 for none
    int m_rowsAheadScale = 1;             ///< its device pixels per view pixel
    std::optional<Font> m_appliedFont;    ///< the painter's font, set from this Font
    std::optional<QFontMetrics> m_metrics;
    ShapedTexts m_texts;  ///< texts drawn before, shaped (direct pixels only)
    /// The coverage of texts posted to the queue, kept until it has run.
    std::vector<std::shared_ptr<const CoverageMask>> m_masksPosted;
    std::vector<Point> m_merged;   ///< reused storage of a polyline's column extremes
    std::vector<QPoint> m_points;  ///< reused polygon storage
    /// Dash textures by colour, pattern, direction and device pixels per view pixel.
    using DashKey = std::tuple<Colour, std::vector<int>, bool, int>;
    std::map<DashKey, QBrush> m_dashBrushes;
};

/// A QImage with its own painter and canvas: the double buffer of a view and the source of
/// the bitmap export.
class QtBitmap : public MemoryBitmap {
  public:
    /// `width` × `height` view pixels; the image holds `devicePixelRatio` device pixels per
    /// view pixel, so text and one-pixel lines stay sharp on a dense screen.
    QtBitmap(int width, int height, qreal devicePixelRatio = 1.0);
    ~QtBitmap() override;
    int Width() const override { return m_width; }
    int Height() const override { return m_height; }
    QtCanvas& GetCanvas() override { return *m_canvas; }
    bool SaveBmp(const std::string& path) const override;
    const QImage& Image() const { return m_image; }

  private:
    int m_width;
    int m_height;
    QImage m_image;
    std::unique_ptr<QPainter> m_painter;
    std::unique_ptr<QtCanvas> m_canvas;
};

}  // namespace qelt
