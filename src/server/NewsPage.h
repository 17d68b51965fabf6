#pragma once
/// The operator's web site as the demo server plays it: plain HTTP on the quote port. A
/// connection whose first bytes are "GET " or "HEAD " is a browser, not a quote client; it
/// gets one page and the connection closes. The news listing lives at
/// "/web/TempleteList.aspx?id=73", the page the client's information view opens.
#include <string>
#include <string_view>

namespace qelt::server {

class ServerState;

/// True when `start` (the first bytes of a connection) can only be an HTTP request; false
/// when it cannot be one. `undecided` is set while the bytes are still a prefix of both.
bool LooksLikeHttp(std::string_view start, bool& undecided);

/// Largest request head read before giving up on a browser.
inline constexpr size_t kMaxHttpRequest = 8192;

/// The whole HTTP/1.0 response to a request head (request line and headers).
std::string HttpResponse(std::string_view requestHead, ServerState& state);

}  // namespace qelt::server
