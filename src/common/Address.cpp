#include "Address.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include "Text.h"

namespace qelt {

std::optional<std::uint32_t> ParseDottedIPv4(std::string_view text) {
    text = Trim(text);
    std::uint32_t address = 0;
    for (int part = 0; part < 4; ++part) {
        size_t digits = 0;
        std::uint32_t value = 0;
        while (digits < text.size() && digits < 4 && text[digits] >= '0' && text[digits] <= '9') {
            value = value * 10 + static_cast<std::uint32_t>(text[digits] - '0');
            ++digits;
        }
        if (digits == 0 || digits > 3 || value > 255) return std::nullopt;
        address = address << 8 | value;
        text.remove_prefix(digits);
        if (part < 3) {
            if (text.empty() || text.front() != '.') return std::nullopt;
            text.remove_prefix(1);
        }
    }
    if (!text.empty()) return std::nullopt;
    return address;
}

bool IsDottedIPv4(std::string_view text) { return ParseDottedIPv4(text).has_value(); }

std::string FormatDottedIPv4(std::uint32_t address) {
    std::string out;
    for (int shift = 24; shift >= 0; shift -= 8) {
        out += std::to_string(address >> shift & 0xFF);
        if (shift > 0) out += '.';
    }
    return out;
}

std::string ResolveServerAddress(std::string_view text) {
    // A dotted text never reaches the name look-up: it would read "010" as octal.
    if (auto dotted = ParseDottedIPv4(text)) return FormatDottedIPv4(*dotted);
    std::string name(Trim(text));
    if (name.empty()) return {};
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (::getaddrinfo(name.c_str(), nullptr, &hints, &found) != 0 || !found) return {};
    char dotted[INET_ADDRSTRLEN] = {};
    const auto* in = reinterpret_cast<const sockaddr_in*>(found->ai_addr);
    ::inet_ntop(AF_INET, &in->sin_addr, dotted, sizeof dotted);
    ::freeaddrinfo(found);
    return dotted;
}

}  // namespace qelt
