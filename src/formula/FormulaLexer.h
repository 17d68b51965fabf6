#pragma once
/// The first step of compiling a formula: the text cut into tokens, each with its place.
/// Blanks, line ends and comments ("{ ... }", not nested, and "//" to the line end) fall
/// away. The text must be UTF-8 and is read as it stands: no limit is applied here.
#include <string_view>
#include <vector>

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
};

struct Token {
    TokenKind kind = TokenKind::End;
    int line = 1;
    int column = 1;
    std::string_view text;  ///< the token as it stands in the source
    double number = 0.0;    ///< the value of a Number
};

/// Cuts `text` into tokens ending with one End token. On the first character that starts
/// no token (an unknown character, an unclosed comment, a malformed or out-of-range
/// number, bytes that are not UTF-8) `error` is set and the result is false.
bool Tokenize(std::string_view text, std::vector<Token>& tokens, FormulaError& error);

}  // namespace qelt::formula
