#include "app/WebSite.h"

#include "common/Files.h"
#include "common/Numbers.h"
#include "common/ServerList.h"
#include "common/Text.h"

namespace qelt {

std::string WebSiteAddress(const std::string& programDirectory, const std::string& serverAddress,
                           int serverPort) {
    if (auto site = ReadWholeFile(programDirectory + "site.ini", 4096)) {
        std::string text(Trim(*site));
        if (!text.empty()) return text;
    }
    std::string address = serverAddress;
    int port = serverPort;
    if (address.empty()) {
        const auto servers = ReadServerList(programDirectory);
        if (!servers.empty()) {
            address = servers.front().address;
            port = LeadingInt(servers.front().port);
        }
    }
    if (address.empty()) address = "127.0.0.1";
    return "http://" + address + ":" + FormatInt(port > 0 ? port : 80);
}

}  // namespace qelt
