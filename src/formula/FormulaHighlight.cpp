#include "formula/FormulaHighlight.h"

#include <algorithm>
#include <optional>
#include <string>

#include "formula/FormulaFunctionList.h"
#include "formula/FormulaLexer.h"
#include "formula/FormulaNames.h"
#include "formula/FormulaText.h"

namespace qelt::formula {
namespace {

constexpr std::size_t kNone = std::string_view::npos;

std::optional<HighlightKind> KindOf(const Token& token) {
    if (token.kind == TokenKind::Number) return HighlightKind::Number;
    if (token.kind != TokenKind::Name) return std::nullopt;
    const std::string upper = UpperAscii(token.text);
    if (const FunctionEntry* entry = FindFunctionEntry(upper)) {
        switch (entry->kind) {
            case FunctionEntryKind::Function:
                return HighlightKind::Function;
            case FunctionEntryKind::Drawing:
                return HighlightKind::Drawing;
            case FunctionEntryKind::Data:
                return HighlightKind::Data;
        }
    }
    if (FindAttribute(upper)) return HighlightKind::Attribute;
    return std::nullopt;
}

/// Collects the spans of one line, turning byte offsets (always increasing) into UTF-16 places.
class SpanWriter {
  public:
    explicit SpanWriter(std::string_view line, std::vector<HighlightSpan>& spans)
        : m_line(line), m_spans(spans) {}

    void Add(std::size_t from, std::size_t to, HighlightKind kind) {
        const int start = UnitsAt(from);
        m_spans.push_back(HighlightSpan{start, UnitsAt(to) - start, kind});
    }

  private:
    int UnitsAt(std::size_t byte) {
        m_units += static_cast<int>(Utf16Length(m_line.substr(m_byte, byte - m_byte)));
        m_byte = byte;
        return m_units;
    }

    std::string_view m_line;
    std::vector<HighlightSpan>& m_spans;
    std::size_t m_byte = 0;
    int m_units = 0;
};

/// Where to read on after the lexer refused the text at `at`: past the whole word of a
/// malformed number ("5MA", "2.5.1"), else past the one character.
std::size_t AfterFault(std::string_view code, std::size_t at) {
    std::size_t end = at;
    char32_t c;
    std::size_t length;
    while (end < code.size() && DecodeUtf8(code, end, c, length) && (IsNameContinue(c) || c == '.'))
        end += length;
    if (end > at) return end;
    if (!DecodeUtf8(code, at, c, length)) length = 1;
    return std::min(code.size(), at + length);
}

/// The tokens of `code`, a piece of the line free of comments starting at byte `base`.
void HighlightCode(std::string_view code, std::size_t base, SpanWriter& writer) {
    std::size_t from = 0;
    while (from < code.size()) {
        const std::string_view rest = code.substr(from);
        Lexer lexer(rest);
        Token token;
        bool read;
        while ((read = lexer.Next(token)) && token.kind != TokenKind::End) {
            if (std::optional<HighlightKind> kind = KindOf(token)) {
                const std::size_t at =
                    base + from + static_cast<std::size_t>(token.text.data() - rest.data());
                writer.Add(at, at + token.text.size(), *kind);
            }
        }
        if (read) return;
        const FormulaError& fault = lexer.Error();
        from += AfterFault(rest, OffsetOf(rest, TextPosition{fault.line, fault.column}));
    }
}

}  // namespace

HighlightedLine HighlightFormulaLine(std::string_view line, bool startsInComment) {
    HighlightedLine result;
    SpanWriter writer(line, result.spans);
    std::size_t at = 0;
    if (startsInComment) {
        const std::size_t close = line.find('}');
        result.endsInComment = close == kNone;
        at = result.endsInComment ? line.size() : close + 1;
        if (at > 0) writer.Add(0, at, HighlightKind::Comment);
    }
    while (at < line.size()) {
        const std::size_t brace = line.find('{', at);
        const std::size_t slashes = line.find("//", at);
        const std::size_t quote = line.find('\'', at);
        // Whichever comes first hides the others: a quote in a comment, a brace in a literal.
        const std::size_t hidden = std::min({brace, slashes, quote});
        HighlightCode(line.substr(at, hidden == kNone ? kNone : hidden - at), at, writer);
        if (hidden == kNone) break;
        std::size_t end = line.size();
        if (hidden == quote) {
            const std::size_t close = line.find('\'', quote + 1);
            if (close != kNone) end = close + 1;
            writer.Add(quote, end, HighlightKind::Text);
            at = end;
            continue;
        }
        if (hidden == brace) {
            const std::size_t close = line.find('}', brace + 1);
            result.endsInComment = close == kNone;
            if (close != kNone) end = close + 1;
        }
        writer.Add(hidden, end, HighlightKind::Comment);
        at = end;
    }
    return result;
}

}  // namespace qelt::formula
