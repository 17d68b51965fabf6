#pragma once
/// Texts shaped once and drawn many times. A chart repaints the same few hundred texts (scale
/// labels, titles, the quote panel's values) again and again; shaping them is about a quarter
/// of a repaint. The glyphs and their places of every text drawn are kept per font, so the
/// next repaint draws them without shaping: the pixels are those drawText gives.
#include <QFont>
#include <QGlyphRun>
#include <QImage>
#include <QList>
#include <QPainter>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "common/TextHash.h"
#include "gfx/CoverageMask.h"
#include "gfx/GfxTypes.h"

namespace qelt {

class ShapedTexts {
  public:
    struct Shaped {
        QList<QGlyphRun> runs;  ///< glyph places relative to the text's baseline at x 0
        bool shaped = false;    ///< whether `runs` are made (a text only measured has none)
        int width = -1;         ///< the advance QFontMetrics gives, -1 before it is asked for
        int draws = 0;          ///< draws asking for a mask of `maskFor`
        int maskFor = 0;        ///< the scale, format and hints `mask` answers for (0: none yet)
        std::shared_ptr<const CoverageMask> mask;  ///< the coverage, when a blend of it is exact
    };

    /// The entry of `utf8` in `font`; the caller fills what it lacks.
    Shaped& Find(const Font& font, std::string_view utf8);
    /// Shapes `text` in `face` for `device` (as the painter of that device would) into
    /// `shaped` as one unwrapped line.
    static void Shape(const QFont& face, const QPaintDevice* device, const QString& text, Shaped& shaped);
    /// The coverage of `shaped` (its runs shaped) to blend into an image of `format` at `scale`
    /// device pixels per view pixel, painted with `hints`; null when the painter must draw it.
    /// A mask is made at a text's second draw (a figure that changes every second is drawn
    /// once and gets none), and the masks of every font together stay within a bound.
    std::shared_ptr<const CoverageMask> Mask(Shaped& shaped, int scale, QImage::Format format,
                                             QPainter::RenderHints hints);
    /// Whether a text can be drawn from its glyphs: line breaks and other control characters
    /// take drawText's own rules.
    static bool Plain(std::string_view utf8);

  private:
    using Texts = std::unordered_map<std::string, Shaped, TextHash, std::equal_to<>>;
    struct OfFont {
        Font font;
        Texts texts;
    };
    /// A view draws in a handful of fonts; a bounded number of texts each, beyond which the
    /// font's texts are dropped and made again (live figures make new texts every second).
    static constexpr std::size_t kMaxTextsPerFont = 4096;
    static constexpr std::size_t kMaxFonts = 16;
    std::vector<OfFont> m_fonts;
    static constexpr std::size_t kMaxMaskBytes = 8u << 20;
    std::size_t m_maskBytes = 0;  ///< what the masks of the texts kept take
    std::size_t m_last = 0;       ///< the font asked for last: most calls ask for it again
};

}  // namespace qelt
