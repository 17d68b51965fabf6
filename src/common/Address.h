#pragma once
/// Server addresses as the user types them: a dotted IPv4 address or a host name.
#include <string>
#include <string_view>

namespace qelt {

/// Four numbers of one to three digits separated by ".", each below 256, followed by nothing
/// or white space. "10.0.0.256" is not one (it goes to the name look-up).
bool IsDottedIPv4(std::string_view text);

/// The dotted form to connect to: the text itself (without trailing white space) when it is
/// dotted, otherwise the first IPv4 address a name look-up finds; empty when that fails.
std::string ResolveServerAddress(std::string_view text);

}  // namespace qelt
