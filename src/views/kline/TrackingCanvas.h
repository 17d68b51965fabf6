#pragma once
/// A canvas that draws onto another one and remembers the rectangles it drew on, so that a
/// view can wipe what it drew at the next paint by copying those rectangles back from a
/// clean bitmap: the K-line view's crosshair, its labels and the pane titles over the chart
/// it keeps. Text is measured generously from its characters (no toolkit call): a little
/// more is copied back than was drawn, never less.
#include <vector>

#include "gfx/Canvas.h"

namespace qelt {

class TrackingCanvas : public Canvas {
  public:
    /// With `measureTexts`, TextBoxes holds the box of every text drawn.
    explicit TrackingCanvas(Canvas& target, bool measureTexts = false)
        : m_target(target), m_measureTexts(measureTexts) {}

    /// The rectangles drawn on since construction (each within the clip in effect).
    const std::vector<Rect>& Touched() const { return m_touched; }
    /// The boxes of the texts drawn since construction, as the target measures them (not
    /// clipped), when asked for at construction: where a window over the drawing would hide
    /// a text.
    const std::vector<Rect>& TextBoxes() const { return m_texts; }

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

    /// The rectangle a text of `utf8` at (x, y) may cover in `font` with `align`.
    static Rect TextBounds(int x, int y, std::string_view utf8, const Font& font, TextAlign align);

  protected:
    void DrawLine(Point from, Point to) override;
    void ClipChanged() override;

  private:
    /// Hands the drawing state to the target before an operation.
    void Sync();
    /// Records `r` grown by the pen's reach, within the clip.
    void Touch(Rect r, int grow);
    void TouchPoints(const std::vector<Point>& points);

    Canvas& m_target;
    bool m_measureTexts = false;
    std::vector<Rect> m_touched;
    std::vector<Rect> m_texts;
};

}  // namespace qelt
