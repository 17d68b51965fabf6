#include "PageCharset.h"

#include <algorithm>
#include <array>

namespace qelt {
namespace {

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

std::string LowerCase(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), Lower);
    return out;
}

bool IsTokenChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_' || c == '.' || c == ':';
}

/// The value after "charset=" in `text` (already lower case), quotes and blanks around it
/// skipped; empty when there is none or it is not a plain token.
std::string CharsetParameter(std::string_view text) {
    const size_t at = text.find("charset");
    if (at == std::string_view::npos) return {};
    size_t i = at + 7;
    while (i < text.size() && text[i] == ' ') ++i;
    if (i >= text.size() || text[i] != '=') return {};
    ++i;
    while (i < text.size() && (text[i] == ' ' || text[i] == '"' || text[i] == '\'')) ++i;
    size_t end = i;
    while (end < text.size() && IsTokenChar(text[end])) ++end;
    if (end == i || end - i > 40) return {};
    return std::string(text.substr(i, end - i));
}

/// The charset of the first meta tag that names one.
std::string MetaCharset(std::string_view body) {
    const std::string head = LowerCase(body.substr(0, kCharsetSniffBytes));
    for (size_t at = head.find("<meta"); at != std::string::npos; at = head.find("<meta", at + 5)) {
        const size_t end = head.find('>', at);
        const std::string_view tag =
            std::string_view(head).substr(at, end == std::string::npos ? std::string::npos : end - at);
        std::string name = CharsetParameter(tag);
        if (!name.empty()) return name;
    }
    return {};
}

}  // namespace

bool IsValidUtf8(std::string_view bytes) {
    size_t i = 0;
    while (i < bytes.size()) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        size_t length;
        unsigned min, code;
        if (c < 0x80) {
            ++i;
            continue;
        } else if ((c & 0xE0) == 0xC0) {
            length = 2, min = 0x80, code = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            length = 3, min = 0x800, code = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            length = 4, min = 0x10000, code = c & 0x07;
        } else {
            return false;
        }
        if (i + length > bytes.size()) return false;
        for (size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(bytes[i + k]);
            if ((next & 0xC0) != 0x80) return false;
            code = (code << 6) | (next & 0x3F);
        }
        if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
        i += length;
    }
    return true;
}

bool IsGbkCharset(std::string_view charset) {
    static constexpr std::array<std::string_view, 7> kNames = {"gbk",   "gb2312",      "gb18030", "cp936",
                                                               "x-gbk", "windows-936", "euc-cn"};
    const std::string name = LowerCase(charset);
    return std::find(kNames.begin(), kNames.end(), name) != kNames.end();
}

std::string PageCharset(std::string_view contentType, std::string_view body) {
    if (std::string name = CharsetParameter(LowerCase(contentType)); !name.empty()) return name;
    if (std::string name = MetaCharset(body); !name.empty()) return name;
    return IsValidUtf8(body) ? "utf-8" : "gbk";
}

}  // namespace qelt
