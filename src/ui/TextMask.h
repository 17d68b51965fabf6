#pragma once
/// The coverage of a shaped text as the raster painter draws it, for the pixel writer to blend.
#include <QGlyphRun>
#include <QImage>
#include <QList>
#include <QPainter>
#include <optional>

#include "gfx/CoverageMask.h"

namespace qelt {

/// The coverage of `runs` (glyph places relative to the baseline origin) drawn at `scale`
/// device pixels per view pixel into an image of `format` with `hints`. None when a blend of
/// it would not give the painter's pixels exactly: the text is drawn both ways on a patterned
/// background and compared, which also refuses glyphs whose coverage overlaps (the painter
/// blends them one after the other), a format whose glyphs are coloured per channel, and
/// blending by any other arithmetic. None too for a text that draws nothing.
std::optional<CoverageMask> MakeTextMask(const QList<QGlyphRun>& runs, int scale, QImage::Format format,
                                         QPainter::RenderHints hints);

}  // namespace qelt
