#pragma once
/// The formula editor's colours: names of data, functions, drawing statements and attributes,
/// numbers, text literals and comments, as the formula layer's rule finds them line by line. A block's state
/// says whether it ends inside a "{" comment, so a comment over several lines is coloured whole.
#include <QSyntaxHighlighter>
#include <QTextCharFormat>
#include <array>

#include "formula/FormulaHighlight.h"

class QTextDocument;

namespace qelt {

class FormulaHighlighter : public QSyntaxHighlighter {
    Q_OBJECT
  public:
    explicit FormulaHighlighter(QTextDocument* document);

  protected:
    void highlightBlock(const QString& text) override;

  private:
    std::array<QTextCharFormat, formula::kHighlightKindCount> m_formats;  ///< by formula::HighlightKind
};

}  // namespace qelt
