#pragma once
/// The canvas a printout is drawn through: it draws onto another canvas (the printer's, or a
/// recording in tests) with every colour the view chose replaced by InkOnPaper of it, so
/// that whatever a view draws, in the print scheme's colours or in fixed colours of its own
/// (the drawn lines' yellow, the quote panel's pale labels, the users' formula colours),
/// shows on white paper with a contrast of at least 3:1. White stays white: it is the paper.
///
/// Bitmaps it hands out draw through a PaperCanvas of their own, so a view that paints parts
/// of itself into bitmaps and copies them (the multi-goods view's cells) prints the same way.
#include <memory>

#include "gfx/Canvas.h"

namespace qelt {

class PaperCanvas : public Canvas {
  public:
    explicit PaperCanvas(Canvas& target) : m_target(target) {}

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
    /// Hands the drawing state to the target, its colours in paper inks, before an operation.
    void Sync();

    Canvas& m_target;
};

}  // namespace qelt
