#include "QtCanvas.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainterPath>
#include <QPolygon>
#include <QtMath>

#include "gfx/BmpWriter.h"

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
        case PenStyle::Solid: return Qt::SolidLine;
        case PenStyle::Dash: return Qt::DashLine;
        case PenStyle::Dot: return Qt::DotLine;
        case PenStyle::DashDot: return Qt::DashDotLine;
        case PenStyle::User: return Qt::CustomDashLine;
        case PenStyle::Null: return Qt::NoPen;
    }
    return Qt::SolidLine;
}

}  // namespace

QColor ToQColor(Colour c) { return QColor(RedOf(c), GreenOf(c), BlueOf(c)); }

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
    QFont font(QString::fromStdString(f.face));
    font.setPixelSize(f.height > 0 ? f.height : 12);
    font.setWeight(f.weight >= 600 ? QFont::Bold : QFont::Normal);
    m_painter.setFont(font);
}

void QtCanvas::DrawLine(Point from, Point to) {
    ApplyPenAndBrush();
    // The end point is not part of the line: pull it back one pixel toward the start along
    // the longer axis.
    int dx = to.x - from.x;
    int dy = to.y - from.y;
    if (dx == 0 && dy == 0) return;
    QPoint end(to.x, to.y);
    if (std::abs(dx) >= std::abs(dy)) {
        end.rx() -= dx > 0 ? 1 : -1;
        end.ry() = from.y + (dx == 0 ? 0 : static_cast<int>(static_cast<long long>(dy) * (end.x() - from.x) / dx));
    } else {
        end.ry() -= dy > 0 ? 1 : -1;
        end.rx() = from.x + (dy == 0 ? 0 : static_cast<int>(static_cast<long long>(dx) * (end.y() - from.y) / dy));
    }
    m_painter.drawLine(QPoint(from.x, from.y), end);
}

void QtCanvas::Polyline(const std::vector<Point>& points) {
    ApplyPenAndBrush();
    m_painter.drawPolyline(ToQPolygon(points));
}

void QtCanvas::Rectangle(const Rect& r) {
    if (r.Width() <= 0 || r.Height() <= 0) return;
    ApplyPenAndBrush();
    // QPainter outlines a QRect(x, y, w, h) over w + 1 pixels: shrink by one to cover
    // left..right-1 as the views expect.
    m_painter.drawRect(QRect(r.left, r.top, r.Width() - 1, r.Height() - 1));
}

void QtCanvas::FillRect(const Rect& r, Colour colour) {
    if (r.Width() <= 0 || r.Height() <= 0) return;
    m_painter.fillRect(ToQRect(r), ToQColor(colour));
}

void QtCanvas::Ellipse(const Rect& r) {
    if (r.Width() <= 0 || r.Height() <= 0) return;
    ApplyPenAndBrush();
    m_painter.drawEllipse(QRect(r.left, r.top, r.Width() - 1, r.Height() - 1));
}

void QtCanvas::Polygon(const std::vector<Point>& points) {
    ApplyPenAndBrush();
    m_painter.drawPolygon(ToQPolygon(points), Qt::WindingFill);
}

void QtCanvas::FillRegion(const Region& region, Colour colour) {
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    path.addPolygon(QPolygonF(ToQPolygon(region.Polygon())));
    m_painter.fillPath(path, ToQColor(colour));
}

void QtCanvas::TextOut(int x, int y, std::string_view utf8) {
    ApplyFont();
    const QString text = QString::fromUtf8(utf8.data(), static_cast<int>(utf8.size()));
    QFontMetrics metrics(m_painter.font());
    const int width = metrics.horizontalAdvance(text);
    const TextAlign align = CurrentTextAlign();
    int left = x;
    if (align.h == HAlign::Right) left = x - width;
    if (align.h == HAlign::Centre) left = x - width / 2;
    int top = y;
    if (align.v == VAlign::Baseline) top = y - metrics.ascent();
    if (align.v == VAlign::Bottom) top = y - metrics.height();
    if (CurrentBkMode() == BkMode::Opaque)
        m_painter.fillRect(QRect(left, top, width, metrics.height()), ToQColor(BkColour()));
    m_painter.setPen(ToQColor(TextColour()));
    m_painter.drawText(QPoint(left, top + metrics.ascent()), text);
}

Size QtCanvas::TextExtent(std::string_view utf8) {
    ApplyFont();
    QFontMetrics metrics(m_painter.font());
    const QString text = QString::fromUtf8(utf8.data(), static_cast<int>(utf8.size()));
    return {metrics.horizontalAdvance(text), metrics.height()};
}

void QtCanvas::ClipChanged() {
    if (Clip())
        m_painter.setClipRect(ToQRect(*Clip()));
    else
        m_painter.setClipping(false);
}

std::unique_ptr<MemoryBitmap> QtCanvas::CreateBitmap(int width, int height) {
    // As sharp as the surface it will be copied onto.
    const qreal ratio = m_painter.device() ? m_painter.device()->devicePixelRatioF() : 1.0;
    return std::make_unique<QtBitmap>(width, height, ratio);
}

void QtCanvas::DrawBitmap(const MemoryBitmap& bitmap, int x, int y) {
    if (auto* qt = dynamic_cast<const QtBitmap*>(&bitmap)) m_painter.drawImage(QPoint(x, y), qt->Image());
}

QtBitmap::QtBitmap(int width, int height, qreal devicePixelRatio)
    : m_width(width > 0 ? width : 1),
      m_height(height > 0 ? height : 1),
      m_image(qCeil(m_width * devicePixelRatio), qCeil(m_height * devicePixelRatio), QImage::Format_RGB32) {
    m_image.setDevicePixelRatio(devicePixelRatio);
    m_image.fill(Qt::black);
    m_painter = std::make_unique<QPainter>(&m_image);
    m_canvas = std::make_unique<QtCanvas>(*m_painter);
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
