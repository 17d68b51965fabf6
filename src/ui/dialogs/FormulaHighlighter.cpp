#include "ui/dialogs/FormulaHighlighter.h"

#include <QFont>

#include "formula/FormulaHighlight.h"

namespace qelt {
namespace {

constexpr int kInComment = 1;

QTextCharFormat Format(QColor colour, bool bold = false, bool italic = false) {
    QTextCharFormat format;
    format.setForeground(colour);
    if (bold) format.setFontWeight(QFont::Bold);
    format.setFontItalic(italic);
    return format;
}

}  // namespace

FormulaHighlighter::FormulaHighlighter(QTextDocument* document) : QSyntaxHighlighter(document) {
    using formula::HighlightKind;
    m_formats[static_cast<int>(HighlightKind::Data)] = Format(QColor(0, 128, 128), true);
    m_formats[static_cast<int>(HighlightKind::Function)] = Format(QColor(0, 0, 192), true);
    m_formats[static_cast<int>(HighlightKind::Attribute)] = Format(QColor(128, 0, 128));
    m_formats[static_cast<int>(HighlightKind::Number)] = Format(QColor(160, 0, 0));
    m_formats[static_cast<int>(HighlightKind::Comment)] = Format(QColor(0, 128, 0), false, true);
    m_formats[static_cast<int>(HighlightKind::Drawing)] = Format(QColor(192, 96, 0), true);
    m_formats[static_cast<int>(HighlightKind::Text)] = Format(QColor(176, 0, 96));
}

void FormulaHighlighter::highlightBlock(const QString& text) {
    const formula::HighlightedLine line =
        formula::HighlightFormulaLine(text.toStdString(), previousBlockState() == kInComment);
    for (const formula::HighlightSpan& span : line.spans)
        setFormat(span.start, span.length, m_formats[static_cast<int>(span.kind)]);
    setCurrentBlockState(line.endsInComment ? kInComment : 0);
}

}  // namespace qelt
