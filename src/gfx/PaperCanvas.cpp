#include "gfx/PaperCanvas.h"

#include "gfx/PaperInk.h"

namespace qelt {
namespace {

/// A bitmap whose canvas prints through a PaperCanvas onto the target's own bitmap.
class PaperBitmap : public MemoryBitmap {
  public:
    explicit PaperBitmap(std::unique_ptr<MemoryBitmap> inner)
        : m_inner(std::move(inner)), m_canvas(m_inner->GetCanvas()) {}
    int Width() const override { return m_inner->Width(); }
    int Height() const override { return m_inner->Height(); }
    Canvas& GetCanvas() override { return m_canvas; }
    bool SaveBmp(const std::string& path) const override { return m_inner->SaveBmp(path); }
    const MemoryBitmap& Inner() const { return *m_inner; }

  private:
    std::unique_ptr<MemoryBitmap> m_inner;
    PaperCanvas m_canvas;
};

}  // namespace

void PaperCanvas::Sync() {
    Pen pen = CurrentPen();
    pen.colour = InkOnPaper(pen.colour);
    m_target.SelectPen(pen);
    Brush brush = CurrentBrush();
    brush.colour = InkOnPaper(brush.colour);
    m_target.SelectBrush(brush);
    m_target.SelectFont(CurrentFont());
    m_target.SetTextColour(InkOnPaper(TextColour()));
    m_target.SetBkColour(InkOnPaper(BkColour()));
    m_target.SetBkMode(CurrentBkMode());
    m_target.SetTextAlign(CurrentTextAlign());
}

void PaperCanvas::ClipChanged() {
    if (Clip())
        m_target.SetClip(*Clip());
    else
        m_target.ClearClip();
}

void PaperCanvas::DrawLine(Point from, Point to) {
    Sync();
    m_target.MoveTo(from.x, from.y);
    m_target.LineTo(to.x, to.y);
}

void PaperCanvas::Polyline(const std::vector<Point>& points) {
    Sync();
    m_target.Polyline(points);
}

void PaperCanvas::Rectangle(const Rect& r) {
    Sync();
    m_target.Rectangle(r);
}

void PaperCanvas::FillRect(const Rect& r, Colour colour) { m_target.FillRect(r, InkOnPaper(colour)); }

void PaperCanvas::Ellipse(const Rect& r) {
    Sync();
    m_target.Ellipse(r);
}

void PaperCanvas::Polygon(const std::vector<Point>& points) {
    Sync();
    m_target.Polygon(points);
}

void PaperCanvas::FillRegion(const Region& region, Colour colour) {
    m_target.FillRegion(region, InkOnPaper(colour));
}

void PaperCanvas::TextOut(int x, int y, std::string_view utf8) {
    Sync();
    m_target.TextOut(x, y, utf8);
}

Size PaperCanvas::TextExtent(std::string_view utf8) {
    m_target.SelectFont(CurrentFont());
    return m_target.TextExtent(utf8);
}

std::unique_ptr<MemoryBitmap> PaperCanvas::CreateBitmap(int width, int height) {
    std::unique_ptr<MemoryBitmap> inner = m_target.CreateBitmap(width, height);
    if (!inner) return nullptr;
    return std::make_unique<PaperBitmap>(std::move(inner));
}

void PaperCanvas::DrawBitmap(const MemoryBitmap& bitmap, int x, int y) {
    // Its pixels were drawn in paper inks already.
    if (const auto* paper = dynamic_cast<const PaperBitmap*>(&bitmap))
        m_target.DrawBitmap(paper->Inner(), x, y);
    else
        m_target.DrawBitmap(bitmap, x, y);
}

}  // namespace qelt
