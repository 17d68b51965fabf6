#include "ui/TextMask.h"

#include <QRawFont>
#include <algorithm>
#include <cmath>
#include <cstring>

#include "gfx/PixelWriter.h"
#include "ui/QtCanvas.h"

namespace qelt {
namespace {

constexpr long long kMaxMaskPixels = 1 << 20;

/// `runs` in `colour` on `image`, their baseline origin at view pixel `origin`.
void DrawRuns(QImage& image, const QList<QGlyphRun>& runs, QPoint origin, QColor colour,
              QPainter::RenderHints hints) {
    QPainter painter(&image);
    painter.setRenderHints(hints);
    painter.setPen(colour);
    for (const QGlyphRun& run : runs) painter.drawGlyphRun(origin, run);
}

/// Opaque pixels that differ from their neighbours in every channel, the same on every call.
void FillWithPattern(QImage& image) {
    std::uint32_t state = 0x9E3779B9u;
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            state ^= state << 13;
            state ^= state >> 17;
            state ^= state << 5;
            row[x] = 0xFF000000u | (state & 0xFFFFFFu);
        }
    }
}

bool SamePixels(const QImage& a, const QImage& b) {
    const std::size_t bytes = static_cast<std::size_t>(a.width()) * 4;
    for (int y = 0; y < a.height(); ++y)
        if (std::memcmp(a.constScanLine(y), b.constScanLine(y), bytes) != 0) return false;
    return true;
}

/// The mask cut down to the rows and columns with ink (it has some).
CoverageMask Inked(const CoverageMask& mask) {
    int left = mask.width, right = 0, top = mask.height, bottom = 0;
    for (int y = 0; y < mask.height; ++y)
        for (int x = 0; x < mask.width; ++x)
            if (mask.coverage[static_cast<std::size_t>(y) * static_cast<std::size_t>(mask.width) +
                              static_cast<std::size_t>(x)] != 0) {
                left = std::min(left, x), right = std::max(right, x + 1);
                top = std::min(top, y), bottom = std::max(bottom, y + 1);
            }
    CoverageMask inked;
    inked.left = mask.left + left;
    inked.top = mask.top + top;
    inked.width = right - left;
    inked.height = bottom - top;
    inked.coverage.reserve(static_cast<std::size_t>(inked.width) * static_cast<std::size_t>(inked.height));
    for (int y = top; y < bottom; ++y) {
        const auto row = mask.coverage.begin() + static_cast<std::ptrdiff_t>(y) * mask.width;
        inked.coverage.insert(inked.coverage.end(), row + left, row + right);
    }
    return inked;
}

}  // namespace

std::optional<CoverageMask> MakeTextMask(const QList<QGlyphRun>& runs, int scale, QImage::Format format,
                                         QPainter::RenderHints hints) {
    if (scale < 1 || (format != QImage::Format_RGB32 && format != QImage::Format_ARGB32_Premultiplied))
        return std::nullopt;
    // The runs' own bounding rectangles are the line's, from before their places were moved
    // to the baseline: the glyphs' are taken instead.
    QRectF bounds;
    for (const QGlyphRun& run : runs) {
        const QRawFont font = run.rawFont();
        const QList<quint32> glyphs = run.glyphIndexes();
        const QList<QPointF> places = run.positions();
        for (qsizetype i = 0; i < glyphs.size() && i < places.size(); ++i)
            bounds |= font.boundingRect(glyphs[i]).translated(places[i]);
    }
    if (bounds.isEmpty() || !(bounds.width() < 4096) || !(bounds.height() < 1024)) return std::nullopt;
    // A margin wide enough that no ink is cut off: the ring of pixels round the mask must stay
    // blank, or the mask is refused.
    const int margin = 2 + static_cast<int>(bounds.height() / 4);
    const QRect view(static_cast<int>(std::floor(bounds.left())) - margin,
                     static_cast<int>(std::floor(bounds.top())) - margin,
                     static_cast<int>(std::ceil(bounds.width())) + 2 * margin + 1,
                     static_cast<int>(std::ceil(bounds.height())) + 2 * margin + 1);
    // A text of a label's size: a giant one (a font set absurdly large) is the painter's.
    if (static_cast<long long>(view.width()) * view.height() * scale * scale > kMaxMaskPixels)
        return std::nullopt;
    const QPoint origin = -view.topLeft();
    QImage ink(view.width() * scale, view.height() * scale, format);
    ink.setDevicePixelRatio(scale);
    ink.fill(QColor(0, 0, 0));
    // White on black: each channel is the coverage (255 × a / 255 rounds to a).
    DrawRuns(ink, runs, origin, QColor(255, 255, 255), hints);
    CoverageMask mask;
    mask.left = view.left() * scale;
    mask.top = view.top() * scale;
    mask.width = ink.width();
    mask.height = ink.height();
    mask.coverage.resize(static_cast<std::size_t>(mask.width) * static_cast<std::size_t>(mask.height));
    bool inked = false;
    for (int y = 0; y < mask.height; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(ink.constScanLine(y));
        for (int x = 0; x < mask.width; ++x) {
            const std::uint32_t blue = row[x] & 0xFF, green = (row[x] >> 8) & 0xFF,
                                red = (row[x] >> 16) & 0xFF;
            if (red != green || green != blue) return std::nullopt;
            if (red != 0 && (x == 0 || y == 0 || x == mask.width - 1 || y == mask.height - 1))
                return std::nullopt;
            inked |= red != 0;
            mask.coverage[static_cast<std::size_t>(y) * static_cast<std::size_t>(mask.width) +
                          static_cast<std::size_t>(x)] = static_cast<std::uint8_t>(red);
        }
    }
    if (!inked) return std::nullopt;
    // The proof: on a background of every colour, in two colours, the painter's glyphs and the
    // blend of the mask agree to the last bit.
    for (const QColor colour : {QColor(0x3A, 0x7F, 0xC1), QColor(0xF0, 0x12, 0x65)}) {
        QImage painted(ink.size(), format);
        painted.setDevicePixelRatio(scale);
        FillWithPattern(painted);
        QImage blended = painted.copy();
        DrawRuns(painted, runs, origin, colour, hints);
        PixelWriter(PixelsOf(blended), scale, {0, 0, blended.width(), blended.height()})
            .BlendCoverage(origin.x() * scale, origin.y() * scale, mask, colour.rgb());
        if (!SamePixels(painted, blended)) return std::nullopt;
    }
    return Inked(mask);
}

}  // namespace qelt
