#include "QtCanvas.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainterPath>
#include <QPolygon>
#include <QtMath>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "gfx/BmpWriter.h"
#include "gfx/PolylineColumns.h"

namespace qelt {
namespace {

QRect ToQRect(const Rect& r) { return QRect(r.left, r.top, r.Width(), r.Height()); }

QPolygon ToQPolygon(const std::vector<Point>& points) {
    QPolygon poly;
    poly.reserve(static_cast<int>(points.size()));
    for (const Point& p : points) poly.append(QPoint(p.x, p.y));
    return poly;
}

Qt::PenStyle ToQtStyle(PenStyle style) {
    switch (style) {
        case PenStyle::Solid:
            return Qt::SolidLine;
        case PenStyle::Dash:
            return Qt::DashLine;
        case PenStyle::Dot:
            return Qt::DotLine;
        case PenStyle::DashDot:
            return Qt::DashDotLine;
        case PenStyle::User:
            return Qt::CustomDashLine;
        case PenStyle::Null:
            return Qt::NoPen;
    }
    return Qt::SolidLine;
}

}  // namespace

QColor ToQColor(Colour c) { return QColor(RedOf(c), GreenOf(c), BlueOf(c)); }

PixelSurface PixelsOf(const QImage& image) {
    return {reinterpret_cast<std::uint32_t*>(const_cast<uchar*>(image.constBits())),
            static_cast<int>(image.bytesPerLine() / 4), image.width(), image.height()};
}

void QtCanvas::ApplyPenAndBrush() {
    const Pen& pen = CurrentPen();
    QPen qpen(ToQColor(pen.colour));
    qpen.setWidth(pen.width < 1 ? 1 : pen.width);
    qpen.setStyle(ToQtStyle(pen.style));
    if (pen.style == PenStyle::User && !pen.dashes.empty()) {
        QList<qreal> pattern;
        for (int d : pen.dashes) pattern.append(d < 1 ? 1 : d);
        if (pattern.size() % 2) pattern.append(pattern.back());
        qpen.setDashPattern(pattern);
    }
    qpen.setCapStyle(pen.flatEnds ? Qt::FlatCap : Qt::SquareCap);
    m_painter.setPen(qpen);
    const Brush& brush = CurrentBrush();
    m_painter.setBrush(brush.null ? QBrush(Qt::NoBrush) : QBrush(ToQColor(brush.colour)));
}

void QtCanvas::ApplyFont() {
    const Font& f = CurrentFont();
    // A font is built and measured once for as long as it stays selected: most texts of a
    // paint share a handful of fonts.
    if (m_appliedFont && *m_appliedFont == f &&
        m_painter.font().pixelSize() == (f.height > 0 ? f.height : 12))
        return;
    QFont font(QString::fromStdString(f.face));
    font.setPixelSize(f.height > 0 ? f.height : 12);
    font.setWeight(f.weight >= 600 ? QFont::Bold : QFont::Normal);
    m_painter.setFont(font);
    m_appliedFont = f;
    m_metrics.emplace(m_painter.font());
}

qreal QtCanvas::Ratio() const {
    // The scale from view pixels to device pixels: the surface's pixel density, or the
    // printer's page scale. Nothing but a plain scale (no rotation, no shear) counts.
    const QTransform t = m_painter.combinedTransform();
    if (t.type() > QTransform::TxScale || t.m11() != t.m22()) return 0.0;
    return t.m11();
}

const PixelWriter* QtCanvas::DirectWriter() {
    // Only this canvas sets the painter's clip, and nothing changes its transform, opacity or
    // blending for longer than a call: the answer holds until the clip changes.
    if (!m_writerKnown) {
        m_writer = MakeDirectWriter();
        m_writerKnown = true;
        m_writerQueued = false;
    }
    return m_writer ? &*m_writer : nullptr;
}

std::optional<PixelWriter> QtCanvas::MakeDirectWriter() const {
    if (!m_image || !m_directPixels || !m_painter.isActive()) return std::nullopt;
    if (m_image->format() != QImage::Format_RGB32 && m_image->format() != QImage::Format_ARGB32_Premultiplied)
        return std::nullopt;
    const QTransform t = m_painter.combinedTransform();
    if (t.type() > QTransform::TxScale || t.m11() != t.m22() || t.dx() != 0.0 || t.dy() != 0.0)
        return std::nullopt;
    const int scale = static_cast<int>(t.m11());
    if (scale < 1 || scale > 3 || t.m11() != scale) return std::nullopt;
    if (m_painter.opacity() != 1.0 || m_painter.compositionMode() != QPainter::CompositionMode_SourceOver ||
        m_painter.testRenderHint(QPainter::Antialiasing))
        return std::nullopt;
    // The painter clips to the canvas's clip and to nothing else; it turns a clip inside out
    // (its right edge left of its left one) the right way round, which the writer leaves to it.
    if (m_painter.hasClipping() != Clip().has_value()) return std::nullopt;
    if (Clip() && (Clip()->Width() < 0 || Clip()->Height() < 0)) return std::nullopt;
    Rect clip{0, 0, m_image->width(), m_image->height()};
    if (Clip())
        clip = {Clip()->left * scale, Clip()->top * scale, Clip()->right * scale, Clip()->bottom * scale};
    return PixelWriter(PixelsOf(*m_image), scale, clip);
}

namespace {

/// View row `row` in device rows at `scale`, held within what an int holds.
int DeviceRow(int row, int scale) {
    const long long device = static_cast<long long>(std::max(row, 0)) * scale;
    return static_cast<int>(std::min<long long>(device, std::numeric_limits<int>::max()));
}

/// The pixel word of an opaque colour in a 32-bit image.
std::uint32_t PixelOf(Colour c) { return 0xFF000000u | (RedOf(c) << 16) | (GreenOf(c) << 8) | BlueOf(c); }

/// A user-styled pen's pattern as drawn: dash, gap, dash, gap…, each at least one pixel, the
/// last length repeated when the count is odd.
std::vector<int> EvenDashes(const Pen& pen) {
    std::vector<int> dashes = pen.dashes;
    if (dashes.size() % 2) dashes.push_back(dashes.back());
    for (int& d : dashes) d = std::max(d, 1);
    return dashes;
}

/// The dash pattern of a user-styled pen as a texture one pixel across: the dashes in the
/// pen's colour, the gaps transparent, at `ratio` device pixels per view pixel.
QBrush DashBrush(const Pen& pen, bool horizontal, qreal ratio) {
    const std::vector<int> dashes = EvenDashes(pen);
    int period = 0;
    for (const int d : dashes) period += d;
    const int scale = std::max(1, qRound(ratio));
    QImage texture(horizontal ? period * scale : scale, horizontal ? scale : period * scale,
                   QImage::Format_ARGB32_Premultiplied);
    texture.fill(Qt::transparent);
    const QColor colour = ToQColor(pen.colour);
    int at = 0;
    for (std::size_t i = 0; i < dashes.size(); ++i) {
        const int length = dashes[i] * scale;
        if (i % 2 == 0)
            for (int k = at; k < at + length; ++k)
                for (int across = 0; across < scale; ++across)
                    texture.setPixelColor(horizontal ? k : across, horizontal ? across : k, colour);
        at += length;
    }
    texture.setDevicePixelRatio(scale);
    return QBrush(texture);
}

}  // namespace

bool QtCanvas::FillAxisLine(Point from, Point to) {
    const Pen& pen = CurrentPen();
    const bool horizontal = from.y == to.y;
    if (pen.width > 1 || (!horizontal && from.x != to.x)) return false;
    if (pen.style != PenStyle::Solid && !(pen.style == PenStyle::User && !pen.dashes.empty())) return false;
    // The span from the start point up to, not including, the end point.
    const int start = horizontal ? std::min(from.x, to.x + 1) : std::min(from.y, to.y + 1);
    const int length = horizontal ? std::abs(to.x - from.x) : std::abs(to.y - from.y);
    const Rect span = horizontal ? Rect{start, from.y, start + length, from.y + 1}
                                 : Rect{from.x, start, from.x + 1, start + length};
    if (const PixelWriter* writer = DirectWriter()) {
        PixelQueue* queue = QueueFor(*writer);
        if (pen.style == PenStyle::Solid) {
            if (queue)
                queue->FillRect(span, PixelOf(pen.colour));
            else
                writer->FillRect(span, PixelOf(pen.colour));
            return true;
        }
        // The pattern starts at the start point, as a device context's would.
        const std::vector<int> dashes = EvenDashes(pen);
        const int origin = horizontal ? from.x : from.y;
        if (queue)
            queue->DashedSpan(span, horizontal, origin, dashes, PixelOf(pen.colour));
        else
            writer->DashedSpan(span, horizontal, origin, dashes, PixelOf(pen.colour));
        return true;
    }
    const qreal ratio = Ratio();
    if (!(ratio > 0.0)) return false;
    // A dash texture is made in whole device pixels: a fractional scale takes the general path.
    if (pen.style == PenStyle::User && (ratio > 4.0 || ratio != std::round(ratio))) return false;
    if (pen.style == PenStyle::Solid) {
        Painter().fillRect(ToQRect(span), ToQColor(pen.colour));
        return true;
    }
    // The pattern starts at the start point, as a device context's would.
    DashKey key{pen.colour, pen.dashes, horizontal, static_cast<int>(ratio)};
    auto found = m_dashBrushes.find(key);
    if (found == m_dashBrushes.end())
        found = m_dashBrushes.emplace(key, DashBrush(pen, horizontal, ratio)).first;
    const QPoint origin = m_painter.brushOrigin();
    m_painter.setBrushOrigin(from.x, from.y);
    Painter().fillRect(ToQRect(span), found->second);
    m_painter.setBrushOrigin(origin);
    return true;
}

bool QtCanvas::HairlinesAtRatio(const QPoint* points, int count, bool closed) {
    const Pen& pen = CurrentPen();
    const qreal ratio = Ratio();
    if (pen.style != PenStyle::Solid || pen.width > 1 || ratio <= 1.0 || ratio > 3.0) return false;
    // A one-pixel pen covers `ratio` device pixels each way: hairlines (one device pixel,
    // drawn without stroking) side by side, one device pixel apart.
    QPen hair(ToQColor(pen.colour));
    hair.setCosmetic(true);
    hair.setWidth(1);
    m_painter.setPen(hair);
    m_painter.setBrush(Qt::NoBrush);
    const int passes = static_cast<int>(std::ceil(ratio - 0.001));
    for (int i = 0; i < passes; ++i) {
        for (int j = 0; j < passes; ++j) {
            const qreal dx = i / ratio, dy = j / ratio;
            m_painter.translate(dx, dy);
            if (closed)
                Painter().drawPolygon(points, count);
            else
                Painter().drawPolyline(points, count);
            m_painter.translate(-dx, -dy);
        }
    }
    return true;
}

void QtCanvas::DrawLine(Point from, Point to) {
    int dx = to.x - from.x;
    int dy = to.y - from.y;
    if (dx == 0 && dy == 0) return;
    if (FillAxisLine(from, to)) return;
    ApplyPenAndBrush();
    // The end point is not part of the line: pull it back one pixel toward the start along
    // the longer axis.
    QPoint end(to.x, to.y);
    if (std::abs(dx) >= std::abs(dy)) {
        end.rx() -= dx > 0 ? 1 : -1;
        end.ry() =
            from.y + (dx == 0 ? 0 : static_cast<int>(static_cast<long long>(dy) * (end.x() - from.x) / dx));
    } else {
        end.ry() -= dy > 0 ? 1 : -1;
        end.rx() =
            from.x + (dy == 0 ? 0 : static_cast<int>(static_cast<long long>(dx) * (end.y() - from.y) / dy));
    }
    const Point direct[2] = {from, {end.x(), end.y()}};
    if (DirectPolyline(direct, 2)) return;
    const QPoint ends[2] = {QPoint(from.x, from.y), end};
    if (HairlinesAtRatio(ends, 2, false)) return;
    Painter().drawLine(ends[0], ends[1]);
}

bool QtCanvas::DirectPolyline(const Point* points, std::size_t count) {
    const Pen& pen = CurrentPen();
    // The painter steps one-pixel lines with square caps in every case the writer takes:
    // flat ends change that only at one device pixel per view pixel; more points than it
    // takes in one go go another way.
    if (pen.style != PenStyle::Solid || pen.width > 1 || count > 0xFFFF) return false;
    const PixelWriter* writer = DirectWriter();
    if (!writer || (pen.flatEnds && Ratio() == 1.0)) return false;
    if (PixelQueue* queue = QueueFor(*writer)) {
        const PixelWriter::Placement placement = writer->PolylinePlacement(points, count);
        if (placement == PixelWriter::Placement::kLeftToPainter) return false;
        queue->Polyline(points, count, PixelOf(pen.colour), placement);
        return true;
    }
    return writer->Polyline(points, count, PixelOf(pen.colour));
}

void QtCanvas::Polyline(const std::vector<Point>& points) {
    // More points than pixel columns (a long chart) draw as the columns' extremes.
    KeepColumnExtremes(points, m_merged);
    if (DirectPolyline(m_merged.data(), m_merged.size())) return;
    ApplyPenAndBrush();
    m_points.clear();
    for (const Point& p : m_merged) m_points.emplace_back(p.x, p.y);
    if (HairlinesAtRatio(m_points.data(), static_cast<int>(m_points.size()), false)) return;
    Painter().drawPolyline(m_points.data(), static_cast<int>(m_points.size()));
}

void QtCanvas::Rectangle(const Rect& r) {
    if (r.Width() <= 0 || r.Height() <= 0) return;
    const Pen& pen = CurrentPen();
    const Brush& brush = CurrentBrush();
    if (pen.style == PenStyle::Solid && pen.width <= 1 && (DirectWriter() || Ratio() > 0.0)) {
        // A one-pixel outline and the fill inside it, as filled spans; a rectangle at most two
        // pixels across is all outline.
        if (!brush.null || r.Width() <= 2 || r.Height() <= 2) {
            FillSolid(r, pen.colour);
            if (r.Width() > 2 && r.Height() > 2)
                FillSolid({r.left + 1, r.top + 1, r.right - 1, r.bottom - 1}, brush.colour);
            return;
        }
        FillSolid({r.left, r.top, r.right, r.top + 1}, pen.colour);
        FillSolid({r.left, r.bottom - 1, r.right, r.bottom}, pen.colour);
        FillSolid({r.left, r.top, r.left + 1, r.bottom}, pen.colour);
        FillSolid({r.right - 1, r.top, r.right, r.bottom}, pen.colour);
        return;
    }
    ApplyPenAndBrush();
    // QPainter outlines a QRect(x, y, w, h) over w + 1 pixels: shrink by one to cover
    // left..right-1 as the views expect.
    Painter().drawRect(QRect(r.left, r.top, r.Width() - 1, r.Height() - 1));
}

void QtCanvas::FillRect(const Rect& r, Colour colour) {
    if (r.Width() <= 0 || r.Height() <= 0) return;
    FillSolid(r, colour);
}

void QtCanvas::FillSolid(const Rect& r, Colour colour) {
    if (const PixelWriter* writer = DirectWriter()) {
        if (PixelQueue* queue = QueueFor(*writer))
            queue->FillRect(r, PixelOf(colour));
        else
            writer->FillRect(r, PixelOf(colour));
    } else
        Painter().fillRect(ToQRect(r), ToQColor(colour));
}

void QtCanvas::Ellipse(const Rect& r) {
    if (r.Width() <= 0 || r.Height() <= 0) return;
    ApplyPenAndBrush();
    Painter().drawEllipse(QRect(r.left, r.top, r.Width() - 1, r.Height() - 1));
}

void QtCanvas::Polygon(const std::vector<Point>& points) {
    ApplyPenAndBrush();
    Painter().drawPolygon(ToQPolygon(points), Qt::WindingFill);
}

void QtCanvas::FillRegion(const Region& region, Colour colour) {
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    path.addPolygon(QPolygonF(ToQPolygon(region.Polygon())));
    Painter().fillPath(path, ToQColor(colour));
}

void QtCanvas::TextOut(int x, int y, std::string_view utf8) {
    ApplyFont();
    const QFontMetrics& metrics = *m_metrics;
    const TextAlign align = CurrentTextAlign();
    const bool opaque = CurrentBkMode() == BkMode::Opaque;
    const bool measured = align.h != HAlign::Left || opaque;
    // Shaped glyphs are kept for the next repaint; the painter-only reference shapes anew.
    ShapedTexts::Shaped* shaped =
        m_directPixels && ShapedTexts::Plain(utf8) ? &m_texts.Find(*m_appliedFont, utf8) : nullptr;
    QString text;
    if (shaped == nullptr || !shaped->shaped || (measured && shaped->width < 0))
        text = QString::fromUtf8(utf8.data(), static_cast<int>(utf8.size()));
    // Measuring shapes the text a second time: only when the place or the background needs it.
    int width = 0;
    if (measured) {
        if (shaped == nullptr)
            width = metrics.horizontalAdvance(text);
        else
            width = shaped->width >= 0 ? shaped->width : (shaped->width = metrics.horizontalAdvance(text));
    }
    int left = x;
    if (align.h == HAlign::Right) left = x - width;
    if (align.h == HAlign::Centre) left = x - width / 2;
    int top = y;
    if (align.v == VAlign::Baseline) top = y - metrics.ascent();
    if (align.v == VAlign::Bottom) top = y - metrics.height();
    if (opaque) FillSolid({left, top, left + width, top + metrics.height()}, BkColour());
    m_painter.setPen(ToQColor(TextColour()));
    const QPoint baseline(left, top + metrics.ascent());
    if (shaped == nullptr) {
        Painter().drawText(baseline, text);
        return;
    }
    if (!shaped->shaped) ShapedTexts::Shape(m_painter.font(), m_painter.device(), text, *shaped);
    // A text drawn before is blended from its coverage, the painter's pixels in one pass.
    if (const PixelWriter* writer = DirectWriter()) {
        const int scale = writer->Scale();
        if (const std::shared_ptr<const CoverageMask> mask =
                m_texts.Mask(*shaped, scale, m_image->format(), m_painter.renderHints())) {
            const int x = baseline.x() * scale, y = baseline.y() * scale;
            if (PixelQueue* queue = QueueFor(*writer)) {
                queue->BlendCoverage(x, y, *mask, PixelOf(TextColour()));
                m_masksPosted.push_back(mask);
            } else {
                writer->BlendCoverage(x, y, *mask, PixelOf(TextColour()));
            }
            return;
        }
    }
    for (const QGlyphRun& run : shaped->runs) Painter().drawGlyphRun(baseline, run);
}

Size QtCanvas::TextExtent(std::string_view utf8) {
    ApplyFont();
    if (!m_directPixels || !ShapedTexts::Plain(utf8)) {
        const QString text = QString::fromUtf8(utf8.data(), static_cast<int>(utf8.size()));
        return {m_metrics->horizontalAdvance(text), m_metrics->height()};
    }
    ShapedTexts::Shaped& shaped = m_texts.Find(*m_appliedFont, utf8);
    if (shaped.width < 0)
        shaped.width =
            m_metrics->horizontalAdvance(QString::fromUtf8(utf8.data(), static_cast<int>(utf8.size())));
    return {shaped.width, m_metrics->height()};
}

void QtCanvas::ClipChanged() {
    m_writerKnown = false;
    if (Clip())
        m_painter.setClipRect(ToQRect(*Clip()));
    else
        m_painter.setClipping(false);
}

bool QtCanvas::FillRowsAhead(int top, Colour colour) {
    AwaitRows(std::numeric_limits<int>::max());
    // Only where a fill of the whole image would be written straight into it.
    const PixelWriter* writer = Clip() ? nullptr : DirectWriter();
    if (writer == nullptr) return false;
    const PixelSurface& surface = writer->Surface();
    m_rowsAheadScale = writer->Scale();
    m_rowsAhead = RowFiller::Shared().Start(surface, DeviceRow(top, m_rowsAheadScale), PixelOf(colour), true);
    m_writerQueued = false;
    return m_rowsAhead.owner != 0;
}

void QtCanvas::AwaitRows(int row) {
    if (m_rowsAhead.owner == 0) return;
    RowFiller& filler = RowFiller::Shared();
    if (row != std::numeric_limits<int>::max()) {
        if (m_rowsAhead.queued)
            filler.Rows(m_rowsAhead, DeviceRow(row, m_rowsAheadScale));
        else
            filler.Await(m_rowsAhead, DeviceRow(row, m_rowsAheadScale));
        return;
    }
    filler.End(m_rowsAhead);
    m_rowsAhead = {};
    m_masksPosted.clear();
}

PixelQueue* QtCanvas::QueueFor(const PixelWriter& writer) {
    if (m_rowsAhead.owner == 0 || !m_rowsAhead.queued) return nullptr;
    PixelQueue& queue = RowFiller::Shared().Queue();
    if (!m_writerQueued) {
        queue.Use(writer);
        m_writerQueued = true;
    }
    return &queue;
}

QPainter& QtCanvas::Painter() {
    // The painter draws over what the writes posted before have made.
    if (m_rowsAhead.owner != 0 && m_rowsAhead.queued) RowFiller::Shared().Sync(m_rowsAhead);
    return m_painter;
}

bool QtCanvas::RowsAreWhole() {
    const qreal ratio = Ratio();
    return ratio > 0.0 && ratio == std::round(ratio);
}

std::unique_ptr<MemoryBitmap> QtCanvas::CreateBitmap(int width, int height) {
    // As sharp as the surface it will be copied onto.
    const qreal ratio = m_painter.device() ? m_painter.device()->devicePixelRatioF() : 1.0;
    auto bitmap = std::make_unique<QtBitmap>(width, height, ratio);
    bitmap->GetCanvas().SetDirectPixels(m_directPixels);
    return bitmap;
}

void QtCanvas::DrawBitmap(const MemoryBitmap& bitmap, int x, int y) {
    if (auto* qt = dynamic_cast<const QtBitmap*>(&bitmap)) Painter().drawImage(QPoint(x, y), qt->Image());
}

namespace {

/// Bytes from one row of an image to the next: an odd number of cache lines. Rows of 3840
/// pixels are 240 lines exactly, and would all start in 4 of the first-level cache's 64 sets:
/// a bar or a steep line drawn down a column would evict its own pixels from one row to the
/// next (a test drawing 1,900 bars down their columns took seven times as long). An odd count
/// spreads consecutive rows over every set.
qsizetype RowBytes(int width) {
    constexpr qsizetype kLine = 64;
    qsizetype lines = (static_cast<qsizetype>(width) * 4 + kLine - 1) / kLine;
    if (lines % 2 == 0) ++lines;
    return lines * kLine;
}

/// A 32-bit image of `width` × `height` pixels whose rows are RowBytes apart. Its buffer is
/// freed with the last image that holds it.
QImage ImageOfSpreadRows(int width, int height) {
    const qsizetype stride = RowBytes(width);
    if (height > 0 && stride <= std::numeric_limits<qsizetype>::max() / height) {
        const std::size_t bytes = static_cast<std::size_t>(stride) * static_cast<std::size_t>(height);
        if (void* bits = std::aligned_alloc(64, bytes)) {
            std::memset(bits, 0, bytes);
            QImage image(static_cast<uchar*>(bits), width, height, stride, QImage::Format_RGB32, std::free,
                         bits);
            if (!image.isNull()) return image;
            std::free(bits);
        }
    }
    return QImage(width, height, QImage::Format_RGB32);
}

}  // namespace

QtBitmap::QtBitmap(int width, int height, qreal devicePixelRatio)
    : m_width(width > 0 ? width : 1),
      m_height(height > 0 ? height : 1),
      m_image(ImageOfSpreadRows(qCeil(m_width * devicePixelRatio), qCeil(m_height * devicePixelRatio))) {
    m_image.setDevicePixelRatio(devicePixelRatio);
    m_image.fill(Qt::black);
    m_painter = std::make_unique<QPainter>(&m_image);
    m_canvas = std::make_unique<QtCanvas>(*m_painter, &m_image);
}

QtBitmap::~QtBitmap() {
    m_canvas.reset();
    m_painter->end();
}

bool QtBitmap::SaveBmp(const std::string& path) const {
    if (m_image.devicePixelRatio() != 1.0) {
        // The file holds the view's own pixels, whatever the screen's density.
        QtBitmap plain(m_width, m_height);
        plain.m_painter->drawImage(QRect(0, 0, m_width, m_height), m_image);
        return plain.SaveBmp(path);
    }
    std::vector<Colour> pixels;
    pixels.reserve(static_cast<size_t>(m_image.width()) * m_image.height());
    for (int y = 0; y < m_image.height(); ++y)
        for (int x = 0; x < m_image.width(); ++x) {
            QRgb p = m_image.pixel(x, y);
            pixels.push_back(Rgb(qRed(p), qGreen(p), qBlue(p)));
        }
    return WriteBmp24(path, m_image.width(), m_image.height(), pixels);
}

}  // namespace qelt
