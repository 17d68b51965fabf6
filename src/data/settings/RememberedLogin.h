#pragma once
/// sys.ini: the remembered login, user name "|" password in GBK with every byte XORed with
/// 0xB6; empty when nothing is remembered. No terminator, no line break. The file is
/// created readable by its owner only, as it holds the password.
#include <optional>
#include <string>
#include <string_view>

namespace qelt {

inline constexpr unsigned char kLoginScrambleKey = 0xB6;

/// XORs every byte with the key; applying it twice gives the text back.
std::string ScrambleLogin(std::string_view bytes);

struct RememberedLogin {
    std::string user;
    std::string password;
    friend bool operator==(const RememberedLogin&, const RememberedLogin&) = default;
};

/// The login of "<dir>sys.ini", split at the first "|" (UTF-8). Nothing when the file is
/// missing or empty; a content without "|" is a user name with an empty password.
std::optional<RememberedLogin> ReadRememberedLogin(const std::string& programDirectory);

/// Rewrites sys.ini with the scrambled "user|password" (mode 0600). False on failure.
bool WriteRememberedLogin(const std::string& programDirectory, const RememberedLogin& login);

/// Rewrites sys.ini empty: nothing remembered.
bool ForgetRememberedLogin(const std::string& programDirectory);

}  // namespace qelt
