#pragma once
/// The canvas over a QPainter. Every difference between the device-context rules the views
/// are written for and QPainter's lives here: rectangles exclude their right and bottom
/// edges (QRect::bottom() is top + height - 1), a line leaves out its end point, fonts are
/// sized in pixels, colours are 0x00BBGGRR.
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <map>
#include <memory>
#include <optional>
#include <tuple>
#include <vector>

#include "gfx/Canvas.h"

namespace qelt {

QColor ToQColor(Colour c);

class QtCanvas : public Canvas {
  public:
    explicit QtCanvas(QPainter& painter) : m_painter(painter) {}

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
    QPainter& m_painter;
    std::optional<Font> m_appliedFont;  ///< the painter's font, set from this Font
    std::optional<QFontMetrics> m_metrics;
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
    Canvas& GetCanvas() override { return *m_canvas; }
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
