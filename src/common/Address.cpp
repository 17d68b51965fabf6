#include "Address.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include "Text.h"

namespace qelt {

bool IsDottedIPv4(std::string_view text) {
    text = TrimRight(text);
    for (int part = 0; part < 4; ++part) {
        size_t digits = 0;
        int value = 0;
        while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9') {
            value = value * 10 + (text[digits] - '0');
            ++digits;
        }
        if (digits == 0 || digits > 3 || value > 255) return false;
        text.remove_prefix(digits);
        if (part < 3) {
            if (text.empty() || text.front() != '.') return false;
            text.remove_prefix(1);
        }
    }
    return text.empty();
}

std::string ResolveServerAddress(std::string_view text) {
    if (IsDottedIPv4(text)) return std::string(TrimRight(text));
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
