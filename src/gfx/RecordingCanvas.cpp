#include "RecordingCanvas.h"

#include "BmpWriter.h"
#include "common/Gbk.h"

namespace qelt {

DrawRecord RecordingCanvas::Base(DrawOp op) const {
    DrawRecord r{};
    r.op = op;
    r.pen = CurrentPen();
    r.brush = CurrentBrush();
    r.font = CurrentFont();
    r.colour = TextColour();
    r.bkColour = BkColour();
    r.bkMode = CurrentBkMode();
    r.align = CurrentTextAlign();
    r.clip = Clip();
    return r;
}

std::vector<DrawRecord> RecordingCanvas::Of(DrawOp op) const {
    std::vector<DrawRecord> out;
    for (const auto& r : m_records)
        if (r.op == op) out.push_back(r);
    return out;
}

std::vector<DrawRecord> RecordingCanvas::TextsEqual(const std::string& text) const {
    std::vector<DrawRecord> out;
    for (const auto& r : m_records)
        if (r.op == DrawOp::Text && r.text == text) out.push_back(r);
    return out;
}

std::vector<std::string> RecordingCanvas::Texts() const {
    std::vector<std::string> out;
    for (const auto& r : m_records)
        if (r.op == DrawOp::Text) out.push_back(r.text);
    return out;
}

void RecordingCanvas::DrawLine(Point from, Point to) {
    DrawRecord r = Base(DrawOp::Line);
    r.points = {from, to};
    m_records.push_back(std::move(r));
}

void RecordingCanvas::Polyline(const std::vector<Point>& points) {
    DrawRecord r = Base(DrawOp::Polyline);
    r.points = points;
    m_records.push_back(std::move(r));
}

void RecordingCanvas::Rectangle(const Rect& rect) {
    DrawRecord r = Base(DrawOp::Rectangle);
    r.rect = rect;
    m_records.push_back(std::move(r));
}

void RecordingCanvas::FillRect(const Rect& rect, Colour colour) {
    DrawRecord r = Base(DrawOp::FillRect);
    r.rect = rect;
    r.colour = colour;
    m_records.push_back(std::move(r));
}

void RecordingCanvas::Ellipse(const Rect& rect) {
    DrawRecord r = Base(DrawOp::Ellipse);
    r.rect = rect;
    m_records.push_back(std::move(r));
}

void RecordingCanvas::Polygon(const std::vector<Point>& points) {
    DrawRecord r = Base(DrawOp::Polygon);
    r.points = points;
    m_records.push_back(std::move(r));
}

void RecordingCanvas::FillRegion(const Region& region, Colour colour) {
    DrawRecord r = Base(DrawOp::FillRegion);
    r.points = region.Polygon();
    r.rect = region.Bounds();
    r.colour = colour;
    m_records.push_back(std::move(r));
}

void RecordingCanvas::TextOut(int x, int y, std::string_view utf8) {
    DrawRecord r = Base(DrawOp::Text);
    r.points = {{x, y}};
    r.text = std::string(utf8);
    m_records.push_back(std::move(r));
}

Size RecordingCanvas::TextExtent(std::string_view utf8) {
    const int height = CurrentFont().height;
    const int bytes = static_cast<int>(Utf8ToGbk(utf8).size());
    return {bytes * height / 2, height};
}

std::unique_ptr<MemoryBitmap> RecordingCanvas::CreateBitmap(int width, int height) {
    return std::make_unique<RecordingBitmap>(width, height);
}

void RecordingCanvas::DrawBitmap(const MemoryBitmap& bitmap, int x, int y) {
    DrawRecord r = Base(DrawOp::Bitmap);
    r.rect = {x, y, x + bitmap.Width(), y + bitmap.Height()};
    m_records.push_back(std::move(r));
}

bool RecordingBitmap::SaveBmp(const std::string& path) const {
    // A recording has no pixels: it saves a blank bitmap of its size, so export paths can be
    // exercised without a real surface.
    std::vector<Colour> pixels(static_cast<size_t>(Width()) * Height(), 0);
    return WriteBmp24(path, Width(), Height(), pixels);
}

}  // namespace qelt
