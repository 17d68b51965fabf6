#pragma once
/// The first step of compiling a formula: the text cut into tokens, each with its place,
/// handed out one at a time (the parser looks two ahead; nothing holds them all). Blanks,
/// line ends and comments ("{ ... }", not nested, and "//" to the line end) fall away; a text
/// literal ('...', on one line, no quote inside) is one token, braces and slashes in it
/// included. The
/// text must be UTF-8 and is read as it stands: no limit is applied here.
#include <string>
#include <string_view>

#include "formula/FormulaError.h"

namespace qelt::formula {

enum class TokenKind : unsigned char {
    End,  ///< after the last token; its place is the end of the text
    Number,
    Name,  ///< also AND, OR, NOT: the parser tells keywords by their spelling
    LeftParen,
    RightParen,
    Comma,
    Semicolon,
    Colon,   ///< ":"
    Assign,  ///< ":="
    Plus,
    Minus,
    Star,
    Slash,
    Greater,
    Less,
    GreaterEqual,
    LessEqual,
    Equal,
    NotEqual,  ///< "<>" or "!="
    AndAnd,    ///< "&&"
    OrOr,      ///< "||"
    Text,      ///< a literal in single quotes; `text` holds the quotes too
};

/// A text literal holds at most this many characters between its quotes.
inline constexpr int kMaxTextCharacters = 32;

struct Token {
    TokenKind kind = TokenKind::End;
    int line = 1;
    int column = 1;
    std::string_view text;  ///< the token as it stands in the source
    double number = 0.0;    ///< the value of a Number
};

class Lexer {
  public:
    /// `text` must outlive the lexer and its tokens.
    /// A byte-order mark at its start is passed over without taking a column.
    explicit Lexer(std::string_view text);

    /// The next token; End (again and again) after the last one. False at the first
    /// character that starts no token (an unknown character, an unclosed comment, a
    /// malformed or out-of-range number, bytes that are not UTF-8): Error() says what and
    /// where, and `token` is an End there.
    bool Next(Token& token);
    const FormulaError& Error() const { return m_error; }

  private:
    bool Fail(int line, int column, std::string message);
    /// After a fault: an End token at its place, and nothing more to read.
    bool Stop(Token& token);
    bool Peek(char32_t& c, std::size_t& length);
    void Advance(char32_t c, std::size_t length);
    void Make(Token& token, TokenKind kind, int line, int column, std::size_t from, std::size_t length) const;
    char At(std::size_t i) const { return i < m_text.size() ? m_text[i] : '\0'; }
    bool SkipBlockComment();
    bool SkipLineComment();
    std::size_t NameRunEnd(std::size_t from) const;
    bool ReadNumber(Token& token);
    bool ReadName(Token& token);
    bool ReadText(Token& token);
    bool ReadSymbol(Token& token, char32_t c, std::size_t length);

    std::string_view m_text;
    FormulaError m_error;
    std::size_t m_at = 0;
    int m_line = 1;
    int m_column = 1;
};

}  // namespace qelt::formula
