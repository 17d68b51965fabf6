#pragma once
/// Which charset a web page's bytes are in, for the information view's plain browser: the
/// reply's Content-Type first, then the page's own meta tag, then a guess from the bytes.
#include <string>
#include <string_view>

namespace qelt {

/// The charset named by `contentType` ("text/html; charset=GBK"), else by a meta tag in the
/// first kCharsetSniffBytes of `body` (`<meta charset="gb2312">` or `<meta http-equiv=
/// "Content-Type" content="text/html; charset=gb2312">`), else "utf-8" when the bytes are
/// valid UTF-8 and "gbk" when they are not (the operator's pages are GBK). Lower case,
/// without quotes; a name that is not a plain token ([a-z0-9._:-]) counts as none.
std::string PageCharset(std::string_view contentType, std::string_view body);

/// How far into a page the meta tag is looked for.
inline constexpr size_t kCharsetSniffBytes = 4096;

/// True for the names whose pages are decoded as GBK (gbk, gb2312, gb18030, cp936, x-gbk,
/// windows-936, euc-cn), whatever their case.
bool IsGbkCharset(std::string_view charset);

/// True when `bytes` is well-formed UTF-8 (no overlong forms, no surrogates).
bool IsValidUtf8(std::string_view bytes);

}  // namespace qelt
