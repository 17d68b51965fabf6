#pragma once
/// The characters of a formula: UTF-8 decoding, what a name is made of, and the one
/// case rule (ASCII letters only).
#include <cstdint>
#include <string>
#include <string_view>

namespace qelt::formula {

/// Decodes the code point at `text[at]`; `length` receives its byte count. False for bytes
/// that are not UTF-8 (a stray continuation byte, a truncated or overlong sequence, a
/// surrogate, a value above U+10FFFF).
bool DecodeUtf8(std::string_view text, std::size_t at, char32_t& codePoint, std::size_t& length);

/// True when the whole text is valid UTF-8.
bool IsValidUtf8(std::string_view text);

/// Letters of a user's name besides the ASCII ones: CJK ideographs (the unified blocks, their
/// extensions and compatibility forms, 〇 and 々), kana and hangul syllables.
bool IsCjkLetter(char32_t c);

/// A name starts with an ASCII letter, "_" or a CJK letter, and goes on with those and digits.
bool IsNameStart(char32_t c);
bool IsNameContinue(char32_t c);

/// True when the whole text is one name.
bool IsName(std::string_view text);

/// Blank for the formula text: space, tab, form feed, vertical tab, carriage return, the
/// ideographic space U+3000 and the byte-order mark U+FEFF. A line end ("\n") is counted apart.
bool IsBlank(char32_t c);

/// `text` with its ASCII letters in upper case: the key under which names are compared.
std::string UpperAscii(std::string_view text);

/// True when `a` and `b` are the same name (ASCII letters compared without case).
bool SameName(std::string_view a, std::string_view b);

/// The bytes of a UTF-8 byte-order mark at the start of `text` (3), or 0. A leading mark is
/// nothing: it takes no column, and a message's place counts from after it.
std::size_t LeadingMarkBytes(std::string_view text);

/// Line and column (both from 1, columns in code points) of byte `offset` of `text`.
struct TextPosition {
    int line = 1;
    int column = 1;
};
TextPosition PositionOf(std::string_view text, std::size_t offset);

/// The byte offset of `position` in `text`, PositionOf's inverse: a column past the end of its
/// line gives the line's end, a line past the last one the text's end.
std::size_t OffsetOf(std::string_view text, TextPosition position);

/// The length of `text` in UTF-16 code units, as a text editor counts places: two for a code
/// point above U+FFFF, one for any other and for each byte that is not UTF-8.
std::size_t Utf16Length(std::string_view text);

}  // namespace qelt::formula
