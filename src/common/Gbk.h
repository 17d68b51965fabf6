#pragma once
/// The wire and every settings file hold GBK text; the program works in UTF-8.
/// These two functions are the only place where text changes encoding.
#include <string>
#include <string_view>

namespace qelt {

/// GBK bytes to UTF-8. A byte sequence that is not GBK becomes U+FFFD (one per bad byte,
/// and one for a lead byte cut off at the end); the conversion never fails.
std::string GbkToUtf8(std::string_view gbk);

/// UTF-8 to GBK. A character GBK cannot hold, or a broken UTF-8 sequence, becomes "?".
std::string Utf8ToGbk(std::string_view utf8);

}  // namespace qelt
