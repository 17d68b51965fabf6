#include "formula/FormulaLexer.h"

#include "formula/FormulaMessages.h"
#include "formula/FormulaNumbers.h"
#include "formula/FormulaText.h"

namespace qelt::formula {

Lexer::Lexer(std::string_view text) : m_text(text), m_at(LeadingMarkBytes(text)) {}

bool Lexer::Fail(int line, int column, std::string message) {
    m_error = FormulaError{line, column, -1, std::move(message)};
    return false;
}

/// The character at the current place; false (with the error set) when it is not UTF-8.
bool Lexer::Peek(char32_t& c, std::size_t& length) {
    if (DecodeUtf8(m_text, m_at, c, length)) return true;
    return Fail(m_line, m_column, msg::NotUtf8());
}

void Lexer::Advance(char32_t c, std::size_t length) {
    m_at += length;
    if (c == '\n') {
        ++m_line;
        m_column = 1;
    } else {
        ++m_column;
    }
}

void Lexer::Make(Token& token, TokenKind kind, int line, int column, std::size_t from,
                 std::size_t length) const {
    token = Token{kind, line, column, m_text.substr(from, length), 0.0};
}

bool Lexer::Next(Token& token) {
    while (m_at < m_text.size()) {
        char32_t c;
        std::size_t length;
        if (!Peek(c, length)) return Stop(token);
        if (c == '\n' || IsBlank(c)) {
            Advance(c, length);
            continue;
        }
        if (c == '{') {
            if (!SkipBlockComment()) return Stop(token);
            continue;
        }
        if (c == '/' && At(m_at + 1) == '/') {
            if (!SkipLineComment()) return Stop(token);
            continue;
        }
        bool read;
        if ((c >= '0' && c <= '9') || (c == '.' && IsDigit(At(m_at + 1)))) {
            read = ReadNumber(token);
        } else if (IsNameStart(c)) {
            read = ReadName(token);
        } else if (c == '\'') {
            read = ReadText(token);
        } else {
            read = ReadSymbol(token, c, length);
        }
        return read || Stop(token);
    }
    Make(token, TokenKind::End, m_line, m_column, m_at, 0);
    return m_error.message.empty();
}

bool Lexer::Stop(Token& token) {
    Make(token, TokenKind::End, m_error.line, m_error.column, m_at, 0);
    m_at = m_text.size();  // nothing is read after a fault
    return false;
}

bool Lexer::SkipBlockComment() {
    const int line = m_line, column = m_column;
    const std::size_t close = m_text.find('}', m_at);
    if (close == std::string_view::npos) return Fail(line, column, msg::UnclosedComment());
    while (m_at <= close) {
        char32_t c;
        std::size_t length;
        if (!Peek(c, length)) return false;
        Advance(c, length);
    }
    return true;
}

bool Lexer::SkipLineComment() {
    while (m_at < m_text.size() && m_text[m_at] != '\n') {
        char32_t c;
        std::size_t length;
        if (!Peek(c, length)) return false;
        Advance(c, length);
    }
    return true;
}

/// The run of name characters starting at `from`.
std::size_t Lexer::NameRunEnd(std::size_t from) const {
    std::size_t at = from;
    char32_t c;
    std::size_t length;
    while (at < m_text.size() && DecodeUtf8(m_text, at, c, length) && IsNameContinue(c)) at += length;
    return at;
}

bool Lexer::ReadNumber(Token& token) {
    const std::size_t from = m_at;
    std::size_t at = from;
    while (IsDigit(At(at))) ++at;
    if (At(at) == '.') {
        ++at;
        while (IsDigit(At(at))) ++at;
    }
    if ((At(at) == 'e' || At(at) == 'E') &&
        (IsDigit(At(at + 1)) || ((At(at + 1) == '+' || At(at + 1) == '-') && IsDigit(At(at + 2))))) {
        at += 2;
        while (IsDigit(At(at))) ++at;
    }
    // A number run into a name ("5MA", "1e", "2.5.1") is one malformed word.
    std::size_t end = NameRunEnd(at);
    if (end == at && At(at) == '.') end = NameRunEnd(at + 1);
    const std::string_view word = m_text.substr(from, end - from);
    if (end != at) return Fail(m_line, m_column, msg::BadNumber(word));
    const std::optional<double> value = ParseDecimal(word, false);
    if (!value) return Fail(m_line, m_column, msg::NumberOutOfRange(word));
    Make(token, TokenKind::Number, m_line, m_column, from, end - from);
    token.number = *value;
    m_at = end;
    m_column += static_cast<int>(end - from);  // digits, "." and "e" are one byte each
    return true;
}

bool Lexer::ReadName(Token& token) {
    const std::size_t from = m_at;
    const int column = m_column;
    const std::size_t end = NameRunEnd(from);
    for (std::size_t at = from; at < end; ++at)
        if ((static_cast<unsigned char>(m_text[at]) & 0xC0) != 0x80) ++m_column;
    m_at = end;
    Make(token, TokenKind::Name, m_line, column, from, end - from);
    return true;
}

/// A literal ends at its closing quote on the same line; one left open is reported at its
/// opening quote, as is one too long, so the user sees where the literal starts.
bool Lexer::ReadText(Token& token) {
    const std::size_t from = m_at;
    const int line = m_line, column = m_column;
    std::size_t at = from + 1;
    int characters = 0;
    for (;;) {
        if (at >= m_text.size() || m_text[at] == '\n' || m_text[at] == '\r')
            return Fail(line, column, msg::UnclosedText());
        if (m_text[at] == '\'') break;
        char32_t c;
        std::size_t length;
        if (!DecodeUtf8(m_text, at, c, length)) return Fail(line, column + 1 + characters, msg::NotUtf8());
        // A control character would print as nothing on the chart and break a CSV row.
        if (c < 0x20 || c == 0x7F)
            return Fail(line, column + 1 + characters, msg::UnknownCharacter(m_text.substr(at, length)));
        at += length;
        ++characters;
    }
    if (characters > kMaxTextCharacters)
        return Fail(line, column, msg::TextLiteralTooLong(kMaxTextCharacters));
    Make(token, TokenKind::Text, line, column, from, at + 1 - from);
    m_at = at + 1;
    m_column += characters + 2;
    return true;
}

bool Lexer::ReadSymbol(Token& token, char32_t c, std::size_t length) {
    const char next = At(m_at + 1);
    TokenKind kind = TokenKind::End;
    std::size_t size = 1;
    switch (c) {
        case '(':
            kind = TokenKind::LeftParen;
            break;
        case ')':
            kind = TokenKind::RightParen;
            break;
        case ',':
            kind = TokenKind::Comma;
            break;
        case ';':
            kind = TokenKind::Semicolon;
            break;
        case '+':
            kind = TokenKind::Plus;
            break;
        case '-':
            kind = TokenKind::Minus;
            break;
        case '*':
            kind = TokenKind::Star;
            break;
        case '/':
            kind = TokenKind::Slash;
            break;
        case '=':
            kind = TokenKind::Equal;
            break;
        case ':':
            kind = next == '=' ? (size = 2, TokenKind::Assign) : TokenKind::Colon;
            break;
        case '>':
            kind = next == '=' ? (size = 2, TokenKind::GreaterEqual) : TokenKind::Greater;
            break;
        case '<':
            kind = next == '='   ? (size = 2, TokenKind::LessEqual)
                   : next == '>' ? (size = 2, TokenKind::NotEqual)
                                 : TokenKind::Less;
            break;
        case '!':
            if (next == '=') kind = TokenKind::NotEqual, size = 2;
            break;
        case '&':
            if (next == '&') kind = TokenKind::AndAnd, size = 2;
            break;
        case '|':
            if (next == '|') kind = TokenKind::OrOr, size = 2;
            break;
        default:
            break;
    }
    if (kind == TokenKind::End)
        return Fail(m_line, m_column, msg::UnknownCharacter(m_text.substr(m_at, length)));
    Make(token, kind, m_line, m_column, m_at, size);
    m_at += size;
    m_column += static_cast<int>(size);
    return true;
}

}  // namespace qelt::formula
