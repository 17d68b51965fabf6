#include "ui/ShapedTexts.h"

#include <QTextLayout>
#include <QTextOption>

#include "ui/TextMask.h"

namespace qelt {

ShapedTexts::Shaped& ShapedTexts::Find(const Font& font, std::string_view utf8) {
    if (m_last >= m_fonts.size() || !(m_fonts[m_last].font == font)) {
        std::size_t at = 0;
        while (at < m_fonts.size() && !(m_fonts[at].font == font)) ++at;
        if (at == m_fonts.size()) {
            if (m_fonts.size() == kMaxFonts) m_fonts.clear(), m_maskBytes = 0, at = 0;
            m_fonts.push_back({font, {}});
        }
        m_last = at;
    }
    Texts& texts = m_fonts[m_last].texts;
    if (auto found = texts.find(utf8); found != texts.end()) return found->second;
    if (texts.size() >= kMaxTextsPerFont) {
        for (const auto& [text, shaped] : texts)
            if (shaped.mask) m_maskBytes -= shaped.mask->coverage.size();
        texts.clear();
    }
    return texts.emplace(std::string(utf8), Shaped{}).first->second;
}

void ShapedTexts::Shape(const QFont& face, const QPaintDevice* device, const QString& text, Shaped& shaped) {
    QTextLayout layout(text, face, device);
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    layout.endLayout();
    // The line's own ascent may be a fallback font's (a Chinese text in a Latin face): the
    // places are kept against the baseline so the caller puts it where drawText would.
    const QPointF baseline(0, line.isValid() ? line.ascent() : 0.0);
    shaped.runs = layout.glyphRuns();
    for (QGlyphRun& run : shaped.runs) {
        QList<QPointF> places = run.positions();
        for (QPointF& p : places) p -= baseline;
        run.setPositions(places);
    }
    shaped.shaped = true;
}

std::shared_ptr<const CoverageMask> ShapedTexts::Mask(Shaped& shaped, int scale, QImage::Format format,
                                                      QPainter::RenderHints hints) {
    const int key = scale | static_cast<int>(format) << 4 | static_cast<int>(hints.toInt()) << 12;
    if (shaped.maskFor != key) {
        if (shaped.mask) m_maskBytes -= shaped.mask->coverage.size();
        shaped.mask.reset();
        if (shaped.draws++ == 0) return nullptr;
        shaped.draws = 0;
        shaped.maskFor = key;
        std::optional<CoverageMask> mask;
        if (m_maskBytes < kMaxMaskBytes) mask = MakeTextMask(shaped.runs, scale, format, hints);
        if (mask && mask->coverage.size() <= kMaxMaskBytes - m_maskBytes) {
            m_maskBytes += mask->coverage.size();
            shaped.mask = std::make_shared<const CoverageMask>(std::move(*mask));
        }
    }
    return shaped.mask;
}

bool ShapedTexts::Plain(std::string_view utf8) {
    for (const char c : utf8)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return false;
    return true;
}

}  // namespace qelt
