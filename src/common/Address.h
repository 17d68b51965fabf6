#pragma once
/// Server addresses as the user types them: a dotted IPv4 address or a host name.
///
/// A dotted address is four decimal numbers 0..255 of one to three digits separated by ".",
/// with white space allowed around it. Leading zeros are decimal, never octal:
/// "192.168.001.010" is 192.168.1.10. Every place that tells a dotted address from a host
/// name, and the connection itself, reads it with ParseDottedIPv4, so an address that passes
/// as dotted is also one the client can connect to.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qelt {

/// The address (host byte order) of a dotted text as described above; nothing otherwise
/// ("10.0.0.256", "0001.2.3.4", "10.0.0" and host names are not dotted).
std::optional<std::uint32_t> ParseDottedIPv4(std::string_view text);

/// ParseDottedIPv4 found an address.
bool IsDottedIPv4(std::string_view text);

/// "a.b.c.d" without leading zeros, of an address in host byte order.
std::string FormatDottedIPv4(std::uint32_t address);

/// The dotted form to connect to: the canonical form of a dotted text ("192.168.1.10" for
/// "192.168.001.010 "), otherwise the first IPv4 address a name look-up finds; empty when
/// that fails.
std::string ResolveServerAddress(std::string_view text);

}  // namespace qelt
