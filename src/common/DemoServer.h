#pragma once
/// The demo quote server as an installation sets it up: the one entry of the server list it
/// installs (data/defaults/config.ini) and the accounts the server makes on its first start
/// that anyone may log in with. The login dialog names them; the server's tests hold it to
/// them.
#include <array>
#include <string_view>

namespace qelt {

inline constexpr std::string_view kDemoServerName = "演示主站";
inline constexpr std::string_view kDemoServerAddress = "127.0.0.1";
inline constexpr std::string_view kDemoServerPort = "3500";

struct DemoAccount {
    std::string_view user;
    std::string_view password;
};

inline constexpr std::array<DemoAccount, 3> kDemoAccounts{{
    {"demo", "demo"},
    {"trader", "trader"},
    {"analyst", "analyst"},
}};

}  // namespace qelt
