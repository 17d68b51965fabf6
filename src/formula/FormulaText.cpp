#include "formula/FormulaText.h"

namespace qelt::formula {

bool DecodeUtf8(std::string_view text, std::size_t at, char32_t& codePoint, std::size_t& length) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    if (lead < 0x80) {
        codePoint = lead;
        length = 1;
        return true;
    }
    char32_t value;
    char32_t smallest;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, value = lead & 0x1F, smallest = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, value = lead & 0x0F, smallest = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, value = lead & 0x07, smallest = 0x10000;
    } else {
        return false;  // a continuation byte, C0/C1 (overlong) or F5..FF
    }
    if (at + length > text.size()) return false;
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80) return false;
        value = (value << 6) | (byte(at + i) & 0x3F);
    }
    if (value < smallest || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return false;
    codePoint = value;
    return true;
}

bool IsValidUtf8(std::string_view text) {
    char32_t c;
    std::size_t length;
    for (std::size_t i = 0; i < text.size(); i += length)
        if (!DecodeUtf8(text, i, c, length)) return false;
    return true;
}

bool IsCjkLetter(char32_t c) {
    return (c >= 0x4E00 && c <= 0x9FFF) ||    // unified ideographs
           (c >= 0x3400 && c <= 0x4DBF) ||    // extension A
           (c >= 0x20000 && c <= 0x3134F) ||  // extensions B to G
           (c >= 0xF900 && c <= 0xFAFF) ||    // compatibility ideographs
           c == 0x3005 || c == 0x3007 ||      // 々 〇
           (c >= 0x3041 && c <= 0x309F) ||    // hiragana
           (c >= 0x30A0 && c <= 0x30FF) ||    // katakana
           (c >= 0xAC00 && c <= 0xD7AF);      // hangul syllables
}

bool IsNameStart(char32_t c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || IsCjkLetter(c);
}

bool IsNameContinue(char32_t c) { return IsNameStart(c) || (c >= '0' && c <= '9'); }

bool IsName(std::string_view text) {
    char32_t c;
    std::size_t length;
    for (std::size_t i = 0; i < text.size(); i += length) {
        if (!DecodeUtf8(text, i, c, length)) return false;
        if (i == 0 ? !IsNameStart(c) : !IsNameContinue(c)) return false;
    }
    return !text.empty();
}

bool IsBlank(char32_t c) {
    return c == ' ' || c == '\t' || c == '\f' || c == '\v' || c == '\r' || c == 0x3000 || c == 0xFEFF;
}

std::string UpperAscii(std::string_view text) {
    std::string upper(text);
    for (char& c : upper)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return upper;
}

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 'a' + 'A');
        if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 'a' + 'A');
        if (x != y) return false;
    }
    return true;
}

std::size_t LeadingMarkBytes(std::string_view text) { return text.starts_with("\xEF\xBB\xBF") ? 3 : 0; }

TextPosition PositionOf(std::string_view text, std::size_t offset) {
    TextPosition position;
    for (std::size_t i = LeadingMarkBytes(text); i < offset && i < text.size(); ++i) {
        const unsigned char byte = static_cast<unsigned char>(text[i]);
        if (byte == '\n') {
            ++position.line;
            position.column = 1;
        } else if ((byte & 0xC0) != 0x80) {  // not a continuation byte: a new character
            ++position.column;
        }
    }
    return position;
}

std::size_t OffsetOf(std::string_view text, TextPosition position) {
    std::size_t at = LeadingMarkBytes(text);
    for (int line = 1; line < position.line; ++line) {
        const std::size_t end = text.find('\n', at);
        if (end == std::string_view::npos) return text.size();
        at = end + 1;
    }
    for (int column = 1; column < position.column && at < text.size() && text[at] != '\n'; ++column) {
        ++at;
        while (at < text.size() && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80) ++at;
    }
    return at;
}

std::size_t Utf16Length(std::string_view text) {
    std::size_t units = 0;
    char32_t c;
    std::size_t length;
    for (std::size_t i = 0; i < text.size(); i += length) {
        if (!DecodeUtf8(text, i, c, length)) {
            c = 0xFFFD;
            length = 1;
        }
        units += c > 0xFFFF ? 2 : 1;
    }
    return units;
}

}  // namespace qelt::formula
